// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>

#include <chrono>
#include <optional>
#include <span>

#include "review/fsrs.h"

namespace review {

// × is Again, a × overruled to ○ is Hard, ○ is Good.
Grade gradeFromVerdict(bool right, bool overruled);

// One word of an open file: its state, or none when it was never drilled.
using WordState = std::optional<CardState>;

// A word in a same-day step is due at its instant; a word in review is due all day on the
// learner's day its due instant falls in.
bool isDue(const CardState& word, ReviewTime now, ReviewTime endOfDay);

struct ReviewCounts {
    int due = 0;    // drilled before and due now
    int fresh = 0;  // never drilled
    friend bool operator==(const ReviewCounts&, const ReviewCounts&) = default;
};

ReviewCounts countReviews(std::span<const WordState> words, ReviewTime now, const LearnerDay& day);

inline constexpr int kDefaultDailyNewWords = 20;

// A word due again this soon is asked again in the same review rather than left for later.
inline constexpr std::chrono::minutes kLearnAheadLimit{20};

// A review dated further ahead of the clock than this was given while the clock was wrong: it
// is kept, but decides no state until the clock reaches it.
inline constexpr std::chrono::hours kAheadOfTheClock{24};

// Positions into words for today's review: the due words, lowest retrievability first (then
// earliest due, then file order), on the scheduler's learner days, followed by at most newLimit
// never-drilled words in file order.
QList<int> reviewOrder(std::span<const WordState> words, ReviewTime now,
                       const FsrsScheduler& scheduler, int newLimit = kDefaultDailyNewWords);

}  // namespace review
