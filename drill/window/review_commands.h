// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include "drill/engine/drill_way.h"
#include "drill/window/word_file_keys.h"

class QWidget;

namespace platform {
class Platform;
}

namespace review {
class ReviewClock;
}

namespace drill {

namespace history {
class DrillHistory;
class HistorySync;
}  // namespace history

class DrillSession;
class frmReview;

// The drill window's review commands: "今日の復習" over the open file and the "復習の予定"
// window, and the one warning when answers cannot be kept as reviews.
class ReviewCommands : public QObject {
    Q_OBJECT
public:
    // openFile opens a word file as Open does; drillStarted shows a drill the session started.
    ReviewCommands(QWidget* window, DrillSession& session, platform::Platform& platform,
                   history::DrillHistory& history, const review::ReviewClock& clock,
                   std::function<void(const QString&)> openFile,
                   std::function<void()> drillStarted);

    void startTodaysReview();
    // After every drill: today's review that ran out of words in one way goes on in the next.
    void drillEnded();
    void showReviewPlan();
    // The reason a review was skipped, once until reviews are recorded again.
    void sayReviewFailure();

    frmReview* reviewWindow() const;
    // The review window shows the sync folder and merges as it opens.
    void setSync(history::HistorySync* sync) { sync_ = sync; }

private:
    void startReviewOf(const QString& wordFile);

    QWidget* window_;
    DrillSession& session_;
    platform::Platform& platform_;
    history::DrillHistory& history_;
    const review::ReviewClock& clock_;
    std::function<void(const QString&)> openFile_;
    std::function<void()> drillStarted_;
    QPointer<frmReview> plan_;
    // The ways today's review still has to ask, in order.
    QList<DrillWay> waysLeft_;
    WordFileKeys planKeys_;  // the words of the files it lists, kept for its next opening
    history::HistorySync* sync_ = nullptr;
};

}  // namespace drill
