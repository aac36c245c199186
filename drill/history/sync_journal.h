// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <span>
#include <variant>

#include "drill/history/drill_history.h"
#include "review/review_store.h"
#include "review/word_renames.h"

namespace drill::history {

// A journal is the text a machine shares its progress through: one JSON object a line, UTF-8,
// each naming the version of the format it was written in, the machine that wrote it and that
// machine's sequence number, which rises by one with every record the machine writes.
using JournalContent = std::variant<DrillRecord, review::ReviewRecord, review::WordRename>;

struct JournalRecord {
    QString machine;
    qint64 sequence = 0;
    JournalContent content;

    // The instant it tells of, in UTC milliseconds.
    qint64 at() const;
};

// The version of the format this program writes; a line of a later version is read as far as
// this program understands it.
constexpr int kJournalVersion = 1;
// A longer line is no record: a file that is not a journal, or one damaged.
constexpr qsizetype kMaxJournalLine = 1 << 20;
// Read in parts of this size at most, so that a journal of any size is read in bounded memory.
constexpr qint64 kJournalReadPart = 8 << 20;

QByteArray journalLine(const JournalRecord& record);

struct ParsedLine {
    std::optional<JournalRecord> record;  // none where the line holds nothing understood
    bool newer = false;                   // written by a later version
};
ParsedLine parseJournalLine(QByteArrayView line);
// The same, always through a JSON document: what the faster read must equal.
ParsedLine parseJournalLineAsJson(QByteArrayView line);

// What was read of a journal from a position on.
struct JournalPart {
    QList<JournalRecord> records;
    QList<qint64> ends;  // of each record's line, in the file
    qint64 end = 0;      // where the next read starts: after the last whole line read
    bool atEnd = false;  // nothing whole is left after end
    int newer = 0;       // lines of a later version left (in part) unread
    int skipped = 0;     // lines too long or not records
    QString error;       // why the file could not be read; empty when all is well
};

// Whole lines only, from position from on, up to kJournalReadPart bytes: a line still being
// written (no line break yet) is left for a later read.
JournalPart readJournal(const QString& path, qint64 from);

// Where the reading of a journal stands: the end of the last line taken in, and the bytes
// before it, which tell whether the file at that name is still the one read.
struct JournalPosition {
    qint64 end = 0;
    QByteArray tail;
};
constexpr qint64 kJournalTail = 64;
// The bytes of a file before end, as kept in its position.
QByteArray journalTail(const QString& path, qint64 end);

// The last record of a machine taken in, and when (UTC milliseconds).
struct MachineMerged {
    QString machine;
    qint64 sequence = 0;
    qint64 mergedAt = 0;
    friend bool operator==(const MachineMerged&, const MachineMerged&) = default;
};

struct SyncState {
    QHash<QString, JournalPosition> files;  // by file name
    QList<MachineMerged> machines;
    QString error;  // why it could not be read; empty when all is well
};

struct Merged {
    qint64 added = 0;  // records the history lacked
    QString error;     // why nothing was added; empty when all is well
};

// Of a file name in the sync folder: a journal, or a sync program's copy of one
// ("NAME.sync-conflict-...", "NAME (conflicted copy ...)").
bool isJournalName(const QString& fileName);
QString journalFileName(const QString& machine);
// A new machine id, made once and kept.
QString newMachineId();

}  // namespace drill::history
