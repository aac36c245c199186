// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QMutex>
#include <QString>
#include <QTimeZone>

#include "review/review_time.h"

namespace review {

// The learner's day: from one day start (an hour of local time in a zone) to the next. A
// review at 02:00 belongs to the day before when days start at 04:00. The default is plain
// UTC calendar days.
class LearnerDay {
public:
    static constexpr int kDefaultStartHour = 4;

    LearnerDay();
    // An hour outside 0..23 gives the default.
    LearnerDay(QTimeZone zone, int startHour);
    LearnerDay(const LearnerDay& other);
    LearnerDay& operator=(const LearnerDay& other);

    // The instant moved so that the learner's days begin at UTC midnights: whole days between
    // two shifted instants are the learner's days between them.
    ReviewTime shifted(ReviewTime time) const;
    QDate date(ReviewTime time) const;
    // The instant the learner's day of that date begins.
    ReviewTime start(QDate date) const;
    // The instant the learner's day holding now ends: "today" is before it.
    ReviewTime endOfDay(ReviewTime now) const { return start(date(now).addDays(1)); }

    // Names the zone and the hour, to notice a change of either.
    QString id() const;

private:
    qint64 offsetMs(qint64 utcMs) const;

    QTimeZone zone_;
    int startHour_ = 0;
    // The span between the zone's transitions last asked about, where its offset is one: a
    // zone's offset costs a microsecond or more, a replay asks millions of times. One day may
    // be asked from two threads (a replay beside the window): the span is read and written
    // under its lock, and a thread that finds it taken asks the zone itself.
    struct Span {
        qint64 from = 1;
        qint64 to = 0;
        qint64 offset = 0;
    };
    Span cachedSpan() const;

    mutable QMutex spanLock_;
    mutable Span span_;
};

}  // namespace review
