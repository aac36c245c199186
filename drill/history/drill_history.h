// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "common/drill_way.h"
#include "common/settings.h"
#include "review/review_store.h"

namespace drill::history {

// One drill that ended, finished or stopped.
struct DrillRecord {
    QDateTime started;  // UTC, to the millisecond
    qint64 seconds = 0;
    QString wordFile;  // full path
    common::DrillModeValue mode = common::kNormalMode;
    bool again = false;  // over the missed entries of the drill before ("もう一度")
    common::DrillWay way = common::DrillWay::Typed;
    qint64 asked = 0;
    qint64 right = 0;
    int rate = 0;        // whole percent of right answers among those asked
    QStringList missed;  // the questions missed, in the order of their first miss
    // The typical slips among its wrong answers and near misses, one code (slipCode) for each
    // time one was found.
    QStringList slips;

    // A drill stopped before any answer has no rate.
    bool hasRate() const { return asked > 0; }

    friend bool operator==(const DrillRecord&, const DrillRecord&) = default;
};

// The whole percent of right answers, rounded down; 0 when nothing was asked.
int rateOf(qint64 right, qint64 asked);

struct Drills {
    QList<DrillRecord> records;  // newest first
    QString error;               // why nothing could be read; empty when all is well
};

struct MissCount {
    QString question;
    int drills = 0;  // the drills in which it was missed
    friend bool operator==(const MissCount&, const MissCount&) = default;
};

struct SlipCount {
    QString kind;  // its code
    int count = 0;
    friend bool operator==(const SlipCount&, const SlipCount&) = default;
};

struct DayRate {
    QDate day;
    int rate = 0;  // of all the answers of that day
    friend bool operator==(const DayRate&, const DayRate&) = default;
};

// Where ended drills are kept, with the reviews of their words. A failure is reported as its
// reason, never thrown: a history that cannot be written must not stop a drill. An empty word file
// means every word file.
class DrillHistory : public review::ReviewStore {
public:
    // Empty when recorded or kept to be recorded later, else the reason it was lost.
    virtual QString record(const DrillRecord& drill) = 0;
    // Every drill; for small histories and tests.
    virtual Drills drills() = 0;

    // The word files drilled, the most recently drilled first.
    virtual QStringList wordFiles() { return {}; }
    // The ways drills were recorded in, each once, the typed way always among them.
    virtual QList<common::DrillWay> waysDrilled() { return {common::DrillWay::Typed}; }
    // Newest first, from the offset-th on.
    virtual QList<DrillRecord> page(const QString& wordFile, qint64 offset, qint64 limit) {
        Q_UNUSED(wordFile)
        Q_UNUSED(offset)
        Q_UNUSED(limit)
        return {};
    }
    // One point a day, oldest first, of the drills with a rate that were not over missed
    // entries only.
    virtual QList<DayRate> dailyRates(const QString& wordFile) {
        Q_UNUSED(wordFile)
        return {};
    }
    // Most first, equal counts by question.
    virtual QList<MissCount> mostMissed(const QString& wordFile, qsizetype limit) {
        Q_UNUSED(wordFile)
        Q_UNUSED(limit)
        return {};
    }
    // The kinds of slip found most often, most first, equal counts by code.
    virtual QList<SlipCount> mostFrequentSlips(const QString& wordFile, qsizetype limit) {
        Q_UNUSED(wordFile)
        Q_UNUSED(limit)
        return {};
    }
    // What the learner should be told once (a damaged history moved aside, a newer one opened
    // read-only); each is given out once.
    virtual QStringList takeNotices() { return {}; }
};

// Keeps nothing; for windows that have no history.
class NoHistory final : public DrillHistory {
public:
    QString record(const DrillRecord&) override { return {}; }
    Drills drills() override { return {}; }
};

}  // namespace drill::history
