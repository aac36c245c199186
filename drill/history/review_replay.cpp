// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/review_replay.h"

#include <QSqlDatabase>
#include <QThread>

#include <algorithm>
#include <utility>

#include "drill/history/sqlite_detail.h"

namespace drill::history {

namespace {

// Waiting for another program's lock, or for a failure that may pass (a full disk), before the
// step is tried again.
constexpr unsigned long kRetryMilliseconds = 50;
constexpr int kMostFailures = 20;

}  // namespace

BackgroundReplay::BackgroundReplay(QString path, QTimeZone zone)
    : path_(std::move(path)), zone_(std::move(zone)) {}

BackgroundReplay::~BackgroundReplay() {
    stop_ = true;
    wait();
}

void BackgroundReplay::start(review::ReviewTime until) {
    if (running()) {
        return;
    }
    wait();
    until_ = until;
    stop_ = false;
    next_ = 0;
    last_ = 0;
    thread_.reset(QThread::create([this] { run(); }));
    thread_->start(QThread::LowPriority);
}

bool BackgroundReplay::running() const {
    return thread_ && thread_->isRunning();
}

void BackgroundReplay::wait() {
    if (thread_) {
        thread_->wait();
    }
}

review::ReplayProgress BackgroundReplay::progress() const {
    if (!running()) {
        return {};
    }
    const qint64 last = std::max<qint64>(last_, 1);
    return {std::clamp<qint64>(next_, 0, last), last};
}

void BackgroundReplay::run() {
    const QString name =
        QStringLiteral("kx_replay_%1").arg(reinterpret_cast<quintptr>(this), 0, 16);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path_);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=200"));
        int failures = 0;
        // A failure that stays (a damaged file) is left for the next open to report.
        const bool opened = db.open();
        while (opened && !stop_ && failures < kMostFailures) {
            const detail::ReplayStep step =
                detail::replayStep(db, zone_, until_, detail::kReplayStepBudget);
            if (!step.reason.isEmpty()) {
                failures += step.busy ? 0 : 1;
                QThread::msleep(kRetryMilliseconds);
                continue;
            }
            longestStep_ = std::max<qint64>(longestStep_, step.heldNs);
            next_ = step.next;
            last_ = step.last;
            if (step.finished) {
                break;
            }
            QThread::usleep(static_cast<unsigned long>(step.heldNs / 1000));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace drill::history
