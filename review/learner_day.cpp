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

qint64 LearnerDay::offsetMs(qint64 utcMs) const {
    if (utcMs >= spanFrom_ && utcMs < spanTo_) {
        return spanOffset_;
    }
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(utcMs, QTimeZone::utc());
    spanOffset_ = qint64(zone_.offsetFromUtc(at)) * 1000;
    spanFrom_ = std::numeric_limits<qint64>::min();
    spanTo_ = std::numeric_limits<qint64>::max();
    if (zone_.hasTransitions()) {
        // The last transition at or before the instant, and the next one after it.
        const QTimeZone::OffsetData before = zone_.previousTransition(at.addMSecs(1));
        const QTimeZone::OffsetData after = zone_.nextTransition(at);
        if (before.atUtc.isValid()) {
            spanFrom_ = before.atUtc.toMSecsSinceEpoch();
        }
        if (after.atUtc.isValid()) {
            spanTo_ = after.atUtc.toMSecsSinceEpoch();
        }
        // A zone that answers oddly is asked again next time.
        if (spanFrom_ > utcMs || spanTo_ <= utcMs) {
            spanFrom_ = spanTo_ = utcMs;
        }
    }
    return spanOffset_;
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
