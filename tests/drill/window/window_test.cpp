#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTextBlock>

#include <memory>

#include "common/settings.h"
#include "drill/window/drill_clock.h"
#include "drill/window/drill_layout.h"
#include "drill/window/frm_main.h"
#include "window_fixture.h"

namespace drill::test {
namespace {

using namespace Qt::StringLiterals;
using platform::Answer;

class Window : public WindowTest {
public:
    void SetUp() override { create(); }
};

TEST_F(Window, OpensAsDesigned) {
    EXPECT_EQ(window->windowTitle(), "Kotobax4");
    EXPECT_EQ(find("client")->width(), 472);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const QRect answerBox = find("txtAnswer")->geometry();
    EXPECT_EQ(QRect(answerBox.x(), 0, answerBox.width(), 0), QRect(8, 0, 457, 0));
    // clang-format off
    const std::vector<std::tuple<const char*, QString, bool>> controls{
        {"txtQuestion0", "Kotobax 4\n", false}, {"txtQuestion1", "Kotobax 4", true},
        {"optVisibility0", "ON", true},         {"optVisibility1", "OFF", true},
        {"txtRight0", "1", true},               {"txtRight3", "4", true},
        {"txtAnswer", "Answer", true},          {"cmdOK", "OK", true},
        {"lblResult", "㊤", true},               {"lblTime", "0 分 0 秒", true},
        {"lblCount", "0 / 0", true},            {"txtInformation", "ﾌｧｲﾙを開いてください。\n", true},
        {"vsRight", "", false},
    };
    // clang-format on
    for (const auto& [name, caption, visible] : controls) {
        EXPECT_EQ(text(name), caption) << name;
        EXPECT_EQ(find(name)->isVisible(), visible) << name;
    }
    EXPECT_FALSE(find("cmdOK")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>("optVisibility1")->isChecked());
    EXPECT_TRUE(action("Option_Normal")->isChecked());
}

// Run also with QT_SCALE_FACTOR 1.5 and 2 (see CMakeLists.txt).
TEST_F(Window, EveryTextBoxShowsWholeLinesOfJapanese) {
    const QFont system = QApplication::font();
    QFont larger = system;
    larger.setPointSizeF(system.pointSizeF() + 2);
    for (const QFont& font : {system, larger}) {
        SCOPED_TRACE(font.toString().toStdString());
        QApplication::setFont(font);
        create();
        expectWholeJapaneseLines();
        window.reset();
    }
    QApplication::setFont(system);
}

// A long question is the one-line box's tool tip and description, as the box cuts it. During
// a drill, switching the variant leaves the typed answer in its box with the focus, so that
// Enter judges it; Tab reaches the checked option only.
TEST_F(Window, QuestionOptionsKeepTheAnswerAndALongQuestionIsTheToolTip) {
    const QString longQuestion = u"長い問題"_s.repeated(40);
    startDrill({longQuestion + "|@1|りんご|@1|", "short|@1|x|@1|"});
    EXPECT_EQ(find("txtQuestion1")->toolTip(), longQuestion);
    EXPECT_EQ(find("txtQuestion1")->accessibleDescription(), longQuestion);
    for (const char* option : {"optVisibility0", "optVisibility1"}) {
        find<QLineEdit>("txtAnswer")->setText("りん");
        QTest::mouseClick(find(option), Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), find("txtAnswer")) << option;
        EXPECT_EQ(text("txtAnswer"), "りん");
    }
    find<QLineEdit>("txtAnswer")->insert("ご");
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblCount"), "1 / 1");
    EXPECT_EQ(find("txtQuestion1")->toolTip(), "");
    EXPECT_EQ(find("txtQuestion1")->accessibleDescription(),
              u"ドリルの終わりには結果を表示します"_s);
    stop();

    // OK is off outside a drill: Tab goes around to the options, Backtab back to them.
    for (const char* option : {"optVisibility0", "optVisibility1"}) {
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            QTest::mouseClick(find(option), Qt::LeftButton);
            find("txtAnswer")->setFocus();
            press(key);
            EXPECT_EQ(QApplication::focusWidget(), find(option)) << option << key;
        }
    }
}

