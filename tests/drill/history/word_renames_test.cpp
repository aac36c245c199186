// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/sqlite_history.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <numeric>

namespace {

using namespace Qt::StringLiterals;
using drill::history::SqliteHistory;

// Renames as the history takes them in, after three answers to word a: an answer is copied once,
// whatever way the renames come (twice, when the renames file outlived its commit; back and
// forth, when a word is edited back), and a word never answered has nothing to follow. Sums
// over every file count the file's one word and its one due answer once.
TEST(WordRenames, EachAnswerIsCopiedOnce) {
    const QByteArray a(20, 'a'), b(20, 'b'), c(20, 'c');
    const review::ReviewTime t{std::chrono::days(20000)};
    struct Case {
        const char* name;
        QList<review::WordRename> renames;
        std::array<int, 3> reviews;  // of a, b and c afterwards
    };
    const Case cases[] = {
        {"once", {{t, u"/f"_s, a, b}}, {3, 3, 0}},
        {"twice", {{t, u"/f"_s, a, b}, {t, u"/f"_s, a, b}}, {3, 3, 0}},
        {"back and forth",
         {{t, u"/f"_s, a, b}, {t + std::chrono::hours(1), u"/f"_s, b, a}},
         {3, 3, 0}},
        {"along a chain", {{t, u"/f"_s, a, b}, {t, u"/f"_s, b, c}}, {3, 3, 3}},
        {"never answered", {{t, u"/f"_s, c, b}}, {3, 0, 0}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        QTemporaryDir folder;
        SqliteHistory history(folder.filePath(u"history.sqlite"_s));
        const review::ReviewTime later = t + std::chrono::days(30);
        for (const auto& [at, grade] : {std::pair{t, review::Grade::Again},
                                        {t, review::Grade::Good},
                                        {later, review::Grade::Good}}) {
            ASSERT_EQ(history.recordReview({at, a, grade, 0, u"/f"_s}), "");
        }
        // Waiting in the renames file until the history is next read.
        ASSERT_EQ(review::appendRenames(history.renamesPath(), test.renames), "");
        std::array<int, 3> reviews{};
        for (int i = 0; i < 3; ++i) {
            reviews[i] = history.wordReviews(QList{a, b, c}[i]).reviews;
        }
        EXPECT_EQ(reviews, test.reviews);
        const QList<int> forecast = history.forecast(later, 400, {});
        EXPECT_EQ(std::accumulate(forecast.begin(), forecast.end(), 0), 1);
        EXPECT_EQ(history.measuredRetention({}).due, 1);
        EXPECT_FALSE(QFileInfo::exists(history.renamesPath()));
    }
}

}  // namespace
