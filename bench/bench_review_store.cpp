// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The review store with a million reviews: what a drill, the information line, the review
// window and the editor ask of it.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimeZone>

#include <chrono>
#include <memory>
#include <vector>

#include "common/preferences.h"
#include "common/word_file.h"
#include "drill/engine/drill_session.h"
#include "drill/engine/random_source.h"
#include "drill/history/history_sync.h"
#include "drill/history/sqlite_history.h"
#include "drill/window/frm_review.h"
#include "platform/scripted_platform.h"
#include "review/review_clock.h"
#include "review/review_plan.h"
#include "review/word_key.h"

namespace {

using drill::history::SqliteHistory;
using review::ReviewTime;

constexpr int kReviews = 1'000'000;
constexpr int kFullFile = 32'767;  // the largest word file
constexpr int kFiles = 100;
constexpr int kWordsPerSmallFile = 300;
constexpr int kWords = kFullFile + (kFiles - 1) * kWordsPerSmallFile;
constexpr qint64 kDayMs = 86'400'000;
const review::ReviewTime kStart{std::chrono::days(20000)};
// A reviews span 16 answers three days apart: now is a day after the last of them.
const review::ReviewTime kNow = kStart + std::chrono::days(3 * (kReviews / kWords) + 1);

QByteArray keyOf(int word) {
    return review::wordKey({QStringLiteral("question %1").arg(word), QStringLiteral("answer"), {}});
}

int fileOf(int word) {
    return word < kFullFile ? 0 : 1 + (word - kFullFile) / kWordsPerSmallFile;
}

QString fileName(int file) {
    return QStringLiteral("/home/user/単語/file%1.qvw").arg(file);
}

struct Seed {
    QTemporaryDir dir;
    QString path;
    std::vector<QList<QByteArray>> fileKeys;  // the words of each file
};

// 100 word files, one of them full, and 1,000,000 reviews of their words, one in six missed;
// written straight into the tables and replayed once. Made once for the run. Every history here
// counts days in UTC, as the replay did: another zone would replay beside the measure.
const Seed& seed() {
    static const std::unique_ptr<Seed> seeded = [] {
        auto made = std::make_unique<Seed>();
        made->path = made->dir.filePath(QStringLiteral("history.sqlite"));
        made->fileKeys.resize(kFiles);
        SqliteHistory(made->path).wordFiles();  // today's schema
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
            db.setDatabaseName(made->path);
            db.open();
            QSqlQuery query(db);
            query.exec(QStringLiteral("BEGIN"));
            query.prepare(
                QStringLiteral("INSERT INTO review_files (id, word_file, last_review)"
                               " VALUES (?, ?, ?)"));
            for (int file = 0; file < kFiles; ++file) {
                query.addBindValue(file + 1);
                query.addBindValue(fileName(file));
                query.addBindValue(qint64(kStart.time_since_epoch().count() + file));
                query.exec();
            }
            query.prepare(
                QStringLiteral("INSERT INTO words VALUES (?, ?, 0, 0, 0, 0, 0, 0, 0, 0,"
                               " 0, 0)"));
            QSqlQuery fileWords(db);
            fileWords.prepare(QStringLiteral("INSERT INTO file_words VALUES (?, ?)"));
            for (int word = 0; word < kWords; ++word) {
                const QByteArray key = keyOf(word);
                made->fileKeys[fileOf(word)].append(key);
                query.addBindValue(word + 1);
                query.addBindValue(QString::fromLatin1(key.toHex()));
                query.exec();
                fileWords.addBindValue(fileOf(word) + 1);
                fileWords.addBindValue(word + 1);
                fileWords.exec();
            }
            // Review i is answer i / kWords of word i % kWords, spread over the day.
            query.exec(
                QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n"
                               " WHERE i < %1) INSERT INTO reviews (at, word_id, grade, answer_ms,"
                               " file_id, was_due) SELECT %2 + (i / %3) * 3 * %4 + (i % %3) * 1000,"
                               " i % %3 + 1, CASE WHEN (i + i / %3) % 6 = 0 THEN 1 ELSE 3 END,"
                               " 1500, 1, i >= %3 FROM n")
                    .arg(kReviews - 1)
                    .arg(kStart.time_since_epoch().count())
                    .arg(kWords)
                    .arg(kDayMs));
            query.exec(QStringLiteral("COMMIT"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("seed"));
        SqliteHistory(made->path, QTimeZone::utc()).replayReviews();
        return made;
    }();
    return *seeded;
}

// One answer of a drill into the million-review history (a copy of it).
void BM_RecordReview(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    QFile::copy(seed().path, path);
    SqliteHistory history(path, QTimeZone::utc());
    history.reviewsUnavailable();
    int i = 0;
    for (auto _ : state) {
        const review::ReviewRecord review{kNow + std::chrono::seconds(i), keyOf(i % kWords),
                                          review::Grade::Good, 1500, fileName(0)};
        ++i;
        if (!history.recordReview(review).isEmpty()) {
            state.SkipWithError("not recorded");
            break;
        }
    }
}
BENCHMARK(BM_RecordReview)->Unit(benchmark::kMillisecond);

// The counts of the information line for the full file.
void BM_ReviewCountsFullFile(benchmark::State& state) {
    SqliteHistory history(seed().path, QTimeZone::utc());
    const QList<QByteArray>& keys = seed().fileKeys[0];
    for (auto _ : state) {
        benchmark::DoNotOptimize(history.reviewCounts(keys, kNow));
    }
}
BENCHMARK(BM_ReviewCountsFullFile)->Unit(benchmark::kMillisecond);

// The first counts a program asks for: the history opened and every word's state read into
// memory, which the later counts, plans and review windows are answered from.
void BM_LoadWordStates(benchmark::State& state) {
    const QList<QByteArray>& keys = seed().fileKeys[0];
    for (auto _ : state) {
        SqliteHistory history(seed().path, QTimeZone::utc());
        benchmark::DoNotOptimize(history.reviewCounts(keys, kNow));
    }
}
BENCHMARK(BM_LoadWordStates)->Unit(benchmark::kMillisecond);

// What the review window asks of the store for 100 files: the list, each file's counts, the
// forecast and the measured retention (reading the word files is not in it).
void BM_ReviewWindowQueries(benchmark::State& state) {
    SqliteHistory history(seed().path, QTimeZone::utc());
    for (auto _ : state) {
        benchmark::DoNotOptimize(history.reviewFiles(kNow));
        for (const QList<QByteArray>& keys : seed().fileKeys) {
            benchmark::DoNotOptimize(history.reviewCounts(keys, kNow));
        }
        benchmark::DoNotOptimize(history.forecast(kNow, 30, QString()));
        benchmark::DoNotOptimize(history.measuredRetention(QString()));
    }
}
BENCHMARK(BM_ReviewWindowQueries)->Unit(benchmark::kMillisecond);

void BM_ReviewForecast(benchmark::State& state) {
    SqliteHistory history(seed().path, QTimeZone::utc());
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            history.forecast(kNow, 30, state.range(0) ? fileName(0) : QString()));
    }
}
BENCHMARK(BM_ReviewForecast)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MeasuredRetention(benchmark::State& state) {
    SqliteHistory history(seed().path, QTimeZone::utc());
    for (auto _ : state) {
        benchmark::DoNotOptimize(history.measuredRetention(QString()));
    }
}
BENCHMARK(BM_MeasuredRetention)->Unit(benchmark::kMillisecond);

