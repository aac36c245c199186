// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/sqlite_history.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

using namespace Qt::StringLiterals;
using drill::history::SqliteHistory;

// Renames as the history takes them in, after two answers to word a: an answer is copied once,
// whatever way the renames come (twice, when the renames file outlived its commit; back and
// forth, when a word is edited back), and a word never answered has nothing to follow.
TEST(WordRenames, EachAnswerIsCopiedOnce) {
    const QByteArray a(20, 'a'), b(20, 'b'), c(20, 'c');
    const review::ReviewTime t{std::chrono::days(20000)};
    struct Case {
        const char* name;
        QList<review::WordRename> renames;
        std::array<int, 3> reviews;  // of a, b and c afterwards
    };
    const Case cases[] = {
        {"once", {{t, u"/f"_s, a, b}}, {2, 2, 0}},
        {"twice", {{t, u"/f"_s, a, b}, {t, u"/f"_s, a, b}}, {2, 2, 0}},
        {"back and forth",
         {{t, u"/f"_s, a, b}, {t + std::chrono::hours(1), u"/f"_s, b, a}},
         {2, 2, 0}},
        {"along a chain", {{t, u"/f"_s, a, b}, {t, u"/f"_s, b, c}}, {2, 2, 2}},
        {"never answered", {{t, u"/f"_s, c, b}}, {2, 0, 0}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        QTemporaryDir folder;
        SqliteHistory history(folder.filePath(u"history.sqlite"_s));
        for (const review::Grade grade : {review::Grade::Again, review::Grade::Good}) {
            ASSERT_EQ(history.recordReview({t, a, grade, 0, u"/f"_s}), "");
        }
        // Waiting in the renames file until the history is next read.
        ASSERT_EQ(review::appendRenames(history.renamesPath(), test.renames), "");
        std::array<int, 3> reviews{};
        for (int i = 0; i < 3; ++i) {
            reviews[i] = history.wordReviews(QList{a, b, c}[i]).reviews;
        }
        EXPECT_EQ(reviews, test.reviews);
        EXPECT_FALSE(QFileInfo::exists(history.renamesPath()));
    }
}

}  // namespace
