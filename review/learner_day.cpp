// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "review/learner_day.h"

#include <QDateTime>

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

ReviewTime LearnerDay::shifted(ReviewTime time) const {
    const qint64 ms = time.time_since_epoch().count();
    const qint64 offset =
        qint64(zone_.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()))) * 1000;
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
