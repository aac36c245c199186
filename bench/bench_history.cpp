// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <benchmark/benchmark.h>

#include <algorithm>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include "bench_rss.h"
#include "drill/history/sqlite_history.h"
#include "drill/window/frm_history.h"
#include "platform/scripted_platform.h"

namespace {

drill::history::DrillRecord drillOf(int i) {
    drill::history::DrillRecord record;
    record.started = QDateTime::currentDateTimeUtc().addSecs(-600LL * i);
    record.seconds = 300;
    record.wordFile = QStringLiteral("/home/user/単語/file%1.qvw").arg(i % 5);
    record.asked = 30;
    record.right = 25;
    record.rate = drill::history::rateOf(record.right, record.asked);
    for (int m = 0; m < 5; ++m) {
        record.missed.append(QStringLiteral("question %1").arg((i + m) % 200));
    }
    return record;
}

// One ended drill with five missed questions, into a history file on disk.
void BM_RecordDrill(benchmark::State& state) {
    QTemporaryDir dir;
    drill::history::SqliteHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    int i = 0;
    for (auto _ : state) {
        if (!history.record(drillOf(i++)).isEmpty()) {
            state.SkipWithError("not recorded");
            break;
        }
    }
}
BENCHMARK(BM_RecordDrill)->Unit(benchmark::kMillisecond);

// A history of count drills, ten minutes apart over years, of five word files, two questions
// missed in each; made once and kept for the run.
QString seededHistory(int count) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history-%1.sqlite").arg(count));
    if (QFile::exists(path)) {
        return path;
    }
    drill::history::SqliteHistory(path).wordFiles();  // today's schema
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("BEGIN"));
        query.prepare(QStringLiteral(
            "INSERT INTO drills (started, seconds, word_file, mode, again, asked, right_answers,"
            " rate, day) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE"
            " i < ?), t(i, s) AS (SELECT i, strftime('%Y-%m-%dT%H:%M:%fZ', 'now', '-' ||"
            " (i * 600) || ' seconds') FROM n) SELECT s, 300, ? || (i % 5) || '.qvw', 1, 0, 30,"
            " 25 - i % 7, (25 - i % 7) * 100 / 30, date(s, 'localtime') FROM t"));
        query.addBindValue(count - 1);
        query.addBindValue(QStringLiteral("/home/user/単語/file"));
        query.exec();
        query.exec(
            QStringLiteral("INSERT INTO missed (drill_id, position, question) SELECT id, k,"
                           " 'question ' || ((id + k * 7) % 200) FROM drills, (SELECT 0 AS k UNION "
                           "ALL SELECT 1)"));
        query.exec(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    return path;
}

// Menu → history: read, build, and draw the table, the chart and the most-missed list; the
// memory the window adds on top of the program's. Run it alone for the memory figure:
//     kx_bench --benchmark_filter=OpenHistoryWindow
void BM_OpenHistoryWindow(benchmark::State& state) {
    const QString path = seededHistory(static_cast<int>(state.range(0)));
    platform::ScriptedPlatform platform;
    QApplication::processEvents();
    // The peak from here on (Linux): the seeding's is not the window's.
    if (QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
        clearRefs.open(QIODevice::WriteOnly)) {
        clearRefs.write("5");
    }
    const qint64 before = statusKiB("VmRSS");
    qint64 peak = 0;
    for (auto _ : state) {
        drill::history::SqliteHistory history(path);
        drill::frmHistory window(history, QStringLiteral("/home/user/単語/file0.qvw"), platform,
                                 nullptr);
        window.show();
        benchmark::DoNotOptimize(window.grab());
        peak = std::max(peak, statusKiB("VmRSS"));
    }
    state.counters["added_MiB"] = double(peak - before) / 1024;
    state.counters["peak_MiB"] = double(statusKiB("VmHWM")) / 1024;
}
BENCHMARK(BM_OpenHistoryWindow)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The drills of seededHistory(count) in a history of version 1, from before the days, the
// file list and the miss counts were kept; made once and kept for the run.
QString versionOneHistory(int count) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("version1-%1.sqlite").arg(count));
    if (QFile::exists(path)) {
        return path;
    }
    const QString seeded = seededHistory(count);
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("ATTACH '%1' AS seeded").arg(seeded));
        for (const char* statement :
             {"CREATE TABLE drills (id INTEGER PRIMARY KEY, started TEXT NOT NULL,"
              " seconds INTEGER NOT NULL, word_file TEXT NOT NULL, mode INTEGER NOT NULL,"
              " asked INTEGER NOT NULL, right_answers INTEGER NOT NULL, rate INTEGER NOT NULL)",
              "CREATE TABLE missed (drill_id INTEGER NOT NULL REFERENCES drills(id),"
              " position INTEGER NOT NULL, question TEXT NOT NULL)",
              "CREATE INDEX missed_by_drill ON missed(drill_id, position)",
              "INSERT INTO drills SELECT id, started, seconds, word_file, mode, asked,"
              " right_answers, rate FROM seeded.drills",
              "INSERT INTO missed SELECT drill_id, position, question FROM seeded.missed",
              "PRAGMA user_version=1"}) {
            query.exec(QString::fromLatin1(statement));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    return path;
}

