// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "review/fsrs.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

// Every formula keeps the reference implementation's order of operations and its rounding to
// eight decimals after each step: results must match it bit for bit, not just closely.
namespace review {

const FsrsScheduler::Weights FsrsScheduler::kDefaultWeights = {
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542,
};

namespace {

using Minutes = std::chrono::minutes;
using Days = std::chrono::days;

constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;
// Same-day steps in minutes: for a new word, and after a lapse.
constexpr int kLearningSteps[] = {1, 10};
constexpr int kRelearningSteps[] = {10};
constexpr int kMinutesPerDay = 1440;

const FsrsScheduler::Weights& w = FsrsScheduler::kDefaultWeights;

// Halves round up, as in JavaScript, also for negative values.
double roundHalfUp(double x) {
    const double down = std::floor(x);
    return x - down >= 0.5 ? down + 1 : down;
}

double round8(double x) {
    return roundHalfUp(x * 1e8) / 1e8;
}

double clamp(double value, double lo, double hi) {
    return std::min(std::max(value, lo), hi);
}

double decay() {
    return -w[20];
}

// The curve passes through 90 % at t = stability.
double curveFactor() {
    static const double factor = round8(std::exp(std::pow(decay(), -1) * std::log(0.9)) - 1);
    return factor;
}

struct Step {
    int minutes = 0;  // 0: no same-day step, the word goes to review
    int next = 0;
};

Step learningStep(CardPhase phase, int current, int grade) {
    const bool relearning = phase == CardPhase::Relearning || phase == CardPhase::Review;
    const std::span<const int> steps =
        relearning ? std::span<const int>(kRelearningSteps) : std::span<const int>(kLearningSteps);
    const int count = static_cast<int>(steps.size());
    if (count == 0 || current >= count) {
        return {};
    }
    if (phase == CardPhase::Review) {
        return grade == 1 ? Step{steps[std::max(0, current)], 0} : Step{};
    }
    switch (grade) {
        case 1:
            return {steps[0], 0};
        case 2: {
            const double hard = count == 1 ? steps[0] * 1.5 : (steps[0] + steps[1]) / 2.0;
            return {static_cast<int>(roundHalfUp(hard)), current};
        }
        case 3:
            if (current + 1 < count && steps[current + 1] != 0) {
                return {steps[current + 1], current + 1};
            }
            return {};
        default:
            return {};
    }
}

}  // namespace

FsrsScheduler::FsrsScheduler(double desiredRetention, LearnerDay day)
    : retention_(std::isnan(desiredRetention)
                     ? kDefaultRetention
                     : std::clamp(desiredRetention, kMinRetention, kMaxRetention)),
      day_(std::move(day)) {
    intervalModifier_ = round8((std::pow(retention_, 1 / decay()) - 1) / curveFactor());
}

// The learner's days between the dates of two instants.
int FsrsScheduler::daysBetween(ReviewTime from, ReviewTime to) const {
    return static_cast<int>(
        (std::chrono::floor<Days>(day_.shifted(to)) - std::chrono::floor<Days>(day_.shifted(from)))
            .count());
}

double FsrsScheduler::forgettingCurve(double elapsedDays, double stability) const {
    return round8(std::pow(1 + curveFactor() * elapsedDays / stability, decay()));
}

int FsrsScheduler::nextInterval(double stability) const {
    const double days = std::min(std::max(1.0, roundHalfUp(stability * intervalModifier_)),
                                 double(kMaximumInterval));
    return static_cast<int>(days);
}

double FsrsScheduler::initDifficulty(int grade) const {
    return round8(w[4] - std::exp((grade - 1) * w[5]) + 1);
}

double FsrsScheduler::nextDifficulty(double difficulty, int grade) const {
    const double delta = -w[6] * (grade - 3);
    const double damped = difficulty + round8(delta * (10 - difficulty) / 9);
    return clamp(round8(w[7] * initDifficulty(4) + (1 - w[7]) * damped), 1, 10);
}

FsrsScheduler::Memory FsrsScheduler::nextMemory(const CardState& card, int elapsedDays, int grade,
                                                double retrievability) const {
    const double s = card.stability;
    const double d = card.difficulty;
    if (s == 0 && d == 0) {
        return {std::max(w[grade - 1], 0.1), clamp(initDifficulty(grade), 1, 10)};
    }
    double next;
    if (elapsedDays == 0) {
        const double growth = std::pow(s, -w[19]) * std::exp(w[17] * (grade - 3 + w[18]));
        const double masked = grade >= 2 ? std::max(growth, 1.0) : growth;
        next = round8(clamp(s * masked, kMinStability, kMaxStability));
    } else if (grade == 1) {
        const double afterLapse =
            round8(clamp(w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) *
                             std::exp((1 - retrievability) * w[14]),
                         kMinStability, kMaxStability));
        next = clamp(round8(s / std::exp(w[17] * w[18])), kMinStability, afterLapse);
    } else {
        const double hardPenalty = grade == 2 ? w[15] : 1;
        next = round8(
            clamp(s * (1 + std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) *
                               (std::exp((1 - retrievability) * w[10]) - 1) * hardPenalty * 1),
                  kMinStability, kMaxStability));
    }
    return {next, nextDifficulty(d, grade)};
}

