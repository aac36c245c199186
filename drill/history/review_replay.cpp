// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/review_replay.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
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

// Without waiting for anyone: what a reader still needs stays for the next time.
void checkpoint(const QSqlDatabase& db) {
    QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

}  // namespace

BackgroundReplay::BackgroundReplay(QString path, QTimeZone zone)
    : path_(std::move(path)), zone_(std::move(zone)) {}

BackgroundReplay::~BackgroundReplay() {
    stop_ = true;
    wait();
}

void BackgroundReplay::start(review::ReviewTime until, PendingRenames renames) {
    if (running()) {
        return;
    }
    wait();
    until_ = until;
    stop_ = false;
    filling_ = true;
    fillNext_ = 0;
    fillLast_ = 0;
    next_ = 0;
    last_ = 0;
    renamesNext_ = renames.from;
    renamesTotal_ = renames.list.size();
    renames_ = std::move(renames);
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
    if (filling_) {
        const qint64 last = std::max<qint64>(fillLast_, 1);
        return {std::clamp<qint64>(fillNext_, 0, last), last, true};
    }
    // The renames and the words replayed after them as one way.
    const qint64 last = std::max<qint64>(last_, 0);
    const qint64 total = std::max<qint64>(renamesTotal_ + last, 1);
    return {std::clamp<qint64>(renamesNext_ + std::clamp<qint64>(next_, 0, last), 0, total), total};
}

bool BackgroundReplay::takeRenames(const QSqlDatabase& db) {
    int failures = 0;
    while (!renames_.list.isEmpty() && !stop_ && failures < kMostFailures) {
        const detail::RenameStep step =
            detail::renameStep(db, zone_, renames_.scheduler, until_, renames_.list, renames_.from,
                               detail::kReplayStepBudget);
        if (!step.reason.isEmpty()) {
            failures += step.busy ? 0 : 1;
            QThread::msleep(kRetryMilliseconds);
            continue;
        }
        longestStep_ = std::max<qint64>(longestStep_, step.heldNs);
        renames_.from = step.next;
        renamesNext_ = step.next;
        checkpoint(db);
        if (step.next < renames_.list.size()) {
            QThread::usleep(static_cast<unsigned long>(step.heldNs / 1000));
            continue;
        }
        review::removeRenames(renames_.path, renames_.list.size());
        // Those another program (the editor) appended meanwhile are taken in as well.
        renames_.list = review::readRenames(renames_.path);
        renamesTotal_ = std::max(renames_.list.size(), renames_.from);
        if (renames_.list.size() <= renames_.from) {
            renames_.list.clear();
        }
    }
    return renames_.list.isEmpty();
}

bool BackgroundReplay::stepThrough(const QSqlDatabase& db,
                                   const std::function<detail::ReplayStep()>& step,
                                   std::atomic<qint64>& next, std::atomic<qint64>& last) {
    int failures = 0;
    while (!stop_ && failures < kMostFailures) {
        QElapsedTimer spent;
        spent.start();
        const detail::ReplayStep taken = step();
        if (!taken.reason.isEmpty()) {
            failures += taken.busy ? 0 : 1;
            QThread::msleep(kRetryMilliseconds);
            continue;
        }
        longestStep_ = std::max<qint64>(longestStep_, taken.heldNs);
        next = taken.next;
        last = taken.last;
        if (taken.finished) {
            return true;
        }
        // Most of a step may be done without the lock: the pause keeps the thread to half a core.
        const auto pause = static_cast<unsigned long>(spent.nsecsElapsed() / 1000);
        checkpoint(db);
        QThread::usleep(pause);
    }
    return false;
}

void BackgroundReplay::run() {
    const QString name =
        QStringLiteral("kx_replay_%1").arg(reinterpret_cast<quintptr>(this), 0, 16);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path_);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=200"));
        // A failure that stays (a damaged file) is left for the next open to report.
        const bool opened = db.open();
        // As the window's connection: a commit waits for no disk (one that did held the lock up to
        // 180 ms on a busy machine). The journal is copied back into the file between the steps,
        // outside the lock, by this thread.
        for (const char* pragma : {"PRAGMA synchronous=NORMAL", "PRAGMA wal_autocheckpoint=0"}) {
            QSqlQuery(db).exec(QString::fromLatin1(pragma));
        }
        const bool filled =
            opened && stepThrough(
                          db, [&db] { return detail::fillStep(db, detail::kReplayStepBudget); },
                          fillNext_, fillLast_);
        filling_ = false;
        if (filled && takeRenames(db)) {
            stepThrough(
                db,
                [this, &db] {
                    return detail::replayStep(db, zone_, until_, detail::kReplayStepBudget);
                },
                next_, last_);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace drill::history
