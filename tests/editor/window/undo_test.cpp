// Undo and redo, the unstored-edit question and the new-entry item, through the real window.
#include "editor_window.h"

#include <QUndoStack>

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

bool enabled(const EditorWindow& editor, const QString& item) {
    return editor.find<QAction>(item)->isEnabled();
}

// Every command leaves the entries, the current entry and the selection as it should (Insert
// makes the new entry current, so that a further Insert goes in front of it; Remove of the
// current entry leaves none); undone and redone with the menu and the keys, it gives back
// what it found and what it left.
TEST(EditorUndo, EveryCommandUndoesAndRedoes) {
    using Command = std::function<void(EditorWindow&)>;
    const auto typedThen = [](const char* button) -> Command {
        return [button](EditorWindow& e) {
            e.type(u"x"_s, {"1"});
            e.press(QLatin1String(button));
        };
    };
    const auto confirmed = [](const char* button) -> Command {
        return [button](EditorWindow& e) {
            e.platform.answers({Answer::Yes});
            e.press(QLatin1String(button));
        };
    };
    const struct {
        const char* name;
        Command command;
        ListShown after;
    } table[] = {
        {"add", typedThen("cmdAdd"), {{"a", "b", "c", "d", "x"}, 3, {1, 3}}},
        {"insert", typedThen("cmdInsert"), {{"a", "b", "c", "x", "d"}, 3, {1, 4}}},
        {"change", typedThen("cmdChange"), {{"a", "b", "c", "x"}, 3, {1, 3}}},
        {"remove", confirmed("cmdRemove"), {{"a", "c"}, {}, {}}},
        {"reverse",
         confirmed("cmdReverse"),
         {{"a", "b", "c", "d", "b1 | b2", "d1 | d2"}, 3, {4, 5}}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EditorWindow editor({"a", "b", "c", "d"});
        EXPECT_FALSE(enabled(editor, u"Edit_Undo"_s) || enabled(editor, u"Edit_Redo"_s));
        editor.clickEntry(1);
        editor.clickEntry(3, Qt::ControlModifier);  // b and d selected, d current
        const ListShown before = listShown(editor);
        row.command(editor);
        const ListShown after = listShown(editor);
        EXPECT_EQ(after, row.after);
        EXPECT_TRUE(enabled(editor, u"Edit_Undo"_s) && !enabled(editor, u"Edit_Redo"_s));
        editor.trigger(u"Edit_Undo"_s);
        EXPECT_EQ(listShown(editor), before);
        EXPECT_TRUE(!enabled(editor, u"Edit_Undo"_s) && enabled(editor, u"Edit_Redo"_s));
        editor.trigger(u"Edit_Redo"_s);
        EXPECT_EQ(listShown(editor), after);
        const Qt::KeyboardModifiers redoKeys[] = {Qt::ControlModifier | Qt::ShiftModifier, {}};
        for (const Qt::KeyboardModifiers redo : redoKeys) {
            QTest::keyClick(&editor.list(), Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(listShown(editor), before);
            QTest::keyClick(&editor.list(), redo ? Qt::Key_Z : Qt::Key_Y,
                            redo | Qt::ControlModifier);
            EXPECT_EQ(listShown(editor), after);
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
    editor.trigger(u"Edit_Undo"_s);
    EXPECT_EQ(editor.shown(), entryOf("b"));
    editor.type(u"typed"_s, {"1"});
    editor.trigger(u"Edit_Redo"_s);
    EXPECT_EQ(editor.form().txtQuestion()->text(), u"typed"_s);
    EXPECT_EQ(editor.questions(), (QStringList{"a", "x"}));
}

// Modified, and with it the save question, follows the history: undoing back to the state
// opened or saved clears it, any other state sets it. New and Open empty the history.
TEST(EditorUndo, ModifiedFollowsTheSavedState) {
    EditorWindow editor;
    editor.open(editor.writeFile(u"words.qvw"_s, "Version 2.00\r\na|@1|1|@1|\r\n"));
    editor.type(u"b"_s, {"1"});
    editor.press(u"cmdAdd"_s);
    EXPECT_TRUE(editor.document().isModified());
    editor.trigger(u"Edit_Undo"_s);
    EXPECT_FALSE(editor.document().isModified());
    editor.trigger(u"Edit_Redo"_s);
    editor.platform.fileNames({editor.path(u"saved.qvw"_s)});
    editor.trigger(u"File_Save"_s);
    const std::pair<const char*, bool> steps[] = {{"Edit_Undo", true}, {"Edit_Redo", false}};
    for (const auto& [item, modified] : steps) {
        editor.trigger(QLatin1String(item));
        EXPECT_EQ(editor.document().isModified(), modified) << item;
    }
    editor.trigger(u"Edit_Undo"_s);
    const auto save = question(u"編集中のﾌｧｲﾙが変更されています。\r\n保存しますか？"_s, u"変更"_s,
                               platform::Buttons::YesNoCancel);
    editor.platform.answers({Answer::No});
    editor.trigger(u"File_New"_s);
    EXPECT_EQ(editor.platform.shown(), std::vector<platform::MessageBox>{save});
    EXPECT_FALSE(enabled(editor, u"Edit_Undo"_s) || enabled(editor, u"Edit_Redo"_s));
    EXPECT_EQ(editor.window->undoStack().count(), 0);
}

// Before typing in the form is replaced, the user is asked; Yes stores it (Change, or Add
// without a current entry), No drops it, Cancel keeps everything as it was.
TEST(EditorUnstoredEdit, AskedBeforeTypingIsReplaced) {
    const auto ask = question(u"入力中の項目は更新されていません。更新しますか？"_s, u"更新"_s,
                              platform::Buttons::YesNoCancel);
    using Step = std::function<void(EditorWindow&)>;
    const Step clickC = [](EditorWindow& e) { e.clickEntry(2); };
    const Step down = [](EditorWindow& e) { QTest::keyClick(&e.list(), Qt::Key_Down); };
    const Step findC = [](EditorWindow& e) {
        e.window->setScanString(u"c"_s);
        e.window->setScanFields(1);
        e.trigger(u"Edit_ScanNext"_s);
    };
    const auto item = [](const char* name) -> Step {
        return [name](EditorWindow& e) { e.trigger(QLatin1String(name)); };
    };
    const Step openNothing = [](EditorWindow& e) {
        e.platform.fileNames({std::nullopt});
        e.trigger(u"File_Open"_s);
    };
    const Step exit = [](EditorWindow& e) { EXPECT_FALSE(e.window->close()); };
    const QStringList abc{"a", "b", "c"}, xbc{"x", "b", "c"};
    const struct {
        const char* name;
        bool current;  // entry a chosen before typing
        Step replace;
        Answer answer;
        QStringList questions;
        std::optional<int> currentAfter;
        QString form;  // the form's question afterwards
    } table[] = {
        {"click, yes", true, clickC, Answer::Yes, xbc, 2, "c"},
        {"click, no", true, clickC, Answer::No, abc, 2, "c"},
        {"click, cancel", true, clickC, Answer::Cancel, abc, 0, "x"},
        {"no current, yes adds", false, clickC, Answer::Yes, abc + QStringList{"x"}, 2, "c"},
        {"key, cancel", true, down, Answer::Cancel, abc, 0, "x"},
        {"search, yes", true, findC, Answer::Yes, xbc, 2, "c"},
        {"new entry, no", true, item("Edit_NewEntry"), Answer::No, abc, 0, ""},
        {"new file, cancel", true, item("File_New"), Answer::Cancel, abc, 0, "x"},
        {"open, no, no file chosen", true, openNothing, Answer::No, abc, 0, "x"},
        {"exit, cancel", true, exit, Answer::Cancel, abc, 0, "x"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EditorWindow editor({"a", "b", "c"});
        if (row.current) {
            editor.clickEntry(0);
        }
        editor.type(u"x"_s, {"1"});
        editor.platform.answers({row.answer});
        row.replace(editor);
        EXPECT_EQ(editor.platform.shown(), std::vector<platform::MessageBox>{ask});
        EXPECT_EQ(editor.questions(), row.questions);
        EXPECT_EQ(editor.list().currentPosition(), row.currentAfter);
        EXPECT_EQ(editor.form().txtQuestion()->text(), row.form);
    }
}

// Moving around the list without typing asks nothing.
TEST(EditorUnstoredEdit, BrowsingAsksNothing) {
    EditorWindow editor({"a", "b", "c"});
    editor.clickEntry(0);
    editor.clickEntry(2);
    QTest::keyClick(&editor.list(), Qt::Key_Up);
    editor.trigger(u"File_New"_s);
    EXPECT_THAT(editor.platform.shown(), testing::IsEmpty());
}

// The new-entry item (Ctrl+E, also from a box that would take it as the end of the line)
// empties the whole form, the hidden answers too, and leaves the list alone.
TEST(EditorNewEntry, EmptiesTheWholeForm) {
    EditorWindow editor;
    editor.document().replaceAll({{"a", "1|@2|2|@2|3|@2|4|@2|5|@2|6", "i"}, entryOf("b")});
    editor.clickEntry(0);
    EXPECT_EQ(editor.form().lblRightCount()->text(), u"6 (+2)"_s);
    QTest::keyClick(editor.form().txtQuestion(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(editor.form().contents(), editor::EntryForm{});
    EXPECT_EQ(QApplication::focusWidget(), editor.form().txtQuestion());
    EXPECT_EQ(editor.list().currentPosition(), 0);
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{0});
}

}  // namespace
