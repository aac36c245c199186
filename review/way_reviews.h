// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>

#include <span>

#include "common/drill_way.h"
#include "review/review_plan.h"

namespace review {

class ReviewStore;

// The keys of the words' reviews in one way of drilling (wayKey), in the same order.
QList<QByteArray> wayKeysOf(const QList<QByteArray>& wordKeys, common::DrillWay way);

struct WayCounts {
    common::DrillWay way = common::DrillWay::Typed;
    ReviewCounts counts;
    friend bool operator==(const WayCounts&, const WayCounts&) = default;
};

// Of the ways drilled (any order), those in which any of the words (each once) has a review,
// each with its counts: the typed way first, then the others as numbered. None for words never
// reviewed.
QList<WayCounts> countsByWay(ReviewStore& store, const QList<QByteArray>& wordKeys,
                             std::span<const common::DrillWay> drilled, ReviewTime now);

// The ways today's review of a file asks, one after the other: the ways its words were reviewed
// in (countsByWay's), less those the learner left out.
QList<common::DrillWay> todaysReviewWays(const QList<WayCounts>& reviewed,
                                         std::span<const common::DrillWay> leftOut);

}  // namespace review
