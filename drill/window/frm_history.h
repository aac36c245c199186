// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

#include "drill/history/drill_history.h"

class QChart;
class QChartView;
class QListWidget;
class QPushButton;
class QTableView;

namespace platform {
class Platform;
}

namespace drill {

class HistoryModel;

// "成績の記録": past drills, newest first, for one word file or all of them, with the rate
// over time, the most-missed questions and the most frequent slips of the chosen file. Only what is
// shown is read: the table a page at a time as it is scrolled, the chart and the list as the
// history sums them.
class frmHistory : public QDialog {
    Q_OBJECT
public:
    // currentFile is chosen first when it has been drilled before.
    frmHistory(history::DrillHistory& history, const QString& currentFile,
               platform::Platform& platform, QWidget* parent);
    // A few records, kept in a history of the window's own.
    frmHistory(const QList<history::DrillRecord>& records, const QString& currentFile,
               platform::Platform& platform, QWidget* parent);
    ~frmHistory() override;

private:
    frmHistory(std::unique_ptr<history::DrillHistory> owned, history::DrillHistory* history,
               const QString& currentFile, platform::Platform& platform, QWidget* parent);

    void lstFiles_Change();
    void cmdCsv_Click();
    void showChart();
    QString chosenFile() const;

    std::unique_ptr<history::DrillHistory> owned_;
    history::DrillHistory& history_;
    platform::Platform& platform_;
    // CSV export starts in the open word file's folder, else in the last one written to.
    QString wordFolder_;
    // What the list shows for each word file.
    QHash<QString, QString> fileLabels_;

    QListWidget* lstFiles = nullptr;
    QTableView* tblDrills = nullptr;
    HistoryModel* model_ = nullptr;
    QChartView* chtRate = nullptr;
    QChart* chart_ = nullptr;
    QListWidget* lstMostMissed = nullptr;
    QListWidget* lstSlips = nullptr;
    QPushButton* cmdCsv = nullptr;
    QPushButton* cmdClose = nullptr;
};

}  // namespace drill
