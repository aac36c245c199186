#include "editor_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QMenu>

namespace {

using common::Entry;
using platform::Answer;
using Buttons4 = std::array<bool, 4>;  // cmdInsert, cmdChange, cmdRemove, cmdReverse

Entry numbered(int n) {
    const QString s = QString::number(n);
    return {"q" + s, "a" + s + "|@2|b" + s, "i" + s};
}
QList<Entry> numbered(std::initializer_list<int> numbers) {
    QList<Entry> entries;
    for (int n : numbers) {
        entries.append(numbered(n));
    }
    return entries;
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
    Entry shown() const { return editor::entryFromForm(form().contents()); }
    void remove() {
        platform.answers({Answer::Yes});
        press(QStringLiteral("cmdRemove"));
    }
};

// Add appends and leaves the list alone; Enter in any box adds, Ctrl+Enter breaks the line.
TEST(EntryCommands, AddAppends) {
    EditorWindow editor;
    editor.type("apple", {"", QStringLiteral("りんご"), "", QStringLiteral("林檎")}, "one");
    QWidget* information = editor.form().txtInformation();
    QTest::keyClick(information, Qt::Key_Return, Qt::ControlModifier);
    EditorWindow::typeText(information, "two");
    editor.press(QStringLiteral("cmdAdd"));
    EXPECT_EQ(editor.form().contents(), editor::EntryForm{});
    EXPECT_EQ(QApplication::focusWidget(), editor.form().txtQuestion());
    for (QWidget* box : {information, static_cast<QWidget*>(editor.form().txtRight(3))}) {
        editor.type("run", {"a", "b", "c", "d"}, "x");
        QTest::keyClick(box, Qt::Key_Return);
    }
    EXPECT_EQ(editor.document().entries(),
              (QList<Entry>{{"apple", QStringLiteral("りんご|@2|林檎"), "one\\ntwo"},
                            {"run", "a|@2|b|@2|c|@2|d", "x"},
                            {"run", "a|@2|b|@2|c|@2|d", "x"}}));
    EXPECT_TRUE(editor.document().isModified());
    EXPECT_FALSE(editor.list().currentPosition() || editor.list().hasSelection());
    EXPECT_EQ(editor.entryButtons(), (Buttons4{}));

    editor.clickEntry(0);
    EXPECT_EQ(editor.form().contents().rights, (std::array<QString, 4>{"りんご", "林檎"}));
    EXPECT_EQ(editor.entryButtons(), (Buttons4{true, true, true, true}));
}

TEST(EntryCommands, InsertGoesInFrontOfTheCurrentEntry) {
    OpenEditor editor(5);
    editor.clickEntry(2);
    for (const char* question : {"new", "newer"}) {
        editor.type(question, {"n"});
        editor.press(QStringLiteral("cmdInsert"));
        EXPECT_EQ(editor.list().currentPosition(), 2);
    }
    EXPECT_EQ(editor.questions(), (QStringList{"q1", "q2", "newer", "new", "q3", "q4", "q5"}));
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{4});  // still q3
    EXPECT_EQ(editor.form().contents(), editor::EntryForm{});
    EXPECT_EQ(editor.entryButtons(), (Buttons4{true, true, true, true}));
    editor.clickEntry(4);
    EXPECT_EQ(editor.shown(), numbered(3));
}

TEST(EntryCommands, ChangeReplacesTheCurrentEntryOnly) {
    OpenEditor editor(3);
    editor.clickEntry(1);
    editor.type("changed", {"", "x"});
    const editor::EntryForm typed = editor.form().contents();
    editor.press(QStringLiteral("cmdChange"));
    EXPECT_EQ(editor.document().entries(),
              (QList<Entry>{numbered(1), {"changed", "x", ""}, numbered(3)}));
    EXPECT_EQ(editor.form().contents(), typed);
    EXPECT_EQ(QApplication::focusWidget(), &editor.list());
    EXPECT_EQ(editor.entryButtons(), (Buttons4{true, true, true, true}));
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
    EXPECT_EQ(
        editor.platform.shown().back(),
        (platform::MessageBox{QStringLiteral("選択された項目を削除します。\r\nよろしいですか？"),
                              QStringLiteral("削除"), platform::Icon::Question,
                              platform::Buttons::YesNo, Answer::Yes, std::nullopt}));
    editor.remove();
    EXPECT_EQ(editor.document().entries(), numbered({2, 4, 6}));
    EXPECT_EQ(editor.form().contents(), shown);
    EXPECT_EQ(editor.entryButtons(), (Buttons4{true, true, false, false}));
    for (int row = 0; row < 3; ++row) {
        editor.clickEntry(row);
        EXPECT_EQ(editor.shown(), numbered(2 * row + 2));
    }
    QTest::keyClick(&editor.list(), Qt::Key_A, Qt::ControlModifier);
    editor.remove();
    EXPECT_EQ(editor.entryButtons(), (Buttons4{}));
    EXPECT_THAT(editor.platform.unexpected(), testing::IsEmpty());
}

