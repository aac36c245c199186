// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QString>

#include <span>
#include <vector>

#include "review/fsrs.h"
#include "review/learner_day.h"
#include "review/review_time.h"

struct sqlite3;

namespace drill::history::detail {

// Whether an answer tested the learner's memory: the word was due when answered, on a later
// learner's day than its last answer (not a same-day step). The measured retention counts these.
// A day's end is worked out once: the zone's start of a day costs microseconds, and a merge asks
// for every review it takes in.
class DueCheck {
public:
    explicit DueCheck(review::LearnerDay day) : day_(std::move(day)) {}
    bool operator()(const review::CardState& before, review::ReviewTime at);

private:
    review::LearnerDay day_;
    QHash<qint64, review::ReviewTime> ends_;  // by the day's Julian day number
};

// One of a word's reviews as stored.
struct FlaggedReview {
    qint64 id = 0;
    review::ReviewTime time;
    review::Grade grade = review::Grade::Again;
    qint64 file = 0;
    bool wasDue = false;
};

// A review whose flag is to change.
struct FlagChange {
    qint64 id = 0;
    qint64 file = 0;
    bool due = false;
    bool right = false;
};

// The state after reviews, which are in time order, and the reviews whose stored flag differs
// from the one they would have been recorded with in that order, appended to changes. A review
// dated after until decides nothing and is not due.
review::CardState replayFlagged(const review::FsrsScheduler& scheduler, DueCheck& check,
                                std::span<const FlaggedReview> reviews, review::ReviewTime until,
                                std::vector<FlagChange>& changes);

// The flags changed, inside the caller's transaction, and each file's sums of due and right
// answers moved by those that changed. A flag already changed (by another program's replay of
// the same word) is not counted twice. Empty, else why not.
QString writeFlags(sqlite3* db, const std::vector<FlagChange>& changes);

}  // namespace drill::history::detail
