// What the disk and damaged files can do to a learner: a word file that changes under a
// running drill, settings files of any kind, and word files at and beyond the limits.
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

class DamagedFiles : public WindowTest {
public:
    void expectOpenWarning(const QString& text, std::size_t at = 0) {
        ASSERT_GT(platform.shown().size(), at);
        EXPECT_EQ(platform.shown().at(at),
                  (platform::MessageBox{text, kOpenTitle, platform::Icon::Warning,
                                        platform::Buttons::Ok, platform::Answer::Ok}));
    }
    // No set, Start refused, Open offered: the learner goes on by opening a file.
    void expectNoSetButOpenWorks() {
        EXPECT_FALSE(window->engine().FileLoaded());
        const std::size_t shown = platform.shown().size();
        press(Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(platform.shown().size(), shown) << "Start needs a set";
        platform.fileNames({words({"again|@1|a|@1|"})});
        press(Qt::Key_O, Qt::ControlModifier);
        EXPECT_TRUE(window->engine().FileLoaded());
        EXPECT_EQ(window->engine().QuestionTexts(), QStringList{"again"});
    }
};

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray entries(int count) {
    return "Version 2.00\r\n" + QByteArray("q|@1|a|@1|i\r\n").repeated(count);
}

// The reload at the end of an Overcoming drill meets whatever happened to the file meanwhile.
TEST_F(DamagedFiles, ReloadAfterOvercomingReportsTheDamage) {
    const std::vector<std::tuple<const char*, std::function<void(const QString&)>, QString>>
        damages{
            {"deleted", [](const QString& path) { QFile::remove(path); }, kFileNotFound},
            {"emptied", [](const QString& path) { writeBytes(path, ""); }, kInvalidFile},
            {"garbage", [](const QString& path) { writeBytes(path, hardening::noise(4096, 3)); },
             kOldVersion},
            {"a folder now",
             [](const QString& path) {
                 QFile::remove(path);
                 QDir().mkpath(path);
             },
             kInvalidFile},
            {"grown too long",
             [](const QString& path) { writeBytes(path, entries(common::kMaxEntries + 1)); },
             kTooManyEntries},
        };
    for (const auto& [name, damage, message] : damages) {
        SCOPED_TRACE(name);
        platform.clearRecords();
        create();
        startDrill({"apple|@1|a|@1|"}, "Option_Conquering");
        const QString file = window->engine().WordFileName();
        damage(file);
        QString resultsWhenTold;
        platform.setOnMessage(
            [&](const platform::MessageBox&) { resultsWhenTold = text("txtQuestion1"); });
        platform.answers({platform::Answer::Ok});
        answer("a");
        find<QPushButton>("cmdOK")->click();  // no entry left: the drill ends and reloads
        platform.setOnMessage({});

        expectOpenWarning(message, 1);
        EXPECT_EQ(resultsWhenTold, "問題数 : 1  不正解数 : 0");
        EXPECT_EQ(text("txtInformation"), "");
        EXPECT_FALSE(window->engine().Drilling());
        QDir().rmdir(file);
        expectNoSetButOpenWorks();
        window.reset();
    }
}

// Whatever the settings file is, both ends of the program stay silent and keep the rest.
TEST_F(DamagedFiles, AnySettingsFileStartsWithDefaultsAndClosesQuietly) {
    for (const hardening::SettingsDamage& damage : hardening::settingsDamages()) {
        SCOPED_TRACE(damage.name);
        QTemporaryDir scratch;
        const QString folder = hardening::placeSettings(damage, scratch.path());
        platform.setProgramFolder(folder);
        platform.clearRecords();
        create();
        EXPECT_TRUE(action(damage.drillModeItem)->isChecked());
        platform.fileNames({platform::ScriptedPlatform::cancel});
        action("Menu_Open")->trigger();
        EXPECT_TRUE(window->close());
        EXPECT_TRUE(platform.shown().empty());
        hardening::expectSettingsKept(damage, folder, common::kDrillRecordLength);
        window.reset();
    }
}

// Files at and beyond the limits: the set the file holds, or a message and no set.
TEST_F(DamagedFiles, FilesAtTheLimitsOpenOrAreRefused) {
    const std::vector<std::tuple<const char*, QByteArray, QString, qsizetype>> files{
        {"32,767 entries", entries(common::kMaxEntries), {}, common::kMaxEntries},
        {"32,768 entries", entries(common::kMaxEntries + 1), kTooManyEntries, 0},
        {"one line of 50 MB", "Version 2.00\r\n" + QByteArray(50 << 20, 'x'), {}, 0},
        {"NUL bytes", QByteArray("Version 2.00\r\n\0q|@1|\0|@1|\0\r\n\0\0\0", 31), {}, 1},
        {"only NUL bytes", QByteArray(4096, '\0'), kOldVersion, 0},
    };
    create();
    const QString path = programFile("limits.qvw");
    for (const auto& [name, bytes, message, count] : files) {
        SCOPED_TRACE(name);
        platform.clearRecords();
        writeBytes(path, bytes);
        if (!message.isEmpty()) {
            platform.answers({platform::Answer::Ok});
        }
        platform.fileNames({path});
        action("Menu_Open")->trigger();
        if (message.isEmpty()) {
            EXPECT_TRUE(platform.shown().empty());
            EXPECT_TRUE(window->engine().FileLoaded());
            EXPECT_EQ(window->engine().QuestionTexts().size(), count);
        } else {
            expectOpenWarning(message);
            expectNoSetButOpenWorks();
        }
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
