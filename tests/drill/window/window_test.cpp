// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>

#include "common/preferences.h"
#include "common/settings.h"
#include "drill/engine/drill_texts.h"
#include "settings_damage.h"
#include "window_fixture.h"

namespace drill::test {
namespace {

using namespace Qt::StringLiterals;
using platform::Answer;
using platform::ImeMode;
using platform::ScriptedPlatform;
using platform::SpeechLanguage;

class Window : public WindowTest {
public:
    void SetUp() override { create(); }
};

// Run also with QT_SCALE_FACTOR 1.5 and 2 (see CMakeLists.txt).
TEST_F(Window, EveryTextBoxShowsWholeLinesOfJapanese) {
    expectWholeJapaneseLines();
}

// Switching the question display during a drill must not cost the typed answer.
TEST_F(Window, QuestionOptionsKeepTheAnswerAndALongQuestionIsTheToolTip) {
    const QString longQuestion = u"長い問題"_s.repeated(40);
    startDrill({longQuestion + "|@1|りんご|@1|"});
    EXPECT_EQ(find("txtQuestion1")->toolTip(), longQuestion);
    for (const char* option : {"optVisibility0", "optVisibility1"}) {
        find<QLineEdit>("txtAnswer")->setText("りんご");
        QTest::mouseClick(find(option), Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), find("txtAnswer")) << option;
    }
    press(Qt::Key_Return);
    EXPECT_EQ(text("lblResult"), u"○"_s);
}

// Run on a screen large enough for every step (see CMakeLists.txt).
TEST_F(Window, EveryZoomStepShowsWholeLinesOfJapanese) {
    if (window->screen()->availableGeometry().height() < 1500) {
        GTEST_SKIP() << "the screen has no room for every step";
    }
    startDrill(QStringList(10, u"漢字の問題|@1|答え|@1|情報"_s));
    for (int zoom = 100; zoom <= 300; zoom += 25) {
        SCOPED_TRACE(zoom);
        expectWholeJapaneseLines();
        answer(u"答え"_s);
        EXPECT_LE(find<QLabel>(u"lblResult"_s)->sizeHint().height(),
                  find(u"lblResult"_s)->height());
        press(Qt::Key_Return);
        action(u"Option_ZoomIn"_s)->trigger();
    }
}

// On a screen too small for the largest step the zoom stops at the last one that fits, with
// 拡大 greyed; the normal size gives back the first size.
TEST_F(Window, ZoomInStopsGreyedAtTheLargestStepThatFits) {
    const QSize first = window->size();
    const QRect available = window->screen()->availableGeometry();
    for (int step = 0; step < 8; ++step) {
        press(Qt::Key_Plus, Qt::ControlModifier);
    }
    EXPECT_FALSE(action(u"Option_ZoomIn"_s)->isEnabled());
    EXPECT_TRUE(available.contains(window->frameGeometry()));
    action(u"Option_ZoomNormal"_s)->trigger();
    EXPECT_EQ(window->size(), first);
}

// A stored step the screen has no room for gives the largest that fits, with 拡大 found greyed
// when its menu opens.
TEST_F(WindowTest, StoredZoomTooLargeForTheScreen) {
    common::PreferencesFile(platform.preferencesFile()).update([](common::Preferences& p) {
        p.drillZoom = 300;
    });
    create();
    Q_EMIT find<QMenu>(u"Option_Zoom"_s)->aboutToShow();
    EXPECT_FALSE(action(u"Option_ZoomIn"_s)->isEnabled());
    EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
}

TEST_F(Window, WholeDrillFromTheKeyboardWithCommandsFollowingTheState) {
    EXPECT_EQ(availability(), "1001111111") << "no set";
    platform.fileNames({words({"apple|@1|りんご|@2|ringo|@1|fr\\nuit", "run|@1|hashiru|@1|"})});
    press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(text("txtInformation"), "ﾌｧｲﾙをﾛｰﾄﾞしました。\n" + programFile("words.qvw"));
    EXPECT_EQ(availability(), "1101111111") << "loaded";
    platform.answers({Answer::Ok});
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(availability(), "0011110000") << "drilling";

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

    EXPECT_EQ(availability(), "1101111111") << "ended";
}

TEST_F(Window, IndicatorShowsTheMeasuredTimeAndAFrameClickHidesIt) {
    startDrill({"A|@1|a|@1|"});
    tick(4503'400);  // a late tick shows the time passed
    EXPECT_EQ(text("lblTime"), "75 分 3 秒");
    stop();
    QWidget* frame = find("framTime");
    const QPoint between(105, 12);
    ASSERT_EQ(frame->childAt(between), nullptr);
    QTest::mouseClick(frame, Qt::LeftButton, {}, between);
    EXPECT_FALSE(find("lblTime")->isVisible() || find("lblCount")->isVisible());
    QTest::mouseClick(frame, Qt::LeftButton, {}, between);
    EXPECT_TRUE(find("lblTime")->isVisible() && find("lblCount")->isVisible());
}

// Nine answers, one left empty, make three pages; the next entry starts on its first.
TEST_F(Window, ScrollBarPagesFourAnswersAtATime) {
    startDrill(
        {"q|@1|1|@2||@2|3|@2|4|@2|5|@2|6|@2|7|@2|8|@2|9|@1|", "n|@1|a|@2|b|@2|c|@2|d|@2|e|@1|"});
    press(Qt::Key_Return);  // an empty answer, judged wrong
    EXPECT_EQ(rights(), "1,,3,4");
    QScrollBar* bar = find<QScrollBar>("vsRight");
    EXPECT_EQ(bar->maximum(), 2);
    bar->setValue(2);
    EXPECT_EQ(rights(), "9,,,");
    press(Qt::Key_Return);
    EXPECT_FALSE(bar->isVisible());
    press(Qt::Key_Return);
    EXPECT_EQ(rights(), "a,b,c,d");
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(Window, VersionAndEditor) {
    window->setVersion(2, 5);
    platform.answers({Answer::Ok});
    action("Menu_Version")->trigger();
    ASSERT_FALSE(platform.shown().empty());
    EXPECT_EQ(
        platform.shown().back(),
        (platform::MessageBox{"Ver. 2.05\r\n\r\nKotobaxをご愛用いただき、ありがとうございます。"
                              "\r\nCopyright (C) 2026 Kotobax developers",
                              "Information"}));

    const QString name = platform::executableName("Brelmi");
    const QString editor = programFile(name);
    platform.answers({Answer::Ok});
    action("Option_Edit")->trigger();
    ASSERT_FALSE(platform.shown().empty());
    EXPECT_EQ(platform.shown().back(), (platform::MessageBox{name + " が見つかりません。", "Edit",
                                                             platform::Icon::Warning}));
    EXPECT_TRUE(platform.programsStarted().empty());
    writeFile(name, "");
    action("Option_Edit")->trigger();
    EXPECT_EQ(platform.programsStarted(),
              (std::vector<platform::ScriptedPlatform::ProgramStart>{{editor, {}, true}}));
}

// A file named on the command line opens as if chosen in the open dialog, which then starts
// there.
TEST_F(Window, CommandLineFileOpensAsOpenWould) {
    const QString path = words({"apple|@1|りんご|@1|"});
    window->openWordFile(path);
    platform.fileNames({std::nullopt});
    action("Menu_Open")->trigger();
    ASSERT_FALSE(platform.fileDialogs().empty());
    EXPECT_EQ(platform.fileDialogs().at(0).fileName, path);
    EXPECT_TRUE(action("Menu_Start")->isEnabled()) << "a cancelled dialog keeps the set";
}

using Options = WindowTest;
using Utterance = ScriptedPlatform::Utterance;
using Spoken = std::vector<Utterance>;

// Each question in its language, F5 again, and nothing for a Stop not confirmed nor for the
// results line.
TEST_F(Options, QuestionsAreSpokenInTheirLanguageWhenAskedAndAgainByF5) {
    create();
    action(u"Option_Speak"_s)->trigger();
    startDrill({u"apple|@1|りんご|@1|"_s, u"走る|@1|run|@1|"_s});
    press(Qt::Key_F5);
    platform.answers({platform::Answer::No});
    press(Qt::Key_G, Qt::ControlModifier);
    for (int question = 0; question < 2; ++question) {
        answer(u"x"_s);
        press(Qt::Key_Return);
    }
    const Utterance apple{u"apple"_s, SpeechLanguage::English};
    EXPECT_EQ(platform.spoken(), (Spoken{apple, apple, {u"走る"_s, SpeechLanguage::Japanese}}));
    EXPECT_FALSE(action(u"Option_SpeakAgain"_s)->isEnabled());
}

// A speech server that stops answering, and answers again, shows at once in the items: F5
// must not stay off until the menu is opened.
TEST_F(Options, SpeechThatStopsAndComesBackShowsInTheItems) {
    create();
    action(u"Option_Speak"_s)->trigger();
    startDrill({u"apple|@1|りんご|@1|"_s});
    platform.setSpeechUnavailable(u"止まりました"_s);
    EXPECT_EQ(action(u"Option_Speak"_s)->toolTip(), u"止まりました"_s);
    EXPECT_FALSE(action(u"Option_SpeakAgain"_s)->isEnabled());
    platform.setSpeechUnavailable({});
    EXPECT_TRUE(action(u"Option_SpeakAgain"_s)->isEnabled());
}

// Listening: the question spoken, not shown, again by F5 and slowly by Shift+F5, and shown with
// the verdict; without a voice for the file's questions the item is greyed with the reason,
// and a drill chosen so asks the typed way.
TEST_F(Options, ListeningSpeaksTheQuestionAndIsGreyedWithoutAVoice) {
    create();
    action(u"Option_WayListening"_s)->trigger();
    startDrill({u"apple|@1|りんご|@1|fruit"_s});
    EXPECT_EQ(text(u"txtQuestion1"_s) + text(u"txtInformation"_s),
              kListeningPrompt + kListeningKeys);
    EXPECT_EQ(window->windowTitle(), u"Kotobax4 - 聞き取り 1 / 1"_s);
    press(Qt::Key_F5);
    press(Qt::Key_F5, Qt::ShiftModifier);
    const Utterance apple{u"apple"_s, SpeechLanguage::English};
    EXPECT_EQ(
        platform.spoken(),
        (Spoken{apple, apple, {u"apple"_s, SpeechLanguage::English, platform::SpeechPace::Slow}}));
    answer(u"apple"_s);
    EXPECT_EQ(text(u"lblResult"_s) + text(u"txtQuestion1"_s) + rights() + text(u"txtInformation"_s),
              u"○appleりんご,,,fruit"_s);
    press(Qt::Key_Return);

    const struct {
        const char* name;
        QString unavailable;
        std::vector<SpeechLanguage> voices;
        QString question;
        QString toolTip;  // the reason; none when available
    } table[] = {
        // clang-format off
        {"speech stopped", u"止まりました"_s, {SpeechLanguage::English}, u"apple"_s, u"止まりました"_s},
        {"no Japanese voice", {}, {SpeechLanguage::English}, u"りんご"_s,
         u"この単語帳の問題を読み上げる日本語の声がありません。"_s},
        {"an English voice", {}, {SpeechLanguage::English}, u"apple"_s, {}},
        // clang-format on
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        platform.setSpokenLanguages(row.voices);
        platform.setSpeechUnavailable(row.unavailable);
        platform.clearRecords();
        startDrill({row.question + u"|@1|x|@1|"_s});
        QAction* item = action(u"Option_WayListening"_s);
        EXPECT_EQ(item->isEnabled(), row.toolTip.isEmpty());
        EXPECT_EQ(item->toolTip().contains(u"聞こえた問題"_s), row.toolTip.isEmpty());
        if (!row.toolTip.isEmpty()) {
            EXPECT_EQ(item->toolTip(), row.toolTip);
        }
        EXPECT_TRUE(item->isChecked());
        EXPECT_EQ(text(u"txtQuestion1"_s), row.toolTip.isEmpty() ? kListeningPrompt : row.question);
        EXPECT_EQ(platform.spoken().size(), row.toolTip.isEmpty() ? 1u : 0u);
        EXPECT_EQ(window->windowTitle().contains(u"聞き取り"_s), row.toolTip.isEmpty());
        stop();
    }
}

// Asking a speech server for its voices costs more than the rest of the program's start: not
// asked for a typed drill until the ways are on show, where listening is greyed without a voice.
TEST_F(Options, VoicesAreAskedOnlyOnceTheWaysAreShown) {
    platform.setSpokenLanguages({});
    create();
    startDrill({u"apple|@1|x|@1|"_s});
    stop();
    EXPECT_EQ(platform.voiceQuestions(), 0);
    Q_EMIT find<QMenu>(u"Option_Way"_s)->aboutToShow();
    EXPECT_GT(platform.voiceQuestions(), 0);
    EXPECT_FALSE(action(u"Option_WayListening"_s)->isEnabled());
}

// The rule itself is tabled with the judging logic.
TEST_F(Options, LenientJudgingIsFixedDuringADrillAndExplainsItsVerdict) {
    create();
    action(u"Option_Lenient"_s)->trigger();
    startDrill({u"q|@1|New York|@1|"_s});
    EXPECT_FALSE(action(u"Option_Lenient"_s)->isEnabled());
    answer(u"new york"_s);
    EXPECT_EQ(text(u"lblResult"_s), u"○"_s);
    const QString note = u"ゆるやかな判定で正解。登録されている答え: New York"_s;
    EXPECT_EQ(find<QLabel>(u"lblResult"_s)->toolTip(), note);
    EXPECT_EQ(find<QLabel>(u"lblResult"_s)->accessibleDescription(), u"判定。"_s + note);
    stop();
    EXPECT_TRUE(action(u"Option_Lenient"_s)->isEnabled());
}

TEST_F(Options, OptionsAreRememberedApartFromTheSettingsRecord) {
    const QString settings = common::settingsFilePath(platform.programFolder());
    // The editor's longer record: its tail must survive the drill program.
    common::SettingsRecord record;
    record.imeRight = 2;
    common::writeSettings(settings, record, common::kEditorRecordLength);
    const QByteArray before = kxtest::readBytes(settings);
    create();
    action(u"Option_Speak"_s)->trigger();
    // The optional parts belong to lenient judging; one near-miss rule at a time.
    EXPECT_FALSE(action(u"Option_OptionalParentheses"_s)->isEnabled());
    action(u"Option_Lenient"_s)->trigger();
    action(u"Option_OptionalParentheses"_s)->trigger();
    action(u"Option_NearMissRetry"_s)->trigger();
    action(u"Option_NearMissAccept"_s)->trigger();
    EXPECT_FALSE(action(u"Option_NearMissRetry"_s)->isChecked());
    // The zoom stops at the normal size and follows Ctrl+ and Ctrl+=.
    for (const Qt::Key key : {Qt::Key_Minus, Qt::Key_Plus, Qt::Key_Equal}) {
        press(key, Qt::ControlModifier);
    }
    // The mode and the file go to the settings record (reading the mode: the damaged-settings
    // table).
    startDrill({"q|@1|a|@1|"}, "Option_Endless");
    EXPECT_TRUE(window->close()) << "closes during a drill without asking";
    const common::SettingsRecord saved = common::readSettings(settings, 516);
    EXPECT_EQ(saved.lastPath(), programFile("words.qvw"));
    EXPECT_EQ(saved.drillMode, common::kEndlessMode);
    window.reset();
    create();
    EXPECT_TRUE(action(u"Option_Speak"_s)->isChecked() && action(u"Option_Lenient"_s)->isChecked());
    EXPECT_TRUE(action(u"Option_OptionalParentheses"_s)->isChecked() &&
                action(u"Option_NearMissAccept"_s)->isChecked());
    EXPECT_FALSE(action(u"Option_OptionalPlaceholder"_s)->isChecked() ||
                 action(u"Option_NearMissRetry"_s)->isChecked());
    EXPECT_EQ(find(u"client"_s)->width(), qRound(472 * 1.5));
    window.reset();
    const QByteArray after = kxtest::readBytes(settings);
    EXPECT_EQ(after.size(), common::kEditorRecordLength);
    EXPECT_EQ(after.mid(common::kDrillRecordLength), before.mid(common::kDrillRecordLength));
}

// Japanese among the answers switches the input method on.
TEST_F(Options, TheAnswerBoxSwitchesTheInputMethodOnForJapaneseAnswers) {
    create();
    startDrill({u"apple|@1|りんご|@2|林檎|@1|"_s, u"run|@1|走る|@1|"_s});
    ASSERT_FALSE(platform.imeChanges().empty());
    EXPECT_EQ(platform.imeChanges().back(),
              (ScriptedPlatform::ImeChange{u"txtAnswer"_s, ImeMode::On}));
}

// Each kind of mark has a line and brackets besides its colour; neighbours of a kind are marked
// together, and the typed text is never taken for markup.
TEST(DifferenceView, MarksEachKindByMoreThanColour) {
    using Kind = CharMark::Kind;
    const QString typedOn = u"<s style=\"color:#b00020\">"_s;
    const QString rightOn = u"<u style=\"color:#0040b0\">["_s;
    const struct {
        const char* name;
        QList<CharMark> marks;
        QString html;
    } table[] = {
        {"each kind",
         {{Kind::Same, "a", "a"},
          {Kind::Missing, "", "b"},
          {Kind::Extra, "c", ""},
          {Kind::Wrong, "d", "e"}},
         "a" + rightOn + "b]</u>" + typedOn + "c</s>" + typedOn + "d</s>" + rightOn + "e]</u>"},
        {"runs",
         {{Kind::Missing, "", "x"}, {Kind::Missing, "", "y"}, {Kind::Same, "z", "z"}},
         rightOn + "xy]</u>z"},
        {"markup typed",
         {{Kind::Extra, "<b>", ""}, {Kind::Same, "&", "&"}},
         typedOn + "&lt;b&gt;</s>&amp;"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(differenceHtml({u"R&D"_s, row.marks, 1}), row.html + u" → R&amp;D"_s);
    }
}

// What the disk and damaged files can do to a learner: a word file that changes under a
// running drill, settings files of any kind, and fields too long to lay out.

using DamagedFiles = WindowTest;

using kxtest::writeBytes;

// The reload at the end of an Overcoming drill meets whatever happened to the file meanwhile:
// the results stay readable, the warning follows, and the learner goes on by opening a file.
TEST_F(DamagedFiles, ReloadAfterOvercomingLeavesNoSetAndOpenWorks) {
    create();
    startDrill({"apple|@1|a|@1|"}, "Option_Conquering");
    QFile::remove(window->session().wordFileName());
    QString resultsWhenTold;
    platform.setOnMessage(
        [&](const platform::MessageBox&) { resultsWhenTold = text("txtQuestion1"); });
    platform.answers({platform::Answer::Ok});
    answer("a");
    find<QPushButton>("cmdOK")->click();  // no entry left: the drill ends and reloads
    platform.setOnMessage({});
    ASSERT_FALSE(platform.shown().empty());
    EXPECT_EQ(platform.shown().back(),
              (platform::MessageBox{kFileNotFound, kOpenTitle, platform::Icon::Warning}));
    EXPECT_EQ(resultsWhenTold, "問題数 : 1  不正解数 : 0");
    EXPECT_FALSE(window->session().drilling() || window->session().fileLoaded());
    platform.fileNames({words({"again|@1|a|@1|"})});
    press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(window->session().questionSet().value(0).question, "again");
}

// Whatever the settings file is, the program starts with defaults and keeps the rest; a record
// it could not write is reported at closing.
TEST_F(DamagedFiles, AnySettingsFileStartsWithDefaultsAndClosesKeepingTheRest) {
    for (const hardening::SettingsDamage& damage : hardening::settingsDamages()) {
        SCOPED_TRACE(damage.name);
        QTemporaryDir scratch;
        const QString folder = scratch.path() + QLatin1Char('/');
        hardening::placeSettings(damage, folder);
        platform.setProgramFolder(folder);
        platform.clearRecords();
        create();
        EXPECT_TRUE(action(damage.drillModeItem)->isChecked());
        if (damage.bytes.isNull()) {
            platform.answers({platform::Answer::Ok});  // the warning
        }
        EXPECT_TRUE(window->close());
        hardening::expectClosingMessages(damage, platform.shown());
        hardening::expectSettingsKept(damage, folder, common::kDrillRecordLength);
        window.reset();
    }
}

// A field of megabytes without a break shows its beginning, instead of freezing the window
// while it is laid out.
TEST_F(DamagedFiles, HugeFieldsShowTheirBeginning) {
    create();
    const QString path = programFile("huge.qvw");
    writeBytes(path, "Version 2.00\r\n" + QByteArray(50 << 20, 'q') + "|@1|a|@2|" +
                         QByteArray(1 << 20, 'b') + "|@1|" + QByteArray(1 << 20, 'i') + "\r\n");
    platform.fileNames({path});
    action("Menu_Open")->trigger();
    platform.answers({platform::Answer::Ok});
    action("Menu_Start")->trigger();
    EXPECT_EQ(text("txtQuestion1"), QString(32767, u'q'));
    answer("a");
    EXPECT_EQ(text("lblResult"), "○");
    EXPECT_EQ(text("txtRight1"), QString(32767, u'b'));
    EXPECT_EQ(text("txtInformation"), QString(32767, u'i'));
}

}  // namespace
}  // namespace drill::test
