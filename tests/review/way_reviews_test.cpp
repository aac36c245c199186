// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "review/way_reviews.h"

#include <gtest/gtest.h>

#include <QHash>

#include "review/review_store.h"
#include "review/word_key.h"

namespace review {
namespace {

using common::DrillWay;

// Words reviewed under the keys given, each due or not.
class KnownStates final : public ReviewStore {
public:
    QHash<QByteArray, bool> due;
    ReviewCounts reviewCounts(const QList<QByteArray>& keys, ReviewTime) override {
        ReviewCounts counts;
        for (const QByteArray& key : keys) {
            const auto known = due.constFind(key);
            counts.fresh += known == due.cend() ? 1 : 0;
            counts.due += known != due.cend() && *known ? 1 : 0;
        }
        return counts;
    }
};

// The ways a file's two words were reviewed in, of those drilled, typed first; and the ways
// today's review asks, less those left out.
TEST(WayReviews, OnlyTheWaysReviewedTypedFirst) {
    const QByteArray a(20, 'a'), b(20, 'b');
    struct Reviewed {
        QByteArray word;
        DrillWay way;
        bool due;
    };
    const struct {
        const char* name;
        QList<Reviewed> reviewed;
        QList<DrillWay> drilled;
        QList<WayCounts> counts;
        QList<DrillWay> leftOut;
        QList<DrillWay> todays;
    } table[] = {
        {"never reviewed", {}, {DrillWay::Typed, DrillWay::Card}, {}, {}, {}},
        {"typed only",
         {{a, DrillWay::Typed, true}},
         {DrillWay::Typed},
         {{DrillWay::Typed, {1, 1}}},
         {},
         {DrillWay::Typed}},
        {"cards only, drilled before typed",
         {{b, DrillWay::Card, false}},
         {DrillWay::Card, DrillWay::Typed},
         {{DrillWay::Card, {0, 1}}},
         {},
         {DrillWay::Card}},
        {"two ways, one left out",
         {{a, DrillWay::Choice, true}, {b, DrillWay::Choice, true}, {a, DrillWay::Typed, false}},
         {DrillWay::Choice, DrillWay::Reversed, DrillWay::Typed},
         {{DrillWay::Typed, {0, 1}}, {DrillWay::Choice, {2, 0}}},
         {DrillWay::Typed},
         {DrillWay::Choice}},
        {"a way no drill was recorded in",
         {{a, DrillWay::Listening, true}},
         {DrillWay::Typed},
         {},
         {},
         {}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        KnownStates store;
        for (const Reviewed& word : row.reviewed) {
            store.due.insert(wayKey(word.word, word.way), word.due);
        }
        const QList<WayCounts> counts = countsByWay(store, {a, b}, row.drilled, ReviewTime{});
        EXPECT_EQ(counts, row.counts);
        EXPECT_EQ(todaysReviewWays(counts, row.leftOut), row.todays);
    }
}

}  // namespace
}  // namespace review