// The focus mark stays with its entry; once that entry is removed there is no current
// position, and Insert and Change do nothing.
TEST(EntryCommands, RemoveKeepsTheCurrentEntryOrNone) {
    OpenEditor editor(4);
    editor.clickEntry(3);
    editor.clickEntry(1, Qt::ControlModifier);
    editor.clickEntry(1, Qt::ControlModifier);  // q2 current, only q4 selected
    editor.remove();
    EXPECT_EQ(editor.list().currentPosition(), 1);
    editor.clickEntry(0);
    editor.remove();
    EXPECT_FALSE(editor.list().currentPosition());
    editor.type("x", {"y"});
    editor.press(QStringLiteral("cmdChange"));
    editor.press(QStringLiteral("cmdInsert"));
    EXPECT_EQ(editor.questions(), (QStringList{"q2", "q3"}));
    EXPECT_EQ(editor.platform.shown().size(), 2u);
}

// Refused forms are neither stored nor touched; the message names the command.
TEST(EntryCommands, RefusedFormsStayInTheForm) {
    const std::vector<std::tuple<const char*, QString, QString, QString>> cases = {
        {"cmdAdd", "", "問題を入力してください。", "問題の追加"},
        {"cmdInsert", "", "問題を入力してください。", "問題の挿入"},
        {"cmdChange", "q|@1|", "「|@1|」は単語ﾌｧｲﾙの区切りに使われるため、入力できません。",
         "問題の更新"},
    };
    for (const auto& [command, question, text, title] : cases) {
        SCOPED_TRACE(command);
        OpenEditor editor(2);
        editor.clickEntry(1);
        editor.type(question, {"a"});
        const editor::EntryForm typed = editor.form().contents();
        editor.platform.answers({Answer::Ok});
        editor.press(QString::fromLatin1(command));
        EXPECT_EQ(editor.platform.shown(),
                  (std::vector<platform::MessageBox>{{text, title, platform::Icon::Warning}}));
        EXPECT_EQ(editor.document().entries(), numbered({1, 2}));
        EXPECT_EQ(editor.form().contents(), typed);
    }
}

TEST(EntryCommands, AFullDocumentRefusesAddAndInsert) {
    OpenEditor editor(common::kMaxEntries);
    editor.clickEntry(0);
    for (const char* command : {"cmdAdd", "cmdInsert"}) {
        editor.type("q", {"a"});
        editor.platform.answers({Answer::Ok});
        editor.press(QString::fromLatin1(command));
    }
    ASSERT_EQ(editor.platform.shown().size(), 2u);
    EXPECT_EQ(editor.platform.shown().at(0).title, QStringLiteral("問題の追加"));
    EXPECT_EQ(editor.platform.shown().at(1).title, QStringLiteral("問題の挿入"));
    EXPECT_EQ(editor.document().count(), common::kMaxEntries);
}

// Only the user's choice of an entry loads it: not the list taking the focus, not a right
// click, which opens the Edit menu.
TEST(EntryList, OnlyChoosingAnEntryLoadsIt) {
    OpenEditor editor(3);
    editor.form().txtQuestion()->setFocus();
    QTest::keyClick(editor.form().txtQuestion(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), &editor.list());
    EXPECT_FALSE(editor.list().currentPosition());
    QTest::keyClick(&editor.list(), Qt::Key_Down);
    EXPECT_EQ(editor.shown(), numbered(1));

    editor.type("typed");
    QTest::mouseClick(editor.list().viewport(), Qt::RightButton, {}, editor.centreOf(2));
    auto* menu = editor.find<QMenu>(QStringLiteral("Edit_Top"));
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    EXPECT_EQ(editor.list().currentPosition(), 0);
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{0});
    EXPECT_EQ(editor.form().txtQuestion()->text(), QStringLiteral("typed"));
}

}  // namespace
