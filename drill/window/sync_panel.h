// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class Platform;
}

namespace drill {

namespace history {
class HistorySync;
struct MachineMerged;
}  // namespace history

// The review window's row on sharing progress between the learner's machines: the sync folder,
// chosen or turned off, a merge now, when each other machine last brought something, what
// stands in the way, and the whole history written out as one journal.
class SyncPanel : public QWidget {
    Q_OBJECT
public:
    SyncPanel(history::HistorySync& sync, platform::Platform& platform, QWidget* parent);
    // An export under way is given up: nobody is left to hear how it went.
    ~SyncPanel() override;

    // Merges beside the window, unless sharing is off or a merge is under way.
    void merge();

    // "machine-a 12/08 09:14、machine-b まだありません", local time; the year only when it is
    // not now's. Nothing taken in yet: a sentence saying so.
    static QString machinesText(const QList<history::MachineMerged>& machines, qint64 now);

private:
    void cmdSyncFolder_Click();
    void cmdSyncOff_Click();
    void cmdExportJournal_Click();
    void showExported(const QString& reason);
    void showState();
    bool busy() const;
    void keepFolder(const QString& folder);

    history::HistorySync& sync_;
    platform::Platform& platform_;

    QLineEdit* txtSyncFolder = nullptr;
    QPushButton* cmdSyncFolder = nullptr;
    QPushButton* cmdSyncOff = nullptr;
    QPushButton* cmdSyncNow = nullptr;
    QPushButton* cmdExportJournal = nullptr;
    QLabel* lblSyncMachines = nullptr;
    QLabel* lblSyncProblem = nullptr;
};

}  // namespace drill
