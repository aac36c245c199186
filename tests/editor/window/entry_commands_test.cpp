#include "editor_window.h"

#include <QScreen>

#include <QMenu>
#include <QPlainTextEdit>

namespace {

using namespace Qt::StringLiterals;
using common::Entry;
using platform::Answer;
using Buttons4 = std::array<bool, 4>;  // cmdInsert, cmdChange, cmdRemove, cmdReverse

// Add appends and leaves the list alone; Enter in any box or the list adds, Ctrl+Enter breaks
// the line.
TEST(EntryCommands, AddAppends) {
    EditorWindow editor;
    editor.type(u"apple"_s, {"", u"りんご"_s, "", u"林檎"_s}, u"one"_s);
    QWidget* information = editor.form().txtInformation();
    QTest::keyClick(information, Qt::Key_Return, Qt::ControlModifier);
    EditorWindow::typeText(information, u"two"_s);
    editor.press(u"cmdAdd"_s);
    EXPECT_EQ(editor.form().contents(), editor::EntryForm{});
    EXPECT_EQ(QApplication::focusWidget(), editor.form().txtQuestion());
    QWidget* const boxes[] = {information, editor.form().txtRight(3), &editor.list()};
    for (QWidget* box : boxes) {  // the list too: Add is the window's default command
        editor.type(u"run"_s, {"a", "b", "c", "d"}, u"x"_s);
        QTest::keyClick(box, Qt::Key_Return);
    }
    const Entry run{"run", "a|@2|b|@2|c|@2|d", "x"};
    EXPECT_EQ(editor.document().entries(),
              (QList<Entry>{{"apple", u"りんご|@2|林檎"_s, "one\\ntwo"}, run, run, run}));
    EXPECT_TRUE(editor.document().isModified());
    EXPECT_FALSE(editor.list().currentPosition() || editor.list().hasSelection());
    EXPECT_EQ(editor.entryButtons(), (Buttons4{}));
    editor.clickEntry(0);
    EXPECT_EQ(editor.answerBoxes(), (std::array<QString, 4>{u"りんご"_s, u"林檎"_s}));
    EXPECT_EQ(editor.entryButtons(), (Buttons4{true, true, true, true}));
}

// Remove takes the selection: each remaining entry keeps its own answers and information, as
// the form shows them, and the focus mark stays with its entry. Once that entry is removed
// there is no current position, and Insert and Change are disabled.
TEST(EntryCommands, RemoveTakesTheSelectedEntries) {
    EditorWindow editor({"a", "b", "c", "d", "e", "f"});
    editor.clickEntry(0);
    for (int row : {2, 4, 3, 3}) {  // d current, not selected
        editor.clickEntry(row, Qt::ControlModifier);
    }
    const editor::EntryForm shown = editor.form().contents();
    editor.platform.answers({Answer::No, Answer::Yes});
    editor.press(u"cmdRemove"_s);
    EXPECT_EQ(editor.document().count(), 6);
    editor.press(u"cmdRemove"_s);
    const auto confirm = question(u"選択された項目を削除します。\r\nよろしいですか？"_s, u"削除"_s);
    EXPECT_EQ(editor.platform.shown(), std::vector<platform::MessageBox>(2, confirm));
    EXPECT_EQ(editor.document().entries(), entriesOf({"b", "d", "f"}));
    EXPECT_TRUE(editor.document().isModified());
    EXPECT_EQ(editor.list().currentPosition(), 1);
    EXPECT_EQ(editor.form().contents(), shown);
    EXPECT_EQ(editor.entryButtons(), (Buttons4{true, true, false, false}));
    for (int row : {2, 1, 0}) {
        editor.clickEntry(row);
        EXPECT_EQ(editor.shown(), editor.document().entry(row));
    }
    editor.platform.answers({Answer::Yes, Answer::Yes});
    editor.press(u"cmdRemove"_s);
    EXPECT_FALSE(editor.list().currentPosition());
    EXPECT_EQ(editor.entryButtons(), (Buttons4{}));
    EXPECT_EQ(editor.questions(), (QStringList{"d", "f"}));
    // Ctrl+A without a current entry still makes the selection removable.
    QTest::keyClick(&editor.list(), Qt::Key_A, Qt::ControlModifier);
    editor.press(u"cmdRemove"_s);
    EXPECT_EQ(editor.entryButtons(), (Buttons4{}));
}

// A refused command stores nothing and leaves the form as typed; the title names the command.
TEST(EntryCommands, RefusedCommandsChangeNothing) {
    const QString full =
        u"これ以上、項目を追加できません。\r\n1つのﾌｧｲﾙに入る項目は 32767個までです。"_s;
    const QString separator = u"「|@1|」は単語ﾌｧｲﾙの区切りに使われるため、入力できません。"_s;
    const struct {
        const char* command;
        int count;
        QString question;
        QString text;
        QString title;
    } table[] = {{"cmdChange", 2, u"q|@1|"_s, separator, u"問題の更新"_s},
                 {"cmdAdd", common::kMaxEntries, u"q"_s, full, u"問題の追加"_s},
                 {"cmdInsert", common::kMaxEntries, u"q"_s, full, u"問題の挿入"_s}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.command);
        EditorWindow editor;
        const QList<Entry> entries(row.count, entryOf("e"));
        editor.document().replaceAll(entries);
        editor.clickEntry(1);
        editor.type(row.question, {"a"});
        const editor::EntryForm typed = editor.form().contents();
        editor.platform.answers({Answer::Ok});
        editor.press(QString::fromLatin1(row.command));
        EXPECT_EQ(
            editor.platform.shown(),
            (std::vector<platform::MessageBox>{{row.text, row.title, platform::Icon::Warning}}));
        EXPECT_TRUE(editor.document().entries() == entries);
        EXPECT_EQ(editor.form().contents(), typed);
    }
}

