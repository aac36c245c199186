// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <span>

#include "review/learner_day.h"
#include "review/review_time.h"

namespace review {

// The grade of one judged answer; the values are the scheduler's own rating numbers.
enum class Grade : std::uint8_t { Again = 1, Hard = 2, Good = 3 };

enum class CardPhase : std::uint8_t { New = 0, Learning = 1, Review = 2, Relearning = 3 };

// The memory state of one word after its reviews so far.
struct CardState {
    CardPhase phase = CardPhase::New;
    double stability = 0;
    double difficulty = 0;
    ReviewTime due{};
    ReviewTime lastReview{};
    int elapsedDays = 0;    // the learner's days between the last two reviews
    int scheduledDays = 0;  // 0 while in a same-day step
    int learningStep = 0;
    int reps = 0;
    int lapses = 0;

    bool isNew() const { return phase == CardPhase::New; }
};

struct Review {
    ReviewTime time;
    Grade grade;
};

// The spaced-repetition scheduler with same-day learning steps (1 and 10 minutes for new
// words, 10 minutes after a lapse) and no interval fuzz. Its results equal the reference
// implementation's to the last rounding step, so a review log gives the same schedule anywhere.
class FsrsScheduler {
public:
    static constexpr double kDefaultRetention = 0.9;
    static constexpr double kMinRetention = 0.70;
    static constexpr double kMaxRetention = 0.97;
    static constexpr int kMaximumInterval = 36500;
    using Weights = std::array<double, 21>;
    static const Weights kDefaultWeights;

    // The desired retention is kept within kMinRetention..kMaxRetention; NaN gives the default.
    // Days are counted on the learner's days.
    explicit FsrsScheduler(double desiredRetention = kDefaultRetention, LearnerDay day = {});

    double desiredRetention() const { return retention_; }
    const LearnerDay& learnerDay() const { return day_; }

    // The state after answering with grade at time now. A review dated before the last one
    // counts as given on the same day. A grade outside Again..Good changes nothing.
    CardState review(const CardState& card, ReviewTime now, Grade grade) const;

    // The probability of recall at now: 0 for a new word, whole days (of the learner's
    // shifted instants) counted since the last review.
    double retrievability(const CardState& card, ReviewTime now) const;

    // The state rebuilt from the whole review log. Reviews out of time order are taken in
    // time order, equal times in the order given. Reviews dated after until decide nothing yet.
    CardState replay(std::span<const Review> reviews, ReviewTime until = ReviewTime::max()) const;

private:
    double forgettingCurve(double elapsedDays, double stability) const;
    int nextInterval(double stability) const;
    double initDifficulty(int grade) const;
    double nextDifficulty(double difficulty, int grade) const;
    struct Memory {
        double stability;
        double difficulty;
    };
    Memory nextMemory(const CardState& card, int elapsedDays, int grade,
                      double retrievability) const;

    int daysBetween(ReviewTime from, ReviewTime to) const;

    double retention_;
    double intervalModifier_;
    LearnerDay day_;
};

}  // namespace review