// A long history of version 1 opened by today's program, which records a drill every 20 ms while
// the old ones are filled in beside it: the longest the window waits (the open, or a drill
// recorded), and the longest a step of the filling in holds the write lock.
void BM_UpgradeHistory(benchmark::State& state) {
    const QString old = versionOneHistory(static_cast<int>(state.range(0)));
    double openNs = 0;
    double recordNs = 0;
    double stepNs = 0;
    int i = 0;
    for (auto _ : state) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.sqlite"));
        QFile::copy(old, path);
        drill::history::SqliteHistory history(path);
        QElapsedTimer clock;
        clock.start();
        history.wordFiles();
        openNs = std::max(openNs, double(clock.nsecsElapsed()));
        while (history.replayProgress().underWay()) {
            clock.restart();
            if (!history.record(drillOf(i++)).isEmpty()) {
                state.SkipWithError("not recorded");
                break;
            }
            recordNs = std::max(recordNs, double(clock.nsecsElapsed()));
            // Far more often than any learner ends a drill, yet leaving the old drills the most.
            QThread::msleep(20);
        }
        history.waitForReplay();
        stepNs = std::max(stepNs, double(history.longestReplayStep().count()));
    }
    state.counters["window_ms"] = std::max(openNs, recordNs) / 1e6;
    state.counters["open_ms"] = openNs / 1e6;
    state.counters["record_ms"] = recordNs / 1e6;
    state.counters["step_ms"] = stepNs / 1e6;
    state.counters["drills"] = i;
}
BENCHMARK(BM_UpgradeHistory)->Arg(36500)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ReadHistory(benchmark::State& state) {
    QTemporaryDir dir;
    drill::history::SqliteHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    for (int i = 0; i < 10000; ++i) {
        history.record(drillOf(i));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(history.drills());
    }
}
BENCHMARK(BM_ReadHistory)->Unit(benchmark::kMillisecond);

}  // namespace
namespace {
// What the history window asks of a million drills, each in milliseconds.
void BM_HistoryWindowQueries(benchmark::State& state) {
    const QString path = seededHistory(1000000);
    const QString file = QStringLiteral("/home/user/単語/file0.qvw");
    for (auto _ : state) {
        drill::history::SqliteHistory history(path);
        QElapsedTimer t;
        t.start();
        history.wordFiles();
        state.counters["files"] = t.restart();
        history.page(file, 0, 200);
        state.counters["page"] = t.restart();
        history.dailyRates(file);
        state.counters["daily"] = t.restart();
        history.mostMissed(file, 20);
        state.counters["missed"] = t.restart();
    }
}
BENCHMARK(BM_HistoryWindowQueries)->Iterations(3)->Unit(benchmark::kMillisecond);
}  // namespace
