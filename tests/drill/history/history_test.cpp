#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimeZone>

#include <functional>

#include "drill/history/history_report.h"
#include "drill/history/sqlite_history.h"

namespace drill::history {
namespace {

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

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Statements on the file as another program would run them.
void runSql(const QString& path, const QStringList& statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "raw");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("raw");
}

int userVersion(const QString& path) {
    int version = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "version");
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (db.open() && query.exec("PRAGMA user_version") && query.next()) {
            version = query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("version");
    return version;
}

TEST(History, RecordsComeBackNewestFirstAsWritten) {
    SqliteHistory history(QStringLiteral(":memory:"));
    DrillRecord endless = drill("/w/b.qvw", 3, 9, 12, {"two", "", "三, \"quoted\"\nline"});
    endless.mode = common::kEndlessMode;
    endless.again = true;
    const QList<DrillRecord> written{drill("/w/a.qvw", 1, 3, 4, {"apple"}), endless,
                                     drill("/w/a.qvw", 2, 0, 0)};
    for (const DrillRecord& record : written) {
        ASSERT_EQ(history.record(record), QString());
    }
    const Drills read = history.drills();
    EXPECT_EQ(read.error, QString());
    EXPECT_EQ(read.records, (QList<DrillRecord>{written[1], written[2], written[0]}));
}

// The window's table, chart and list come from the database a page or a sum at a time.
TEST(History, WhatTheWindowShowsIsSummedInTheDatabase) {
    SqliteHistory history(QStringLiteral(":memory:"), QTimeZone::utc());
    DrillRecord again = drill("/a", 4, 0, 2, {"x"});
    again.again = true;
    const QList<DrillRecord> written{drill("/a", 1, 3, 4, {"x", "y", "x"}),
                                     drill("/a", 2, 1, 4, {"x"}),
                                     drill("/a", 3, 0, 0),  // stopped before any answer
                                     again,
                                     drill("/b", 5, 0, 1, {"z"}),
                                     drill("/a", 0, 2, 2, {}, 8)};
    for (const DrillRecord& record : written) {
        ASSERT_EQ(history.record(record), QString());
    }
    EXPECT_EQ(history.wordFiles(), QStringList({"/a", "/b"}));
    EXPECT_EQ(history.page("/a", 1, 2), (QList<DrillRecord>{again, written[2]}));
    EXPECT_EQ(history.page("", 0, -1).size(), written.size());

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
    EXPECT_EQ(history.mostMissed("", 2), (QList<MissCount>{{"x", 3}, {"y", 1}}));
}

TEST(History, CsvIsUtf8WithAByteOrderMarkQuotedAndSafeForSpreadsheets) {
    DrillRecord overcoming = drill("/w/a,b.qvw", 4, 2, 3, {"=1+2", "say \"hi\""});
    overcoming.mode = common::kOvercomingMode;
    DrillRecord again = drill("/w/単語.qvw", 6, 0, 0);
    again.again = true;
    const QByteArray csv =
        historyCsv({overcoming, drill("/w/単語.qvw", 5, 1, 1), again}, QTimeZone(9 * 3600));
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "開始日時,時間 (秒),単語ファイル,モード,問題数,正解数,正解率 (%),間違えた問題\r\n"
        "2026-12-07 18:04:05,61,\"/w/a,b.qvw\",Overcoming,3,2,66,\"'=1+2 / say \"\"hi\"\"\"\r\n"
        "2026-12-07 18:05:05,61,/w/単語.qvw,Normal,1,1,100,\r\n"
        "2026-12-07 18:06:05,61,/w/単語.qvw,Normal（もう一度）,0,0,,\r\n";
    EXPECT_EQ(QString::fromUtf8(csv), QString::fromUtf8(expected));
}

// A history from before the schema had a version is brought up to date in place.
TEST(History, OlderSchemaIsUpgradedInPlace) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    runSql(path,
           {"CREATE TABLE drills (id INTEGER PRIMARY KEY, started TEXT NOT NULL,"
            " seconds INTEGER NOT NULL, word_file TEXT NOT NULL, mode INTEGER NOT NULL,"
            " asked INTEGER NOT NULL, right_answers INTEGER NOT NULL, rate INTEGER NOT NULL)",
            "CREATE TABLE missed (drill_id INTEGER NOT NULL REFERENCES drills(id),"
            " position INTEGER NOT NULL, question TEXT NOT NULL)",
            "INSERT INTO drills VALUES (1, '2026-12-07T09:01:05.250Z', 61, '/a', 1, 4, 3, 75)",
            "INSERT INTO missed VALUES (1, 0, 'x')"});
    SqliteHistory history(path);
    EXPECT_EQ(history.drills().records, (QList<DrillRecord>{drill("/a", 1, 3, 4, {"x"})}));
    ASSERT_EQ(history.record(drill("/b", 2, 0, 1, {"x"})), QString());
    EXPECT_EQ(history.wordFiles(), QStringList({"/b", "/a"}));
    EXPECT_EQ(history.mostMissed("", 5), (QList<MissCount>{{"x", 2}}));
    EXPECT_EQ(history.takeNotices(), QStringList());
    EXPECT_EQ(userVersion(path), SqliteHistory::schemaVersion());
}

