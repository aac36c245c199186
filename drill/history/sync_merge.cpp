// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/sync_merge.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <span>

#include "drill/history/sqlite_history.h"

namespace drill::history {

namespace {

// Records a transaction takes in: the drill program waiting to record an answer meanwhile is
// held up for about a tenth of a second at most (90 ms a part on the benchmark's machine); each
// part's commit rewrites the pages of the reviews' index it touched, so fewer parts cost less.
constexpr qsizetype kRecordsAtOnce = 10'000;

// Appends what is new in one journal; false when the history refused or stop was set.
bool mergeFile(SqliteHistory& history, const QString& path, JournalPosition position, qint64 now,
               const std::atomic<bool>& stop, SyncReport& report) {
    const QString name = QFileInfo(path).fileName();
    const qint64 size = QFileInfo(path).size();
    if (position.end > size || journalTail(path, position.end) != position.tail) {
        position = {};  // another file now: read from its start, nothing is taken twice
    }
    while (position.end < size) {
        const JournalPart part = readJournal(path, position.end);
        if (!part.error.isEmpty()) {
            return true;  // gone or unreadable meanwhile: tried again at the next merge
        }
        report.newer += part.newer;
        Q_ASSERT(part.records.size() == part.ends.size());
        for (qsizetype first = 0; first < part.records.size(); first += kRecordsAtOnce) {
            const qsizetype count = std::min(kRecordsAtOnce, part.records.size() - first);
            const qint64 end = part.ends.at(first + count - 1);
            const Merged merged =
                history.mergeJournal(std::span(part.records).subspan(first, count), name,
                                     {end, journalTail(path, end)}, now);
            if (!merged.error.isEmpty()) {
                report.error = merged.error;
                return false;
            }
            report.added += merged.added;
            position.end = end;
            if (stop) {
                report.stopped = true;
                return false;
            }
        }
        if (part.end > position.end) {
            // Lines passed over after the last record: not read again.
            const Merged merged =
                history.mergeJournal({}, name, {part.end, journalTail(path, part.end)}, now);
            if (!merged.error.isEmpty()) {
                report.error = merged.error;
                return false;
            }
            position.end = part.end;
        }
        if (part.atEnd) {
            break;
        }
    }
    return true;
}

}  // namespace

SyncReport mergeFolder(SqliteHistory& history, const QString& folder, qint64 now,
                       const std::atomic<bool>& stop) {
    SyncReport report;
    const QDir dir(folder);
    if (!dir.exists()) {
        report.error = QStringLiteral("%1 cannot be found").arg(QDir::toNativeSeparators(folder));
        return report;
    }
    SyncState state = history.syncState();
    if (!state.error.isEmpty()) {
        report.error = state.error;
        return report;
    }
    for (const QString& name : dir.entryList(QDir::Files | QDir::Readable, QDir::Name)) {
        if (!isJournalName(name)) {
            continue;
        }
        if (!mergeFile(history, dir.filePath(name), state.files.value(name), now, stop, report)) {
            break;
        }
    }
    // Many words changed: their states are replayed here, once, from the first of them on.
    if (report.error.isEmpty()) {
        report.error = history.replayMerged(stop);
        report.stopped = report.stopped || stop;
    }
    report.machines = history.syncState().machines;
    return report;
}

}  // namespace drill::history
