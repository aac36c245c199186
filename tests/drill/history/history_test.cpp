// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <numeric>
#include <string>

#include <unistd.h>

#include "drill/history/history_report.h"
#include "drill/history/sqlite_history.h"
#include "drill/history/sync_merge.h"
#include "editor/logic/review_line.h"
#include "file_bytes.h"
#include "review/review_clock.h"
#include "review/word_key.h"

namespace drill::history {
namespace {

using namespace std::string_literals;

// How long another program may take to start or to end its work. It bounds only a program
// that hangs: beside other work, and built with the sanitizers, one can take many seconds.
constexpr int kProgramMilliseconds = 120000;

DrillRecord drill(const QString& file, int minute, int right, int asked,
                  const QStringList& missed = {}, int day = 7) {
    DrillRecord record;
    record.started = QDateTime(QDate(2026, 12, day), QTime(9, minute, 5, 250), Qt::UTC);
    record.seconds = 61;
    record.wordFile = file;
    record.mode = common::kNormalMode;
    record.asked = asked;
    record.right = right;
    record.rate = rateOf(right, asked);
    record.missed = missed;
    return record;
}

// Statements on the file as another program would run them; the last one's first value.
int runSql(const QString& path, const QStringList& statements) {
    int value = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "raw");
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            EXPECT_TRUE(query.exec(statement)) << statement.toStdString();
            value = query.next() ? query.value(0).toInt() : -1;
        }
    }
    QSqlDatabase::removeDatabase("raw");
    return value;
}

void setVersion(const QString& path, int version) {
    runSql(path, {QStringLiteral("PRAGMA user_version=%1").arg(version)});
}

// A history as another program may leave it.
void noDatabase(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile garbage(path);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(8192, 'Z')));
}

void newerSchema(const QString& path) {
    ASSERT_EQ(SqliteHistory(path).record(drill("/old", 1, 1, 1)), QString());
    setVersion(path, SqliteHistory::schemaVersion() + 1);
}

int userVersion(const QString& path) {
    return runSql(path, {"PRAGMA user_version"});
}

// The next line another program writes; empty, with a failure, when none comes.
QByteArray nextLine(QProcess& program) {
    while (!program.canReadLine()) {
        if (!program.waitForReadyRead(kProgramMilliseconds)) {
            ADD_FAILURE() << program.readAllStandardError().toStdString();
            return {};
        }
    }
    return program.readLine();
}

// The window's table, chart and list come from the database a page or a sum at a time; the
// records come back as written, newest first.
TEST(History, WhatTheWindowShowsIsSummedInTheDatabase) {
    SqliteHistory history(QStringLiteral(":memory:"), QTimeZone::utc());
    DrillRecord again = drill("/a", 4, 0, 2, {"x"});
    again.again = true;
    DrillRecord endless = drill("/b", 5, 0, 1, {"z", "", "三, \"quoted\"\nline"});
    endless.mode = common::kEndlessMode;
    endless.way = common::DrillWay::Listening;
    const QList<DrillRecord> written{drill("/a", 1, 3, 4, {"x", "y", "x"}),
                                     drill("/a", 2, 1, 4, {"x"}),
                                     drill("/a", 3, 0, 0),  // stopped before any answer
                                     again,
                                     endless,
                                     drill("/a", 0, 2, 2, {}, 8)};
    for (const DrillRecord& record : written) {
        ASSERT_EQ(history.record(record), QString());
    }
    EXPECT_EQ(history.wordFiles(), QStringList({"/a", "/b"}));
    EXPECT_EQ(history.page("/a", 1, 2), (QList<DrillRecord>{again, written[2]}));
    EXPECT_EQ(history.drills().records,
              (QList<DrillRecord>{written[5], endless, again, written[2], written[1], written[0]}));

    // No rate and again left out; the learner's days.
    EXPECT_EQ(history.dailyRates("/a"),
              (QList<DayRate>{{QDate(2026, 12, 7), 50}, {QDate(2026, 12, 8), 100}}));
    SqliteHistory west(QStringLiteral(":memory:"), QTimeZone(-10 * 3600));
    for (const DrillRecord& record : written) {
        ASSERT_EQ(west.record(record), QString());
    }
    EXPECT_EQ(west.dailyRates("/a"),
              (QList<DayRate>{{QDate(2026, 12, 6), 50}, {QDate(2026, 12, 7), 100}}));
    // Counted once in each drill that missed it.
    EXPECT_EQ(history.mostMissed("/a", 10), (QList<MissCount>{{"x", 3}, {"y", 1}}));
    EXPECT_EQ(history.mostMissed("", 2), (QList<MissCount>{{"x", 3}, {"", 1}}));
    // Slips summed over drills; the last of the table comes back through the pending file.
    DrillRecord slipped = drill("/a", 7, 0, 3);
    slipped.slips = QStringList{"lr", "bv", "lr"};
    DrillRecord other = drill("/b", 8, 0, 1);
    other.slips = QStringList{"bv", "bv"};
    other.way = common::DrillWay::Reversed;
    ASSERT_EQ(history.record(slipped), QString());
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    newerSchema(path);
    ASSERT_EQ(SqliteHistory(path).record(other), QString());
    setVersion(path, SqliteHistory::schemaVersion());
    SqliteHistory reopened(path);
    ASSERT_EQ(reopened.record(slipped), QString());
    EXPECT_EQ(history.mostFrequentSlips("/a", 5), (QList<SlipCount>{{"lr", 2}, {"bv", 1}}));
    EXPECT_EQ(reopened.mostFrequentSlips("", 1), (QList<SlipCount>{{"bv", 3}}));
    EXPECT_EQ(reopened.page("/b", 0, 1).value(0).way, other.way);
}

TEST(History, CsvIsUtf8WithAByteOrderMarkQuotedAndSafeForSpreadsheets) {
    DrillRecord overcoming = drill("/w/a,b.qvw", 4, 2, 3, {"=1+2", "say \"hi\""});
    overcoming.mode = common::kOvercomingMode;
    overcoming.way = common::DrillWay::Card;
    DrillRecord choice = drill("/w/単語.qvw", 5, 1, 1);
    choice.way = common::DrillWay::Choice;
    DrillRecord again = drill("/w/単語.qvw", 6, 0, 0);
    again.again = true;
    again.way = common::DrillWay::Reversed;
    const QByteArray csv = historyCsv({overcoming, choice, again}, QTimeZone(9 * 3600));
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "開始日時,時間 (秒),単語ファイル,モード,問題数,正解数,正解率 (%),間違えた問題\r\n"
        "2026-12-07 18:04:05,61,\"/w/a,b.qvw\",Overcoming・カード（自己採点）,3,2,66,"
        "\"'=1+2 / say \"\"hi\"\"\"\r\n"
        "2026-12-07 18:05:05,61,/w/単語.qvw,Normal・選択式（選択で判定）,1,1,100,\r\n"
        "2026-12-07 18:06:05,61,/w/単語.qvw,Normal・答え→問題（もう一度）,0,0,,\r\n";
    EXPECT_EQ(QString::fromUtf8(csv), QString::fromUtf8(expected));
}

// The drills and the missed entries of histories from before the schema had a version.
const QStringList kVersionZeroTables{
    "CREATE TABLE drills (id INTEGER PRIMARY KEY, started TEXT NOT NULL,"
    " seconds INTEGER NOT NULL, word_file TEXT NOT NULL, mode INTEGER NOT NULL,"
    " asked INTEGER NOT NULL, right_answers INTEGER NOT NULL, rate INTEGER NOT NULL)",
    "CREATE TABLE missed (drill_id INTEGER NOT NULL REFERENCES drills(id),"
    " position INTEGER NOT NULL, question TEXT NOT NULL)"};

