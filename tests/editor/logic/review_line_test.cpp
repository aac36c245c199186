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

// Days are the learner's: in Tokyo, 16:00 UTC is the next morning; with days starting at
// 04:00, 03:00 on the next calendar day is still today.
TEST(ReviewLine, SaysWhenTheWordIsDueAndHowItWent) {
    struct Case {
        const char* name;
        int dayStart;  // the hour the learner's day starts
        review::ReviewTime now;
        std::optional<review::ReviewTime> due;  // none: never reviewed
        QString error;
        QString line;
    };
    const QString today = "次の復習: 今日　復習 7 回・間違い 2 回";
    const review::ReviewTime morning = utc(2026, 12, 7, 3);
    const Case cases[] = {
        // clang-format off
        {"this year", 0, morning, utc(2026, 12, 19, 16), {}, "次の復習: 12/20　復習 7 回・間違い 2 回"},
        {"another year", 0, morning, utc(2027, 1, 4, 16), {}, "次の復習: 2027/1/5　復習 7 回・間違い 2 回"},
        {"this year in Tokyo, not yet in UTC", 0, utc(2026, 12, 31, 20), utc(2027, 1, 3, 0), {}, "次の復習: 1/3　復習 7 回・間違い 2 回"},
        {"later today", 0, morning, utc(2026, 12, 7, 14), {}, today},
        {"overdue", 0, morning, utc(2025, 3, 1, 0), {}, today},
        {"never reviewed", 0, morning, std::nullopt, {}, "復習: まだありません"},
        {"history unreadable", 0, morning, std::nullopt, "no such file", ""},
        {"day from 04:00, due at 09:00", 4, utc(2026, 12, 7, 23), utc(2026, 12, 8, 0), {}, today},
        {"day from 04:00, due at 03:00 next day", 4, utc(2026, 12, 7, 23), utc(2026, 12, 8, 18), {}, today},
        {"day from 04:00, due at 04:00 next day", 4, utc(2026, 12, 7, 23), utc(2026, 12, 8, 19), {}, "次の復習: 12/9　復習 7 回・間違い 2 回"},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        review::WordReviews word;
        if (c.due) {
            word.state = review::CardState{review::CardPhase::Review, 3, 5, *c.due};
            word.reviews = 7;
            word.missed = 2;
        }
        word.error = c.error;
        EXPECT_EQ(reviewLine(word, review::LearnerDay(QTimeZone(9 * 3600), c.dayStart), c.now),
                  c.line);
    }
}

}  // namespace
}  // namespace editor
