#include "drill/window/after_drill.h"

#include <QDateTime>
#include <QWidget>

#include <utility>

#include "drill/engine/mod_main.h"
#include "drill/history/drill_history.h"
#include "drill/window/frm_history.h"
#include "drill/window/frm_missed.h"
#include "platform/platform.h"
#include "platform/window_fit.h"

namespace drill {

namespace {

const QString kHistoryTitle = QStringLiteral("成績の記録");

}  // namespace

AfterDrill::AfterDrill(QWidget* window, modMain& engine, platform::Platform& platform,
                       history::DrillHistory& history, std::function<void()> refresh)
    : QObject(window),
      window_(window),
      engine_(engine),
      platform_(platform),
      historyStore_(history),
      refresh_(std::move(refresh)) {}

AfterDrill::~AfterDrill() = default;

frmMissed* AfterDrill::missedWindow() const {
    return missed_;
}

frmHistory* AfterDrill::historyWindow() const {
    return history_;
}

void AfterDrill::drillEnded(common::DrillModeValue mode, qint64 seconds) {
    history::DrillRecord record;
    record.started = QDateTime::currentDateTimeUtc().addSecs(-seconds);
    record.seconds = seconds;
    record.wordFile = engine_.WordFileName();
    record.mode = mode;
    record.again = std::exchange(againRunning_, false);
    record.asked = engine_.AnsweredCount();
    record.right = engine_.CorrectCount();
    record.rate = history::rateOf(record.right, record.asked);
    for (const MissedEntry& missed : engine_.missed().list()) {
        record.missed.append(missed.entry.question);
    }
    // Every lost drill is said: the history keeps what it can for later, so a loss is rare.
    if (const QString reason = historyStore_.record(record); !reason.isEmpty()) {
        platform_.warn(window_, QStringLiteral("成績を記録できませんでした。\r\n") + reason,
                       kHistoryTitle);
    }
    showNotices();

    if (missed_) {
        missed_->close();
    }
    if (engine_.missed().list().isEmpty()) {
        return;
    }
    missed_ = new frmMissed(engine_.missed().list(), engine_.WordFileName(), platform_, window_);
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
    if (!missed_ || engine_.Drilling()) {
        return;
    }
    const QList<common::Entry> entries = missed_->entries();
    missed_->close();
    engine_.StartDrillOver(entries);
    againRunning_ = engine_.Drilling();
    refresh_();
}

void AfterDrill::showHistory() {
    if (history_) {
        history_->raise();
        history_->activateWindow();
        return;
    }
    history_ = new frmHistory(historyStore_, engine_.WordFileName(), platform_, window_);
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