// The histories today's programs write, from before the schema had a version and of the
// version before reviews, are brought up to date in place.
TEST(History, OlderSchemaIsUpgradedInPlace) {
    const QStringList versionZero =
        kVersionZeroTables +
        QStringList{
            "INSERT INTO drills VALUES (1, '2026-12-07T09:01:05.250Z', 61, '/a', 1, 4, 3, 75)",
            "INSERT INTO missed VALUES (1, 0, 'x')"};
    // Version 4 is today's schema without the drills' way, version 3 without the slips too,
    // version 2 without the reviews too.
    const QStringList withoutWay{"ALTER TABLE drills DROP COLUMN way", "PRAGMA user_version=4"};
    const QStringList withoutSlips{"DROP TABLE slips", "PRAGMA user_version=3"};
    const QStringList withoutReviews{"DROP TABLE reviews",     "DROP TABLE file_words",
                                     "DROP TABLE words",       "DROP TABLE review_files",
                                     "DROP TABLE review_meta", "PRAGMA user_version=2"};
    const struct {
        const char* name;
        int version;
    } table[] = {{"version 0", 0}, {"version 2", 2}, {"version 3", 3}, {"version 4", 4}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        runSql(path, versionZero);
        if (row.version >= 2) {
            SqliteHistory(path).wordFiles();
            runSql(path, withoutWay);
        }
        if (row.version <= 3 && row.version >= 2) {
            runSql(path, withoutSlips);
        }
        if (row.version == 2) {
            runSql(path, withoutReviews);
        }
        ASSERT_EQ(userVersion(path), row.version);
        SqliteHistory history(path);
        EXPECT_EQ(history.drills().records, (QList<DrillRecord>{drill("/a", 1, 3, 4, {"x"})}));
        DrillRecord slipped = drill("/b", 2, 0, 1, {"x"});
        slipped.slips = QStringList{"th-s"};
        slipped.way = common::DrillWay::Listening;
        ASSERT_EQ(history.record(slipped), QString());
        EXPECT_EQ(history.page("/b", 0, 1).value(0).way, slipped.way);
        EXPECT_EQ(history.wordFiles(), QStringList({"/b", "/a"}));
        EXPECT_EQ(history.mostMissed("", 5), (QList<MissCount>{{"x", 2}}));
        EXPECT_EQ(history.mostFrequentSlips("/b", 5), (QList<SlipCount>{{"th-s", 1}}));
        const review::ReviewRecord review{review::ReviewTime{}, QByteArray(20, 'k'),
                                          review::Grade::Good, 900, "/a"};
        ASSERT_EQ(history.recordReview(review), QString());
        EXPECT_EQ(history.wordReviews(review.wordKey).reviews, 1);
        EXPECT_EQ(history.takeNotices(), QStringList());
        EXPECT_EQ(userVersion(path), SqliteHistory::schemaVersion());
    }
}

// A history that kept a row for each record taken in from another machine goes on from there:
// what it held is not taken again, what lies in its gaps is, and the runs stay joined.
TEST(History, RecordsTakenOneRowEachBecomeRuns) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    SqliteHistory(path).wordFiles();
    runSql(path,
           {"DROP TABLE sync_ranges",
            "CREATE TABLE sync_records (machine_id INTEGER NOT NULL, seq INTEGER NOT NULL,"
            " PRIMARY KEY (machine_id, seq)) WITHOUT ROWID",
            "INSERT INTO sync_machines VALUES (1, 'a', 8, 0), (2, 'b', 1, 0)",
            "INSERT INTO sync_records VALUES (1, 1), (1, 2), (1, 3), (1, 5), (1, 7), (1, 8),"
            " (2, 1)",
            QStringLiteral("PRAGMA user_version=%1").arg(SqliteHistory::schemaVersion() - 1)});
    const QString folder = dir.filePath("sync");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const auto& [machine, last] : {std::pair("a", 9), std::pair("b", 2)}) {
        QByteArray lines;
        for (int seq = 1; seq <= last; ++seq) {
            lines +=
                journalLine({machine, seq,
                             review::ReviewRecord{review::ReviewTime(std::chrono::hours(seq)),
                                                  QByteArray(machine) + QByteArray::number(seq),
                                                  review::Grade::Good, 900, "/w"}});
        }
        QFile journal(QDir(folder).filePath(journalFileName(machine)));
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly) && journal.write(lines) == lines.size());
    }
    SqliteHistory history(path);
    const SyncReport first = mergeFolder(history, folder, 1);
    ASSERT_EQ(first.error, QString());
    EXPECT_EQ(first.added, 4) << "a's 4, 6 and 9, b's 2";
    EXPECT_EQ(runSql(path, {"SELECT COUNT(*) FROM sync_ranges"}), 2);
    // Read again from the start, with none of the reviews there to tell them apart.
    runSql(path, {"DELETE FROM reviews", "DELETE FROM sync_files"});
    EXPECT_EQ(mergeFolder(history, folder, 1).added, 0);
    EXPECT_EQ(userVersion(path), SqliteHistory::schemaVersion());
}

// The sums the window reads from that the drills and missed entries give on their own: none
// missing, none counted twice.
int wrongSums(const QString& path) {
    return runSql(
        path,
        {"SELECT (SELECT COUNT(*) FROM drills WHERE day IS NOT date(started, 'localtime'))"
         " + (SELECT COUNT(*) FROM (SELECT word_file, MAX(started) AS s FROM drills GROUP BY"
         "  word_file) FULL JOIN word_files w USING (word_file) WHERE w.last_started IS NOT s)"
         " + (SELECT COUNT(*) FROM (SELECT d.word_file, m.question, COUNT(DISTINCT m.drill_id)"
         "  AS n FROM missed m JOIN drills d ON d.id = m.drill_id GROUP BY d.word_file,"
         "  m.question) FULL JOIN miss_counts c USING (word_file, question)"
         "  WHERE c.drills IS NOT n)"});
}

// A long history of version 1 is upgraded by two programs that record drills at once, or by one
// killed partway through filling in the old drills and another going on after it: each drill
// either says it kept is recorded once, and the sums over the old drills and the new are those of
// the drills.
TEST(History, ALongUpgradeLosesAndDoublesNothing) {
    constexpr int kOld = 20000;  // drills enough for several steps of filling in
    constexpr int kEach = 20;
    QTemporaryDir dir;
    const QString seeded = dir.filePath("version1.sqlite");
    runSql(seeded,
           kVersionZeroTables +
               QStringList{
                   "CREATE INDEX missed_by_drill ON missed(drill_id, position)",
                   // Also the files and questions the new drills are of.
                   QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n"
                                  " WHERE i < %1) INSERT INTO drills SELECT i, strftime("
                                  "'%Y-%m-%dT%H:%M:%fZ', 1600000000 + i * 3600, 'unixepoch'), 60,"
                                  " '/w' || (i % 3), 1, 4, 2, 50 FROM n")
                       .arg(kOld),
                   "INSERT INTO missed SELECT id, 0, 'q' || (id % 7) FROM drills",
                   "INSERT INTO missed SELECT id, 1, 'q' || (id % 5) FROM drills",
                   "PRAGMA user_version=1"});
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "one killed partway" : "both to the end");
        const QString path = dir.filePath(QStringLiteral("history%1.sqlite").arg(killed));
        ASSERT_TRUE(QFile::copy(seeded, path));
        std::array<QProcess, 2> writers;
        for (int i = 0; i < 2; ++i) {
            if (i == 0 && killed) {
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.insert("KX_KILL_IN_UPGRADE_FILL", "1");
                writers[i].setProcessEnvironment(env);
            }
            writers[i].start(KX_HISTORY_WRITER,
                             {path, QString("/w%1").arg(i), QString::number(kEach)});
            if (i == 0 && killed) {
                // Alone, so that the second step of filling in is its own and the kill comes;
                // the other program then goes on from where it was killed.
                ASSERT_TRUE(writers[i].waitForFinished(kProgramMilliseconds));
            }
        }
        std::array<int, 2> said{};
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(writers[i].state() == QProcess::NotRunning ||
                        writers[i].waitForFinished(kProgramMilliseconds));
            ASSERT_EQ(writers[i].exitStatus() == QProcess::CrashExit, killed && i == 0)
                << writers[i].readAllStandardError().toStdString();
            said[i] = int(writers[i].readAllStandardOutput().count('\n'));
        }
        ASSERT_EQ(said[1], kEach);
        SqliteHistory history(path);  // goes on with what the writers left
        history.wordFiles();
        history.waitForReplay();
        for (int i = 0; i < 2; ++i) {
            // The old drills took a minute each; the drill being written when the kill came may
            // be kept, unsaid.
            const QString select = QStringLiteral(
                "SELECT COUNT(%1) FROM drills WHERE"
                " word_file = '/w%2' AND seconds <> 60");
            const int kept = runSql(path, {select.arg("*").arg(i)});
            EXPECT_EQ(runSql(path, {select.arg("DISTINCT asked").arg(i)}), kept) << i;
            EXPECT_GE(kept, said[i]) << i;
            EXPECT_LE(kept, std::min(said[i] + 1, kEach)) << i;
        }
        EXPECT_EQ(runSql(path, {"SELECT COUNT(*) FROM review_meta WHERE name = 'upgrade_fill'"}),
                  0);
        EXPECT_EQ(wrongSums(path), 0);
        EXPECT_EQ(
            runSql(path, {"SELECT COUNT(*) FROM sqlite_master WHERE name LIKE 'drills_by_%'"}), 3);
        EXPECT_EQ(runSql(path, {"SELECT COUNT(*) FROM drills WHERE way <> 0"}), 0);
        EXPECT_EQ(userVersion(path), SqliteHistory::schemaVersion());
    }
}

