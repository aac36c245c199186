// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/review_line.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

review::ReviewTime utc(int year, int month, int day, int hour) {
    return review::ReviewTime{
        QDateTime(QDate(year, month, day), QTime(hour, 0), QTimeZone::utc()).toMSecsSinceEpoch() *
        std::chrono::milliseconds(1)};
}

// Days are the learner's: in Tokyo, 16:00 UTC is the next morning.
TEST(ReviewLine, SaysWhenTheWordIsDueAndHowItWent) {
    struct Case {
        const char* name;
        review::ReviewTime now;
        std::optional<review::ReviewTime> due;  // none: never reviewed
        QString error;
        QString line;
    };
    const Case cases[] = {
        {"this year",
         utc(2026, 12, 7, 3),
         utc(2026, 12, 19, 16),
         {},
         "次の復習: 12/20　復習 7 回・間違い 2 回"},
        {"another year",
         utc(2026, 12, 7, 3),
         utc(2027, 1, 4, 16),
         {},
         "次の復習: 2027/1/5　復習 7 回・間違い 2 回"},
        {"this year in Tokyo, not yet in UTC",
         utc(2026, 12, 31, 20),
         utc(2027, 1, 3, 0),
         {},
         "次の復習: 1/3　復習 7 回・間違い 2 回"},
        {"later today",
         utc(2026, 12, 7, 3),
         utc(2026, 12, 7, 14),
         {},
         "次の復習: 今日　復習 7 回・間違い 2 回"},
        {"overdue",
         utc(2026, 12, 7, 3),
         utc(2025, 3, 1, 0),
         {},
         "次の復習: 今日　復習 7 回・間違い 2 回"},
        {"never reviewed", utc(2026, 12, 7, 3), std::nullopt, {}, "復習: まだありません"},
        {"history unreadable", utc(2026, 12, 7, 3), std::nullopt, "no such file", ""},
    };
    const review::LearnerDay tokyo(QTimeZone(9 * 3600), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        review::WordReviews word;
        if (c.due) {
            word.state = review::CardState{review::CardPhase::Review, 3, 5, *c.due};
            word.reviews = 7;
            word.missed = 2;
        }
        word.error = c.error;
        EXPECT_EQ(reviewLine(word, tokyo, c.now), c.line);
    }
}

// With days starting at 04:00, at 08:00 on 12/8 in Tokyo a word due at 09:00 is due today,
// one due at 03:00 on the 9th still today, and one due at 04:00 on the 9th tomorrow.
TEST(ReviewLine, CountsTheLearnersDay) {
    const review::LearnerDay tokyo(QTimeZone(9 * 3600), 4);
    const review::ReviewTime now = utc(2026, 12, 7, 23);
    const struct {
        review::ReviewTime due;
        QString line;
    } table[] = {
        {utc(2026, 12, 8, 0), "次の復習: 今日　復習 7 回・間違い 2 回"},
        {utc(2026, 12, 8, 18), "次の復習: 今日　復習 7 回・間違い 2 回"},
        {utc(2026, 12, 8, 19), "次の復習: 12/9　復習 7 回・間違い 2 回"},
    };
    for (const auto& row : table) {
        const review::WordReviews word{
            review::CardState{review::CardPhase::Review, 3, 5, row.due}, 7, 2, {}};
        EXPECT_EQ(reviewLine(word, tokyo, now), row.line);
    }
}

}  // namespace
}  // namespace editor
