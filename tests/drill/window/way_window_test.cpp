// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/preferences.h"
#include "window_fixture.h"

namespace drill::test {
namespace {

using namespace Qt::StringLiterals;

class Ways : public WindowTest {
public:
    void SetUp() override { create(); }
    // The captions of the choices on screen.
    QString choices() const {
        QStringList shown;
        for (int i = 0; i < AnswerChoices::kMaxChoices; ++i) {
            if (auto* button = find<QPushButton>(u"cmdChoice%1"_s.arg(i)); button->isVisible()) {
                shown.append(button->text());
            }
        }
        return shown.join(u',');
    }
    QString verdict() const { return text(u"lblResult"_s) + u' ' + text(u"lblCount"_s); }
    // A button's key clicks it the way a mouse click looks, a moment later.
    void pressButtonKey(Qt::Key key) {
        press(key);
        QTest::qWaitFor([&] { return window->session().phase() != DrillPhase::Answering; });
    }
};

const QStringList kWords{u"apple|@1|りんご|@1|fruit"_s, u"dog|@1|犬|@1|"_s, u"cat|@1|猫|@1|"_s};

// The given random values keep the file's order and put the right choice first.
TEST_F(Ways, ChoicesArePickedByKeyOrMouseAndJudgedAsTypedAnswers) {
    action(u"Option_Choice"_s)->trigger();
    startDrill(kWords);
    const struct {
        QString question;
        QString choices;
        std::function<void()> pick;
        QString answer;
        QString verdict;
    } steps[] = {
        {u"apple"_s, u"1  りんご,2  犬,3  猫"_s, [&] { pressButtonKey(Qt::Key_1); }, u"りんご"_s,
         u"○ 1 / 1"_s},
        {u"dog"_s, u"1  犬,2  猫,3  りんご"_s,
         [&] { QTest::mouseClick(find(u"cmdChoice2"_s), Qt::LeftButton); }, u"りんご"_s,
         u"× 1 / 2"_s},
        // Shift+Tab goes back over the choices from OK, and Enter picks the one reached.
        {u"cat"_s, u"1  猫,2  犬,3  りんご"_s,
         [&] {
             press(Qt::Key_Backtab);
             press(Qt::Key_Return);
         },
         u"りんご"_s, u"× 1 / 3"_s},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.question.toStdString());
        EXPECT_EQ(text(u"txtQuestion1"_s), step.question);
        EXPECT_EQ(choices(), step.choices);
        EXPECT_TRUE(find<QLineEdit>(u"txtAnswer"_s)->isReadOnly());
        step.pick();
        EXPECT_EQ(choices(), QString()) << "the answers take their rows";
        EXPECT_EQ(text(u"txtAnswer"_s), step.answer);
        EXPECT_EQ(verdict(), step.verdict);
        EXPECT_EQ(text(u"txtRight0"_s), step.choices.section(u',', 0, 0).mid(3));
        press(Qt::Key_Return);
    }
    EXPECT_EQ(text(u"txtQuestion1"_s), u"選択式  正解率  33 %"_s);
    EXPECT_FALSE(find<QLineEdit>(u"txtAnswer"_s)->isReadOnly()) << "typed again after the drill";
}

// Run also with QT_SCALE_FACTOR 1.5 and 2 (see CMakeLists.txt).
TEST_F(Ways, ChoicesTooLongForTheirRowsEndInAnEllipsisWithin) {
    action(u"Option_Choice"_s)->trigger();
    const QString tail = u"、～に気がつく、～を知らせる、通知、掲示、注意を向けること"_s;
    startDrill({u"notice|@1|一"_s + tail + u"|@1|"_s, u"hear|@1|二"_s + tail + u"|@1|"_s});
    for (const int i : {0, 1}) {
        SCOPED_TRACE(i);
        auto* button = find<QPushButton>(u"cmdChoice%1"_s.arg(i));
        EXPECT_TRUE(button->isVisible());
        EXPECT_TRUE(button->text().endsWith(u'…')) << button->text().toStdString();
        EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width());
        EXPECT_TRUE(button->toolTip().endsWith(tail)) << "the whole choice";
    }
}

// The learner sees the answers first and then grades himself; Space turns the card only. The
// way, one of the group, is kept in the preferences file.
TEST_F(Ways, CardsShowTheAnswersBySpaceAndCountTheLearnersGrade) {
    action(u"Option_Choice"_s)->trigger();
    action(u"Option_Card"_s)->trigger();
    EXPECT_FALSE(action(u"Option_Choice"_s)->isChecked());
    startDrill(kWords);
    const struct {
        std::vector<Qt::Key> keys;
        QString verdict;
    } steps[] = {
        {{Qt::Key_Space, Qt::Key_Space, Qt::Key_2}, u"× 0 / 1"_s},
        {{Qt::Key_Return, Qt::Key_Return}, u"○ 1 / 2"_s},
        {{Qt::Key_2, Qt::Key_Space, Qt::Key_1}, u"○ 2 / 3"_s},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.verdict.toStdString());
        EXPECT_FALSE(find(u"txtAnswer"_s)->isVisible());
        EXPECT_EQ(rights(), u",,,"_s);
        for (std::size_t i = 0; i + 1 < step.keys.size(); ++i) {
            press(step.keys[i]);
        }
        EXPECT_EQ(verdict(), u" "_s + text(u"lblCount"_s)) << "nothing counted yet";
        EXPECT_FALSE(rights().startsWith(u',')) << "the answers shown";
        pressButtonKey(step.keys.back());
        EXPECT_EQ(verdict(), step.verdict);
        press(Qt::Key_Return);
    }
    window.reset();
    create();
    EXPECT_EQ(window->session().way(), DrillWay::Card);
    action(u"Option_WayForward"_s)->trigger();
    EXPECT_EQ(window->session().way(), DrillWay::Typed);
    EXPECT_EQ(common::PreferencesFile(platform.preferencesFile()).load().drillWay, DrillWay::Typed);
}

}  // namespace
}  // namespace drill::test