// The editor reads the history the drill program writes.
TEST(History, EveryProgramFindsTheDrillProgramsHistory) {
    const QString own = QCoreApplication::applicationName();
    for (const char* program : {"Kotobax", "Brelmi"}) {
        QCoreApplication::setApplicationName(program);
        EXPECT_TRUE(SqliteHistory::defaultPath().endsWith("/Kotobax/history.sqlite"))
            << SqliteHistory::defaultPath().toStdString();
    }
    QCoreApplication::setApplicationName(own);
}

// Another program finds the history broken or too new: no drill is lost and the old file
// is never written into.
TEST(History, NoDrillIsLostToADamagedOrNewerHistory) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> prepare;
        bool movedAside;
    };
    const Case cases[] = {
        {"a file that is no database", noDatabase, true},
        {"a folder", [](const QString& path) { ASSERT_TRUE(QDir().mkpath(path + "/inside")); },
         true},
        {"a newer schema", newerSchema, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        c.prepare(path);
        const QByteArray before = kxtest::readBytes(path);
        const QDate dayBefore = QDate::currentDate();

        QProcess writer;  // another program records two drills
        writer.start(KX_HISTORY_WRITER, {path, "/w", "2"});
        ASSERT_TRUE(writer.waitForFinished(kProgramMilliseconds));
        // Named after the day of the move, midnight passing meanwhile or not.
        QString aside = path + ".damaged-" + dayBefore.toString(Qt::ISODate);
        if (!QFileInfo::exists(aside)) {
            aside = path + ".damaged-" + QDate::currentDate().toString(Qt::ISODate);
        }
        const QString notice = QString::fromLocal8Bit(writer.readAllStandardError());
        EXPECT_EQ(writer.exitCode(), 0) << notice.toStdString();
        SqliteHistory history(path);
        const QList<DrillRecord> records = history.drills().records;
        if (c.movedAside) {
            EXPECT_TRUE(QFileInfo::exists(aside));
            EXPECT_TRUE(notice.contains(QDir::toNativeSeparators(aside))) << notice.toStdString();
            EXPECT_EQ(records.size(), 2);
            EXPECT_EQ(kxtest::readBytes(aside), before);
        } else {
            EXPECT_TRUE(notice.contains(history.pendingPath())) << notice.toStdString();
            EXPECT_EQ(kxtest::readBytes(path), before) << "never written into";
            EXPECT_EQ(records.size(), 1) << "what this program knows is read";
            EXPECT_EQ(kxtest::readBytes(history.pendingPath()).count('\n'), 2) << "kept for later";
        }
    }
}

// A lock held by another program neither freezes the drill window nor loses the drill.
TEST(History, LockHeldByAnotherProgramKeepsTheDrillForLater) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    QProcess holder;  // holds the lock until told to let go
    holder.start(KX_HISTORY_WRITER, {path, "--hold"});
    ASSERT_TRUE(holder.waitForReadyRead(kProgramMilliseconds));
    ASSERT_EQ(holder.readAllStandardOutput(), "held\n");

    SqliteHistory history(path);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(history.record(drill("/a", 1, 1, 1)), QString());
    // The short busy timeouts add up to well under a second; the bound leaves a loaded machine
    // room and still tells apart the wait of several seconds that froze the window.
    EXPECT_LT(timer.elapsed(), 4000) << "it froze the window 5.2 s";
    EXPECT_TRUE(QFileInfo::exists(history.pendingPath()));

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(kProgramMilliseconds));
    ASSERT_EQ(history.record(drill("/a", 2, 1, 1)), QString());
    EXPECT_EQ(history.drills().records.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(history.pendingPath()));
}

// Kills per moment in the loops below: a few by default, KX_KILL_LOOPS of them in CI and in a
// long run by hand.
int kills() {
    return qEnvironmentVariableIsSet("KX_KILL_LOOPS")
               ? qEnvironmentVariableIntValue("KX_KILL_LOOPS")
               : 5;
}

// The asked counts of the drills recorded for name, smallest first.
QList<int> askedOf(const QString& path, const QString& name) {
    QList<int> asked;
    for (const DrillRecord& record : SqliteHistory(path).page(name, 0, -1)) {
        asked.append(record.asked);
    }
    std::sort(asked.begin(), asked.end());
    return asked;
}

// Drills a history of a newer program keeps in its pending file, for a program that can write.
void keepPending(const QString& path, const QString& name, int count) {
    setVersion(path, SqliteHistory::schemaVersion() + 1);
    SqliteHistory history(path);
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(history.record(drill(name, i, 0, i)), QString());
    }
    setVersion(path, SqliteHistory::schemaVersion());
}

