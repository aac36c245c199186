// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

#include "drill/history/journal_sender.h"
#include "drill/history/journal_writer.h"
#include "drill/history/sync_merge.h"

class QThread;

namespace drill::history {

class SqliteHistory;

// The drill program's part in sharing: while the preferences name a sync folder, every drill
// and review the history records is appended to this machine's journal there, and the other
// machines' journals are merged on a thread of its own, never holding up the window or a drill.
class HistorySync : public QObject {
    Q_OBJECT

public:
    // The history is opened again, by its path, on the merging thread.
    HistorySync(SqliteHistory& history, QString historyPath, QString preferencesPath,
                QObject* parent = nullptr);
    // Stops the merge under way after its part or step at hand (the next merge goes on from
    // there) and waits for it.
    ~HistorySync() override;

    // Reads the folder from the preferences, making this machine's id the first time.
    void configure();
    // Keeps the folder in the preferences (empty: sharing off) and follows it.
    bool setFolder(const QString& folder);
    const QString& folder() const { return folder_; }
    const QString& historyPath() const { return historyPath_; }
    // This machine's journal; empty while sharing is off.
    QString journalPath() const { return writer_ ? writer_->journalPath() : QString(); }

    // Unless one or an export is under way or sharing is off; merged tells when it has ended.
    void merge();
    bool merging() const;
    void wait();
    // Of the last merge ended; empty before.
    const SyncReport& lastReport() const { return lastReport_; }
    // Why the last record could not be kept, or what waits could not be written to the folder
    // (it waits locally); empty when all is well. The folder is written beside the window, and
    // a merge writes what waits first.
    QString writeFailure() const;

    // The other machines taken in so far, each with when it last brought something new.
    QList<MachineMerged> otherMachines();
    // The whole history as one journal, for a backup or a move, written beside the window unless
    // a merge or another export is under way (false); exported tells how it went. It is written
    // as a machine made for it alone, so that what a later one holds is never taken for what an
    // earlier one held. Replaced in one step: stopped or failed, the path is left as it was.
    bool exportJournal(const QString& path);
    // Until exported has been told.
    bool exporting() const { return exporting_; }
    // The export under way ends at its next row, writing nothing.
    void stopExport();
    // For tests: called on the export's thread before it reads the history.
    static inline std::function<void()> exportStarted;

Q_SIGNALS:
    void merged();
    // Empty when written, else why not.
    void exported(const QString& reason);

private:
    SqliteHistory& history_;
    QString historyPath_;
    QString preferencesPath_;
    QString folder_;
    QString machine_;
    std::unique_ptr<JournalWriter> writer_;
    std::unique_ptr<JournalSender> sender_;
    std::unique_ptr<QThread> thread_;
    std::atomic<bool> stop_{false};
    SyncReport report_;      // written by the thread
    QString flushFailure_;   // written by the thread
    QString exportFailure_;  // written by the thread
    bool exporting_ = false;
    SyncReport lastReport_;
    QString keepFailure_;
    QString mergeFlushFailure_;  // until the next record is sent
};

}  // namespace drill::history
