// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Other machines' journals merged into the history: a million reviews from ten machines into a
// new history, and an open with nothing new to merge.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

#include "drill/history/sqlite_history.h"
#include "drill/history/sync_merge.h"
#include "review/word_key.h"

namespace {

using drill::history::SqliteHistory;

constexpr int kMachines = 10;
constexpr int kReviews = 1'000'000;
constexpr int kWords = 62'500;  // 16 answers each, three days apart
constexpr qint64 kNow = 1'800'000'000'000;

// Ten journals, each machine answering every tenth word in turn.
struct Journals {
    Journals() {
        std::vector<QByteArray> keys;
        for (int word = 0; word < kWords; ++word) {
            keys.push_back(review::wordKey(
                {QStringLiteral("question %1").arg(word), QStringLiteral("answer"), {}}));
        }
        std::vector<QByteArray> lines(kMachines);
        std::vector<qint64> sequences(kMachines, 0);
        for (int i = 0; i < kReviews; ++i) {
            const int word = i % kWords;
            const int machine = i % kMachines;
            const review::ReviewRecord answer{
                review::ReviewTime(std::chrono::milliseconds(1'700'000'000'000)) +
                    std::chrono::days(3 * (i / kWords)) + std::chrono::seconds(word),
                keys[word], i % 7 == 0 ? review::Grade::Again : review::Grade::Good, 1500,
                QStringLiteral("/home/user/単語/file%1.qvw").arg(word / 300)};
            lines[machine] += drill::history::journalLine(
                {QStringLiteral("machine-%1").arg(machine), ++sequences[machine], answer});
        }
        for (int machine = 0; machine < kMachines; ++machine) {
            QFile file(QDir(dir.path())
                           .filePath(drill::history::journalFileName(
                               QStringLiteral("machine-%1").arg(machine))));
            file.open(QIODevice::WriteOnly);
            file.write(lines[machine]);
        }
    }
    QTemporaryDir dir;
};

const Journals& journals() {
    static const Journals made;
    return made;
}

void BM_SyncMergeMillionReviewsIntoNewHistory(benchmark::State& state) {
    const QString folder = journals().dir.path();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir home;
        auto history = std::make_unique<SqliteHistory>(home.filePath(QStringLiteral("h.sqlite")));
        state.ResumeTiming();
        const drill::history::SyncReport report =
            drill::history::mergeFolder(*history, folder, kNow);
        if (report.added != kReviews) {
            state.SkipWithError(qPrintable(report.error));
        }
        state.PauseTiming();
        history.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SyncMergeMillionReviewsIntoNewHistory)->Unit(benchmark::kSecond)->Iterations(1);

void BM_SyncMergeNothingNew(benchmark::State& state) {
    QTemporaryDir home;
    SqliteHistory history(home.filePath(QStringLiteral("h.sqlite")));
    const QString folder = journals().dir.path();
    drill::history::mergeFolder(history, folder, kNow);
    for (auto _ : state) {
        benchmark::DoNotOptimize(drill::history::mergeFolder(history, folder, kNow).added);
    }
}
BENCHMARK(BM_SyncMergeNothingNew)->Unit(benchmark::kMillisecond);

}  // namespace
