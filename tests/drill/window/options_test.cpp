#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSettings>

#include "common/preferences.h"
#include "common/settings.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;
using platform::ImeMode;
using platform::ScriptedPlatform;
using platform::SpeechLanguage;

namespace drill::test {
namespace {

using Options = WindowTest;
using Utterance = ScriptedPlatform::Utterance;
using Spoken = std::vector<Utterance>;

// The option is switched through its menu item, except where speech is unavailable and the
// item with it.
TEST_F(Options, QuestionsAreSpokenInTheirLanguageWhenAskedAndAgainByF5) {
    const QStringList entries{u"apple|@1|りんご|@1|"_s, u"走る|@1|run|@1|"_s, u"。|@1|x|@1|"_s};
    const Utterance apple{u"apple"_s, SpeechLanguage::English};
    const std::vector<SpeechLanguage> both{SpeechLanguage::English, SpeechLanguage::Japanese};
    const struct {
        const char* name;
        bool on;
        std::vector<SpeechLanguage> voices;
        QString unavailable;
        Spoken spoken;  // over the three questions, with F5 after the first
    } table[] = {
        {"off", false, both, {}, {}},
        {"on", true, both, {}, {apple, apple, {u"走る"_s, SpeechLanguage::Japanese}}},
        {"no Japanese voice", true, {SpeechLanguage::English}, {}, {apple, apple}},
        {"no speech", true, both, u"読み上げの仕組みがありません。"_s, {}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        platform.setSpokenLanguages(row.voices);
        platform.setSpeechUnavailable(row.unavailable);
        create();
        if (row.unavailable.isEmpty() && row.on) {
            action(u"Option_Speak"_s)->trigger();
        } else if (row.on) {
            common::PreferencesFile(platform.preferencesFile()).update([](auto& p) {
                p.speakQuestions = true;
            });
            window.reset();
            create();
        }
        QMetaObject::invokeMethod(find<QMenu>(u"Option_Top"_s), "aboutToShow");
        EXPECT_EQ(action(u"Option_Speak"_s)->isEnabled(), row.unavailable.isEmpty());
        if (!row.unavailable.isEmpty()) {
            EXPECT_EQ(action(u"Option_Speak"_s)->toolTip(), row.unavailable);
        }
        startDrill(entries);
        EXPECT_EQ(action(u"Option_SpeakAgain"_s)->isEnabled(), !row.spoken.empty());
        press(Qt::Key_F5);
        platform.answers({platform::Answer::No});  // a Stop not confirmed says nothing again
        press(Qt::Key_G, Qt::ControlModifier);
        for (int question = 0; question < 3; ++question) {
            answer(u"x"_s);
            press(Qt::Key_Return);  // after the last, the results line is not spoken
        }
        EXPECT_EQ(platform.spoken(), row.spoken);
        EXPECT_FALSE(action(u"Option_SpeakAgain"_s)->isEnabled());
        window.reset();
        platform.clearRecords();
        QFile::remove(platform.preferencesFile());
    }
}

TEST_F(Options, LenientJudgingIsOffByDefaultAndFixedDuringADrill) {
    const QStringList entries{u"q|@1|New York|@1|"_s};
    const struct {
        bool lenient;
        QString typed;
        QString mark;
        QString toolTip;
    } table[] = {
        {false, u"new york"_s, u"×"_s, u"Judgment"_s},
        {true, u"new york"_s, u"○"_s, u"ゆるやかな判定で正解。登録されている答え: New York"_s},
        {true, u"New York"_s, u"○"_s, u"Judgment"_s},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.typed.toStdString());
        create();
        EXPECT_FALSE(action(u"Option_Lenient"_s)->isChecked());
        if (row.lenient) {
            action(u"Option_Lenient"_s)->trigger();
        }
        startDrill(entries);
        EXPECT_FALSE(action(u"Option_Lenient"_s)->isEnabled());
        answer(row.typed);
        EXPECT_EQ(text(u"lblResult"_s), row.mark);
        EXPECT_EQ(find<QLabel>(u"lblResult"_s)->toolTip(), row.toolTip);
        stop();
        EXPECT_TRUE(action(u"Option_Lenient"_s)->isEnabled());
        if (row.lenient) {
            action(u"Option_Lenient"_s)->trigger();  // the next row starts from the default
        }
        window.reset();
    }
}

TEST_F(Options, OptionsAreRememberedApartFromTheSettingsRecord) {
    const QString settings = common::settingsFilePath(platform.programFolder());
    for (const int length : {common::kDrillRecordLength, common::kEditorRecordLength}) {
        SCOPED_TRACE(length);
        QFile::remove(settings);
        QFile::remove(platform.preferencesFile());
        common::SettingsRecord record;
        record.imeRight = 2;
        common::writeSettings(settings, record, length);
        const QByteArray before = kxtest::readBytes(settings);

        create();
        action(u"Option_Speak"_s)->trigger();
        action(u"Option_Lenient"_s)->trigger();
        window.reset();
        create();
        EXPECT_TRUE(action(u"Option_Speak"_s)->isChecked());
        EXPECT_TRUE(action(u"Option_Lenient"_s)->isChecked());
        window.reset();

        const QByteArray after = kxtest::readBytes(settings);
        EXPECT_EQ(after.size(), length);
        EXPECT_EQ(after.mid(common::kDrillRecordLength), before.mid(common::kDrillRecordLength));
        EXPECT_EQ(common::PreferencesFile(platform.preferencesFile()).load(),
                  (common::Preferences{true, true}));
    }
}

TEST_F(Options, TheAnswerBoxSwitchesTheInputMethodOnForJapaneseAnswers) {
    const struct {
        QStringList entries;
        ImeMode mode;
    } table[] = {
        {{u"apple|@1|りんご|@2|林檎|@1|"_s, u"run|@1|走る|@1|"_s}, ImeMode::On},
        {{u"りんご|@1|apple|@1|"_s, u"走る|@1|run|@1|"_s}, ImeMode::NoControl},
    };
    for (const auto& row : table) {
        create();
        startDrill(row.entries);
        ASSERT_FALSE(platform.imeChanges().empty());
        EXPECT_EQ(platform.imeChanges().back(),
                  (ScriptedPlatform::ImeChange{u"txtAnswer"_s, row.mode}));
        stop();
        window.reset();
        platform.clearRecords();
    }
}

// The zoom follows the keys of its menu items, stops at both ends, and the next window opens
// at the last one; "qrvwr.dat" keeps its bytes.
TEST_F(Options, ZoomFollowsItsKeysAndIsRememberedApartFromTheSettingsRecord) {
    const struct {
        const char* name;
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        int zoom;
    } table[] = {
        {"out at the normal size", {{Qt::Key_Minus, Qt::ControlModifier}}, 100},
        {"back to normal",
         {{Qt::Key_Equal, Qt::ControlModifier},
          {Qt::Key_Equal, Qt::ControlModifier},
          {Qt::Key_0, Qt::ControlModifier}},
         100},
        {"in by Ctrl+ and Ctrl+=",
         {{Qt::Key_Plus, Qt::ControlModifier}, {Qt::Key_Equal, Qt::ControlModifier}},
         150},
    };
    create();
    window.reset();  // the settings record as a run without zoom leaves it
    const QString record = programFile(u"qrvwr.dat"_s);
    const QByteArray bytes = kxtest::readBytes(record);
    EXPECT_EQ(bytes.size(), 516);
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QFile::remove(platform.preferencesFile());
        create();
        for (const auto& [key, modifiers] : row.keys) {
            press(key, modifiers);
        }
        EXPECT_EQ(find(u"client"_s)->width(), qRound(472 * row.zoom / 100.0));
        EXPECT_EQ(action(u"Option_ZoomOut"_s)->isEnabled(), row.zoom > 100);
        EXPECT_EQ(action(u"Option_ZoomNormal"_s)->isEnabled(), row.zoom > 100);
        window.reset();
        EXPECT_EQ(common::PreferencesFile(platform.preferencesFile()).load().drillZoom, row.zoom);
    }
    create();  // at the last row's zoom
    EXPECT_EQ(find(u"client"_s)->width(), qRound(472 * 1.5));
    window.reset();
    EXPECT_EQ(kxtest::readBytes(record), bytes);
}

// A zoom larger than the screen has room for stops at the largest step that fits.
TEST_F(Options, ZoomStopsWhereTheWindowStillFitsTheScreen) {
    create();
    for (int step = 0; step < 8; ++step) {
        action(u"Option_ZoomIn"_s)->trigger();
        const QRect available = window->screen()->availableGeometry();
        QApplication::processEvents();
        EXPECT_LE(window->frameGeometry().width(), available.width());
        EXPECT_LE(window->frameGeometry().height(), available.height());
    }
    const int zoom = common::PreferencesFile(platform.preferencesFile()).load().drillZoom;
    if (window->screen()->availableGeometry().height() < 1200) {
        EXPECT_LT(zoom, 300);
    }
    EXPECT_GT(zoom, 100);
}

// Run on a screen large enough for every step (see CMakeLists.txt).
TEST_F(Options, EveryZoomStepShowsWholeLinesOfJapanese) {
    create();
    if (window->screen()->availableGeometry().height() < 1500) {
        GTEST_SKIP() << "the screen has no room for every step";
    }
    startDrill(QStringList(10, u"漢字の問題|@1|答え|@1|情報"_s));
    for (int zoom = 100; zoom <= 300; zoom += 25) {
        SCOPED_TRACE(zoom);
        EXPECT_EQ(find(u"client"_s)->width(), qRound(472 * zoom / 100.0));
        expectWholeJapaneseLines();
        answer(u"答え"_s);
        EXPECT_EQ(text(u"lblResult"_s), u"○"_s);
        EXPECT_LE(find<QLabel>(u"lblResult"_s)->sizeHint().height(),
                  find(u"lblResult"_s)->height());
        press(Qt::Key_Return);
        action(u"Option_ZoomIn"_s)->trigger();
    }
    EXPECT_FALSE(action(u"Option_ZoomIn"_s)->isEnabled());
}

}  // namespace
}  // namespace drill::test
