// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/after_drill.h"

#include <QWidget>

#include <utility>

#include "drill/engine/drill_session.h"
#include "drill/history/drill_history.h"
#include "drill/window/frm_history.h"
#include "drill/window/frm_missed.h"
#include "platform/platform.h"
#include "platform/window_fit.h"

namespace drill {

namespace {

const QString kHistoryTitle = QStringLiteral("成績の記録");

}  // namespace

AfterDrill::AfterDrill(QWidget* window, const DrillSession& session, platform::Platform& platform,
                       history::DrillHistory& history,
                       std::function<void(const QList<common::Entry>&)> startAgain)
    : QObject(window),
      window_(window),
      session_(session),
      platform_(platform),
      historyStore_(history),
      startAgain_(std::move(startAgain)) {}

AfterDrill::~AfterDrill() = default;

frmMissed* AfterDrill::missedWindow() const {
    return missed_;
}

frmHistory* AfterDrill::historyWindow() const {
    return history_;
}

void AfterDrill::drillEnded(const history::DrillRecord& record) {
    // Every lost drill is said: the history keeps what it can for later, so a loss is rare.
    if (const QString reason = historyStore_.record(record); !reason.isEmpty()) {
        platform_.warn(window_, QStringLiteral("成績を記録できませんでした。\r\n") + reason,
                       kHistoryTitle);
    }
    showNotices();

    if (missed_) {
        missed_->close();
    }
    if (session_.missed().list().isEmpty()) {
        return;
    }
    missed_ = new frmMissed(session_.missed().list(), session_.wordFileName(), platform_, window_);
    missed_->setAttribute(Qt::WA_DeleteOnClose);
    connect(missed_, &frmMissed::againRequested, this, &AfterDrill::again);
    // Beside the drill window, whose counts and time stay in sight.
    QRect results;
    for (const char* name : {"lblCount", "lblTime"}) {
        if (const auto* label = window_->findChild<QWidget*>(QLatin1String(name))) {
            results |= QRect(label->mapToGlobal(QPoint(0, 0)), label->size());
        }
    }
    platform::placeBeside(missed_, window_, results);
    missed_->show();
    missed_->raise();
    missed_->activateWindow();
}

void AfterDrill::again() {
    // A drill started meanwhile from the drill window goes on; the list stays for later.
    if (!missed_ || session_.drilling()) {
        return;
    }
    const QList<common::Entry> entries = missed_->entries();
    missed_->close();
    startAgain_(entries);
}

void AfterDrill::showHistory() {
    if (history_) {
        history_->raise();
        history_->activateWindow();
        return;
    }
    history_ = new frmHistory(historyStore_, session_.wordFileName(), platform_, window_);
    history_->setAttribute(Qt::WA_DeleteOnClose);
    history_->show();
    history_->raise();
    history_->activateWindow();
    showNotices();
}

void AfterDrill::showNotices() {
    for (const QString& notice : historyStore_.takeNotices()) {
        platform_.warn(window_, notice, kHistoryTitle);
    }
}

}  // namespace drill