// A program killed at any moment while it appends drills to the pending file, or records them
// from it, loses and doubles none: each drill it said was kept is recorded once, the one it was
// writing at most once, and a line cut short never swallows the next.
TEST(History, NoKillLosesOrDoublesAPendingDrill) {
    const struct {
        const char* name;
        bool appending;      // else the pending drills are recorded
        const char* moment;  // the writer's own kill, else one at random
    } table[] = {
        {"appending, at random", true, nullptr},
        {"appending, half a line written", true, "KX_KILL_IN_PENDING_APPEND"},
        {"recording, at random", false, nullptr},
        {"recording, just after the commit", false, "KX_KILL_AFTER_PENDING_COMMIT"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        newerSchema(path);
        const auto start = [&](QProcess& writer, int i) {
            if (!row.appending) {
                setVersion(path, SqliteHistory::schemaVersion());
                keepPending(path, QString("/pending%1").arg(i), 3);
            }
            writer.start(KX_HISTORY_WRITER, {path, QString("/w%1").arg(i), "5"});
            ASSERT_TRUE(writer.waitForStarted(kProgramMilliseconds));
        };
        // Random kills fall within the time a whole run takes.
        QProcess whole;
        QElapsedTimer timer;
        timer.start();
        start(whole, -1);
        ASSERT_TRUE(whole.waitForFinished(kProgramMilliseconds));
        ASSERT_EQ(whole.exitCode(), 0) << whole.readAllStandardError().toStdString();
        const int runMs = std::max<int>(timer.elapsed(), 1);
        QList<int> said(kills(), 0);
        for (int i = 0; i < kills(); ++i) {
            QProcess writer;
            if (row.moment != nullptr) {
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.insert(row.moment, "1");
                writer.setProcessEnvironment(env);
            }
            start(writer, i);
            if (row.moment == nullptr) {
                QThread::msleep(QRandomGenerator::global()->bounded(runMs));
                writer.kill();
            }
            ASSERT_TRUE(writer.waitForFinished(kProgramMilliseconds));
            if (row.moment != nullptr) {
                ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << i;
            }
            said[i] = int(writer.readAllStandardOutput().count('\n'));
            if (writer.exitStatus() == QProcess::NormalExit) {
                // Never a drill lost to the lock a killed program left behind.
                EXPECT_EQ(writer.exitCode(), 0) << i << writer.readAllStandardError().toStdString();
            }
        }
        // A lock left empty by a program killed as it took it goes stale after a few seconds;
        // the drills wait in the pending file until then, for the next program to record.
        QLockFile later(path + ".pending.lock");
        later.setStaleLockTime(3000);
        ASSERT_TRUE(later.tryLock(kProgramMilliseconds));
        later.unlock();
        setVersion(path, SqliteHistory::schemaVersion());
        for (int i = 0; i < kills(); ++i) {
            SCOPED_TRACE(i);
            const QList<int> asked = askedOf(path, QString("/w%1").arg(i));
            // The drill being written when the kill came may be kept, unsaid.
            EXPECT_GE(asked.size(), said[i]);
            EXPECT_LE(asked.size(), std::min(said[i] + (row.moment != nullptr ? 0 : 1), 5));
            for (int drill = 0; drill < asked.size(); ++drill) {
                EXPECT_EQ(asked[drill], drill) << "each once, the first ones";
            }
            if (!row.appending) {
                EXPECT_EQ(askedOf(path, QString("/pending%1").arg(i)), QList<int>({0, 1, 2}));
            }
        }
    }
}

// A pending drill cut short (by a full disk or a crash) is never joined to the next one.
TEST(History, APendingDrillCutShortStaysApartFromTheNext) {
    const struct {
        const char* name;
        int cut;     // bytes cut from the end of the pending file
        int drills;  // recorded in the end
    } table[] = {{"in the middle", 9, 2}, {"before its line break", 1, 3}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        newerSchema(path);
        SqliteHistory history(path);
        ASSERT_EQ(history.record(drill("/w", 1, 1, 1, {"a"})), QString());
        ASSERT_EQ(history.record(drill("/w", 2, 1, 1, {"b"})), QString());
        QFile pending(history.pendingPath());
        ASSERT_TRUE(pending.resize(pending.size() - row.cut));
        ASSERT_EQ(history.record(drill("/w", 3, 1, 1, {"c"})), QString());
        setVersion(path, SqliteHistory::schemaVersion());
        EXPECT_EQ(SqliteHistory(path).page("/w", 0, -1).size(), row.drills);
    }
}

// A small file system of its own, for as long as it lives; only the superuser can mount one.
struct Mount {
    QTemporaryDir dir;
    bool mounted = false;
    explicit Mount(const QString& options) {
        mounted = ::geteuid() == 0 && QProcess::execute("mount", {"-t", "tmpfs", "-o", options,
                                                                  "tmpfs", dir.path()}) == 0;
    }
    ~Mount() {
        if (mounted) {
            QProcess::execute("umount", {"-l", dir.path()});
        }
    }
};

// Fills the file system of path, then frees a page: enough for the pending file's lock, not for
// much more.
void fill(const QString& path) {
    QFile filler(path);
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'f')) == 4096) {
    }
    ASSERT_TRUE(filler.resize(filler.size() / 4096 * 4096 - 4096));
}

// A full or read-only disk: every drill said to be kept is recorded later, the one that was not
// is said to be lost, with the system's reason.
TEST(History, AFullOrReadOnlyDiskLosesOnlyWhatItSaysWithTheSystemsReason) {
    const struct {
        const char* name;
        const char* options;
        const char* reason;
    } table[] = {{"full", "size=1m", "No space left on device"},
                 {"read-only", "size=1m,ro", "Read-only file system"}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        Mount disk(row.options);
        if (!disk.mounted) {
            GTEST_SKIP() << "needs the superuser to mount a small file system";
        }
        const QString path = disk.dir.filePath("history.sqlite");
        const bool full = row.name == "full"s;
        if (full) {
            newerSchema(path);  // drills wait in the pending file
        }
        int kept = 0;
        QString lost;
        {
            SqliteHistory history(path);
            const QStringList missed(100, QStringLiteral("a question of some length"));
            if (full) {
                ASSERT_EQ(history.record(drill("/w", 0, 0, 1, missed)), QString());
                ++kept;
                fill(disk.dir.filePath("filler"));
            }
            for (int i = 0; i < 50 && lost.isEmpty(); ++i) {
                lost = history.record(drill("/w", i % 60, 0, 1, missed));
                kept += lost.isEmpty() ? 1 : 0;
            }
            EXPECT_TRUE(lost.contains(row.reason)) << lost.toStdString();
            if (!full) {
                continue;
            }
            QFile::remove(disk.dir.filePath("filler"));
            ASSERT_EQ(history.record(drill("/w", 59, 0, 1, missed)), QString());
            ++kept;
        }
        setVersion(path, SqliteHistory::schemaVersion());
        EXPECT_EQ(SqliteHistory(path).page("/w", 0, -1).size(), kept);
    }
}

// Two drill programs ending drills, or answering, at the same moment both record. Drills come
// as fast as they can be written; answers come as a learner gives them, each pair at once, for
// a review that cannot be written at once is skipped, not kept for later.
TEST(History, TwoProgramsRecordingAtOnceBothLand) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/history.sqlite");
    constexpr int kEach = 200;
    for (const QStringList& more : {QStringList(), QStringList{"reviews"}}) {
        SCOPED_TRACE(more.join("").toStdString());
        if (!more.isEmpty()) {
            // The states settled once beforehand: two programs that both find them unsettled
            // rebuild at the same moment, which can still keep one of them out (left open).
            ASSERT_EQ(SqliteHistory(path).replayReviews(), QString());
        }
        QProcess first;
        QProcess second;
        first.start(KX_HISTORY_WRITER, QStringList{path, "/first", QString::number(kEach)} + more);
        second.start(KX_HISTORY_WRITER,
                     QStringList{path, "/second", QString::number(kEach)} + more);
        for (int i = 0; !more.isEmpty() && i < kEach; ++i) {
            for (QProcess* process : {&first, &second}) {
                process->write("\n");
            }
            for (QProcess* process : {&first, &second}) {
                ASSERT_EQ(nextLine(*process), QByteArray::number(i) + '\n');
            }
        }
        for (QProcess* process : {&first, &second}) {
            process->closeWriteChannel();
            ASSERT_TRUE(process->waitForFinished(kProgramMilliseconds));
            EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
        }
    }
    SqliteHistory history(path);
    EXPECT_EQ(history.page("/first", 0, -1).size(), kEach);
    EXPECT_EQ(history.page("/second", 0, -1).size(), kEach);
    const review::ReviewTime later{std::chrono::days(30000)};
    QList<review::FileReviews> files = history.reviewFiles(later);
    ASSERT_EQ(files.size(), 2);
    for (const review::FileReviews& file : files) {
        EXPECT_EQ(file.reviewed, kEach / 2 + 1) << "its own words and the shared one";
        EXPECT_EQ(file.due, file.reviewed);
    }
    EXPECT_EQ(history.wordReviews(review::wordKey({"shared", "a", ""})).reviews, kEach);
}

// A history restored from a backup or removed while the program runs: the drills and reviews
// of the meantime go into the file now at the path, and the learner is told once.
TEST(History, AHistoryReplacedOrRemovedMeanwhileIsReopened) {
    const struct {
        const char* name;
        bool replaced;  // else removed
    } table[] = {{"replaced by a backup", true}, {"removed", false}};
    const review::ReviewRecord before{review::ReviewTime{}, QByteArray(20, 'a'),
                                      review::Grade::Good, 0, "/w"};
    const review::ReviewRecord meantime{review::ReviewTime{}, QByteArray(20, 'b'),
                                        review::Grade::Good, 0, "/w"};
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        const QString backup = dir.filePath("backup.sqlite");
        ASSERT_EQ(SqliteHistory(backup).record(drill("/backup", 1, 1, 1)), QString());
        SqliteHistory history(path);
        ASSERT_EQ(history.record(drill("/before", 1, 1, 1)), QString());
        ASSERT_EQ(history.recordReview(before), QString());
        if (row.replaced) {
            ASSERT_EQ(std::rename(QFile::encodeName(backup), QFile::encodeName(path)), 0);
        } else {
            ASSERT_TRUE(QFile::remove(path));
        }
        ASSERT_EQ(history.record(drill("/meantime", 2, 1, 1)), QString());
        ASSERT_EQ(history.recordReview(meantime), QString());
        const QStringList notices = history.takeNotices();
        ASSERT_EQ(notices.size(), 1);
        EXPECT_TRUE(notices[0].contains(path));
        ASSERT_EQ(history.record(drill("/meantime", 3, 1, 1)), QString());
        EXPECT_EQ(history.takeNotices(), QStringList());

        SqliteHistory now(path);
        EXPECT_EQ(now.page("/meantime", 0, -1).size(), 2);
        EXPECT_EQ(now.wordReviews(meantime.wordKey).reviews, 1);
        EXPECT_EQ(now.wordFiles(),
                  (row.replaced ? QStringList{"/meantime", "/backup"} : QStringList{"/meantime"}));
    }
}

