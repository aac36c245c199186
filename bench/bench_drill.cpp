// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <optional>

#include "common/ansi_text.h"
#include "common/text_script.h"
#include "common/word_file.h"
#include "drill/engine/drill_session.h"
#include "drill/engine/judging.h"
#include "drill/engine/random_source.h"
#include "drill/engine/word_key_cache.h"

namespace {

// A word file of the largest size the drill accepts, with Japanese answers and information.
QString writeLargestWordFile(const QTemporaryDir& dir) {
    QString text = QStringLiteral("Version 2.00\r\n");
    for (int i = 0; i < common::kMaxEntries; ++i) {
        text += QStringLiteral("question %1|@1|答え%1|@2|こたえ%1|@1|情報 %1\\n二行目\r\n").arg(i);
    }
    QString path = dir.filePath(QStringLiteral("largest.qvw"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {};
    }
    file.write(common::encodeAnsi(text));
    return path;
}

void BM_OpenWordFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = writeLargestWordFile(dir);
    drill::ClockSeededRandom random;
    drill::DrillSession session(random);
    for (auto _ : state) {
        session.open(path);
        benchmark::DoNotOptimize(session.questionSet().size());
    }
    if (session.questionSet().size() != common::kMaxEntries) {
        state.SkipWithError("the word file did not load");
    }
}
BENCHMARK(BM_OpenWordFile)->Unit(benchmark::kMillisecond);

// The session with the largest word file loaded.
struct LoadedSession {
    QTemporaryDir dir;
    drill::ClockSeededRandom random;
    drill::DrillSession session{random};

    LoadedSession() { session.open(writeLargestWordFile(dir)); }
    bool loaded() const { return session.questionSet().size() == common::kMaxEntries; }
};

void BM_ShuffleQuestions(benchmark::State& state) {
    LoadedSession loaded;
    for (auto _ : state) {
        loaded.session.shuffle();
        benchmark::DoNotOptimize(loaded.session.questionSet().constData());
    }
    if (!loaded.loaded()) {
        state.SkipWithError("the word file did not load");
    }
}
BENCHMARK(BM_ShuffleQuestions)->Unit(benchmark::kMillisecond);

// One answer judged against an entry of 100 right answers that it misses, the worst case:
// exactly (0) and with the lenient rule (1).
void BM_JudgeAnswer(benchmark::State& state) {
    QStringList rights;
    for (int i = 0; i < 100; ++i) {
        rights.append(QStringLiteral("ｺﾀｴ Answer %1").arg(i));
    }
    const QString typed = QStringLiteral(" ａｎｓｗｅｒ ");
    for (auto _ : state) {
        benchmark::DoNotOptimize(drill::judgeAnswer(typed, rights, state.range(0) != 0));
    }
}
BENCHMARK(BM_JudgeAnswer)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Whether the answer box switches the input method on, decided at Open over the largest file.
void BM_AnswersAreJapanese(benchmark::State& state) {
    const LoadedSession loaded;
    for (auto _ : state) {
        benchmark::DoNotOptimize(common::answersAreJapanese(loaded.session.questionSet()));
    }
    if (!loaded.loaded()) {
        state.SkipWithError("the word file did not load");
    }
}
BENCHMARK(BM_AnswersAreJapanese)->Unit(benchmark::kMillisecond);

// The word keys of the largest file, which the information line's counts need as it opens:
// each key hashes the stored form of the question and answers.
void BM_WordKeysFullFile(benchmark::State& state) {
    const LoadedSession loaded;
    for (auto _ : state) {
        benchmark::DoNotOptimize(drill::wordKeysOf(loaded.session.questionSet()));
    }
    if (!loaded.loaded()) {
        state.SkipWithError("the word file did not load");
    }
}
BENCHMARK(BM_WordKeysFullFile)->Unit(benchmark::kMillisecond);

// The same file's words counted without keys, as they are before the history holds any word.
void BM_DistinctWordsFullFile(benchmark::State& state) {
    const LoadedSession loaded;
    for (auto _ : state) {
        benchmark::DoNotOptimize(drill::distinctWords(loaded.session.questionSet()));
    }
    if (!loaded.loaded()) {
        state.SkipWithError("the word file did not load");
    }
}
BENCHMARK(BM_DistinctWordsFullFile)->Unit(benchmark::kMillisecond);

}  // namespace
