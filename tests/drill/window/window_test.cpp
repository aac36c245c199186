#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QMenu>
#include <QRadioButton>

#include "common/settings.h"
#include "window_fixture.h"

namespace drill::test {
namespace {

class Window : public WindowTest {};

TEST_F(Window, OpensAsDesigned) {
    create();
    EXPECT_EQ(window->windowTitle(), "Kotobax4");
    EXPECT_EQ(find("client")->size(), QSize(472, 279));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    // clang-format off
    const std::vector<std::tuple<const char*, QString, bool>> controls{
        {"txtQuestion0", "Kotobax 4\n", false}, {"txtQuestion1", "Kotobax 4", true},
        {"optVisibility0", "ON", true},         {"optVisibility1", "OFF", true},
        {"txtRight0", "1", true},               {"txtRight3", "4", true},
        {"txtAnswer", "Answer", true},          {"cmdOK", "OK", true},
        {"lblResult", "㊤", true},               {"lblTime", "0 分 0 秒", true},
        {"lblCount", "0 / 0", true},            {"txtInformation", "ﾌｧｲﾙを開いてください。\n", true},
    };
    // clang-format on
    for (const auto& [name, caption, visible] : controls) {
        EXPECT_EQ(text(name), caption) << name;
        EXPECT_EQ(find(name)->isVisible(), visible) << name;
    }
    EXPECT_EQ(find("txtAnswer")->geometry(), QRect(8, 224, 457, 18));
    EXPECT_FALSE(find("vsRight")->isVisible());
    EXPECT_FALSE(find("cmdOK")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>("optVisibility1")->isChecked());
    EXPECT_TRUE(action("Option_Normal")->isChecked());
    EXPECT_EQ(window->clock().interval(), 0);
    QStringList captions;
    for (const char* menu : {"Menu_Top", "Option_Top"}) {
        captions.append(find<QMenu>(menu)->title());
        for (const QAction* item : find<QMenu>(menu)->actions()) {
            captions.append(item->isSeparator() ? "-" : item->text());
        }
    }
    EXPECT_EQ(captions.join(","),
              "&Menu,&Open,&Start,-,&Stop,-,&Version,&Help,E&xit,"
              "&Option,&Normal mode,&Endless mode,&Overcoming mode,-,E&dit");
}

TEST_F(Window, RemembersModeAndFileInTheSettingsFile) {
    const QString settings = common::settingsFilePath(platform.programFolder());
    // clang-format off
    const std::vector<std::pair<quint8, const char*>> stored{
        {0, "Option_Normal"}, {2, "Option_Endless"}, {3, "Option_Conquering"}, {7, "Option_Normal"}};
    // clang-format on
    for (const auto& [mode, checked] : stored) {
        common::SettingsRecord record;
        record.drillMode = mode;
        common::writeSettings(settings, record, common::kDrillRecordLength);
        create();
        EXPECT_TRUE(action(checked)->isChecked()) << int(mode);
    }
    action("Option_Endless")->trigger();
    action("Option_Endless")->trigger();  // the checked item stays checked
    EXPECT_TRUE(action("Option_Endless")->isChecked());
    EXPECT_FALSE(action("Option_Normal")->isChecked());
    startDrill({"q|@1|a|@1|"}, "Option_Endless");
    EXPECT_TRUE(window->close()) << "closes during a drill without asking";
    const common::SettingsRecord saved = common::readSettings(settings, 516);
    EXPECT_EQ(saved.lastPath(), programFile("words.qvw"));
    EXPECT_EQ(saved.drillMode, common::kEndlessMode);
}

TEST_F(Window, CommandsFollowTheStateAlsoThroughTheirKeys) {
    create();
    const auto expect = [this](const char* state, bool open, bool start, bool stop, bool options) {
        EXPECT_EQ(action("Menu_Open")->isEnabled(), open) << state;
        EXPECT_EQ(action("Menu_Start")->isEnabled(), start) << state;
        EXPECT_EQ(action("Menu_GiveUp")->isEnabled(), stop) << state;
        for (const char* item : {"Option_Normal", "Option_Conquering", "Option_Edit"}) {
            EXPECT_EQ(action(item)->isEnabled(), options) << state << " " << item;
        }
        EXPECT_TRUE(action("Menu_Version")->isEnabled() && action("Menu_Exit")->isEnabled());
    };
    expect("no set", true, false, false, true);
    press(Qt::Key_S, Qt::ControlModifier);
    press(Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(platform.shown().empty());

    platform.fileNames({writeWordFile({"A|@1|a|@1|", "B|@1|b|@1|"})});
    press(Qt::Key_O, Qt::ControlModifier);
    expect("loaded", true, true, false, true);
    platform.answers({platform::Answer::Ok});
    press(Qt::Key_S, Qt::ControlModifier);
    expect("drilling", false, false, true, false);
    press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(platform.fileDialogs().size(), 1u);
    platform.answers({platform::Answer::Yes});
    press(Qt::Key_G, Qt::ControlModifier);
    expect("ended", true, true, false, true);
    platform.answers({platform::Answer::Ok});
    platform.fileNames({programFile("missing.qvw")});
    press(Qt::Key_O, Qt::ControlModifier);
    expect("failed load", true, false, false, true);
}

TEST_F(Window, WholeDrillFromTheKeyboard) {
    create();
    platform.fileNames({writeWordFile({"apple|@1|りんご|@2|ringo|@1|fruit", "run|@1|走る|@1|"})});
    press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(text("txtInformation"), "ﾌｧｲﾙをﾛｰﾄﾞしました。\n" + programFile("words.qvw"));
    platform.answers({platform::Answer::Ok});
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(text("txtQuestion1"), "apple");
    EXPECT_EQ(QApplication::focusWidget(), find("txtAnswer"));

    QTest::keyClicks(QApplication::focusWidget(), "ringo");
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblResult"), "○");
    EXPECT_EQ(text("txtRight0") + text("txtRight1") + text("txtInformation"), "りんごringofruit");
    press(Qt::Key_Enter);
    QTest::keyClicks(QApplication::focusWidget(), "ran");
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblResult"), "×");
    EXPECT_EQ(text("lblCount"), "1 / 2");
    press(Qt::Key_Return);
    EXPECT_EQ(text("txtQuestion1"), "正解率  50 %");
    EXPECT_EQ(text("txtQuestion0"), "正解率  50 %");
    EXPECT_FALSE(find("cmdOK")->isEnabled());
}

TEST_F(Window, EnterThatConfirmsAConversionIsNotOk) {
    create();
    startDrill({"apple|@1|林檎|@1|"});
    QInputMethodEvent composing("りんご", {});
    QApplication::sendEvent(find("txtAnswer"), &composing);
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblResult"), "");
    QInputMethodEvent committed;
    committed.setCommitString("林檎");
    QApplication::sendEvent(find("txtAnswer"), &committed);
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblResult"), "○");
}

TEST_F(Window, TimeIsMeasuredNotCounted) {
    create();
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
}

TEST_F(Window, FrameClickHidesAndShowsTheIndicatorAcrossDrills) {
    create();
    QWidget* frame = find("framTime");
    const QPoint between(105, 12);
    ASSERT_EQ(frame->childAt(between), nullptr);
    QTest::mouseClick(frame, Qt::LeftButton, {}, between);
    EXPECT_FALSE(find("lblTime")->isVisible());
    EXPECT_FALSE(find("lblCount")->isVisible());

    startDrill({"A|@1|a|@1|"});
    stop();
    platform.answers({platform::Answer::Ok});
    action("Menu_Start")->trigger();
    tick(7'000);
    EXPECT_FALSE(find("lblTime")->isVisible());
    QTest::mouseClick(frame, Qt::LeftButton, {}, between);
    EXPECT_TRUE(find("lblCount")->isVisible());
    EXPECT_EQ(text("lblTime"), "0 分 7 秒");
    QTest::mouseClick(find("lblTime"), Qt::LeftButton);
    EXPECT_TRUE(find("lblTime")->isVisible()) << "a click on a label is not the frame's";
}

TEST_F(Window, ScrollBarPagesFourAnswersAtATime) {
    create();
    const std::vector<std::tuple<QString, int, QString>> cases{
        {"1|@2|2|@2|3|@2|4|@2|5", 1, "5,,,"},
        {"1|@2|2|@2|3|@2|4|@2|5|@2|6|@2|7|@2|8|@2|9", 2, "9,,,"},
        {"1|@2||@2|3|@2|4|@2|5|@2|6", 0, "1,,3,4"},
    };
    QScrollBar* bar = find<QScrollBar>("vsRight");
    for (const auto& [rights, page, boxes] : cases) {
        startDrill({"q|@1|" + rights + "|@1|", "next|@1|a|@2|b|@2|c|@2|d|@2|e|@1|"});
        answer("x");
        EXPECT_EQ(bar->maximum(), rights.count("|@2|") / 4);
        bar->setValue(page);
        const auto shown = [this] {
            return QStringList{text("txtRight0"), text("txtRight1"), text("txtRight2"),
                               text("txtRight3")}
                .join(",");
        };
        EXPECT_EQ(shown(), boxes) << rights.toStdString();
        find<QPushButton>("cmdOK")->click();
        EXPECT_FALSE(bar->isVisible());
        answer("x");
        EXPECT_EQ(shown(), "a,b,c,d") << "a new entry starts on its first page";
        EXPECT_EQ(bar->value(), 0);
        stop();
    }
}

TEST_F(Window, VersionHelpAndEditor) {
    create();
    for (const auto& [minor, version] : std::vector<std::pair<int, QString>>{
             {0, "Ver. 2.00"}, {5, "Ver. 2.05"}, {12, "Ver. 2.12"}}) {
        window->setVersion(2, minor);
        platform.answers({platform::Answer::Ok});
        action("Menu_Version")->trigger();
        EXPECT_EQ(platform.shown().back(),
                  (platform::MessageBox{
                      version + "\r\n\r\nKotobaxをご愛用いただき、ありがとうございます。"
                                "\r\nCopyright (C) 2026 Kotobax developers",
                      "Information"}));
    }
    action("Menu_Help")->trigger();
    EXPECT_EQ(
        platform.helpRequests(),
        (std::vector<platform::ScriptedPlatform::HelpRequest>{{programFile("Kotobax.hlp"), 0}}));

    const QString name = platform::executableName("Brelmi");
    platform.clearRecords();
    platform.answers({platform::Answer::Ok});
    action("Option_Edit")->trigger();
    EXPECT_EQ(platform.shown(),
              (std::vector<platform::MessageBox>{
                  {name + " が見つかりません。", "Edit", platform::Icon::Warning}}));
    EXPECT_TRUE(platform.programsStarted().empty());

    QFile editor(programFile(name));
    ASSERT_TRUE(editor.open(QIODevice::WriteOnly));
    editor.close();
    action("Option_Edit")->trigger();
    EXPECT_EQ(
        platform.programsStarted(),
        (std::vector<platform::ScriptedPlatform::ProgramStart>{{programFile(name), {}, true}}));
    platform.setStartResult(programFile(name), false);
    platform.answers({platform::Answer::Ok});
    action("Option_Edit")->trigger();
    EXPECT_EQ(platform.shown().back().text, name + " を起動できません。");
}

}  // namespace
}  // namespace drill::test