// A clock for the review tests: day d of the learner, at hh:mm UTC.
review::ReviewTime at(int day, int hour = 9, int minute = 0) {
    return review::ReviewTime{std::chrono::days(20000 + day) + std::chrono::hours(hour) +
                              std::chrono::minutes(minute)};
}

QByteArray key(const char* question) {
    return review::wordKey({question, "a", ""});
}

// What the store keeps of a word is always what replaying its reviews gives, whatever order
// they arrive in and whatever retention the learner chooses later.
TEST(Reviews, StatesAreTheReplayOfTheirReviews) {
    SqliteHistory history(":memory:", QTimeZone::utc());
    using review::Grade;
    const struct {
        const char* word;
        QList<review::Review> log;  // in the order recorded
    } table[] = {
        // clang-format off
        {"learnt", {{at(0), Grade::Good}, {at(0, 9, 10), Grade::Good}, {at(3), Grade::Good}}},
        {"lapsed", {{at(0), Grade::Good}, {at(1), Grade::Good}, {at(9), Grade::Again}}},
        {"overruled", {{at(0), Grade::Hard}, {at(2), Grade::Hard}}},
        {"late arrival", {{at(5), Grade::Good}, {at(0), Grade::Again}, {at(6), Grade::Good}}},
        {"same instant", {{at(4), Grade::Again}, {at(4), Grade::Good}}},
        // clang-format on
    };
    for (const double retention : {0.9, 0.8, 0.97}) {
        SCOPED_TRACE(retention);
        const review::FsrsScheduler scheduler(retention);
        history.setDesiredRetention(retention);
        for (const auto& row : table) {
            SCOPED_TRACE(row.word);
            if (retention == 0.9) {
                for (const review::Review& review : row.log) {
                    ASSERT_EQ(
                        history.recordReview({review.time, key(row.word), review.grade, 0, "/w"}),
                        QString());
                }
            }
            const review::WordState stored = history.wordStates({key(row.word)}).value(0);
            ASSERT_TRUE(stored.has_value());
            const review::CardState replayed = scheduler.replay(row.log);
            const auto kept = [](const review::CardState& s) {
                return std::tuple(s.due, s.stability, s.difficulty, s.reps, s.lapses);
            };
            EXPECT_EQ(kept(*stored), kept(replayed));
        }
    }
}

// What the counts, the plan and the review window read is what the history holds at that moment,
// whoever wrote it: this program, another one on the same file, an answer that arrived out of
// order, or a rename.
TEST(Reviews, EveryQuestionSeesTheLatestWrites) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    SqliteHistory here(path, QTimeZone::utc());
    SqliteHistory other(path, QTimeZone::utc());
    using review::Grade;
    const struct {
        const char* name;
        SqliteHistory* writer;
        const char* word;
        const char* file;
        review::Review review;
    } steps[] = {
        {"a new word here", &here, "x", "/w", {at(0), Grade::Good}},
        {"the same word in another program", &other, "x", "/v", {at(1), Grade::Again}},
        {"a new word in another program", &other, "y", "/v", {at(1), Grade::Good}},
        {"its next answer here", &here, "y", "/w", {at(1, 9, 20), Grade::Good}},
        {"an answer here older than the last", &here, "x", "/w", {at(0, 12), Grade::Again}},
        {"again after it", &here, "x", "/w", {at(2), Grade::Good}},
        {"another new word here", &here, "w", "/w", {at(2), Grade::Good}},
    };
    const QList<QByteArray> keys{key("x"), key("y"), key("w"), key("z")};
    QMap<QByteArray, QList<review::Review>> logs;
    QMap<QString, std::pair<QSet<QByteArray>, review::ReviewTime>> files;  // words, last answer
    const review::FsrsScheduler scheduler;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_EQ(step.writer->recordReview(
                      {step.review.time, key(step.word), step.review.grade, 0, step.file}),
                  "");
        auto& [inFile, last] = files[step.file];
        inFile.insert(key(step.word));
        last = std::max(last, step.review.time);
        QList<review::Review>& log = logs[key(step.word)];
        log.insert(std::upper_bound(log.begin(), log.end(), step.review,
                                    [](const review::Review& a, const review::Review& b) {
                                        return a.time < b.time;
                                    }),
                   step.review);
        const QList<review::WordState> states = here.wordStates(keys);
        ASSERT_EQ(states.size(), keys.size());
        for (qsizetype i = 0; i < keys.size(); ++i) {
            ASSERT_EQ(states[i].has_value(), logs.contains(keys[i])) << i;
            if (states[i]) {
                const review::CardState replayed = scheduler.replay(logs[keys[i]]);
                EXPECT_EQ(std::tuple(states[i]->due, states[i]->stability, states[i]->reps),
                          std::tuple(replayed.due, replayed.stability, replayed.reps))
                    << i;
            }
        }
        EXPECT_EQ(here.reviewCounts(keys, at(9)).fresh, keys.size() - logs.size());
        // The review window's list: each file's words, those due (also as a word falls due and
        // a minute before), the latest first.
        QList<review::ReviewTime> nows{at(2, 12)};
        for (const review::WordState& state : states) {
            if (state) {
                nows << state->due << state->due - std::chrono::minutes(1);
            }
        }
        for (const review::ReviewTime now : nows) {
            const QList<review::FileReviews> listed = here.reviewFiles(now);
            ASSERT_EQ(listed.size(), files.size());
            for (qsizetype i = 0; i < listed.size(); ++i) {
                const auto& [inFile, last] = files[listed[i].wordFile];
                const QList<QByteArray> words = inFile.values();
                EXPECT_EQ(std::tuple(listed[i].reviewed, listed[i].due, listed[i].lastReview),
                          std::tuple(int(words.size()), here.reviewCounts(words, now).due, last))
                    << listed[i].wordFile.toStdString();
                EXPECT_TRUE(i == 0 || listed[i - 1].lastReview >= last);
            }
        }
    }
    ASSERT_EQ(other.renameWords(std::vector{review::WordRename{at(3), "/w", key("x"), key("z")}}),
              "");
    const review::WordState renamed = here.wordStates({key("z")}).value(0);
    ASSERT_TRUE(renamed.has_value()) << "a rename taken in by the other program";
    EXPECT_EQ(renamed->reps, logs[key("x")].size());
    EXPECT_EQ(here.reviewFiles(at(9)), SqliteHistory(path, QTimeZone::utc()).reviewFiles(at(9)));
}

review::ReviewTime instant(const char* iso) {
    return review::ReviewTime{
        std::chrono::milliseconds(QDateTime::fromString(iso, Qt::ISODate).toMSecsSinceEpoch())};
}

