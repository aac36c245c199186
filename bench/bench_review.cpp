// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "review/review_plan.h"

namespace {

using review::Grade;
using review::Review;
using review::ReviewTime;

// Logs as a learner makes them: each review near its due time, one answer in six missed.
std::vector<std::vector<Review>> reviewLogs(int words, int reviewsPerWord) {
    const review::FsrsScheduler scheduler;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> grade(0, 5);
    std::uniform_int_distribution<int> late(0, 3 * 24 * 60);
    std::vector<std::vector<Review>> logs(words);
    for (auto& log : logs) {
        review::CardState card;
        review::ReviewTime now{std::chrono::days(20000)};
        for (int i = 0; i < reviewsPerWord; ++i) {
            const int g = grade(random);
            const review::Grade answer = g == 0   ? review::Grade::Again
                                         : g == 1 ? review::Grade::Hard
                                                  : review::Grade::Good;
            log.push_back({now, answer});
            card = scheduler.review(card, now, answer);
            now = card.due + std::chrono::minutes(late(random));
        }
    }
    return logs;
}

// 1,000,000 reviews: 50,000 words of 20 reviews each, every state rebuilt from its log.
void BM_ReplayReviews(benchmark::State& state) {
    const auto logs = reviewLogs(50'000, 20);
    const review::FsrsScheduler scheduler;
    for (auto _ : state) {
        for (const auto& log : logs) {
            benchmark::DoNotOptimize(scheduler.replay(log));
        }
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_ReplayReviews)->Unit(benchmark::kMillisecond);

// One answer of a word in review.
void BM_ScheduleReview(benchmark::State& state) {
    const review::FsrsScheduler scheduler;
    const auto log = reviewLogs(1, 6).front();
    const review::CardState card = scheduler.replay(log);
    const review::ReviewTime now = card.due + std::chrono::hours(30);
    for (auto _ : state) {
        benchmark::DoNotOptimize(scheduler.review(card, now, review::Grade::Good));
    }
}
BENCHMARK(BM_ScheduleReview);

// The counts and today's order for a full file of 32,767 words, two in three drilled before.
void BM_PlanFullFile(benchmark::State& state) {
    const review::FsrsScheduler scheduler;
    const auto logs = reviewLogs(32'767, 5);
    std::vector<review::WordState> words;
    for (std::size_t i = 0; i < logs.size(); ++i) {
        words.push_back(i % 3 == 0 ? review::WordState() : scheduler.replay(logs[i]));
    }
    const review::ReviewTime now{std::chrono::days(20200)};
    for (auto _ : state) {
        benchmark::DoNotOptimize(review::countReviews(words, now, scheduler.learnerDay()));
        benchmark::DoNotOptimize(review::reviewOrder(words, now, scheduler));
    }
}
BENCHMARK(BM_PlanFullFile)->Unit(benchmark::kMillisecond);

}  // namespace
