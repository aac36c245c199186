// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <benchmark/benchmark.h>

#include <QRandomGenerator>
#include <QStringList>

#include "common/word_file.h"
#include "drill/engine/answer_check.h"

namespace {

QString randomWords(QRandomGenerator& random, int length) {
    QString text;
    while (text.size() < length) {
        if (!text.isEmpty() && random.bounded(6) == 0) {
            text += u' ';
        } else {
            text += QChar(u'a' + random.bounded(26));
        }
    }
    return text;
}

// Sixteen right answers of 64 characters, with every option on; typed is a near miss of the
// last right answer (first argument 0) or far from every one (1). The second argument is the
// number of other entries' answers, of 3 to 64 letters: the largest word file the drill reads
// is the worst case, since a near miss is compared with every answer of about its length.
void BM_CheckAnswer(benchmark::State& state) {
    QRandomGenerator random(28);
    QStringList rights;
    for (int i = 0; i < 16; ++i) {
        rights.append(randomWords(random, 64));
    }
    QStringList others;
    for (int i = 0; i < state.range(1); ++i) {
        others.append(randomWords(random, 3 + int(random.bounded(62))));
    }
    const drill::OtherAnswers file(others);
    QString typed = rights.last();
    if (state.range(0) == 0) {
        typed[10] = u'#';
        std::swap(typed[20], typed[21]);
    } else {
        typed = randomWords(random, 64);
    }
    const drill::CheckOptions options{true, drill::NearMissRule::Retry, true, true};
    bool near = false;
    for (auto _ : state) {
        const drill::AnswerCheck check = drill::checkAnswer(typed, rights, file, options);
        near = check.nearMiss;
        benchmark::DoNotOptimize(check);
    }
    if (near != (state.range(0) == 0)) {
        state.SkipWithError("the typed answer was not judged as meant");
    }
}
BENCHMARK(BM_CheckAnswer)
    ->Args({0, 0})
    ->Args({0, 2000})
    ->Args({0, common::kMaxEntries})
    ->Args({1, common::kMaxEntries})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
