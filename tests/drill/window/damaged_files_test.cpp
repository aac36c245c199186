// What the disk and damaged files can do to a learner: a word file that changes under a
// running drill, settings files of any kind, and fields too long to lay out.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/settings.h"
#include "common/word_file.h"
#include "drill/engine/drill_texts.h"
#include "settings_damage.h"
#include "window_fixture.h"

namespace drill::test {
namespace {

using DamagedFiles = WindowTest;

using kxtest::writeBytes;

// The reload at the end of an Overcoming drill meets whatever happened to the file meanwhile:
// the results stay readable, the warning follows, and the learner goes on by opening a file.
TEST_F(DamagedFiles, ReloadAfterOvercomingLeavesNoSetAndOpenWorks) {
    const std::vector<std::tuple<const char*, QByteArray, QString>> damages{
        {"deleted", {}, kFileNotFound},
        {"garbage", "not a word file \x81\xFF", kOldVersion},
    };
    for (const auto& [name, bytes, message] : damages) {
        SCOPED_TRACE(name);
        platform.clearRecords();
        create();
        startDrill({"apple|@1|a|@1|"}, "Option_Conquering");
        const QString file = window->engine().WordFileName();
        bytes.isNull() ? void(QFile::remove(file)) : writeBytes(file, bytes);
        QString resultsWhenTold;
        platform.setOnMessage(
            [&](const platform::MessageBox&) { resultsWhenTold = text("txtQuestion1"); });
        platform.answers({platform::Answer::Ok});
        answer("a");
        find<QPushButton>("cmdOK")->click();  // no entry left: the drill ends and reloads
        platform.setOnMessage({});

        ASSERT_EQ(platform.shown().size(), 2u);
        EXPECT_EQ(platform.shown().back(),
                  (platform::MessageBox{message, kOpenTitle, platform::Icon::Warning}));
        EXPECT_EQ(resultsWhenTold, "問題数 : 1  不正解数 : 0");
        EXPECT_EQ(text("txtInformation"), "");
        EXPECT_FALSE(window->engine().Drilling() || window->engine().FileLoaded());
        press(Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(platform.shown().size(), 2u) << "Start needs a set";
        platform.fileNames({words({"again|@1|a|@1|"})});
        press(Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(window->engine().QuestionTexts(), QStringList{"again"});
        window.reset();
    }
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
    EXPECT_EQ(text("txtQuestion0"), QString(32767, u'q'));
    answer("a");
    EXPECT_EQ(text("lblResult"), "○");
    EXPECT_EQ(text("txtRight1"), QString(32767, u'b'));
    EXPECT_EQ(text("txtInformation"), QString(32767, u'i'));
}

}  // namespace
}  // namespace drill::test