CardState FsrsScheduler::review(const CardState& card, ReviewTime now, Grade grade) const {
    const int g = static_cast<int>(grade);
    // A damaged stored grade must not index past the weights.
    if (g < 1 || g > 3) {
        return card;
    }
    const int elapsed = card.isNew() ? 0 : std::max(0, daysBetween(card.lastReview, now));
    const double r = card.isNew() ? 0 : forgettingCurve(elapsed, card.stability);

    CardState next = card;
    next.reps = card.reps + 1;
    next.lastReview = now;
    next.elapsedDays = elapsed;
    const Memory memory = nextMemory(card, elapsed, g, r);
    next.stability = memory.stability;
    next.difficulty = memory.difficulty;

    if (card.phase == CardPhase::Review && grade != Grade::Again) {
        int interval = nextInterval(memory.stability);
        const int good = nextInterval(nextMemory(card, elapsed, 3, r).stability);
        if (grade == Grade::Hard) {
            interval = std::min(interval, good);
        } else {
            const int hard =
                std::min(nextInterval(nextMemory(card, elapsed, 2, r).stability), good);
            interval = std::max(good, hard + 1);
        }
        next.phase = CardPhase::Review;
        next.learningStep = 0;
        next.scheduledDays = interval;
        next.due = now + Days(interval);
        return next;
    }

    if (card.phase == CardPhase::Review) {
        next.lapses = card.lapses + 1;
    }
    const CardPhase target = card.phase == CardPhase::New      ? CardPhase::Learning
                             : card.phase == CardPhase::Review ? CardPhase::Relearning
                                                               : card.phase;
    const Step step = learningStep(card.phase, card.learningStep, g);
    if (step.minutes > 0 && step.minutes < kMinutesPerDay) {
        next.learningStep = step.next;
        next.scheduledDays = 0;
        next.phase = target;
        next.due = now + Minutes(step.minutes);
    } else if (step.minutes >= kMinutesPerDay) {
        next.phase = CardPhase::Review;
        next.learningStep = step.next;
        next.scheduledDays = step.minutes / kMinutesPerDay;
        next.due = now + Minutes(step.minutes);
    } else {
        next.phase = CardPhase::Review;
        next.learningStep = 0;
        next.scheduledDays = nextInterval(memory.stability);
        next.due = now + Days(next.scheduledDays);
    }
    return next;
}

double FsrsScheduler::retrievability(const CardState& card, ReviewTime now) const {
    if (card.isNew()) {
        return 0;
    }
    const auto days =
        std::chrono::floor<Days>(day_.shifted(now) - day_.shifted(card.lastReview)).count();
    return forgettingCurve(double(std::max<std::int64_t>(days, 0)), card.stability);
}

CardState FsrsScheduler::replay(std::span<const Review> reviews, ReviewTime until) const {
    const auto earlier = [](const Review& a, const Review& b) { return a.time < b.time; };
    std::vector<Review> sorted;
    if (!std::is_sorted(reviews.begin(), reviews.end(), earlier)) {
        sorted.assign(reviews.begin(), reviews.end());
        std::stable_sort(sorted.begin(), sorted.end(), earlier);
        reviews = sorted;
    }
    CardState card;
    for (const Review& review : reviews) {
        if (review.time > until) {
            break;
        }
        card = this->review(card, review.time, review.grade);
    }
    return card;
}

}  // namespace review
