// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <random>

#include "common/preferences.h"
#include "file_bytes.h"

using namespace Qt::StringLiterals;
using namespace std::string_literals;
using common::Preferences;
using common::PreferencesFile;

namespace {

TEST(Preferences, DamagedFilesGiveTheDefaultsAndAreReplacedWholeAtTheNextChange) {
    const struct {
        const char* name;
        QByteArray content;  // none when null
        Preferences loaded;
        QByteArray leftover{};  // "preferences.ini.new", as an earlier version's crash left it
    } table[] = {
        // clang-format off
        {"stored", "[drill]\nspeakQuestions=true\nlenientJudging=true\n[later]\noption=7\n"_ba, {true, true}},
        {"binary", QByteArray("\0\xff\xfe[\x01=\x80\n\0", 10), {}},
        {"unclosed section", "[drill\nspeakQuestions=true\n"_ba, {true, false}},
        {"not a Boolean", "[drill]\nspeakQuestions=yes please\nlenientJudging=true\n"_ba, {false, true}},
        {"UTF-16", u"[drill]\nspeakQuestions=true\n"_s.toUtf8().prepend("\xff\xfe"), {}},
        {"zooms", "[drill]\nzoom=175\n[editor]\nzoom=300\n"_ba, {false, false, 175, 300}},
        {"zooms off the steps", "[drill]\nzoom=110\n[editor]\nzoom=325\n"_ba, {}},
        {"review", "[review]\ndesiredRetention=0.85\ndailyNewWords=5\ndayStartsAt=0\n"_ba, {false, false, 100, 100, 0.85, 5, 0}},
        {"judging", "[drill]\nnearMiss=retry\noptionalParentheses=true\noptionalPlaceholder=true\n"_ba, {false, false, 100, 100, 0.9, 20, 4, common::NearMissChoice::Retry, true, true}},
        {"way", "[drill]\nway=1\n"_ba, {false, false, 100, 100, 0.9, 20, 4, common::NearMissChoice::Judge, false, false, common::DrillWay::Reversed}},
        {"way of a later version", "[drill]\nway=5\n"_ba, {}},
        {"last way", "[drill]\nway=4\n"_ba, {false, false, 100, 100, 0.9, 20, 4, common::NearMissChoice::Judge, false, false, common::DrillWay::Card}},
        {"review ways left out", "[review]\nwaysLeftOut=4 3 5 x -1\n"_ba, {false, false, 100, 100, 0.9, 20, 4, common::NearMissChoice::Judge, false, false, common::DrillWay::Typed, {common::DrillWay::Card, common::DrillWay::Choice}}},
        {"judging unknown", "[drill]\nnearMiss=Accept\noptionalParentheses=1\n"_ba, {}},
        {"review out of range", "[review]\ndesiredRetention=0.5\ndailyNewWords=-3\ndayStartsAt=24\n"_ba, {}},
        {"only a leftover", {}, {false, false, 150}, "[drill]\nzoom=150\n"_ba},
        {"a leftover beside", "[drill]\nzoom=200\n"_ba, {false, false, 200}, "[drill]\nzoom=150\n"_ba},
        {"sync", "[sync]\nfolder=/s\nmachineId=m1\n"_ba, {false, false, 100, 100, 0.9, 20, 4, common::NearMissChoice::Judge, false, false, common::DrillWay::Typed, {}, {}, u"/s"_s, u"m1"_s}},
        // clang-format on
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const PreferencesFile file(dir.filePath(u"preferences.ini"_s));
        if (!row.content.isNull()) {
            kxtest::writeBytes(file.path(), row.content);
        }
        if (!row.leftover.isNull()) {
            kxtest::writeBytes(file.path() + u".new"_s, row.leftover);
        }
        EXPECT_EQ(file.load(), row.loaded);

        ASSERT_TRUE(file.update([](Preferences& p) { p.lenientJudging = !p.lenientJudging; }));
        Preferences expected = row.loaded;
        expected.lenientJudging = !expected.lenientJudging;
        EXPECT_EQ(file.load(), expected);
        EXPECT_FALSE(QFile::exists(file.path() + u".new"_s));
        // Sharing turned off leaves no folder behind.
        ASSERT_TRUE(file.update([](Preferences& p) { p.syncFolder.clear(); }));
        EXPECT_EQ(file.load().syncFolder, QString());
        // Keys of later versions survive in a sound file.
        EXPECT_EQ(kxtest::readBytes(file.path()).contains("option=7"), row.name == "stored"s);
    }
}

#ifdef Q_OS_UNIX
// A file kept elsewhere and linked into place (as dotfile managers do) is changed where it is,
// its mode kept; the link stays a link.
TEST(Preferences, AChangeKeepsTheLinkAndTheMode) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"kept"_s)) && QDir().mkpath(dir.filePath(u"config"_s)));
    const QString kept = dir.filePath(u"kept/preferences.ini"_s);
    const QString path = dir.filePath(u"config/preferences.ini"_s);
    kxtest::writeBytes(kept, "[later]\noption=7\n");
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(kept, mode) && QFile::link(kept, path));
    ASSERT_TRUE(PreferencesFile(path).update([](Preferences& p) { p.lenientJudging = true; }));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(PreferencesFile(kept).load().lenientJudging);
    EXPECT_TRUE(kxtest::readBytes(kept).contains("option=7"));
    EXPECT_FALSE(QFile::permissions(kept) & (QFileDevice::ReadGroup | QFileDevice::ReadOther));
    EXPECT_EQ(QDir(dir.filePath(u"kept"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"preferences.ini"_s});
}
#endif

// Programs killed while they change the preferences, 200 times: the file is always there whole,
// and after the next change nothing else is left, beside it or among temporary files.
TEST(Preferences, AKillDuringAChangeNeverLosesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"config/preferences.ini"_s);
    const QString temporary = dir.filePath(u"tmp"_s);
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"config"_s)) && QDir().mkpath(temporary));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TMPDIR"_s, temporary);
    kxtest::writeBytes(path, "[drill]\nspeakQuestions=true\n[later]\noption=7\n");
    std::mt19937 random(22);
    std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
    QElapsedTimer clock;
    clock.start();
    int kills = 0;
    int lost = 0;
    for (; kills < 200 && !clock.hasExpired(120000); ++kills) {
        QProcess writer;
        writer.setProcessEnvironment(environment);
        writer.start(KX_SHARED_FILE_WRITER, {u"preferences"_s, path});
        // A minute only bounds a writer that never starts, on however loaded a machine.
        EXPECT_TRUE(writer.waitForReadyRead(60000)) << kills;
        QThread::usleep(delayMicroseconds(random));
        writer.kill();
        writer.waitForFinished();
        const bool whole = QFileInfo(path).isFile() &&
                           kxtest::readBytes(path).contains("option=7") &&
                           PreferencesFile(path).load().speakQuestions;
        lost += !whole;
        if (!whole) {
            kxtest::writeBytes(path, "[drill]\nspeakQuestions=true\n[later]\noption=7\n");
        }
    }
    EXPECT_EQ(lost, 0) << "of " << kills;
    ASSERT_TRUE(PreferencesFile(path).update([](Preferences& p) { p.lenientJudging = true; }));
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    EXPECT_EQ(QDir(dir.filePath(u"config"_s)).entryList(all), QStringList{u"preferences.ini"_s});
    EXPECT_EQ(QDir(temporary).entryList(all), QStringList{});
}

}  // namespace