// Only the user's choice of an entry loads it: not the list taking the focus, not a right
// click, which opens the Edit menu.
TEST(EntryList, OnlyChoosingAnEntryLoadsIt) {
    EditorWindow editor({"a", "b", "c"});
    editor.form().txtQuestion()->setFocus();
    QTest::keyClick(editor.form().txtQuestion(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), &editor.list());
    EXPECT_FALSE(editor.list().currentPosition());
    QTest::keyClick(&editor.list(), Qt::Key_Down);
    EXPECT_EQ(editor.shown(), entryOf("a"));

    editor.type(u"typed"_s);
    QTest::mouseClick(editor.list().viewport(), Qt::RightButton, {}, editor.centreOf(2));
    auto* menu = editor.find<QMenu>(u"Edit_Top"_s);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    EXPECT_EQ(editor.list().currentPosition(), 0);
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{0});
    EXPECT_EQ(editor.form().txtQuestion()->text(), u"typed"_s);
}

// What the list and the form show after Add, Insert and Change is what the file will hold:
// characters that Shift_JIS stores as a neighbour are shown as that neighbour, in every field.
TEST(EntryCommands, StoredFormIsShown) {
    // The neighbours themselves are the encoding's test; one proves the window uses it.
    const std::pair<QString, QString> typedAndStored[] = {{u"\u301C"_s, u"\uFF5E"_s},
                                                          {u"\u00A5"_s, u"\\"_s}};
    for (const auto& [typed, stored] : typedAndStored) {
        SCOPED_TRACE(stored.toStdString());
        EditorWindow editor({"a"});
        const Entry expected{u"q"_s + stored, u"r"_s + stored, u"i"_s + stored};
        editor.clickEntry(0);
        for (const char* command : {"cmdAdd", "cmdInsert", "cmdChange"}) {
            editor.type(u"q"_s + typed, {u"r"_s + typed}, u"i"_s + typed);
            editor.press(QLatin1String(command));
        }
        EXPECT_EQ(editor.document().entries(), (QList<Entry>{expected, entryOf("a"), expected}));
        EXPECT_EQ(editor.shown(), expected);                     // Change leaves the form as stored
        EXPECT_EQ(QApplication::focusWidget(), &editor.list());  // and the list to go on
        EXPECT_EQ(editor.list().model()->index(2, 0).data().toString(), expected.question);
    }
}

// Fields longer than a line edit's usual limit load and store whole, also through the
// additional-answers dialog. A damaged file's unbreakable information line is shown unwrapped
// (wrapping it would freeze the window); ordinary information wraps again.
TEST(EntryCommands, LongFieldsStayWhole) {
    const QString longText(40'000, u'x');
    const Entry huge{longText, longText + u"|@2|"_s + longText, longText.left(20'000)};
    EditorWindow editor;
    editor.document().replaceAll({huge, {"r", "b", "one\\ntwo"}});
    auto* information = editor.window->findChild<QPlainTextEdit*>(u"txtInformation"_s);
    editor.clickEntry(0);
    EXPECT_EQ(editor.shown(), huge);
    EXPECT_EQ(information->lineWrapMode(), QPlainTextEdit::NoWrap);
    const auto watch = onModal([](QDialog& dialog) { click(&dialog, u"cmdOK"_s); });
    editor.press(u"cmdMoreRight"_s);
    editor.press(u"cmdChange"_s);
    EXPECT_EQ(editor.document().entry(0), huge);
    editor.clickEntry(1);
    EXPECT_EQ(information->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

// The first size fits the screen's free area, at any scale (a second run of this test uses a
// 1280 x 900 screen at scale 2).
TEST(EditorWindowSize, FirstSizeFitsTheScreen) {
    EditorWindow editor;
    const QRect available = editor.window->screen()->availableGeometry();
    EXPECT_LE(editor.window->width(), available.width());
    EXPECT_LE(editor.window->height(), available.height());
}

}  // namespace
