// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "drill/engine/answer_difference.h"
#include "drill/engine/judging.h"
#include "drill/engine/other_answers.h"

namespace drill {

// What to do with an answer in Latin letters a few edits away from a right one.
enum class NearMissRule { Off, Retry, Accept };

struct CheckOptions {
    bool lenient = false;
    NearMissRule nearMiss = NearMissRule::Off;
    bool optionalParentheses = false;  // only with lenient: "(to) run" accepts "run"
    bool optionalPlaceholder = false;  // only with lenient: "～を見る" accepts "を見る"
};

// An answer typed with the input method in the wrong mode, reported for a wrong answer
// whatever the options: KanaOn for kana or kanji where every right answer is in Latin letters;
// KanaOff for romaji where every right answer is Japanese, when it spells the reading of a kana
// answer or some answer holds kanji (whose reading we cannot know).
enum class InputModeSlip { None, KanaOn, KanaOff };

// Spelling slips typical of Japanese-speaking writers of English.
enum class SlipKind { LR, BV, ThS, AddedVowel, DoubledConsonant };

// "l と r", "b と v", "th と s", "語末の母音", "子音の重なり".
QString slipKindText(SlipKind kind);

struct AnswerCheck {
    // Right by the exact rule, the lenient one (also with optional parts), or as an accepted
    // near miss (then lenient is false and nearMiss true; rightAnswer is the closest answer).
    Judgement judgement;
    bool nearMiss = false;  // within the near-miss distance, whatever the rule
    // NearMissRule::Retry: ask once more, count nothing. Only once: the caller judges the
    // second try with NearMissRule::Off (a near miss then stays ×, marked as one).
    bool retry = false;
    InputModeSlip inputMode = InputModeSlip::None;  // not judged, count nothing
    // Filled after × and after a lenient or near-miss ○: against the answer matched, the near
    // miss, or else the closest answer in the form judged (lenient when lenient is on).
    AnswerDifference difference;
    QList<SlipKind> slips;  // for a × or a near miss, in the order of SlipKind
};

// Judges typed against the entry's right answers. otherAnswers holds the right answers of the
// file's other entries (build it once per file): no near miss when one of them is at least as
// close. With every option at its default, judgement equals judgeAnswer(typed, rights, false).
AnswerCheck checkAnswer(const QString& typed, const QStringList& rights,
                        const OtherAnswers& otherAnswers, const CheckOptions& options);

}  // namespace drill