// Days start at 04:00 local time: every place that says what is due today (the information
// line, today's plan, the review window, Brelmi's line) says the same, a
// word in review is due all day on its due date, and a same-day step at its instant, across
// daylight-saving changes. Two answers at 08:50 and 09:05 in Tokyo are on one day.
TEST(Reviews, TodayIsTheLearnersDayEverywhere) {
    const struct {
        const char* name;
        const char* zone;
        QList<std::pair<const char*, review::Grade>> log;
        const char* now;
        int dueNow, today, tomorrow, newToday, elapsed;
    } table[] = {
        // clang-format off
        // Answered on 10/30 at 08:50 and 09:05 local: due 11/01 at 09:05 (08:05 in New York,
        // after the change to standard time).
        {"Tokyo, due later on its day", "Asia/Tokyo", {{"2026-10-30T08:50:00+09:00", review::Grade::Good}, {"2026-10-30T09:05:00+09:00", review::Grade::Good}}, "2026-11-01T08:00:00+09:00", 1, 1, 0, 0, 0},
        // Last answered as the day starts: due as a later day starts, and on that day.
        {"Tokyo, due as a day starts", "Asia/Tokyo", {{"2026-10-30T03:45:00+09:00", review::Grade::Good}, {"2026-10-30T04:00:00+09:00", review::Grade::Good}}, "2026-11-05T12:00:00+09:00", 0, 0, 1, 0, 1},
        {"Tokyo, before the day starts", "Asia/Tokyo", {{"2026-10-30T08:50:00+09:00", review::Grade::Good}, {"2026-10-30T09:05:00+09:00", review::Grade::Good}}, "2026-11-01T03:59:00+09:00", 0, 0, 1, 0, 0},
        {"New York, interval across the change", "America/New_York", {{"2026-10-30T08:50:00-04:00", review::Grade::Good}, {"2026-10-30T09:05:00-04:00", review::Grade::Good}}, "2026-11-01T04:00:00-05:00", 1, 1, 0, 0, 0},
        {"New York, before the day starts", "America/New_York", {{"2026-10-30T08:50:00-04:00", review::Grade::Good}, {"2026-10-30T09:05:00-04:00", review::Grade::Good}}, "2026-11-01T03:59:00-05:00", 0, 0, 1, 0, 0},
        // A 10-minute step from 01:55 daylight time ends at 01:05 standard time, still the
        // learner's 10/31.
        {"New York, step across the change", "America/New_York", {{"2026-11-01T01:55:00-04:00", review::Grade::Good}}, "2026-11-01T01:04:00-05:00", 0, 1, 0, 1, 0},
        {"New York, step ended", "America/New_York", {{"2026-11-01T01:55:00-04:00", review::Grade::Good}}, "2026-11-01T01:05:00-05:00", 1, 1, 0, 1, 0},
        // In spring a step from 01:55 standard time ends at 03:05 daylight time, and an interval
        // of two days from 03/06 09:05 ends at 10:05 on 03/08, due from its day start.
        {"New York, step across the spring change", "America/New_York", {{"2026-03-08T01:55:00-05:00", review::Grade::Good}}, "2026-03-08T03:04:00-04:00", 0, 1, 0, 1, 0},
        {"New York, spring step ended", "America/New_York", {{"2026-03-08T01:55:00-05:00", review::Grade::Good}}, "2026-03-08T03:05:00-04:00", 1, 1, 0, 1, 0},
        {"New York, interval across the spring change", "America/New_York", {{"2026-03-06T08:50:00-05:00", review::Grade::Good}, {"2026-03-06T09:05:00-05:00", review::Grade::Good}}, "2026-03-08T04:00:00-04:00", 1, 1, 0, 0, 0},
        {"New York, before the spring day starts", "America/New_York", {{"2026-03-06T08:50:00-05:00", review::Grade::Good}, {"2026-03-06T09:05:00-05:00", review::Grade::Good}}, "2026-03-08T03:59:00-04:00", 0, 0, 1, 0, 0},
        // clang-format on
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        SqliteHistory history(":memory:", QTimeZone(row.zone));
        history.setDayStart(4);
        for (const auto& [time, grade] : row.log) {
            ASSERT_EQ(history.recordReview({instant(time), key("w"), grade, 0, "/w"}), "");
        }
        const review::ReviewTime now = instant(row.now);
        const QList<QByteArray> keys{key("w")};
        EXPECT_EQ(history.reviewCounts(keys, now).due, row.dueNow) << "information line";
        const QList<review::FileReviews> files = history.reviewFiles(now);
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(files[0].due, row.dueNow) << "review window's list";
        const QList<review::WordState> states = history.wordStates(keys);
        const review::FsrsScheduler scheduler(0.9, history.learnerDay());
        EXPECT_EQ(review::reviewOrder(states, now, scheduler).size(), row.dueNow) << "plan";
        EXPECT_EQ(history.forecast(now, 2, ""), (QList<int>{row.today, row.tomorrow}));
        EXPECT_EQ(history.forecastOf(now, 2, keys), (QList<int>{row.today, row.tomorrow}));
        EXPECT_EQ(history.newToday(keys, now), row.newToday);
        EXPECT_EQ(editor::reviewLine(history.wordReviews(key("w")), history.learnerDay(), now)
                      .startsWith(u"次の復習: 今日"),
                  row.today > 0)
            << "Brelmi's line";
        ASSERT_TRUE(states.value(0).has_value());
        EXPECT_EQ(states[0]->elapsedDays, row.elapsed);
    }
}

class HandClock final : public review::ReviewClock {
public:
    review::ReviewTime time;
    review::ReviewTime now() const override { return time; }
};

// Reviews given in a session whose clock was 20 years ahead are kept but decide nothing until
// the clock reaches them, in this program and the next; put aside, they stay in a table of
// their own and count no more.
TEST(Reviews, AReviewAheadOfTheClockWaitsForIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    const review::ReviewTime ahead = at(0) + std::chrono::days(7305);
    const QList<review::Review> aLog{{at(0), review::Grade::Good},
                                     {at(0, 9, 10), review::Grade::Good},
                                     {ahead, review::Grade::Again}};
    HandClock clock;
    auto history = std::make_unique<SqliteHistory>(path, QTimeZone::utc());
    history->setClock(clock);
    for (const review::Review& review : aLog) {
        clock.time = review.time;
        ASSERT_EQ(history->recordReview({review.time, key("a"), review.grade, 0, "/w"}), "");
    }
    clock.time = at(0, 11);  // from another program whose clock is ahead
    ASSERT_EQ(history->recordReview({ahead, key("b"), review::Grade::Good, 0, "/w"}), "");
    const struct {
        const char* name;
        review::ReviewTime now;
        bool nextProgram;
        bool putAside;
        int aCounted;  // of aLog
        bool bCounted;
        qint64 waiting;  // reviews ahead of the clock
    } steps[] = {
        {"back on the real clock", at(1), false, false, 2, false, 2},
        {"in the next program", at(1, 10), true, false, 2, false, 2},
        {"a day ahead is not yet ahead", ahead - std::chrono::hours(23), true, false, 3, true, 0},
        {"reached in the same program", ahead + std::chrono::hours(1), false, false, 3, true, 0},
        {"set back again", at(2), false, false, 2, false, 2},
        {"put aside", at(2), false, true, 2, false, 0},
        {"put aside for good", ahead + std::chrono::hours(1), true, false, 2, false, 0},
    };
    const review::FsrsScheduler scheduler;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        clock.time = step.now;
        if (step.nextProgram) {
            history = std::make_unique<SqliteHistory>(path, QTimeZone::utc());
            history->setClock(clock);
        }
        if (step.putAside) {
            ASSERT_EQ(history->putReviewsAheadAside(), "");
        }
        // The editor's figures, read before this program has matched the states to the clock.
        SqliteHistory editor(path, QTimeZone::utc(), SqliteHistory::Access::ReadOnly);
        editor.setClock(clock);
        const review::WordReviews seen[] = {editor.wordReviews(key("a")),
                                            editor.wordReviews(key("b"))};
        const QList<review::WordState> states = history->wordStates({key("a"), key("b")});
        ASSERT_EQ(states.size(), 2);
        ASSERT_TRUE(states[0] && states[1]);
        EXPECT_EQ(states[0]->due, scheduler.replay(aLog.mid(0, step.aCounted)).due);
        EXPECT_EQ(states[0]->reps, step.aCounted);
        EXPECT_EQ(states[1]->isNew(), !step.bCounted);
        EXPECT_EQ(history->reviewsAhead(), step.waiting);
        const auto figures = [](const review::WordState& state) {
            return state ? std::tuple(state->due, state->reps)
                         : std::tuple(review::ReviewTime{}, -1);
        };
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(figures(seen[i].state),
                      figures(history->wordReviews(key(i == 0 ? "a" : "b")).state))
                << "the editor's figures of word " << i;
        }
    }
    history.reset();
    EXPECT_EQ(runSql(path, {"SELECT COUNT(*) FROM reviews_aside"}), 2) << "kept, not deleted";
    EXPECT_EQ(runSql(path, {"SELECT COUNT(*) FROM reviews"}), 2) << "a's first two";
}

