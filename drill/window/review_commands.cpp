// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/review_commands.h"

#include <QWidget>

#include <utility>

#include "common/messages.h"
#include "common/preferences.h"
#include "drill/engine/drill_session.h"
#include "drill/history/drill_history.h"
#include "drill/window/frm_review.h"
#include "platform/platform.h"
#include "review/review_clock.h"
#include "review/way_reviews.h"

namespace drill {

namespace {

const QString kTodaysReview = QStringLiteral("今日の復習");
constexpr int kMoreNewWords = 10;

}  // namespace

ReviewCommands::ReviewCommands(QWidget* window, DrillSession& session, platform::Platform& platform,
                               history::DrillHistory& history, const review::ReviewClock& clock,
                               std::function<void(const QString&)> openFile,
                               std::function<void()> drillStarted)
    : QObject(window),
      window_(window),
      session_(session),
      platform_(platform),
      history_(history),
      clock_(clock),
      openFile_(std::move(openFile)),
      drillStarted_(std::move(drillStarted)) {}

frmReview* ReviewCommands::reviewWindow() const {
    return plan_;
}

void ReviewCommands::startTodaysReview() {
    waysLeft_.clear();
    if (session_.drilling() || !session_.fileLoaded()) {
        return;
    }
    if (const QString reason = session_.reviewsUnavailable(); !reason.isEmpty()) {
        platform_.warn(window_, QStringLiteral("今日の復習は使えません。") + common::kCrLf + reason,
                       kTodaysReview);
        return;
    }
    const common::Preferences preferences =
        common::PreferencesFile(platform_.preferencesFile()).load();
    const DrillWay chosen = session_.way();
    ReviewPlan plan;
    {
        const auto busy = platform_.busy();
        // Every way the file's words were reviewed in, one after the other; a file never
        // reviewed is asked in the way chosen.
        waysLeft_ = review::todaysReviewWays(session_.reviewedWays(history_.waysDrilled()),
                                             preferences.reviewWaysLeftOut);
        if (waysLeft_.isEmpty()) {
            waysLeft_.append(chosen);
        }
        // It starts in the first way with words due, the others following in order; with none
        // due anywhere, new words are offered in the first way.
        for (qsizetype i = 0; i < waysLeft_.size() && plan.due.isEmpty(); ++i) {
            session_.setWay(waysLeft_.at(i));
            plan = session_.planReview(preferences.dailyNewWords);
            if (!plan.due.isEmpty()) {
                waysLeft_.remove(i);
            }
        }
        if (plan.due.isEmpty()) {
            session_.setWay(waysLeft_.takeFirst());
            waysLeft_.clear();
            plan = session_.planReview(preferences.dailyNewWords);
        }
    }
    if (plan.due.isEmpty()) {
        platform::MessageBox box;
        box.title = kTodaysReview;
        box.text = QStringLiteral("今日復習する語はありません。");
        box.icon = platform::Icon::None;
        QString offer = QStringLiteral("新しい語 %1 語を練習しますか？");
        if (plan.fresh.isEmpty()) {
            // The day's new words are taken on: a few more, if the learner wants them.
            plan = session_.planReview(preferences.dailyNewWords, kMoreNewWords);
            offer = QStringLiteral("新しい語をあと %1 語練習しますか？");
        }
        if (plan.fresh.isEmpty()) {
            session_.setWay(chosen);
            platform_.showMessage(window_, box);
            return;
        }
        box.text += common::kCrLf + offer.arg(plan.fresh.size());
        box.icon = platform::Icon::Question;
        box.buttons = platform::Buttons::YesNo;
        box.defaultButton = platform::Answer::Yes;
        if (platform_.showMessage(window_, box) != platform::Answer::Yes) {
            session_.setWay(chosen);
            return;
        }
    }
    if (session_.startReview(plan.entries())) {
        drillStarted_();
    }
}

void ReviewCommands::drillEnded() {
    // A stop ends today's review in every way.
    if (session_.reviewClosing().isEmpty()) {
        waysLeft_.clear();
    }
    const int newLimit = common::PreferencesFile(platform_.preferencesFile()).load().dailyNewWords;
    while (!waysLeft_.isEmpty()) {
        const DrillWay way = waysLeft_.takeFirst();
        platform::MessageBox box;
        box.title = kTodaysReview;
        box.text = QStringLiteral("続けて「%1」の復習をしますか？").arg(common::drillWayName(way));
        box.icon = platform::Icon::Question;
        box.buttons = platform::Buttons::YesNo;
        box.defaultButton = platform::Answer::Yes;
        const DrillWay chosen = session_.way();
        session_.setWay(way);
        ReviewPlan plan = session_.planReview(newLimit);
        if (plan.entries().isEmpty()) {
            session_.setWay(chosen);
            continue;
        }
        if (platform_.showMessage(window_, box) != platform::Answer::Yes ||
            !session_.startReview(plan.entries())) {
            session_.setWay(chosen);
            waysLeft_.clear();
            return;
        }
        drillStarted_();
        return;
    }
}

void ReviewCommands::showReviewPlan() {
    if (plan_) {
        plan_->raise();
        plan_->activateWindow();
        return;
    }
    plan_ = new frmReview(history_, clock_.now(), platform_, window_, &planKeys_, sync_);
    plan_->setAttribute(Qt::WA_DeleteOnClose);
    connect(plan_, &frmReview::startReview, this, &ReviewCommands::startReviewOf);
    plan_->show();
    plan_->raise();
    plan_->activateWindow();
}

void ReviewCommands::startReviewOf(const QString& wordFile) {
    if (session_.drilling()) {
        platform::MessageBox box;
        box.title = kTodaysReview;
        box.text = QStringLiteral("今のドリルを終えてから始めてください。");
        box.icon = platform::Icon::None;
        platform_.showMessage(window_, box);
        return;
    }
    if (!session_.fileLoaded() || session_.wordFileName() != wordFile) {
        openFile_(wordFile);
        if (!session_.fileLoaded() || session_.wordFileName() != wordFile) {
            return;  // the reason was said by Open
        }
    }
    startTodaysReview();
}

void ReviewCommands::sayReviewFailure() {
    if (const QString reason = session_.takeReviewFailure(); !reason.isEmpty()) {
        platform_.warn(
            window_,
            QStringLiteral("解答を復習の記録に残せませんでした。ドリルはこのまま続けられます。") +
                common::kCrLf + reason,
            kTodaysReview);
    }
}

}  // namespace drill
