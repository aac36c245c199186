// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "review/learner_day.h"

#include <QDateTime>

#include <limits>
#include <utility>

namespace review {

namespace {

constexpr qint64 kMillisPerHour = 3600 * 1000;
const QDate kEpoch(1970, 1, 1);

}  // namespace

LearnerDay::LearnerDay() : zone_(QTimeZone::utc()) {}

LearnerDay::LearnerDay(QTimeZone zone, int startHour)
    : zone_(zone.isValid() ? std::move(zone) : QTimeZone::utc()),
      startHour_(startHour >= 0 && startHour <= 23 ? startHour : kDefaultStartHour) {}

LearnerDay::LearnerDay(const LearnerDay& other)
    : zone_(other.zone_), startHour_(other.startHour_), span_(other.cachedSpan()) {}

LearnerDay& LearnerDay::operator=(const LearnerDay& other) {
    if (this != &other) {
        const Span span = other.cachedSpan();
        zone_ = other.zone_;
        startHour_ = other.startHour_;
        const QMutexLocker locker(&spanLock_);
        span_ = span;
    }
    return *this;
}

LearnerDay::Span LearnerDay::cachedSpan() const {
    const QMutexLocker locker(&spanLock_);
    return span_;
}

qint64 LearnerDay::offsetMs(qint64 utcMs) const {
    if (spanLock_.tryLock()) {
        const Span span = span_;
        spanLock_.unlock();
        if (utcMs >= span.from && utcMs < span.to) {
            return span.offset;
        }
    }
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(utcMs, QTimeZone::utc());
    Span span{std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(),
              qint64(zone_.offsetFromUtc(at)) * 1000};
    if (zone_.hasTransitions()) {
        // The last transition at or before the instant, and the next one after it.
        const QTimeZone::OffsetData before = zone_.previousTransition(at.addMSecs(1));
        const QTimeZone::OffsetData after = zone_.nextTransition(at);
        if (before.atUtc.isValid()) {
            span.from = before.atUtc.toMSecsSinceEpoch();
        }
        if (after.atUtc.isValid()) {
            span.to = after.atUtc.toMSecsSinceEpoch();
        }
        // A zone that answers oddly is asked again next time.
        if (span.from > utcMs || span.to <= utcMs) {
            span.from = span.to = utcMs;
        }
    }
    if (spanLock_.tryLock()) {
        span_ = span;
        spanLock_.unlock();
    }
    return span.offset;
}

ReviewTime LearnerDay::shifted(ReviewTime time) const {
    const qint64 offset = offsetMs(time.time_since_epoch().count());
    return time + std::chrono::milliseconds(offset - startHour_ * kMillisPerHour);
}

QDate LearnerDay::date(ReviewTime time) const {
    return kEpoch.addDays(
        std::chrono::floor<std::chrono::days>(shifted(time)).time_since_epoch().count());
}

ReviewTime LearnerDay::start(QDate date) const {
    return ReviewTime(std::chrono::milliseconds(
        QDateTime(date, QTime(startHour_, 0), zone_).toMSecsSinceEpoch()));
}

QString LearnerDay::id() const {
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(zone_.id())).arg(startHour_);
}

}  // namespace review
