// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/sqlite_history.h"
#include "editor/logic/document.h"
#include "editor/window/entry_list_model.h"
#include "editor_window.h"
#include "review/word_key.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>

namespace {

using namespace Qt::StringLiterals;
using common::Entry;
using platform::Answer;
using Buttons4 = std::array<bool, 4>;  // cmdInsert, cmdChange, cmdRemove, cmdReverse

// Add appends what the file will hold (a character Shift_JIS stores as a neighbour becomes that
// neighbour, in the list too) and leaves the list alone; Enter in any box or the list adds,
// Ctrl+Enter breaks the line.
TEST(EntryCommands, AddAppends) {
    EditorWindow editor;
    editor.type(u"apple\u301C"_s, {"", u"りんご"_s, "", u"林檎"_s}, u"one"_s);
    QWidget* information = editor.form().txtInformation();
    QTest::keyClick(information, Qt::Key_Return, Qt::ControlModifier);
    EditorWindow::typeText(information, u"two"_s);
    editor.press(u"cmdAdd"_s);
    EXPECT_EQ(editor.form().contents(), editor::EntryForm{});
    EXPECT_EQ(QApplication::focusWidget(), editor.form().txtQuestion());
    for (QWidget* box : {information, static_cast<QWidget*>(&editor.list())}) {  // the default
        editor.type(u"run"_s, {"a", "b", "c", "d"}, u"x"_s);
        QTest::keyClick(box, Qt::Key_Return);
    }
    const Entry run{"run", "a|@2|b|@2|c|@2|d", "x"};
    EXPECT_EQ(editor.document().entries(),
              (QList<Entry>{{u"apple\uFF5E"_s, u"りんご|@2|林檎"_s, "one\\ntwo"}, run, run}));
    EXPECT_EQ(editor.list().model()->index(0, 0).data().toString(), u"apple\uFF5E"_s);
    EXPECT_EQ(editor.entryButtons(), (Buttons4{}));  // no entry chosen
}

// Remove takes the selection: each remaining entry keeps its own answers and information, as
// the form shows them, and the focus mark stays with its entry (removing it: the undo table).
TEST(EntryCommands, RemoveTakesTheSelectedEntries) {
    EditorWindow editor({"a", "b", "c", "d", "e", "f"});
    editor.clickEntry(0);
    for (int row : {2, 4, 3, 3}) {  // d current, not selected
        editor.clickEntry(row, Qt::ControlModifier);
    }
    const editor::EntryForm shown = editor.form().contents();
    editor.platform.answers({Answer::Yes});
    editor.press(u"cmdRemove"_s);
    const auto confirm = question(u"選択された項目を削除します。\r\nよろしいですか？"_s, u"削除"_s);
    EXPECT_EQ(editor.platform.shown(), std::vector<platform::MessageBox>{confirm});
    EXPECT_EQ(editor.document().entries(), entriesOf({"b", "d", "f"}));
    EXPECT_EQ(editor.list().currentPosition(), 1);
    EXPECT_EQ(editor.form().contents(), shown);
    EXPECT_EQ(editor.entryButtons(), (Buttons4{true, true, false, false}));
}

// A refused command stores nothing and leaves the form as typed (the refusals: the session's
// test).
TEST(EntryCommands, RefusedCommandsChangeNothing) {
    EditorWindow editor({"a", "b"});
    const QList<Entry> entries = editor.document().entries();
    editor.clickEntry(1);
    editor.type(u"q|@1|"_s, {"a"});
    const editor::EntryForm typed = editor.form().contents();
    editor.platform.answers({Answer::Ok});
    editor.press(u"cmdChange"_s);
    EXPECT_EQ(editor.platform.shown(),
              (std::vector<platform::MessageBox>{
                  {u"「|@1|」は単語ﾌｧｲﾙの区切りに使われるため、入力できません。"_s, u"問題の更新"_s,
                   platform::Icon::Warning}}));
    EXPECT_TRUE(editor.document().entries() == entries);
    EXPECT_EQ(editor.form().contents(), typed);
}

// Only the user's choice of an entry loads it: not the list taking the focus, not a right
// click, which opens the Edit menu.
TEST(EntryList, OnlyChoosingAnEntryLoadsIt) {
    EditorWindow editor({"a", "b", "c"});
    editor.list().setFocus();
    EXPECT_FALSE(editor.list().currentPosition());
    QTest::keyClick(&editor.list(), Qt::Key_Down);
    EXPECT_EQ(editor.shown(), entryOf("a"));

    editor.type(u"typed"_s);
    QTest::mouseClick(editor.list().viewport(), Qt::RightButton, {}, editor.centreOf(2));
    editor.find<QMenu>(u"Edit_Top"_s)->hide();
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{0});
    EXPECT_EQ(editor.form().txtQuestion()->text(), u"typed"_s);
}