// The editor's line for one word: 0 through the drill program's open history, 1 as the editor
// reads it, opened afresh and read-only for every entry shown.
void BM_WordReviews(benchmark::State& state) {
    SqliteHistory history(
        seed().path, QTimeZone::utc(),
        state.range(0) == 0 ? SqliteHistory::Access::ReadWrite : SqliteHistory::Access::ReadOnly);
    int i = 0;
    for (auto _ : state) {
        if (!history.wordReviews(keyOf(i++ % kWords)).error.isEmpty()) {
            state.SkipWithError("not read");
            break;
        }
    }
}
BENCHMARK(BM_WordReviews)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Every word's state rebuilt from the million reviews, as after a change of the retention.
void BM_ReplayAllReviews(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    QFile::copy(seed().path, path);
    SqliteHistory history(path, QTimeZone::utc());
    for (auto _ : state) {
        if (!history.replayReviews().isEmpty()) {
            state.SkipWithError("not replayed");
            break;
        }
    }
}
BENCHMARK(BM_ReplayAllReviews)->Iterations(2)->Unit(benchmark::kMillisecond);

// A change of the retention as the review window makes it, the drill's window recording an
// answer meanwhile as fast as it can: the time until every state follows the new retention
// (the benchmark's time), the longest the window's thread waited in one call (window_ms: the
// change, change_ms, or an answer, answer_ms), and the longest step of the replay under the
// write lock (step_ms).
void BM_RetentionChange(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    QFile::copy(seed().path, path);
    SqliteHistory history(path, QTimeZone::utc());
    history.reviewsUnavailable();
    double changeNs = 0;
    double answerNs = 0;
    bool lower = true;
    int i = 0;
    for (auto _ : state) {
        const auto timed = [](double& longest, const auto& call) {
            QElapsedTimer clock;
            clock.start();
            const bool done = call();
            longest = std::max(longest, double(clock.nsecsElapsed()));
            return done;
        };
        history.setDesiredRetention(lower ? 0.85 : 0.9);
        lower = !lower;
        if (!timed(changeNs, [&] { return history.reviewsUnavailable().isEmpty(); })) {
            state.SkipWithError("not changed");
            break;
        }
        while (history.replayProgress().underWay()) {
            const review::ReviewRecord review{kNow + std::chrono::seconds(i), keyOf(i % kWords),
                                              review::Grade::Good, 1500, fileName(0)};
            ++i;
            QString reason;
            if (!timed(answerNs,
                       [&] { return (reason = history.recordReview(review)).isEmpty(); })) {
                state.SkipWithError(qPrintable(reason));
                break;
            }
        }
    }
    // The change itself and the longest answer apart, to tell where the window waits.
    state.counters["window_ms"] = std::max(changeNs, answerNs) / 1e6;
    state.counters["change_ms"] = changeNs / 1e6;
    state.counters["answer_ms"] = answerNs / 1e6;
    state.counters["step_ms"] =
        std::chrono::duration<double, std::milli>(history.longestReplayStep()).count();
    state.counters["answers"] = i;
}
BENCHMARK(BM_RetentionChange)->Iterations(2)->Unit(benchmark::kMillisecond);