int runWriter(const QString& path, const QString& name, int count, QString* errors = nullptr) {
    QProcess writer;
    writer.start(KX_HISTORY_WRITER, {path, name, QString::number(count)});
    if (!writer.waitForFinished(60000)) {
        return -1;
    }
    if (errors != nullptr) {
        *errors = QString::fromLocal8Bit(writer.readAllStandardError());
    }
    return writer.exitCode();
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
        {"a file that is no database",
         [](const QString& path) {
             QFile garbage(path);
             ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) &&
                         garbage.write(QByteArray(8192, 'Z')));
         },
         true},
        {"a folder", [](const QString& path) { ASSERT_TRUE(QDir().mkpath(path + "/inside")); },
         true},
        {"a newer schema",
         [](const QString& path) {
             ASSERT_EQ(SqliteHistory(path).record(drill("/old", 1, 1, 1)), QString());
             runSql(path, {QStringLiteral("PRAGMA user_version=%1")
                               .arg(SqliteHistory::schemaVersion() + 1)});
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        c.prepare(path);
        const QByteArray before = bytesOf(path);
        const QString aside = path + ".damaged-" + QDate::currentDate().toString(Qt::ISODate);

        QString notice;
        EXPECT_EQ(runWriter(path, "/w", 2, &notice), 0) << notice.toStdString();
        SqliteHistory history(path);
        const QList<DrillRecord> records = history.drills().records;
        if (c.movedAside) {
            EXPECT_TRUE(QFileInfo::exists(aside));
            EXPECT_TRUE(notice.contains(QDir::toNativeSeparators(aside))) << notice.toStdString();
            EXPECT_EQ(records.size(), 2);
            EXPECT_EQ(bytesOf(aside), before);
        } else {
            EXPECT_TRUE(notice.contains(history.pendingPath())) << notice.toStdString();
            EXPECT_EQ(bytesOf(path), before) << "never written into";
            EXPECT_EQ(records.size(), 1) << "what this program knows is read";
            EXPECT_EQ(bytesOf(history.pendingPath()).count('\n'), 2) << "kept for later";
        }
    }
}

// A lock held by another program neither freezes the drill window nor loses the drill.
TEST(History, LockHeldByAnotherProgramKeepsTheDrillForLater) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    QProcess holder;
    holder.start(KX_HISTORY_WRITER, {path, "--hold", "3000"});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readAllStandardOutput(), "held\n");

    SqliteHistory history(path);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(history.record(drill("/a", 1, 1, 1)), QString());
    EXPECT_LT(timer.elapsed(), 2000) << "it froze the window 5.2 s";
    EXPECT_TRUE(QFileInfo::exists(history.pendingPath()));

    ASSERT_TRUE(holder.waitForFinished(10000));
    ASSERT_EQ(history.record(drill("/a", 2, 1, 1)), QString());
    EXPECT_EQ(history.drills().records.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(history.pendingPath()));
}

// Two drill programs ending at the same moment both record.
TEST(History, TwoProgramsRecordingAtOnceBothLand) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/history.sqlite");
    constexpr int kEach = 200;
    QProcess first;
    QProcess second;
    first.start(KX_HISTORY_WRITER, {path, "/first", QString::number(kEach)});
    second.start(KX_HISTORY_WRITER, {path, "/second", QString::number(kEach)});
    for (QProcess* process : {&first, &second}) {
        ASSERT_TRUE(process->waitForFinished(60000));
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
    }
    SqliteHistory history(path);
    EXPECT_EQ(history.page("/first", 0, -1).size(), kEach);
    EXPECT_EQ(history.page("/second", 0, -1).size(), kEach);
}

}  // namespace
}  // namespace drill::history