// The line follows the entry shown and the entry as stored, never the typing; an entry the file
// never held starts fresh.
TEST(EntryList, TheFormShowsTheStoredWordsReviews) {
    drill::history::SqliteHistory history(u":memory:"_s);
    const review::ReviewTime longAgo{std::chrono::days(20000)};  // due today, whenever that is
    for (const review::Grade grade : {review::Grade::Again, review::Grade::Good}) {
        ASSERT_EQ(history.recordReview(
                      {longAgo, review::wordKey(entryOf(u"apple"_s)), grade, 0, u"/w.qvw"_s}),
                  "");
    }
    EditorWindow editor({u"apple"_s, u"pear"_s}, &history);
    QLabel* line = editor.find<QLabel>(u"lblReview"_s);
    const QString apple = u"次の復習: 今日　復習 2 回・間違い 1 回"_s;
    const QString fresh = u"復習: まだありません"_s;

    editor.clickEntry(0);
    EXPECT_EQ(line->text(), apple);
    EXPECT_TRUE(line->isVisible());
    editor.clickEntry(1);
    EXPECT_EQ(line->text(), fresh);
    editor.clickEntry(0);
    EditorWindow::typeText(editor.form().txtQuestion(), u"s"_s);
    EXPECT_EQ(line->text(), apple);
    editor.press(u"cmdChange"_s);
    EXPECT_EQ(line->text(), fresh);
    editor.press(u"cmdAdd"_s);  // an empty form
    EXPECT_EQ(line->text(), "");

    EditorWindow withoutHistory({u"apple"_s});
    withoutHistory.clickEntry(0);
    EXPECT_TRUE(withoutHistory.find<QLabel>(u"lblReview"_s)->isHidden());
}

// Fields longer than a line edit's usual limit load and store whole, also through the
// additional-answers dialog; a huge information field shows in part, with a note, and Change
// stores the rest as it was. A damaged file's unbreakable information line is shown unwrapped
// (wrapping it would freeze the window).
TEST(EntryCommands, LongFieldsStayWhole) {
    const QString longText(40'000, u'x');
    const struct {
        const char* name;
        Entry entry;
        bool inPart;  // the information shows in part, with the note
    } table[] = {
        {"long fields", {longText, longText + u"|@2|"_s + longText, longText.left(20'000)}, false},
        {"huge information", {u"q"_s, u"r"_s, QString(5 << 20, u'x')}, true}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EditorWindow editor;
        editor.document().replaceAll({row.entry});
        editor.clickEntry(0);
        EXPECT_EQ(editor.shown(), row.entry);
        QPlainTextEdit* information = editor.form().txtInformation();
        EXPECT_EQ(information->lineWrapMode(), QPlainTextEdit::NoWrap);
        EXPECT_EQ(information->toPlainText().size(),
                  row.inPart ? editor::kShownInformation : row.entry.information.size());
        EXPECT_EQ(editor.find(u"lblInformationRest"_s)->isVisible(), row.inPart);
        const auto watch = onModal([](QDialog& dialog) { click(&dialog, u"cmdOK"_s); });
        editor.press(u"cmdMoreRight"_s);
        EditorWindow::typeText(information, u"t"_s);
        editor.press(u"cmdChange"_s);
        EXPECT_EQ(editor.document().entry(0),
                  (Entry{row.entry.question, row.entry.rights, u"t"_s + row.entry.information}));
        editor.trigger(u"Edit_NewEntry"_s);
        EXPECT_FALSE(editor.find(u"lblInformationRest"_s)->isVisible());
    }
}

// The list model follows every change, checked signal by signal by the tester; a damaged file's
// huge question shows its beginning in the list, the document keeping it whole.
TEST(EntryListModel, FollowsTheDocument) {
    const QString huge(5'000'000, u'x');
    editor::Document document;
    document.replaceAll(entriesOf({"a", "b", "c", huge}));
    editor::EntryListModel model(document);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.index(3).data().toString(), huge.left(1000));
    document.place({{1, document.newId(), entryOf("e")}});
    document.replace(document.idAt(0), entryOf("g"));
    document.take({document.idAt(1), document.idAt(3)});
    document.place({{document.count(), document.newId(), entryOf("h")},
                    {document.count() + 1, document.newId(), entryOf("i")}});
    document.place(document.take({document.idAt(0), document.idAt(2)}));  // an undone removal
    ASSERT_EQ(model.rowCount(), document.count());
    for (int row = 0; row < model.rowCount(); ++row) {
        EXPECT_EQ(model.index(row).data().toString(), document.entry(row).question.left(1000));
    }
}

// The dialog lists the form's answers, appends (Enter; an empty box appends nothing) and deletes
// them, and OK hands the list back as the form's boxes and the rest, with the text typed but not
// yet appended; a deleted answer still in the box, untouched, does not come back.
TEST(FrmAddRight, AppendsAndDeletesAnswersAndHandsThemBackToTheForm) {
    const struct {
        const char* typedAfterDeleting;
        QString extraRights;
    } table[] = {{"x", u"n1|@2|n2|@2|3x"_s}, {"", u"n1|@2|n2"_s}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.typedAfterDeleting);
        EditorWindow editor({"A"});
        editor.type(u"apple"_s, {"1", "", "3", "4"});
        editor.form().setExtraRights(u"5|@2|6"_s);
        const auto watch = onModal([&row](QDialog& dialog) {
            auto* list = dialog.findChild<QListWidget*>(u"lstRight"_s);
            auto* input = dialog.findChild<QLineEdit*>(u"txtRight"_s);
            for (const QString text : {"n1", "", "n2"}) {
                QTest::keyClicks(input, text);
                QTest::keyClick(input, Qt::Key_Return);
            }
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(1)).center());
            EXPECT_EQ(input->text(), u"3"_s);  // the clicked answer, for editing
            click(&dialog, u"cmdRemove"_s);
            QTest::keyClicks(input, row.typedAfterDeleting);
            click(&dialog, u"cmdOK"_s);
        });
        editor.press(u"cmdMoreRight"_s);
        EXPECT_EQ(editor.form().contents().rights, (std::array<QString, 4>{"1", "4", "5", "6"}));
        EXPECT_EQ(editor.form().extraRights(), row.extraRights);
        EXPECT_FALSE(editor.document().isModified());
    }
}

}  // namespace