// A copy of the history whose 100 word files exist, with the words the reviews are of.
struct WithFiles {
    QTemporaryDir dir;
    QString path;
    QStringList files;
};

const WithFiles& withFiles() {
    static const std::unique_ptr<WithFiles> made = [] {
        auto copy = std::make_unique<WithFiles>();
        copy->path = copy->dir.filePath(QStringLiteral("history.sqlite"));
        QFile::copy(seed().path, copy->path);
        std::vector<QList<common::Entry>> entries(kFiles);
        for (int word = 0; word < kWords; ++word) {
            entries[fileOf(word)].append(
                {QStringLiteral("question %1").arg(word), QStringLiteral("answer"), {}});
        }
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("files"));
        db.setDatabaseName(copy->path);
        db.open();
        QSqlQuery query(db);
        query.prepare(QStringLiteral("UPDATE review_files SET word_file = ? WHERE id = ?"));
        for (int file = 0; file < kFiles; ++file) {
            copy->files.append(copy->dir.filePath(QStringLiteral("file%1.qvw").arg(file)));
            common::writeWordFile(copy->files.back(), entries[file]);
            query.addBindValue(copy->files.back());
            query.addBindValue(file + 1);
            query.exec();
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("files"));
        return copy;
    }();
    return *made;
}

class FixedClock final : public review::ReviewClock {
public:
    review::ReviewTime now() const override { return kNow; }
};

// The full file opened in the drill alone, the measure of the next.
void BM_OpenFullFileAlone(benchmark::State& state) {
    drill::ClockSeededRandom random;
    drill::DrillSession session(random);
    for (auto _ : state) {
        session.open(withFiles().files[0]);
        benchmark::DoNotOptimize(session.questionSet().size());
    }
}
BENCHMARK(BM_OpenFullFileAlone)->Unit(benchmark::kMillisecond);

// The full file opened in the drill with the counts of its information line: reading it, a
// key for each of its words, and the counts.
void BM_OpenFullFileWithCounts(benchmark::State& state) {
    SqliteHistory history(withFiles().path, QTimeZone::utc());
    const FixedClock clock;
    drill::ClockSeededRandom random;
    drill::DrillSession session(random);
    session.keepReviews(history, clock);
    for (auto _ : state) {
        session.open(withFiles().files[0]);
        benchmark::DoNotOptimize(session.reviewCounts());
    }
}
BENCHMARK(BM_OpenFullFileWithCounts)->Unit(benchmark::kMillisecond);

// Today's review of the full file planned: the states of its words and their order.
void BM_PlanTodaysReviewFullFile(benchmark::State& state) {
    SqliteHistory history(withFiles().path, QTimeZone::utc());
    const FixedClock clock;
    drill::ClockSeededRandom random;
    drill::DrillSession session(random);
    session.keepReviews(history, clock);
    session.open(withFiles().files[0]);
    for (auto _ : state) {
        benchmark::DoNotOptimize(session.planReview(20));
    }
}
BENCHMARK(BM_PlanTodaysReviewFullFile)->Unit(benchmark::kMillisecond);

// The review window over the 100 files until it is painted: each file counted, the forecast
// chart and the retention; the files read and keyed every time (0) or only when they changed
// since the window was last open (1); as 1 with a sync folder holding nothing new, merged
// beside the window as it opens (2).
void BM_ReviewWindowOpens(benchmark::State& state) {
    SqliteHistory history(withFiles().path, QTimeZone::utc());
    platform::ScriptedPlatform platform;
    drill::WordFileKeys kept;
    QTemporaryDir folder;
    drill::history::HistorySync sync(history, withFiles().path, platform.preferencesFile());
    if (state.range(0) == 2) {
        common::PreferencesFile(platform.preferencesFile())
            .update([&folder](common::Preferences& p) { p.syncFolder = folder.path(); });
        sync.configure();
    }
    for (auto _ : state) {
        drill::frmReview window(history, kNow, platform, nullptr, state.range(0) ? &kept : nullptr,
                                state.range(0) == 2 ? &sync : nullptr);
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_ReviewWindowOpens)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
