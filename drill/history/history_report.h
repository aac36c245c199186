#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include "drill/history/drill_history.h"

// What the history window shows, worked out from the records alone.
namespace drill::history {

// "Normal", "Endless", "Overcoming", as the mode menu names them.
QString modeName(common::DrillModeValue mode);

// The word files drilled, the most recently drilled first; records newest first.
QStringList wordFilesOf(const QList<DrillRecord>& records);

// The records of one word file; every record for an empty file name.
QList<DrillRecord> recordsOf(const QList<DrillRecord>& records, const QString& wordFile);

struct MissCount {
    QString question;
    int misses = 0;
    friend bool operator==(const MissCount&, const MissCount&) = default;
};

// The questions missed most often in these records (a question counts once per drill), most
// first, equal counts by question; at most limit of them.
QList<MissCount> mostMissed(const QList<DrillRecord>& records, qsizetype limit);

// "2026-12-07 11:53:17" in the given zone.
QString startedText(const QDateTime& started, const QTimeZone& zone);

// The table as UTF-8 CSV with a byte-order mark and CR LF line ends, which spreadsheet
// programs open directly.
QByteArray historyCsv(const QList<DrillRecord>& records, const QTimeZone& zone);

}  // namespace drill::history
