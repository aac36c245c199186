#include "editor_window.h"

#include <QListWidget>

namespace {

using namespace Qt::StringLiterals;
using platform::ImeMode;

QStringList items(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.append(list->item(i)->text());
    }
    return texts;
}

// One sitting from the editor: the dialog lists the form's answers, appends and deletes them,
// and OK hands the list back as the form's boxes and the rest; the question is editable too.
// The document is not touched.
TEST(FrmAddRight, AppendsAndDeletesAnswersAndHandsThemBackToTheForm) {
    EditorWindow editor({"A"});
    for (const QString item : {"Option_IME_Q_Mode1", "Option_IME_R_Mode2", "Option_Focus"}) {
        editor.trigger(item);
    }
    editor.type(u"apple"_s, {"1", "", "3", "4"});
    editor.form().setExtraRights(u"5|@2|6"_s);
    auto watch = onModal([](QDialog& dialog) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* list = dialog.findChild<QListWidget*>(u"lstRight"_s);
        auto* input = dialog.findChild<QLineEdit*>(u"txtRight"_s);
        auto* remove = dialog.findChild<QPushButton*>(u"cmdRemove"_s);
        EXPECT_EQ(items(list), (QStringList{"1", "3", "4", "5", "6"}));
        EXPECT_FALSE(remove->isEnabled());
        EXPECT_TRUE(input->hasFocus());
        EXPECT_EQ(platform::imeMode(input), ImeMode::Off);
        for (const QString text : {"n1", "", "n2"}) {  // an empty box appends nothing
            QTest::keyClicks(input, text);
            QTest::keyClick(input, Qt::Key_Return);  // the default button
        }
        EXPECT_EQ(items(list), (QStringList{"1", "3", "4", "5", "6", "n1", "n2"}));
        EXPECT_TRUE(input->text().isEmpty());
        for (int row : {1, 5}) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              list->visualItemRect(list->item(row)).center());
        }
        EXPECT_EQ(input->text(), u"n1"_s);  // the clicked answer, for editing
        QTest::mouseClick(remove, Qt::LeftButton);
        EXPECT_FALSE(remove->isEnabled());
        EXPECT_EQ(input->text(), u"n1"_s);  // deleting is not a click
        QTest::keyClicks(input, u"x"_s);    // typed but not appended: OK appends it

        auto* question = dialog.findChild<QLineEdit*>(u"txtQuestion"_s);
        question->setFocus(Qt::BacktabFocusReason);
        EXPECT_EQ(platform::imeMode(question), ImeMode::On);
        EXPECT_EQ(question->selectedText(), u"apple"_s);
        QTest::keyClicks(question, u"pear"_s);
        QTest::keyClick(question, Qt::Key_F1);
        click(&dialog, u"cmdOK"_s);
    });
    editor.press(u"cmdMoreRight"_s);
    editor.expectHelpOpened(15);
    const std::array<QString, 4> boxes{"1", "4", "5", "6"};
    EXPECT_EQ(editor.form().txtQuestion()->text(), u"pear"_s);
    EXPECT_EQ(editor.answerBoxes(), boxes);
    EXPECT_EQ(editor.form().extraRights(), u"n2|@2|n1x"_s);
    EXPECT_EQ(editor.form().lblRightCount()->text(), u"6 (+2)"_s);
    EXPECT_EQ(editor.document().entries(), entriesOf({"A"}));
    EXPECT_FALSE(editor.document().isModified());

    watch = onModal([](QDialog& dialog) {  // Cancel after changes
        dialog.findChild<QListWidget*>(u"lstRight"_s)->selectAll();
        click(&dialog, u"cmdRemove"_s);
        click(&dialog, u"cmdCancel"_s);
    });
    editor.press(u"cmdMoreRight"_s);
    EXPECT_EQ(editor.answerBoxes(), boxes);
    EXPECT_EQ(editor.form().extraRights(), u"n2|@2|n1x"_s);
}

}  // namespace
