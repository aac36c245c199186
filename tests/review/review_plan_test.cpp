// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QSet>

#include <vector>

#include "review/review_plan.h"
#include "review/word_key.h"

using namespace Qt::StringLiterals;

namespace review {
namespace {

TEST(WordKey, FollowsQuestionAndAnswersAsStored) {
    const common::Entry word{u"りんご"_s, u"apple|@2|an apple"_s, u"果物"_s};
    const struct {
        const char* name;
        common::Entry other;
        bool same;
    } table[] = {
        {"information edited", {u"りんご"_s, u"apple|@2|an apple"_s, u"赤い"_s}, true},
        {"question edited", {u"リンゴ"_s, u"apple|@2|an apple"_s, u"果物"_s}, false},
        {"answer edited", {u"りんご"_s, u"apple"_s, u"果物"_s}, false},
        {"answers reordered", {u"りんご"_s, u"an apple|@2|apple"_s, u"果物"_s}, false},
        {"text moved across the fields", {u"りんごa"_s, u"pple|@2|an apple"_s, u""_s}, false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(wordKey(row.other) == wordKey(word), row.same);
    }
    // A wave dash read from a UTF-8 file is the full-width tilde a Shift_JIS file stores.
    EXPECT_EQ(wordKey({u"a\u301Cb"_s, u"x"_s, {}}), wordKey({u"a\uFF5Eb"_s, u"x"_s, {}}));
    EXPECT_EQ(wordKey(word).size(), 20);
    // The keys histories hold: any change loses every learner's progress.
    const struct {
        common::Entry entry;
        const char* hex;
    } kept[] = {
        {word, "c240840a587c46a4452a5c5051d5c22d5b49d60f"},
        {{u"apple"_s, u"りんご"_s, {}}, "56f8157ce462e4a4313256ea740bbb0dcb33444f"},
        {{u"a\u301Cb"_s, u"x"_s, {}}, "9546b6a62ac59d65d40566689eae092eaba5fbe9"},
        // Two-byte UTF-8: é cannot be stored, ± and Ⅱ are stored as themselves
        {{u"caf\u00E9"_s, u"\u00B1|@2|\u2161"_s, {}}, "319de579a9fe15be1bc1bb693c7c8cc0bf40c537"},
        // A converted character after others
        {{u"\u00E9\u307E\u301C"_s, u"x"_s, {}}, "c52b1fcf6f92e23f4ad2d81a86ef24afef074a91"},
        // Four-byte UTF-8
        {{u"smile"_s, u"\U0001F600 \u307E"_s, {}}, "12115e262c8ebfc231a40d975e4e3b28ca9444de"},
        // A surrogate without its pair
        {{u"lone"_s, QString(QChar(0xD800)) + u"x"_s, {}},
         "3eb0b6d23b26875944ee34fb5ade516c6a8fd860"},
        // Longer than one block of the hash
        {{u"a"_s.repeated(70), u"\u3042"_s.repeated(30), {}},
         "03c3556f6744213ecf6b3f8b0e1f9b85c68ec2da"},
    };
    for (const auto& row : kept) {
        EXPECT_EQ(wordKey(row.entry).toHex(), row.hex) << row.entry.question.toStdString();
    }

    // Each way has its own schedule; the typed way keeps the reviews from before the others.
    QSet<QByteArray> keys;
    for (int way = 0; way < common::kDrillWayCount; ++way) {
        keys.insert(wayKey(wordKey(word), static_cast<common::DrillWay>(way)));
    }
    EXPECT_EQ(keys.size(), common::kDrillWayCount);
    EXPECT_EQ(wayKey(wordKey(word), common::DrillWay::Typed), wordKey(word));
    EXPECT_EQ(wayKey(wordKey(word), common::DrillWay::Reversed).toHex(),
              "6654c4231e5713eb47647dc0f80b211403bc30b2");
}

// Today is day 40. By due date the order would be 2, 1, 7, 8, 5.
TEST(ReviewPlan, DueWordsMostForgottenFirstThenNewWords) {
    const FsrsScheduler scheduler;
    const auto day = [](int n) { return ReviewTime(std::chrono::days(n)); };
    const auto minutes = [](int n) { return std::chrono::minutes(n); };
    const auto learned = [&](std::vector<Review> log) { return WordState(scheduler.replay(log)); };
    const Grade good = Grade::Good;
    const std::vector<WordState> words = {
        std::nullopt,
        learned({{day(0), good}, {day(0) + minutes(10), good}}),  // r 0.64
        learned({{day(0), Grade::Again}}),                        // r 0.45
        learned({{day(0), good}, {day(0) + minutes(10), good}, {day(3), good}, {day(14), good}}),
        std::nullopt,
        learned({{day(30), Grade::Again}, {day(31), good}}),  // r 0.77
        WordState(CardState{}),
        learned({{day(0), good}, {day(0) + minutes(10), good}, {day(3), good}}),  // r 0.82
        learned({{day(20), Grade::Hard},
                 {day(20) + minutes(10), Grade::Hard},
                 {day(20) + minutes(12), good},
                 {day(21), good}}),  // r 0.76
    };
    const ReviewTime now = day(40);
    EXPECT_EQ(countReviews(words, now, scheduler.learnerDay()),
              (ReviewCounts{.due = 5, .fresh = 3}));

    const struct {
        int newLimit;
        QList<int> order;
    } table[] = {
        {20, {2, 1, 8, 5, 7, 0, 4, 6}},
        {2, {2, 1, 8, 5, 7, 0, 4}},
        {0, {2, 1, 8, 5, 7}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.newLimit);
        EXPECT_EQ(reviewOrder(words, now, scheduler, row.newLimit), row.order);
    }
}

}  // namespace
}  // namespace review