// The states follow the day start: a history opened with another one rebuilds them.
TEST(Reviews, ChangingTheDayStartReplays) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.db");
    {
        SqliteHistory history(path, QTimeZone("Asia/Tokyo"));
        history.setDayStart(4);
        for (const char* time : {"2026-10-30T08:50:00+09:00", "2026-10-30T09:05:00+09:00"}) {
            ASSERT_EQ(history.recordReview({instant(time), key("w"), review::Grade::Good, 0, "/w"}),
                      "");
        }
        EXPECT_EQ(history.wordStates({key("w")}).value(0)->elapsedDays, 0);
    }
    SqliteHistory history(path, QTimeZone("Asia/Tokyo"));
    history.setDayStart(9);
    const review::WordState state = history.wordStates({key("w")}).value(0);
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->elapsedDays, 1) << "08:50 is on the day before 09:05";
}

// An answer another program records after a replay step has read its words and before it writes
// them counts: that word is replayed again under the lock.
TEST(Reviews, AnAnswerBetweenAReplayStepsReadingAndWritingCounts) {
    QTemporaryDir dir;
    static QString path;
    path = dir.filePath("history.sqlite");
    SqliteHistory history(path, QTimeZone::utc());
    ASSERT_EQ(history.recordReview({at(0), key("w"), review::Grade::Good, 0, "/w"}), "");
    SqliteHistory::replayStepRead = [] {
        SqliteHistory::replayStepRead = nullptr;
        runSql(path, {QStringLiteral("INSERT INTO reviews (at, word_id, grade, answer_ms, file_id,"
                                     " was_due) SELECT %1, id, 1, 0, 1, 0 FROM words")
                          .arg(at(3).time_since_epoch().count()),
                      "UPDATE words SET reps = reps + 1"});
    };
    history.setDesiredRetention(0.8);
    ASSERT_EQ(history.replayReviews(), "");
    EXPECT_EQ(SqliteHistory::replayStepRead, nullptr) << "called";
    SqliteHistory::replayStepRead = nullptr;
    const review::WordState stored = history.wordStates({key("w")}).value(0);
    ASSERT_TRUE(stored.has_value());
    const QList<review::Review> log{{at(0), review::Grade::Good}, {at(3), review::Grade::Again}};
    const review::CardState replayed = review::FsrsScheduler(0.8).replay(log);
    EXPECT_EQ(std::tuple(stored->due, stored->reps), std::tuple(replayed.due, replayed.reps));
}

// Another program changes the retention of a long history, or takes in the editor's renames of
// most of its words, while this one answers: it works beside its window, no answer here is lost
// to its lock, and every state equals its log replayed as the change asks, also when the changing
// program ends halfway (the next open finishes its work).
TEST(Reviews, AChangeByAnotherProgramIsFollowedAndLosesNothing) {
    constexpr int kWords = 2000;  // reviews enough for a replay of several steps
    constexpr int kEach = 15;
    constexpr int kOwn = 20;  // the answering program's words "/b i", reviewed long ago
    constexpr int kAnswers = 2 * kOwn;
    constexpr qint64 kDayMs = 86'400'000;
    const auto own = [](int i) {
        return review::wordKey({QStringLiteral("/b %1").arg(i), "a", ""});
    };
    QTemporaryDir dir;
    const QString seeded = dir.filePath("seeded.sqlite");
    SqliteHistory(seeded).wordFiles();  // created
    QStringList seed{
        "INSERT INTO review_files (id, word_file, last_review) VALUES (1, '/seed', 0)",
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE"
            " i < %2) INSERT INTO words SELECT i, lower(hex('w' || i)), 0, 0, 0, 0, 0, 0,"
            " 0, 0, 0, 0 FROM n")
            .arg(kOwn + 1)
            .arg(kWords),
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE"
                       " i < %1) INSERT INTO reviews (at, word_id, grade, answer_ms, file_id,"
                       " was_due) SELECT %2 + (i / %3) * 3 * %4 + (i % %3) * 1000, i % %3 + 1,"
                       " 3, 1500, 1, 0 FROM n")
            .arg(kWords * kEach - 1)
            .arg(19000 * kDayMs)
            .arg(kWords)
            .arg(kDayMs)};
    for (int i = 0; i < kOwn; ++i) {
        seed.append(QStringLiteral("INSERT INTO words VALUES (%1, '%2', 0, 0, 0, 0, 0, 0, 0,"
                                   " 0, 0, 0)")
                        .arg(i + 1)
                        .arg(QString::fromLatin1(own(i).toHex())));
    }
    runSql(seeded, seed);
    ASSERT_EQ(SqliteHistory(seeded).replayReviews(), QString());
    const struct {
        const char* name;
        QStringList change;  // the changing program's arguments after the file
        bool killed;         // once its work goes on beside it
        double retention;
        bool renamed;  // the seeded words "wI" now "nI"
    } rows[] = {
        {"retention", {"--retention", "0.8"}, false, 0.8, false},
        {"retention, killed", {"--retention", "0.8"}, true, 0.8, false},
        {"renames", {"--renames", QString::number(kWords)}, false, 0.9, true},
        {"renames, killed", {"--renames", QString::number(kWords)}, true, 0.9, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const bool killed = row.killed;
        const QString path = dir.filePath(QString::fromLatin1(row.name) + ".sqlite");
        ASSERT_TRUE(QFile::copy(seeded, path));
        QProcess answering;
        answering.start(KX_HISTORY_WRITER,
                        QStringList{path, "/b", QString::number(kAnswers), "reviews"});
        const auto answer = [&answering](int from, int to) {
            for (int i = from; i < to; ++i) {
                answering.write("\n");
                ASSERT_EQ(nextLine(answering), QByteArray::number(i) + '\n');
            }
        };
        answer(0, 1);  // before the change
        QProcess changing;
        changing.start(KX_HISTORY_WRITER, QStringList{path} + row.change);
        ASSERT_EQ(nextLine(changing), "changing\n");
        if (killed) {
            ASSERT_EQ(nextLine(changing), "replaying\n");
            changing.kill();
        }
        answer(1, kAnswers / 2);  // while it works, as a rule
        ASSERT_TRUE(changing.waitForFinished(kProgramMilliseconds));
        if (!killed) {
            ASSERT_EQ(changing.readAll(), "replaying\nreplayed\n")
                << changing.readAllStandardError().toStdString();
        }
        answer(kAnswers / 2, kAnswers);  // own words "/b 10" on after the change
        answering.closeWriteChannel();
        ASSERT_TRUE(answering.waitForFinished(kProgramMilliseconds));
        EXPECT_EQ(answering.exitCode(), 0) << answering.readAllStandardError().toStdString();

        SqliteHistory history(path);
        ASSERT_EQ(history.reviewsUnavailable(), QString());
        history.waitForReplay();
        EXPECT_EQ(runSql(path, {"SELECT COUNT(*) FROM review_meta WHERE name = 'replay_from'"}), 0);
        EXPECT_FALSE(QFileInfo::exists(history.renamesPath()));
        // Each word's log as the seed and the answering program wrote it, replayed here.
        const auto answered = [](int line) {
            return review::Review{
                review::ReviewTime(std::chrono::days(20000) + std::chrono::minutes(line)),
                review::Grade::Good};
        };
        // Every word, those at the ends of the replay's steps among them.
        QList<QByteArray> keys{key("shared")};
        std::vector<std::vector<review::Review>> logs(1);
        for (int line = 1; line < kAnswers; line += 2) {
            logs[0].push_back(answered(line));
        }
        for (int i = 0; i < kWords; ++i) {
            keys.append(i < kOwn ? own(i) : (row.renamed ? "n" : "w") + QByteArray::number(i + 1));
            std::vector<review::Review>& log = logs.emplace_back();
            for (int k = 0; k < kEach; ++k) {
                log.push_back({review::ReviewTime(std::chrono::milliseconds(
                                   19000 * kDayMs + k * 3 * kDayMs + i * 1000)),
                               review::Grade::Good});
            }
            if (i < kOwn) {
                log.push_back(answered(2 * i));
            }
        }
        const review::FsrsScheduler newRetention(row.retention, history.learnerDay());
        const QList<review::WordState> stored = history.wordStates(keys);
        ASSERT_EQ(stored.size(), keys.size());
        QList<qsizetype> differing;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            ASSERT_TRUE(stored[i].has_value()) << i;
            const review::CardState replayed = newRetention.replay(logs[i]);
            if (std::tuple(stored[i]->due, stored[i]->stability, stored[i]->reps) !=
                std::tuple(replayed.due, replayed.stability, replayed.reps)) {
                differing.append(i);
            }
        }
        EXPECT_EQ(differing, QList<qsizetype>())
            << "0 is the shared word, 1.." << kOwn << " the answering program's own";
        EXPECT_EQ(history.wordReviews(key("shared")).reviews, kAnswers / 2) << "none lost";
        EXPECT_EQ(history.wordReviews(own(kOwn - 1)).reviews, kEach + 1);
        EXPECT_EQ(history.wordReviews("w" + QByteArray::number(kWords)).reviews, kEach);
    }
}

