// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/due_flags.h"

#include <algorithm>
#include <map>
#include <utility>

#include "drill/history/sqlite_statement.h"
#include "review/review_plan.h"

namespace drill::history::detail {

bool DueCheck::operator()(const review::CardState& before, review::ReviewTime at) {
    // Most answers are told apart without the learner's days: a word not due yet, or in review
    // and due after the day of the answer ends, which is within two days.
    if (before.isNew() || (before.phase != review::CardPhase::Review && before.due > at) ||
        before.due - at >= std::chrono::hours(48)) {
        return false;
    }
    const QDate date = day_.date(at);
    if (date <= day_.date(before.lastReview)) {
        return false;
    }
    auto end = ends_.constFind(date.toJulianDay());
    if (end == ends_.cend()) {
        end = ends_.insert(date.toJulianDay(), day_.start(date.addDays(1)));
    }
    return review::isDue(before, at, *end);
}

review::CardState replayFlagged(const review::FsrsScheduler& scheduler, DueCheck& check,
                                std::span<const FlaggedReview> reviews, review::ReviewTime until,
                                std::vector<FlagChange>& changes) {
    Q_ASSERT(std::ranges::is_sorted(reviews, {}, &FlaggedReview::time));
    review::CardState card;
    for (const FlaggedReview& review : reviews) {
        const bool counts = review.time <= until;
        const bool due = counts && check(card, review.time);
        if (due != review.wasDue) {
            changes.push_back({review.id, review.file, due, review.grade != review::Grade::Again});
        }
        if (counts) {
            card = scheduler.review(card, review.time, review.grade);
        }
    }
    return card;
}

QString writeFlags(sqlite3* db, const std::vector<FlagChange>& changes) {
    if (changes.empty()) {
        return {};
    }
    Statement flag(db, "UPDATE reviews SET was_due = ?1 WHERE id = ?2 AND was_due <> ?1");
    struct Sums {
        qint64 due = 0;
        qint64 right = 0;
    };
    std::map<qint64, Sums> files;
    for (const FlagChange& change : changes) {
        flag.bind(1, qint64(change.due ? 1 : 0)).bind(2, change.id).step();
        if (!flag.error().isEmpty()) {
            return flag.error();
        }
        if (flag.changes() == 1) {
            const int sign = change.due ? 1 : -1;
            Sums& sums = files[change.file];
            sums.due += sign;
            sums.right += change.right ? sign : 0;
        }
    }
    Statement sums(db,
                   "UPDATE review_files SET due_reviews = due_reviews + ?1,"
                   " due_right = due_right + ?2 WHERE id = ?3");
    for (const auto& [file, moved] : files) {
        if (moved.due != 0 || moved.right != 0) {
            sums.bind(1, moved.due).bind(2, moved.right).bind(3, file).step();
            if (!sums.error().isEmpty()) {
                return sums.error();
            }
        }
    }
    return {};
}

}  // namespace drill::history::detail
