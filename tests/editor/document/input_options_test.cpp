#include "editor/document/check_number.h"
#include "editor/document/focus_behaviour.h"
#include "platform/scripted_platform.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>

namespace editor {
namespace {

using platform::ImeMode;

TEST(GetCheckNumber, FirstCheckedItemOrZero) {
    const QList<std::pair<QList<bool>, int>> cases = {
        {{false, false, false}, 0},
        {{false, true, true}, 1},
        {{false, false, true}, 2},
        {{true, false, true}, 0},
        {{}, 0},
    };
    for (const auto& [checked, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(checked));
        QObject owner;
        QList<QAction*> items;
        for (bool c : checked) {
            items.append(new QAction(&owner));
            items.back()->setCheckable(true);
            items.back()->setChecked(c);
        }
        EXPECT_EQ(getCheckNumber(items), expected);
    }
}

struct FixedOptions : InputOptions {
    ImeMode question = ImeMode::NoControl;
    ImeMode right = ImeMode::NoControl;
    ImeMode information = ImeMode::NoControl;
    bool select = false;

    ImeMode imeMode(BoxKind kind) const override {
        switch (kind) {
            case BoxKind::Question:
                return question;
            case BoxKind::Right:
                return right;
            case BoxKind::Information:
                break;
        }
        return information;
    }
    bool focusSelect() const override { return select; }
};

class FocusBehaviourTest : public testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* box : {static_cast<QWidget*>(question), static_cast<QWidget*>(right),
                             static_cast<QWidget*>(information), static_cast<QWidget*>(plain)}) {
            layout->addWidget(box);
        }
        focus.attach(question, BoxKind::Question);
        focus.attach(right, BoxKind::Right);
        focus.attach(information, BoxKind::Information);
        focus.attach(plain, std::nullopt);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    platform::ScriptedPlatform platform;
    FixedOptions options;
    FocusBehaviour focus{platform, options};
    QWidget window;
    QLineEdit* question = new QLineEdit(QStringLiteral("apple"), &window);
    QLineEdit* right = new QLineEdit(QStringLiteral("りんご"), &window);
    QPlainTextEdit* information = new QPlainTextEdit(QStringLiteral("a\nb"), &window);
    QLineEdit* plain = new QLineEdit(QStringLiteral("text"), &window);
};

QString selectedText(QWidget* box) {
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        return line->selectedText();
    }
    return qobject_cast<QPlainTextEdit*>(box)->textCursor().selectedText();
}

TEST_F(FocusBehaviourTest, EveryFocusGainSetsTheModeOfItsKindAndTheSelection) {
    struct Case {
        const char* name;
        QWidget* box;
        ImeMode mode;  // set in the options for the box's kind
        bool select;
        ImeMode expectedMode;
        QString expectedSelection;
    };
    const QList<Case> cases = {
        {"question on, selected", question, ImeMode::On, true, ImeMode::On, "apple"},
        {"question off, not selected", question, ImeMode::Off, false, ImeMode::Off, ""},
        {"answer left alone", right, ImeMode::NoControl, true, ImeMode::NoControl, "りんご"},
        {"answer off", right, ImeMode::Off, false, ImeMode::Off, ""},
        {"information on, selected", information, ImeMode::On, true, ImeMode::On,
         QStringLiteral("a\u2029b")},
        {"information off", information, ImeMode::Off, false, ImeMode::Off, ""},
        {"search text: selection only", plain, ImeMode::On, true, ImeMode::NoControl, "text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        options = FixedOptions{};
        options.question = options.right = options.information = c.mode;
        options.select = c.select;
        platform.clearRecords();
        information->moveCursor(QTextCursor::End);  // a text edit keeps its selection otherwise
        window.setFocus();                          // a box gains the focus each time anew
        c.box->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(c.box->hasFocus());
        EXPECT_EQ(platform::imeMode(c.box), c.expectedMode);
        EXPECT_EQ(platform.imeChanges().size(), c.box == plain ? 0u : 1u);
        EXPECT_EQ(selectedText(c.box), c.expectedSelection);
    }
}

TEST_F(FocusBehaviourTest, TypingReplacesTheSelectedTextAndAnEmptyBoxSelectsNothing) {
    options.select = true;
    right->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(right, QStringLiteral("pear"));
    EXPECT_EQ(right->text(), QStringLiteral("pear"));
    right->clear();
    question->setFocus(Qt::TabFocusReason);
    right->setFocus(Qt::BacktabFocusReason);
    EXPECT_FALSE(right->hasSelectedText());
}

TEST_F(FocusBehaviourTest, AClickIntoABoxSelectsItsTextOnceTheClickIsDone) {
    options.select = true;
    options.question = ImeMode::Off;
    plain->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(question, Qt::LeftButton, {}, QPoint(5, question->height() / 2));
    ASSERT_TRUE(question->hasFocus());
    EXPECT_EQ(question->selectedText(), QStringLiteral("apple"));
    EXPECT_EQ(platform::imeMode(question), ImeMode::Off);
    QTest::mouseClick(question, Qt::LeftButton, {}, QPoint(5, question->height() / 2));
    EXPECT_FALSE(question->hasSelectedText());  // a click inside the focused box places the caret
}

}  // namespace
}  // namespace editor
