// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "review/way_reviews.h"

#include <algorithm>

#include "review/review_store.h"
#include "review/word_key.h"

namespace review {

QList<QByteArray> wayKeysOf(const QList<QByteArray>& wordKeys, common::DrillWay way) {
    if (way == common::DrillWay::Typed) {
        return wordKeys;
    }
    QList<QByteArray> keys;
    keys.reserve(wordKeys.size());
    for (const QByteArray& key : wordKeys) {
        keys.append(wayKey(key, way));
    }
    return keys;
}

QList<WayCounts> countsByWay(ReviewStore& store, const QList<QByteArray>& wordKeys,
                             std::span<const common::DrillWay> drilled, ReviewTime now) {
    QList<WayCounts> reviewed;
    // Numbered order puts the typed way first.
    for (int number = 0; number < common::kDrillWayCount; ++number) {
        const auto way = static_cast<common::DrillWay>(number);
        if (std::find(drilled.begin(), drilled.end(), way) == drilled.end()) {
            continue;
        }
        const ReviewCounts counts = store.reviewCounts(wayKeysOf(wordKeys, way), now);
        // Every word new in the way: none was drilled so.
        if (counts.fresh < wordKeys.size()) {
            reviewed.append({way, counts});
        }
    }
    return reviewed;
}

QList<common::DrillWay> todaysReviewWays(const QList<WayCounts>& reviewed,
                                         std::span<const common::DrillWay> leftOut) {
    QList<common::DrillWay> ways;
    for (const WayCounts& way : reviewed) {
        if (std::find(leftOut.begin(), leftOut.end(), way.way) == leftOut.end()) {
            ways.append(way.way);
        }
    }
    return ways;
}

}  // namespace review
