// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Undo and redo, the unstored-edit question and the new-entry item, through the real window.
#include "editor_window.h"

namespace {

using namespace Qt::StringLiterals;
using platform::Answer;

// What a step must bring back: the entries, the current entry and the selection.
struct ListShown {
    QStringList questions;
    std::optional<int> current;
    QList<int> selected;

    friend bool operator==(const ListShown&, const ListShown&) = default;
};

ListShown listShown(const EditorWindow& editor) {
    return {editor.questions(), editor.list().currentPosition(), editor.list().selectedPositions()};
}

// Every command leaves the entries, the current entry and the selection as it should (Insert
// makes the new entry current and selected, so that a further Insert goes in front of it; Remove
// of the current entry leaves none); undone and redone with the keys, it gives back what it found
// and what it left, with the current entry in the form.
TEST(EditorUndo, EveryCommandUndoesAndRedoes) {
    const std::tuple<const char*, bool, ListShown> table[] = {
        // command, confirmed, after
        {"cmdAdd", false, {{"a", "b", "c", "d", "x"}, 3, {1, 3}}},
        {"cmdInsert", false, {{"a", "b", "c", "x", "d"}, 3, {3}}},
        {"cmdChange", false, {{"a", "b", "c", "x"}, 3, {1, 3}}},
        {"cmdRemove", true, {{"a", "c"}, {}, {}}},
        {"cmdReverse", true, {{"a", "b", "c", "d", "b1 | b2", "d1 | d2"}, 3, {4, 5}}},
    };
    for (const auto& [command, confirmed, expected] : table) {
        SCOPED_TRACE(command);
        EditorWindow editor({"a", "b", "c", "d"});
        editor.clickEntry(1);
        editor.clickEntry(3, Qt::ControlModifier);  // b and d selected, d current
        const ListShown before = listShown(editor);
        confirmed ? editor.platform.answers({Answer::Yes}) : editor.type(u"x"_s, {"1"});
        editor.press(QLatin1String(command));
        EXPECT_EQ(listShown(editor), expected);
        QTest::keyClick(&editor.list(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(listShown(editor), before);
        EXPECT_EQ(editor.shown(), editor.document().entry(*before.current));
        QTest::keyClick(&editor.list(), Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(listShown(editor), expected);
        if (expected.current) {
            EXPECT_EQ(editor.shown(), editor.document().entry(*expected.current));
        }
    }
}

// Undo of a change brings the old entry back into the form; a form with typing of its own is
// left alone.
TEST(EditorUndo, TheFormFollowsUnlessTyped) {
    EditorWindow editor({"a", "b"});
    editor.clickEntry(1);
    editor.type(u"x"_s, {"1"});
    editor.press(u"cmdChange"_s);
    editor.trigger(u"Edit_Undo"_s);  // the form follows: the table above
    editor.type(u"typed"_s, {"1"});
    editor.trigger(u"Edit_Redo"_s);
    EXPECT_EQ(editor.form().txtQuestion()->text(), u"typed"_s);
    EXPECT_EQ(editor.questions(), (QStringList{"a", "x"}));
}

// A box takes the undo keys for its own typing; with nothing of its own to undo or redo (the
// empty question box after Add) they are the window's.
TEST(EditorUndo, TheKeysUndoTheWindowWhenTheBoxHasNothingToUndo) {
    EditorWindow editor({"a"});
    editor.type(u"x"_s, {"1"});
    editor.press(u"cmdAdd"_s);
    QLineEdit* box = editor.form().txtQuestion();
    ASSERT_EQ(QApplication::focusWidget(), box);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.questions(), QStringList{"a"});
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(editor.questions(), (QStringList{"a", "x"}));
    EditorWindow::typeText(box, u"t"_s);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->text(), QString());
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(box->text(), u"t"_s);
    EXPECT_EQ(editor.questions(), (QStringList{"a", "x"}));
}

// Modified, and with it the save question, follows the history: undoing back to the state
// opened or saved clears it, any other state sets it.
TEST(EditorUndo, ModifiedFollowsTheSavedState) {
    EditorWindow editor;
    editor.open(editor.writeFile(u"words.qvw"_s, "Version 2.00\r\na|@1|1|@1|\r\n"));
    editor.type(u"b"_s, {"1"});
    editor.press(u"cmdAdd"_s);
    editor.trigger(u"Edit_Undo"_s);
    EXPECT_FALSE(editor.document().isModified());
    editor.trigger(u"Edit_Redo"_s);
    editor.platform.fileNames({editor.path(u"saved.qvw"_s)});
    editor.trigger(u"File_Save"_s);
    editor.trigger(u"Edit_Undo"_s);
    editor.platform.answers({Answer::No});
    editor.trigger(u"File_New"_s);
    EXPECT_EQ(editor.platform.shown(), std::vector<platform::MessageBox>{saveQuestion()});
}

// Before typing in the form is replaced, the user is asked (choosing an entry before typing asks
// nothing); Yes stores it (Change, or Add without a current entry), No drops it, Cancel keeps
// everything as it was.
TEST(EditorUnstoredEdit, AskedBeforeTypingIsReplaced) {
    const auto ask = question(u"入力中の項目は更新されていません。更新しますか？"_s, u"更新"_s,
                              platform::Buttons::YesNoCancel);
    using Step = std::function<void(EditorWindow&)>;
    const Step clickC = [](EditorWindow& e) { e.clickEntry(2); };
    const Step down = [](EditorWindow& e) { QTest::keyClick(&e.list(), Qt::Key_Down); };
    const Step newFile = [](EditorWindow& e) { e.trigger(u"File_New"_s); };
    const Step exit = [](EditorWindow& e) { EXPECT_FALSE(e.window->close()); };
    const QStringList abc{"a", "b", "c"};
    // entry a chosen before typing, the step, the answer; then questions, current, form question
    const std::tuple<bool, Step, Answer, QStringList, std::optional<int>, QString> table[] = {
        {true, clickC, Answer::Yes, {"x", "b", "c"}, 2, "c"},
        {true, down, Answer::Cancel, abc, 0, "x"},
        {false, clickC, Answer::Yes, abc + QStringList{"x"}, 2, "c"},  // no current: Add
        {true, newFile, Answer::No, {}, {}, ""},
        {true, exit, Answer::Cancel, abc, 0, "x"},
    };
    for (const auto& [current, replace, answer, questions, currentAfter, form] : table) {
        SCOPED_TRACE(form.toStdString() + std::to_string(int(answer)));
        EditorWindow editor({"a", "b", "c"});
        if (current) {
            editor.clickEntry(0);
        }
        editor.type(u"x"_s, {"1"});
        editor.platform.answers({answer});
        replace(editor);
        EXPECT_EQ(editor.platform.shown(), std::vector<platform::MessageBox>{ask});
        EXPECT_EQ(editor.questions(), questions);
        EXPECT_EQ(editor.list().currentPosition(), currentAfter);
        EXPECT_EQ(editor.form().txtQuestion()->text(), form);
    }
}

// The new-entry item (Ctrl+E, also from a box that would take it as the end of the line)
// empties the whole form, the hidden answers too, and leaves the list alone.
TEST(EditorNewEntry, EmptiesTheWholeForm) {
    EditorWindow editor;
    editor.document().replaceAll({{"a", "1|@2|2|@2|3|@2|4|@2|5|@2|6", "i"}, entryOf("b")});
    editor.clickEntry(0);
    QTest::keyClick(editor.form().txtQuestion(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(editor.form().contents(), editor::EntryForm{});
    EXPECT_EQ(QApplication::focusWidget(), editor.form().txtQuestion());
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{0});
}

}  // namespace