// What the review window and the editor show, summed by the store.
TEST(Reviews, CountsForecastRetentionAndOneWord) {
    SqliteHistory history(":memory:", QTimeZone::utc());
    const review::ReviewRecord reviews[] = {
        // A new word's first answer leaves it in a same-day step: each is due on day 3.
        {at(0), key("a"), review::Grade::Good, 800, "/one"},
        {at(0), key("b"), review::Grade::Good, 800, "/one"},
        {at(0), key("c"), review::Grade::Again, 800, "/two"},
        // Two due answers on day 3: b wrong (due again at once), a right.
        {at(3), key("b"), review::Grade::Again, 4000, "/one"},
        {at(3, 9, 1), key("a"), review::Grade::Good, 900, "/two"},
    };
    ASSERT_EQ(history.recordReviews(reviews), QString());
    EXPECT_EQ(history.reviewsUnavailable(), QString());

    const review::ReviewTime now = at(3, 12);
    EXPECT_EQ(history.reviewCounts({key("a"), key("b"), key("c"), key("new"), key("a")}, now),
              (review::ReviewCounts{2, 1}))
        << "b relearning since 9:00 and c since day 0 are due; a was just reviewed";
    EXPECT_EQ(history.reviewFiles(now).size(), 2);
    const QList<int> forecast = history.forecast(now, 30, "");
    ASSERT_EQ(forecast.size(), 30);
    EXPECT_EQ(forecast[0], 2) << "today, with the overdue";
    EXPECT_EQ(std::accumulate(forecast.begin(), forecast.end(), 0), 3);

    EXPECT_EQ(history.measuredRetention("").due, 2);
    EXPECT_EQ(history.measuredRetention("").right, 1);
    EXPECT_EQ(history.measuredRetention("/two").right, 1);

    const review::WordReviews b = history.wordReviews(key("b"));
    EXPECT_EQ(b.reviews, 2);
    EXPECT_EQ(b.missed, 1);
    EXPECT_FALSE(history.wordReviews(key("new")).state.has_value());

    ASSERT_EQ(history.removeReviewFile("/two"), QString());
    EXPECT_EQ(history.reviewFiles(now).size(), 1);
    ASSERT_EQ(history.recordReview({at(4), key("c"), review::Grade::Good, 0, "/two"}), QString());
    EXPECT_EQ(history.reviewFiles(now).size(), 2) << "back once reviewed again";
}

// Every file under dir with its bytes.
QMap<QString, QByteArray> contentsOf(const QString& dir) {
    QMap<QString, QByteArray> contents;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        contents.insert(path, kxtest::readBytes(path));
    }
    return contents;
}

// The editor only looks: whatever lies at the path, nothing there or beside it is created or
// changed, and only a history of this program's schema is read.
TEST(Reviews, ReadOnlyAccessCreatesAndChangesNothing) {
    const review::ReviewRecord missed{at(0), key("a"), review::Grade::Again, 0, "/w"};
    struct Case {
        const char* name;
        std::function<void(const QString&)> prepare;
        int reviews;  // -1: unreadable
    };
    const Case cases[] = {
        {"this program's history",
         [&](const QString& path) { ASSERT_EQ(SqliteHistory(path).recordReview(missed), ""); }, 1},
        {"no file", [](const QString&) {}, -1},
        {"a file that is no database", noDatabase, -1},
        {"a newer schema", newerSchema, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("記録 #1?%/history.sqlite");  // as a URI
        c.prepare(path);
        const QMap<QString, QByteArray> before = contentsOf(dir.path());
        {
            SqliteHistory history(path, QTimeZone::utc(), SqliteHistory::Access::ReadOnly);
            const review::WordReviews word = history.wordReviews(missed.wordKey);
            EXPECT_EQ(word.error.isEmpty(), c.reviews >= 0) << word.error.toStdString();
            EXPECT_EQ(word.reviews, std::max(c.reviews, 0));
            EXPECT_EQ(word.missed, std::max(c.reviews, 0));
            EXPECT_NE(history.record(drill("/w", 1, 1, 1)), "");
            EXPECT_NE(history.recordReview(missed), "");
        }
        EXPECT_EQ(contentsOf(dir.path()), before);
    }

    // While the drill program has it open, what it records meanwhile is seen.
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    SqliteHistory drills(path);
    ASSERT_EQ(drills.recordReview(missed), "");
    SqliteHistory editor(path, QTimeZone::utc(), SqliteHistory::Access::ReadOnly);
    EXPECT_EQ(editor.wordReviews(missed.wordKey).reviews, 1);
    ASSERT_EQ(drills.recordReview({at(3), key("a"), review::Grade::Good, 0, "/w"}), "");
    EXPECT_EQ(editor.wordReviews(missed.wordKey).reviews, 2);
}

// A locked, unwritable or newer history skips the review and says why, and no review is
// half-recorded.
TEST(Reviews, AHistoryThatCannotBeWrittenSkipsTheReviewAndSaysWhy) {
    struct Case {
        const char* name;
        std::function<void(const QString&, QProcess&)> prepare;
    };
    const Case cases[] = {
        {"locked by another program",
         [](const QString& path, QProcess& holder) {
             holder.start(KX_HISTORY_WRITER, {path, "--hold"});  // until told to let go
             ASSERT_TRUE(holder.waitForReadyRead(kProgramMilliseconds));
         }},
        {"unwritable",
         [](const QString& path, QProcess&) {
             SqliteHistory(path).wordFiles();
             QFile::setPermissions(path, QFileDevice::ReadOwner);
         }},
        {"a newer schema", [](const QString& path, QProcess&) { newerSchema(path); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.name == "unwritable"s && ::geteuid() == 0) {
            continue;  // permissions do not bind the superuser
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        QProcess holder;
        c.prepare(path, holder);
        {
            SqliteHistory history(path);
            const review::ReviewRecord pair[] = {{at(0), key("a"), review::Grade::Good, 0, "/w"},
                                                 {at(0), key("b"), review::Grade::Good, 0, "/w"}};
            EXPECT_NE(history.recordReviews(pair), QString());
            EXPECT_NE(history.reviewsUnavailable(), QString());
        }
        holder.closeWriteChannel();
        holder.waitForFinished(kProgramMilliseconds);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        setVersion(path, SqliteHistory::schemaVersion());
        SqliteHistory history(path);
        EXPECT_EQ(history.reviewsUnavailable(), QString());
        EXPECT_EQ(history.reviewFiles(at(1)), QList<review::FileReviews>());
    }
}

// A history not there yet is created by its first record, not by being asked; whether it could
// be written is told from its folder.
TEST(Reviews, AnAbsentHistoryIsCreatedByItsFirstRecord) {
    const struct {
        const char* path;  // in the test's folder, where "plain" is a file
        bool writable;
    } table[] = {{"a/b/history.sqlite", true}, {"plain/history.sqlite", false}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.path);
        QTemporaryDir dir;
        kxtest::writeBytes(dir.filePath("plain"), "not a folder");
        const QString path = dir.filePath(row.path);
        SqliteHistory history(path);
        EXPECT_EQ(history.reviewsUnavailable().isEmpty(), row.writable);
        EXPECT_TRUE(history.holdsNoWords());
        EXPECT_FALSE(QFileInfo::exists(path));
        const review::ReviewRecord first{at(0), key("a"), review::Grade::Good, 0, "/w"};
        EXPECT_EQ(history.recordReviews(std::span(&first, 1)).isEmpty(), row.writable);
        EXPECT_EQ(history.holdsNoWords(), !row.writable);
    }
}

}  // namespace
}  // namespace drill::history
