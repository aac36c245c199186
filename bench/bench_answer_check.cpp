// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <benchmark/benchmark.h>

#include <QRandomGenerator>
#include <QStringList>

#include <optional>

#include "common/entry_text.h"
#include "common/word_file.h"
#include "drill/engine/answer_check.h"
#include "drill/engine/answer_choices.h"
#include "drill/engine/random_source.h"

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

// The first near miss of a drill of the largest word file, which splits the right answers of
// every entry (a third of them with a kana answer besides) for the comparison with the other
// answers.
void BM_FirstNearMiss(benchmark::State& state) {
    QRandomGenerator random(28);
    QList<common::Entry> entries;
    for (int i = 0; i < common::kMaxEntries; ++i) {
        QStringList answers{randomWords(random, 3 + int(random.bounded(14)))};
        if (random.bounded(3) == 0) {
            QString kana;
            for (int n = 2 + int(random.bounded(5)); n > 0; --n) {
                kana += QChar(u'あ' + random.bounded(80));
            }
            answers.append(kana);
        }
        entries.append({randomWords(random, 8), common::joinRights(answers), QString()});
    }
    const QStringList rights{QStringLiteral("receive")};
    const drill::CheckOptions options{true, drill::NearMissRule::Retry, true, true};
    std::optional<drill::OtherAnswers> file;
    bool near = true;
    for (auto _ : state) {
        state.PauseTiming();
        file = drill::OtherAnswers::ofEntries(entries);  // the one before freed here, untimed
        state.ResumeTiming();
        const drill::AnswerCheck check =
            drill::checkAnswer(QStringLiteral("recieve"), rights, *file, options);
        near = near && check.nearMiss;
    }
    if (!near) {
        state.SkipWithError("the typed answer was not judged as meant");
    }
}
BENCHMARK(BM_FirstNearMiss)->Unit(benchmark::kMillisecond);
// The choices of one multiple-choice question in the largest word file, each entry with two
// answers of 3 to 24 letters (argument 0) or all of one length, the worst case for drawing
// answers of about the same length (1). The file is indexed before the timing starts.
void BM_DrawChoices(benchmark::State& state) {
    QRandomGenerator random(29);
    QList<common::Entry> entries;
    for (int i = 0; i < common::kMaxEntries; ++i) {
        auto length = [&] { return state.range(0) == 0 ? 3 + int(random.bounded(22)) : 8; };
        entries.append(
            {randomWords(random, length()),
             randomWords(random, length()) + QStringLiteral("|@2|") + randomWords(random, length()),
             {}});
    }
    const drill::AnswerChoices choices(entries);
    drill::ClockSeededRandom draws;
    choices.draw(entries.first().question, common::splitRights(entries.first().rights), draws);
    qsizetype asked = 0;
    for (auto _ : state) {
        const common::Entry& entry = entries.at(asked++ % entries.size());
        const drill::Choices drawn =
            choices.draw(entry.question, common::splitRights(entry.rights), draws);
        benchmark::DoNotOptimize(drawn);
    }
}
BENCHMARK(BM_DrawChoices)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
