// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <span>
#include <vector>

#include "drill/history/sync_journal.h"

namespace drill::history {

// Appends this machine's records to its own journal in the sync folder, the only file this
// machine writes there. Each record gets the next sequence number, kept in a local file before
// the record is written anywhere, so that a number is never given twice. A record first goes into
// a local file of records waiting for the folder and leaves it once the folder has it: what
// could not be written (a folder offline or read-only, a kill) goes at the next append or flush.
// What waits is moved to a file of its own while it is sent, so that keeping a record never waits
// for the folder, however slow.
class JournalWriter {
public:
    // localBase names the local files: localBase + ".seq", ".outbox", ".sending", ".lock" and
    // ".send.lock".
    JournalWriter(QString folder, QString machine, QString localBase);

    // Kept locally, to wait for the folder: on local disk only, never waiting for the folder.
    // Empty when kept, else why not: then they wait in this object and go, before anything
    // newer, at the next keep (of nothing, to try again).
    QString keep(std::span<const JournalContent> contents);
    // Kept, then written to the folder. Empty when in the folder, else why not (kept locally
    // until then).
    QString append(std::span<const JournalContent> contents);
    // Writes what waits for the folder; empty when nothing waits any more (or another program
    // or thread of this machine is still writing it after waitMs), else why not.
    QString flush(int waitMs = 0);

    QString journalPath() const;

private:
    QString send(const QString& path);
    qint64 lastSequence() const;

    QString folder_;
    QString machine_;
    QString localBase_;
    std::vector<JournalContent> unkept_;
};

}  // namespace drill::history
