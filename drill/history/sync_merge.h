// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

#include <atomic>

#include "drill/history/sync_journal.h"

namespace drill::history {

class SqliteHistory;

struct SyncReport {
    qint64 added = 0;  // records the history lacked
    // Lines of a later version left unread (in part), in every journal read.
    int newer = 0;
    QList<MachineMerged> machines;  // every machine taken in so far
    QString error;                  // what stood in the way; empty when all is well
    bool stopped = false;           // asked to stop: the next merge goes on from there
};

// Every journal in folder taken into history, each from where its reading stood, in parts of
// ten thousand records, each part in a transaction of its own; the states of the words are
// written or replayed before it returns. This machine's own journal is read as well: it holds what
// a kill kept from the history. A journal that has gone leaves what was taken of it; one that was
// replaced is read again from its start. now is in UTC milliseconds. Once stop is set, it ends
// after the part or replay step under way, with nothing lost.
SyncReport mergeFolder(SqliteHistory& history, const QString& folder, qint64 now,
                       const std::atomic<bool>& stop = std::atomic<bool>(false));

}  // namespace drill::history

Q_DECLARE_METATYPE(drill::history::SyncReport)
