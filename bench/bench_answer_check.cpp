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

// Sixteen right answers of 64 characters and the other answers of the largest word file the
// drill reads; typed is a near miss of the last right answer (argument 0) or far from every one
// (argument 1), with every option on.
void BM_CheckAnswer(benchmark::State& state) {
    QRandomGenerator random(28);
    QStringList rights;
    for (int i = 0; i < 16; ++i) {
        rights.append(randomWords(random, 64));
    }
    QStringList others;
    for (int i = 0; i < common::kMaxEntries; ++i) {
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
BENCHMARK(BM_CheckAnswer)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
