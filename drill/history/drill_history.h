#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "common/settings.h"

namespace drill::history {

// One drill that ended, finished or stopped.
struct DrillRecord {
    QDateTime started;  // UTC, to the millisecond
    qint64 seconds = 0;
    QString wordFile;  // full path
    common::DrillModeValue mode = common::kNormalMode;
    qint64 asked = 0;
    qint64 right = 0;
    int rate = 0;        // whole percent of right answers among those asked
    QStringList missed;  // the questions missed, in the order of their first miss

    friend bool operator==(const DrillRecord&, const DrillRecord&) = default;
};

// The whole percent of right answers, rounded down; 0 when nothing was asked.
int rateOf(qint64 right, qint64 asked);

struct Drills {
    QList<DrillRecord> records;  // newest first
    QString error;               // why nothing could be read; empty when all is well
};

// Where ended drills are kept. A failure is reported as its reason, never thrown: a history
// that cannot be written must not stop a drill.
class DrillHistory {
public:
    virtual ~DrillHistory() = default;

    // Empty when recorded, else the reason it was not.
    virtual QString record(const DrillRecord& drill) = 0;
    virtual Drills drills() = 0;
};

// Keeps nothing; for windows that have no history.
class NoHistory final : public DrillHistory {
public:
    QString record(const DrillRecord&) override { return {}; }
    Drills drills() override { return {}; }
};

}  // namespace drill::history
