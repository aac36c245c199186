#include "editor/entries/frm_add_right.h"
#include "editor/document/focus_behaviour.h"
#include "platform/scripted_platform.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace editor {
namespace {

using platform::ImeMode;

struct Options : InputOptions {
    bool select = true;
    ImeMode imeMode(BoxKind kind) const override {
        return kind == BoxKind::Question ? ImeMode::On : ImeMode::Off;
    }
    bool focusSelect() const override { return select; }
};

class AddRightTest : public testing::Test {
public:
    void open(const QString& question, const FormAnswers& form) {
        dialog = std::make_unique<frmAddRight>(question, form, focus, platform,
                                               QStringLiteral("/x/Kotobax.hlp"), nullptr);
        dialog->open();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    template <typename T>
    T* child(const char* name) {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    QStringList items() {
        QStringList texts;
        for (int i = 0; i < child<QListWidget>("lstRight")->count(); ++i) {
            texts.append(child<QListWidget>("lstRight")->item(i)->text());
        }
        return texts;
    }
    void select(const QList<int>& rows) {
        auto* list = child<QListWidget>("lstRight");
        for (int row : rows) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              list->visualItemRect(list->item(row)).center());
        }
    }
    void add(const QString& text) {
        QTest::keyClicks(child<QLineEdit>("txtRight"), text);
        QTest::keyClick(child<QLineEdit>("txtRight"), Qt::Key_Return);  // the default button
    }

    platform::ScriptedPlatform platform;
    Options options;
    FocusBehaviour focus{platform, options};
    std::unique_ptr<frmAddRight> dialog;
};

// One sitting: appending, clicking, deleting, and what OK hands back.
TEST_F(AddRightTest, AppendsAndDeletesAnswersAndHandsBackTheListAsTheForm) {
    open("apple", {{"1", "", "3", "4"}, "5|@2|6"});
    auto* remove = child<QPushButton>("cmdRemove");
    auto* input = child<QLineEdit>("txtRight");
    EXPECT_EQ(items(), (QStringList{"1", "3", "4", "5", "6"}));
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_TRUE(input->hasFocus());

    add("n1");
    add("");  // an empty box appends nothing
    add("n2");
    EXPECT_EQ(items(), (QStringList{"1", "3", "4", "5", "6", "n1", "n2"}));
    EXPECT_TRUE(input->text().isEmpty());

    select({1, 5});
    EXPECT_EQ(input->text(), QStringLiteral("n1"));  // the clicked answer, for editing
    EXPECT_TRUE(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_EQ(input->text(), QStringLiteral("n1"));  // deleting is not a click

    QTest::keyClicks(input, "x");  // typed but not appended
    QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->answers(), (FormAnswers{{"1", "4", "5", "6"}, "n2"}));
}

TEST_F(AddRightTest, BoxesTakeTheModesOfTheirKindsTheQuestionIsEditableAndF1Helps) {
    open("apple", {});
    auto* question = child<QLineEdit>("txtQuestion");
    auto* input = child<QLineEdit>("txtRight");
    EXPECT_EQ(platform::imeMode(input), ImeMode::Off);
    question->setFocus(Qt::BacktabFocusReason);
    EXPECT_EQ(platform::imeMode(question), ImeMode::On);
    EXPECT_EQ(question->selectedText(), QStringLiteral("apple"));
    QTest::keyClicks(question, "pear");
    QTest::keyClick(question, Qt::Key_F1);
    EXPECT_EQ(platform.helpRequests(),
              (std::vector<platform::ScriptedPlatform::HelpRequest>{{"/x/Kotobax.hlp", 15}}));
    QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(dialog->question(), QStringLiteral("pear"));
}

}  // namespace
}  // namespace editor
