// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/sqlite_history.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "review/word_key.h"

#include <numeric>

namespace {

using namespace Qt::StringLiterals;
using drill::history::SqliteHistory;

// Renames as the history takes them in, after three answers to word a: an answer given before the
// edit is copied once, whatever way the renames come (twice, when the renames file outlived its
// commit; back and forth, when a word is edited back), and a word never answered has nothing to
// follow; a word answered in two ways keeps both ways' schedules. Sums over every file count the
// file's one word in each way and its one due answer once.
TEST(WordRenames, EachAnswerIsCopiedOnce) {
    const QByteArray a(20, 'a'), b(20, 'b'), c(20, 'c');
    const review::ReviewTime t{std::chrono::days(20000)};
    struct Case {
        const char* name;
        QList<review::WordRename> renames;
        std::array<int, 3> reviews;  // of a, b and c afterwards, in each way
        std::vector<common::DrillWay> ways = {common::DrillWay::Typed};
    };
    const review::ReviewTime later = t + std::chrono::days(30);
    const review::ReviewTime edited = later + std::chrono::hours(1);
    const Case cases[] = {
        {"once", {{edited, u"/f"_s, a, b}}, {3, 3, 0}},
        {"twice", {{edited, u"/f"_s, a, b}, {edited, u"/f"_s, a, b}}, {3, 3, 0}},
        {"back and forth",
         {{edited, u"/f"_s, a, b}, {edited + std::chrono::hours(1), u"/f"_s, b, a}},
         {3, 3, 0}},
        {"along a chain", {{edited, u"/f"_s, a, b}, {edited, u"/f"_s, b, c}}, {3, 3, 3}},
        {"never answered", {{edited, u"/f"_s, c, b}}, {3, 0, 0}},
        // Given to the old text, in another file or before the rename was taken in.
        {"an answer after the edit", {{t, u"/f"_s, a, b}}, {3, 2, 0}},
        {"in two ways",
         {{edited, u"/f"_s, a, b}},
         {3, 3, 0},
         {common::DrillWay::Typed, common::DrillWay::Choice}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        QTemporaryDir folder;
        SqliteHistory history(folder.filePath(u"history.sqlite"_s));
        for (const common::DrillWay way : test.ways) {
            for (const auto& [at, grade] : {std::pair{t, review::Grade::Again},
                                            {t, review::Grade::Good},
                                            {later, review::Grade::Good}}) {
                ASSERT_EQ(history.recordReview({at, review::wayKey(a, way), grade, 0, u"/f"_s}),
                          "");
            }
        }
        // Waiting in the renames file until the history is next read.
        ASSERT_EQ(review::appendRenames(history.renamesPath(), test.renames), "");
        for (const common::DrillWay way : test.ways) {
            std::array<int, 3> reviews{};
            for (int i = 0; i < 3; ++i) {
                const review::WordReviews word =
                    history.wordReviews(review::wayKey(QList{a, b, c}[i], way));
                reviews[i] = word.reviews;
                EXPECT_EQ(word.state ? word.state->reps : 0, word.reviews)
                    << "replayed, word " << i;
            }
            EXPECT_EQ(reviews, test.reviews) << "way " << static_cast<int>(way);
        }
        const auto ways = static_cast<int>(test.ways.size());
        const QList<int> forecast = history.forecast(later, 400, {});
        EXPECT_EQ(std::accumulate(forecast.begin(), forecast.end(), 0), ways);
        EXPECT_EQ(history.measuredRetention({}).due, ways);
        EXPECT_FALSE(QFileInfo::exists(history.renamesPath()));
    }
}

}  // namespace
