#include "editor_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QMenu>

namespace {

using common::Entry;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::MessageBox;
using Buttons4 = std::array<bool, 4>;  // cmdInsert, cmdChange, cmdRemove, cmdReverse

Entry numbered(int n) {
    const QString s = QString::number(n);
    return {QStringLiteral("q") + s, QStringLiteral("a") + s + QStringLiteral("|@2|b") + s,
            QStringLiteral("i") + s};
}

// A window showing entries 1..count, as if opened from a file.
struct OpenEditor : EditorWindow {
    explicit OpenEditor(int count) {
        QList<Entry> entries;
        for (int i = 1; i <= count; ++i) {
            entries.append(numbered(i));
        }
        document().replaceAll(entries);
    }
    void shows(const Entry& entry) const {
        EXPECT_EQ(form().txtQuestion()->text(), entry.question);
        EXPECT_EQ(editor::formAnswerString(form().contents()), entry.rights);
        EXPECT_EQ(editor::formInformationString(form().information()), entry.information);
    }
};

TEST(EntryCommands, AddAppendsWithoutTouchingTheList) {
    EditorWindow editor;
    EXPECT_EQ(editor.entryButtons(), (Buttons4{false, false, false, false}));
    editor.type(QStringLiteral("apple"), {"", QStringLiteral("りんご"), "", QStringLiteral("林檎")},
                QStringLiteral("fruit"));
    editor.press(QStringLiteral("cmdAdd"));

    EXPECT_EQ(editor.document().entries(),
              (QList<Entry>{{"apple", QStringLiteral("りんご|@2|林檎"), "fruit"}}));
    EXPECT_TRUE(editor.document().isModified());
    EXPECT_EQ(editor.form().contents(), editor::EntryForm{});
    EXPECT_EQ(editor.count(), QStringLiteral("0"));
    EXPECT_EQ(QApplication::focusWidget(), editor.form().txtQuestion());
    EXPECT_FALSE(editor.list().currentPosition().has_value());
    EXPECT_FALSE(editor.list().hasSelection());
    EXPECT_EQ(editor.entryButtons(), (Buttons4{false, false, false, false}));

    editor.clickEntry(0);
    EXPECT_EQ(editor.answerBoxes(),
              (std::array<QString, 4>{QStringLiteral("りんご"), QStringLiteral("林檎"), "", ""}));
    EXPECT_EQ(editor.count(), QStringLiteral("2"));
    EXPECT_EQ(editor.entryButtons(), (Buttons4{true, true, true, true}));
}

// Enter in any box adds; Ctrl+Enter breaks the information's line.
TEST(EntryCommands, EnterAddsAndCtrlEnterBreaksTheLine) {
    EditorWindow editor;
    editor.type(QStringLiteral("run"), {QStringLiteral("走る")}, QStringLiteral("one"));
    QWidget* information = editor.form().txtInformation();
    QTest::keyClick(information, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(information, QStringLiteral("two"));
    QTest::keyClick(information, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(information, QStringLiteral("three"));
    QTest::keyClick(information, Qt::Key_Return);
    for (const QString& name : {"txtQuestion", "txtRight2"}) {
        editor.type(name, {"a", "b", "c", "d"});
        QTest::keyClick(editor.box(name), Qt::Key_Return);
    }
    EXPECT_EQ(editor.document().entries(),
              (QList<Entry>{{"run", QStringLiteral("走る"), "one\\ntwo\\nthree"},
                            {"txtQuestion", "a|@2|b|@2|c|@2|d", ""},
                            {"txtRight2", "a|@2|b|@2|c|@2|d", ""}}));
}

TEST(EntryCommands, InsertGoesInFrontOfTheCurrentEntry) {
    OpenEditor editor(5);
    editor.clickEntry(2);
    editor.type(QStringLiteral("new"), {QStringLiteral("n")}, QStringLiteral("ni"));
    editor.press(QStringLiteral("cmdInsert"));

    EXPECT_EQ(editor.questions(), (QStringList{"q1", "q2", "new", "q3", "q4", "q5"}));
    EXPECT_EQ(editor.list().currentPosition(), 2);
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{3});  // the selection stays with q3
    EXPECT_EQ(editor.form().contents(), editor::EntryForm{});
    EXPECT_EQ(QApplication::focusWidget(), editor.form().txtQuestion());
    EXPECT_TRUE(editor.document().isModified());

    editor.type(QStringLiteral("newer"), {QStringLiteral("n")});
    editor.press(QStringLiteral("cmdInsert"));
    EXPECT_EQ(editor.questions(), (QStringList{"q1", "q2", "newer", "new", "q3", "q4", "q5"}));

    editor.clickEntry(4);
    editor.shows(numbered(3));
}

TEST(EntryCommands, ChangeReplacesOnlyTheCurrentEntry) {
    OpenEditor editor(4);
    editor.clickEntry(1);
    editor.type(QStringLiteral("changed"), {"", QStringLiteral("x")});
    const editor::EntryForm typed = editor.form().contents();
    editor.press(QStringLiteral("cmdChange"));

    EXPECT_EQ(editor.document().entries(),
              (QList<Entry>{numbered(1), {"changed", "x", ""}, numbered(3), numbered(4)}));
    EXPECT_EQ(editor.form().contents(), typed);
    EXPECT_EQ(QApplication::focusWidget(), &editor.list());
    EXPECT_TRUE(editor.document().isModified());
}

TEST(EntryCommands, RemoveTakesTheSelectedEntries) {
    OpenEditor editor(6);
    editor.clickEntry(0);
    editor.clickEntry(2, Qt::ControlModifier);
    editor.clickEntry(4, Qt::ControlModifier);
    const editor::EntryForm shown = editor.form().contents();

    editor.platform.answers({Answer::No});
    editor.press(QStringLiteral("cmdRemove"));
    EXPECT_EQ(editor.document().count(), 6);
    EXPECT_EQ(editor.platform.shown().back(),
              (MessageBox{QStringLiteral("選択された項目を削除します。\r\nよろしいですか？"),
                          QStringLiteral("削除"), Icon::Question, Buttons::YesNo, Answer::Yes,
                          std::nullopt}));

    editor.platform.answers({Answer::Yes});
    editor.press(QStringLiteral("cmdRemove"));
    EXPECT_EQ(editor.document().entries(), (QList<Entry>{numbered(2), numbered(4), numbered(6)}));
    EXPECT_FALSE(editor.document().isModified());
    EXPECT_EQ(editor.form().contents(), shown);
    EXPECT_EQ(editor.entryButtons(), (Buttons4{true, true, false, false}));
    for (int row = 0; row < 3; ++row) {
        editor.clickEntry(row);
        editor.shows(numbered(2 * row + 2));
    }
    EXPECT_THAT(editor.platform.unexpected(), testing::IsEmpty());
}

// The current position stays with its entry; when that entry is removed there is none, and
// Insert and Change then do nothing.
TEST(EntryCommands, RemoveKeepsTheCurrentEntryOrNone) {
    OpenEditor editor(4);
    editor.clickEntry(3);
    editor.clickEntry(0, Qt::ControlModifier);  // current q1, selected q1 and q4
    editor.clickEntry(0, Qt::ControlModifier);  // q1 unselected, still current
    editor.clickEntry(1, Qt::ControlModifier);
    editor.clickEntry(1, Qt::ControlModifier);  // current q2, selected q4 only
    editor.platform.answers({Answer::Yes});
    editor.press(QStringLiteral("cmdRemove"));
    EXPECT_EQ(editor.questions(), (QStringList{"q1", "q2", "q3"}));
    EXPECT_EQ(editor.list().currentPosition(), 1);

    editor.clickEntry(0);
    editor.platform.answers({Answer::Yes});
    editor.press(QStringLiteral("cmdRemove"));
    EXPECT_FALSE(editor.list().currentPosition().has_value());
    editor.type(QStringLiteral("x"), {QStringLiteral("y")});
    editor.press(QStringLiteral("cmdChange"));
    editor.press(QStringLiteral("cmdInsert"));
    EXPECT_EQ(editor.questions(), (QStringList{"q2", "q3"}));
    EXPECT_EQ(editor.platform.shown().size(), 2u);
}

TEST(EntryCommands, RemovingEverythingDisablesTheEntryButtons) {
    OpenEditor editor(3);
    editor.clickEntry(0);
    QTest::keyClick(&editor.list(), Qt::Key_A, Qt::ControlModifier);
    editor.platform.answers({Answer::Yes});
    editor.press(QStringLiteral("cmdRemove"));
    EXPECT_EQ(editor.document().count(), 0);
    EXPECT_EQ(editor.entryButtons(), (Buttons4{false, false, false, false}));
    EXPECT_TRUE(editor.button(QStringLiteral("cmdAdd"))->isEnabled());
}

// The entry check's refusals through each command: nothing stored, the form untouched.
TEST(EntryCommands, RefusedFormsStayInTheForm) {
    struct Case {
        const char* command;
        QString question;
        std::array<QString, 4> rights;
        QString text;
        QString title;
    };
    const QString noAnswer = QStringLiteral("解答を 1つ以上入力してください。");
    const std::vector<Case> cases = {
        {"cmdAdd",
         "",
         {"a"},
         QStringLiteral("問題を入力してください。"),
         QStringLiteral("問題の追加")},
        {"cmdInsert",
         "",
         {"a"},
         QStringLiteral("問題を入力してください。"),
         QStringLiteral("問題の挿入")},
        {"cmdChange", "q", {}, noAnswer, QStringLiteral("問題の更新")},
        {"cmdAdd",
         "a|@1|b",
         {"a"},
         QStringLiteral("「|@1|」は単語ﾌｧｲﾙの区切りに使われるため、入力できません。"),
         QStringLiteral("問題の追加")},
        {"cmdChange",
         "q",
         {"😀"},
         QStringLiteral("次の文字は単語ﾌｧｲﾙに保存できません。\r\n「😀」"),
         QStringLiteral("問題の更新")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        OpenEditor editor(2);
        editor.clickEntry(1);
        editor.type(c.question, c.rights);
        const editor::EntryForm typed = editor.form().contents();
        editor.platform.answers({Answer::Ok});
        editor.press(QString::fromLatin1(c.command));
        ASSERT_EQ(editor.platform.shown().size(), 1u);
        EXPECT_EQ(
            editor.platform.shown().front(),
            (MessageBox{c.text, c.title, Icon::Warning, Buttons::Ok, Answer::Ok, std::nullopt}));
        EXPECT_EQ(editor.document().entries(), (QList<Entry>{numbered(1), numbered(2)}));
        EXPECT_EQ(editor.form().contents(), typed);
        EXPECT_FALSE(editor.document().isModified());
    }
}

// Answers deleted while the count still showed them: refused, and the count corrected.
TEST(EntryCommands, TheCheckRecountsTheAnswers) {
    OpenEditor editor(1);
    editor.clickEntry(0);
    EXPECT_EQ(editor.count(), QStringLiteral("2"));
    editor.form().txtRight(0)->clear();
    editor.form().txtRight(1)->clear();
    EXPECT_EQ(editor.count(), QStringLiteral("2"));
    editor.platform.answers({Answer::Ok});
    editor.press(QStringLiteral("cmdAdd"));
    EXPECT_EQ(editor.platform.shown().front().text,
              QStringLiteral("解答を 1つ以上入力してください。"));
    EXPECT_EQ(editor.count(), QStringLiteral("0"));
}

TEST(EntryCommands, AFullDocumentRefusesAddAndInsert) {
    OpenEditor editor(common::kMaxEntries);
    editor.clickEntry(0);
    for (const QString& command : {"cmdAdd", "cmdInsert"}) {
        editor.type(QStringLiteral("q"), {QStringLiteral("a")});
        editor.platform.answers({Answer::Ok});
        editor.press(command);
    }
    ASSERT_EQ(editor.platform.shown().size(), 2u);
    EXPECT_EQ(editor.platform.shown().at(0).title, QStringLiteral("問題の追加"));
    EXPECT_EQ(editor.platform.shown().at(1).title, QStringLiteral("問題の挿入"));
    EXPECT_EQ(editor.document().count(), common::kMaxEntries);
}

// A right click opens the Edit menu and leaves the list as it was; only the user's choice of
// an entry loads it, not the list taking the focus.
TEST(EntryList, RightClickOpensTheEditMenuWithoutLoading) {
    OpenEditor editor(3);
    editor.form().txtQuestion()->setFocus();
    QTest::keyClick(editor.form().txtQuestion(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), &editor.list());
    EXPECT_FALSE(editor.list().currentPosition().has_value());
    EXPECT_EQ(editor.form().txtQuestion()->text(), QString());

    QTest::keyClick(&editor.list(), Qt::Key_Down);
    editor.shows(numbered(1));
    editor.type(QStringLiteral("typed"));

    auto* menu = editor.find<QMenu>(QStringLiteral("Edit_Top"));
    QTest::mouseClick(editor.list().viewport(), Qt::RightButton, {}, editor.centreOf(2));
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    EXPECT_EQ(editor.list().currentPosition(), 0);
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{0});
    EXPECT_EQ(editor.form().txtQuestion()->text(), QStringLiteral("typed"));
}

}  // namespace
