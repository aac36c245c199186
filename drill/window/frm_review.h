// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>

#include "drill/engine/drill_way.h"
#include "drill/history/drill_history.h"
#include "drill/window/word_file_keys.h"
#include "review/fsrs.h"
#include "review/way_reviews.h"

class QChart;
class QCheckBox;
class QChartView;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform {
class Platform;
}

namespace drill {

namespace history {
class HistorySync;
}

class SyncPanel;

// "復習の予定": every word file reviewed so far with its due and new words, the words due on each
// of the next 30 days, and the retention measured against the desired one. "開始" asks for
// today's review of the chosen file; the drill window starts it.
class frmReview : public QDialog {
    Q_OBJECT
public:
    static constexpr int kForecastDays = 30;

    // now: the instant the counts are taken at, from the drill window's clock. fileKeys keeps
    // the words of the files listed for the next window; without it they are read every time.
    // With sync, the window shows the sync folder and merges the other machines' progress as it
    // opens.
    frmReview(history::DrillHistory& history, review::ReviewTime now, platform::Platform& platform,
              QWidget* parent, WordFileKeys* fileKeys = nullptr,
              history::HistorySync* sync = nullptr);

    // The desired retention the schedule follows, in whole percents.
    int desiredRetentionPercent() const;

Q_SIGNALS:
    void startReview(const QString& wordFile);

private:
    void fillFiles();
    // Under a file whose words were reviewed in other ways than typed: a row for each way.
    void addWayRows(QTreeWidgetItem* file, const QList<review::WayCounts>& ways);
    void chkReviewWay_Change(DrillWay way, bool included);
    void lstFiles_Change();
    void spnRetention_Change();
    void spnNewWords_Change(int count);
    void applyRetention();
    void cmdStart_Click();
    void cmdRemove_Click();
    void cmdAside_Click();
    void showForecast();
    void showRetention();
    void showReplay();
    QString chosenFile() const;
    QString chosenLabel() const;
    bool chosenExists() const;

    history::DrillHistory& history_;
    review::ReviewTime now_;
    WordFileKeys ownKeys_;
    WordFileKeys& wordFileKeys_;
    // The words of each file that could be read, as it is now.
    QHash<QString, QList<QByteArray>> fileKeys_;
    // The ways the words of each file listed were reviewed in, where not only typed.
    QHash<QString, QList<DrillWay>> fileWays_;
    // The ways drills were recorded in, the typed way first.
    QList<DrillWay> waysDrilled_;
    platform::Platform& platform_;

    QTreeWidget* lstFiles = nullptr;
    QChartView* chtForecast = nullptr;
    QChart* chart_ = nullptr;
    QLabel* lblForecast = nullptr;
    QLabel* lblRetention = nullptr;
    QLabel* lblReplay = nullptr;
    QSpinBox* spnRetention = nullptr;
    QSpinBox* spnNewWords = nullptr;
    // Which ways today's review asks; shown once a way other than typed was drilled.
    QList<QCheckBox*> chkReviewWays_;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdAside = nullptr;
    QPushButton* cmdClose = nullptr;
    SyncPanel* syncPanel_ = nullptr;  // with a sync only
    QTimer* retentionDelay_ = nullptr;
    QTimer* replayPoll_ = nullptr;
};

}  // namespace drill
