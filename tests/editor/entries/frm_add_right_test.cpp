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

TEST_F(AddRightTest, EditsTheListAndWritesTheFormBackOnlyOnOk) {
    struct Case {
        const char* name;
        FormAnswers form;
        QStringList opened;
        std::function<void(AddRightTest&)> edit;
        const char* closeWith;
        FormAnswers result;  // what the caller writes back; only on OK
    };
    const FormAnswers four{{"1", "2", "3", "4"}, "5|@2|6"};
    const QList<Case> cases = {
        {"answers in boxes 1 and 3 only",
         {{"", "b", "", "d"}, ""},
         {"b", "d"},
         nullptr,
         "cmdOK",
         {{"b", "d", "", ""}, ""}},
        {"six answers, the second removed",
         four,
         {"1", "2", "3", "4", "5", "6"},
         [](AddRightTest& t) {
             t.select({1});
             QTest::mouseClick(t.child<QPushButton>("cmdRemove"), Qt::LeftButton);
         },
         "cmdOK",
         {{"1", "3", "4", "5"}, "6"}},
        {"two added to four",
         {{"1", "2", "3", "4"}, ""},
         {"1", "2", "3", "4"},
         [](AddRightTest& t) {
             t.add("n1");
             t.add("n2");
             t.add("");  // an empty box adds nothing
         },
         "cmdOK",
         {{"1", "2", "3", "4"}, "n1|@2|n2"}},
        {"all removed",
         four,
         {"1", "2", "3", "4", "5", "6"},
         [](AddRightTest& t) {
             t.child<QListWidget>("lstRight")->selectAll();
             QTest::mouseClick(t.child<QPushButton>("cmdRemove"), Qt::LeftButton);
         },
         "cmdOK",
         {}},
        {"typed but not appended",
         {{"a", "", "", ""}, ""},
         {"a"},
         [](AddRightTest& t) { QTest::keyClicks(t.child<QLineEdit>("txtRight"), "b"); },
         "cmdOK",
         {{"a", "", "", ""}, ""}},
        {"cancel after changes",
         four,
         {"1", "2", "3", "4", "5", "6"},
         [](AddRightTest& t) {
             t.add("n");
             t.select({0});
             QTest::mouseClick(t.child<QPushButton>("cmdRemove"), Qt::LeftButton);
         },
         "cmdCancel",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open("apple", c.form);
        EXPECT_EQ(items(), c.opened);
        if (c.edit) {
            c.edit(*this);
        }
        QTest::mouseClick(child<QPushButton>(c.closeWith), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
        const bool ok = std::string_view(c.closeWith) == "cmdOK";
        EXPECT_EQ(dialog->result(), ok ? QDialog::Accepted : QDialog::Rejected);
        if (ok) {
            EXPECT_EQ(dialog->answers(), c.result);
        }
    }
}

TEST_F(AddRightTest, ClickingAnAnswerCopiesItAndEnablesRemovalUntilTheNextDeletion) {
    open("apple", {{"りんご", "林檎", "", ""}, ""});
    auto* remove = child<QPushButton>("cmdRemove");
    auto* input = child<QLineEdit>("txtRight");
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_TRUE(input->hasFocus());
    select({1});
    EXPECT_EQ(input->text(), QStringLiteral("林檎"));
    EXPECT_TRUE(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_EQ(input->text(), QStringLiteral("林檎"));
    EXPECT_EQ(items(), QStringList{"りんご"});
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
