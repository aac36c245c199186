#pragma once

#include <QDialog>
#include <QList>
#include <QString>

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
// over time and the most-missed questions of the chosen file.
class frmHistory : public QDialog {
    Q_OBJECT
public:
    // currentFile is chosen first when it has been drilled before.
    frmHistory(QList<history::DrillRecord> records, const QString& currentFile,
               platform::Platform& platform, QWidget* parent);
    ~frmHistory() override;

    // The records shown in the table.
    const QList<history::DrillRecord>& shown() const { return shown_; }

private:
    void lstFiles_Change();
    void cmdCsv_Click();
    void showChart();
    QString chosenFile() const;

    platform::Platform& platform_;
    QList<history::DrillRecord> records_;
    QList<history::DrillRecord> shown_;

    QListWidget* lstFiles = nullptr;
    QTableView* tblDrills = nullptr;
    HistoryModel* model_ = nullptr;
    QChartView* chtRate = nullptr;
    QChart* chart_ = nullptr;
    QListWidget* lstMostMissed = nullptr;
    QPushButton* cmdCsv = nullptr;
    QPushButton* cmdClose = nullptr;
};

}  // namespace drill