TEST_F(Window, RemembersModeAndFileInTheSettingsFile) {
    const QString settings = common::settingsFilePath(platform.programFolder());
    common::SettingsRecord record;
    record.drillMode = common::kOvercomingMode;
    common::writeSettings(settings, record, common::kDrillRecordLength);
    create();
    EXPECT_TRUE(action("Option_Conquering")->isChecked());
    action("Option_Endless")->trigger();
    action("Option_Endless")->trigger();  // the checked item stays checked
    EXPECT_TRUE(action("Option_Endless")->isChecked());
    EXPECT_FALSE(action("Option_Conquering")->isChecked() || action("Option_Normal")->isChecked());
    startDrill({"q|@1|a|@1|"}, "Option_Endless");
    EXPECT_TRUE(window->close()) << "closes during a drill without asking";
    const common::SettingsRecord saved = common::readSettings(settings, 516);
    EXPECT_EQ(saved.lastPath(), programFile("words.qvw"));
    EXPECT_EQ(saved.drillMode, common::kEndlessMode);
}

TEST_F(Window, WholeDrillFromTheKeyboardWithCommandsFollowingTheState) {
    EXPECT_EQ(availability(), "1001111111") << "no set";
    press(Qt::Key_S, Qt::ControlModifier);
    press(Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(platform.shown().empty());
    platform.fileNames({words({"apple|@1|りんご|@2|ringo|@1|fr\\nuit", "run|@1|hashiru|@1|"})});
    press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(text("txtInformation"), "ﾌｧｲﾙをﾛｰﾄﾞしました。\n" + programFile("words.qvw"));
    EXPECT_EQ(availability(), "1101111111") << "loaded";
    platform.answers({Answer::Ok});
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(availability(), "0011110000") << "drilling";
    press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(platform.fileDialogs().size(), 1u);

    // The first answer comes through an input method, whose confirming Enter is not OK's.
    EXPECT_EQ(text("txtQuestion1"), "apple");
    QInputMethodEvent composing("りんご", {});
    QApplication::sendEvent(QApplication::focusWidget(), &composing);
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblResult"), "");
    QInputMethodEvent committed;
    committed.setCommitString("りんご");
    QApplication::sendEvent(QApplication::focusWidget(), &committed);
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblResult") + rights() + text("txtInformation"), "○りんご,ringo,,fr\nuit");
    press(Qt::Key_Enter);
    // Typed into an emptied box that has the focus, else it would be wrong.
    EXPECT_EQ(text("txtQuestion1"), "run");
    QTest::keyClicks(QApplication::focusWidget(), "hashiru");
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblResult") + rights() + text("txtInformation"), "○hashiru,,,");
    press(Qt::Key_Enter);
    EXPECT_EQ(text("txtQuestion0") + text("txtQuestion1"), "正解率  100 %正解率  100 %");
    EXPECT_FALSE(find("cmdOK")->isEnabled());

    EXPECT_EQ(availability(), "1101111111") << "ended";
    platform.answers({Answer::Ok});
    platform.fileNames({programFile("missing.qvw")});
    press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(availability(), "1001111111") << "failed load";
}

TEST_F(Window, IndicatorShowsTheMeasuredTimeAndAFrameClickHidesIt) {
    QWidget* frame = find("framTime");
    const QPoint between(105, 12);
    ASSERT_EQ(frame->childAt(between), nullptr);
    QTest::mouseClick(frame, Qt::LeftButton, {}, between);
    EXPECT_FALSE(find("lblTime")->isVisible() || find("lblCount")->isVisible());

    startDrill({"A|@1|a|@1|"});
    const std::vector<std::pair<qint64, QString>> ticks{
        {1, "0 分 1 秒"}, {60, "1 分 0 秒"}, {3600, "60 分 0 秒"}, {4503, "75 分 3 秒"}};
    const qint64 started = now;
    for (const auto& [seconds, expected] : ticks) {
        tick(started + seconds * 1000 + 400 - now);  // a late tick shows the time passed
        EXPECT_EQ(text("lblTime"), expected);
        EXPECT_EQ(window->clock().tag(), QString::number(seconds));
    }
    stop();
    tick(10'000);
    EXPECT_EQ(text("lblTime"), "75 分 3 秒") << "the last time stays";

    platform.answers({Answer::Ok});
    action("Menu_Start")->trigger();
    tick(7'000);
    EXPECT_FALSE(find("lblTime")->isVisible()) << "hidden across drills";
    QTest::mouseClick(frame, Qt::LeftButton, {}, between);
    EXPECT_TRUE(find("lblTime")->isVisible() && find("lblCount")->isVisible());
    EXPECT_EQ(text("lblTime"), "0 分 7 秒");
    QTest::mouseClick(find("lblTime"), Qt::LeftButton);
    EXPECT_TRUE(find("lblTime")->isVisible()) << "a click on a label is not the frame's";
}

TEST_F(Window, ScrollBarPagesFourAnswersAtATime) {
    const std::vector<std::tuple<QString, int, QString>> cases{
        {"1|@2|2|@2|3|@2|4|@2|5", 1, "5,,,"},
        {"1|@2|2|@2|3|@2|4|@2|5|@2|6|@2|7|@2|8|@2|9", 2, "9,,,"},
        {"1|@2||@2|3|@2|4|@2|5|@2|6", 0, "1,,3,4"},
    };
    QScrollBar* bar = find<QScrollBar>("vsRight");
    for (const auto& [joined, page, boxes] : cases) {
        startDrill({"q|@1|" + joined + "|@1|", "next|@1|a|@2|b|@2|c|@2|d|@2|e|@1|"});
        press(Qt::Key_Return);  // an empty answer, judged wrong
        EXPECT_EQ(bar->maximum(), joined.count("|@2|") / 4);
        bar->setValue(page);
        EXPECT_EQ(rights(), boxes) << joined.toStdString();
        press(Qt::Key_Return);
        EXPECT_FALSE(bar->isVisible());
        press(Qt::Key_Return);
        EXPECT_EQ(rights(), "a,b,c,d") << "a new entry starts on its first page";
        EXPECT_EQ(bar->value(), 0);
        stop();
    }
}

TEST_F(Window, VersionHelpAndEditor) {
    window->setVersion(2, 5);
    platform.answers({Answer::Ok});
    action("Menu_Version")->trigger();
    EXPECT_EQ(
        platform.shown().back(),
        (platform::MessageBox{"Ver. 2.05\r\n\r\nKotobaxをご愛用いただき、ありがとうございます。"
                              "\r\nCopyright (C) 2026 Kotobax developers",
                              "Information"}));
    action("Menu_Help")->trigger();
    EXPECT_EQ(
        platform.helpRequests(),
        (std::vector<platform::ScriptedPlatform::HelpRequest>{{programFile("Kotobax.hlp"), 0}}));

    const QString name = platform::executableName("Brelmi");
    const QString editor = programFile(name);
    platform.answers({Answer::Ok});
    action("Option_Edit")->trigger();
    EXPECT_EQ(platform.shown().back(), (platform::MessageBox{name + " が見つかりません。", "Edit",
                                                             platform::Icon::Warning}));
    EXPECT_TRUE(platform.programsStarted().empty());
    writeFile(name, "");
    action("Option_Edit")->trigger();
    EXPECT_EQ(platform.programsStarted(),
              (std::vector<platform::ScriptedPlatform::ProgramStart>{{editor, {}, true}}));
    platform.setStartResult(editor, false);
    platform.answers({Answer::Ok});
    action("Option_Edit")->trigger();
    EXPECT_EQ(platform.shown().back().text, name + " を起動できません。");
}

}  // namespace
}  // namespace drill::test
