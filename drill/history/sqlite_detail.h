// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTimeZone>

#include <chrono>
#include <optional>
#include <vector>

#include "review/fsrs.h"
#include "review/review_time.h"
#include "review/word_renames.h"

// Shared by the drill and the review halves of the SQLite history.
namespace drill::history::detail {

QString failure(const QSqlQuery& query);
bool execRetrying(QSqlQuery& query, const QString& statement);

// The word state in the words table's state columns, the first of them at column first.
constexpr const char* kStateColumns =
    "phase, stability, difficulty, due, last_review, elapsed_days, scheduled_days,"
    " learning_step, reps, lapses";
review::CardState stateAt(const QSqlQuery& query, int first);

// SQLite's own: a commit that leaves more pages than this in the journal copies them back.
constexpr int kCheckpointPages = 1000;

// Raised whenever the scheduler's results change, so that stored states are replayed.
constexpr int kSchedulerVersion = 1;

// The work one step of a replay does under the write lock before it commits: the window that
// waits for it, or another program, is held up no longer than this and the commit.
constexpr std::chrono::milliseconds kReplayStepBudget{25};

// What the word states are computed with, as review_meta keeps it for every program. While
// replaying, the words from replayFrom on may still follow what came before.
struct ReviewTarget {
    double retention = -1;
    int scheduler = 0;
    QString day;        // LearnerDay::id
    int dayStart = -1;  // the hour, for another program to take over; -1 from older programs
    bool replaying = false;
    qint64 replayFrom = 0;
    std::optional<qint64> ahead;  // the earliest review dated beyond the clock, in ms
    // Other machines' answers are flagged as due as this machine's are (not so before).
    bool dueFlags = false;
};
ReviewTarget readTarget(const QSqlDatabase& db, QString& reason);

// How a step in a transaction of its own went.
struct StepOutcome {
    QString reason;  // why the step was not taken; busy tells a lock held elsewhere
    bool busy = false;
    qint64 heldNs = 0;  // from taking the write lock to the commit
};

struct ReplayStep : StepOutcome {
    bool finished = false;  // no replay waits any more (or one of a newer program's scheduler)
    qint64 next = 0;        // the word the next step starts at
    qint64 last = 0;        // the last word there is
};
// One step of the replay review_meta asks for, in its own transaction: the words from its marker
// on until the budget is spent, then the marker moved past them or removed.
// Reviews dated after until are left out of the states.
ReplayStep replayStep(const QSqlDatabase& db, const QTimeZone& zone, review::ReviewTime until,
                      std::chrono::milliseconds budget);

// One step of the filling in of the drills an upgrade left behind, in its own transaction: the
// drills from its marker on until the budget is spent, then the marker moved past them or removed.
// next and last count drill ids.
ReplayStep fillStep(const QSqlDatabase& db, std::chrono::milliseconds budget);

// The scheduler of target, or fallback where the target names none this program can follow.
review::FsrsScheduler schedulerOf(const ReviewTarget& target, const QTimeZone& zone,
                                  const review::FsrsScheduler& fallback);

// A word's reviews in the order they are replayed in, appended to log; empty, else why not.
QString reviewLog(const QSqlDatabase& db, qint64 wordId, std::vector<review::Review>& log);
// A word's state replayed from its reviews, inside the caller's transaction.
QString replayWord(const QSqlDatabase& db, const review::FsrsScheduler& scheduler,
                   review::ReviewTime until, qint64 wordId);

struct RenameStep : StepOutcome {
    qsizetype next = 0;  // the rename the next step starts at
};
// The renames from the from-th on taken in, in one transaction, until the budget is spent. Each
// is taken in once, whichever program or step comes to it first. The states follow the history's
// scheduler, or fallback while it names none.
RenameStep renameStep(const QSqlDatabase& db, const QTimeZone& zone,
                      const review::FsrsScheduler& fallback, review::ReviewTime until,
                      const QList<review::WordRename>& renames, qsizetype from,
                      std::chrono::milliseconds budget);

// Rolled back unless committed.
class Transaction {
public:
    explicit Transaction(const QSqlDatabase& db) : db_(db), query_(db) {
        // The write lock up front, so that a busy database is waited for.
        if (!execRetrying(query_, QStringLiteral("BEGIN IMMEDIATE"))) {
            reason_ = failure(query_);
            const QString code = query_.lastError().nativeErrorCode();
            busy_ = code == QLatin1String("5") || code == QLatin1String("6");
        } else {
            open_ = true;
        }
    }
    ~Transaction() {
        if (open_) {
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Not begun: why, in step. A step begun is timed from here.
    bool refused(StepOutcome& step) {
        step.reason = reason_;
        step.busy = busy_;
        held_.start();
        return !open_;
    }
    // The step's time under the lock, once committed.
    void commit(StepOutcome& step) {
        step.reason = commit();
        step.heldNs = held_.nsecsElapsed();
    }
    const QString& reason() const { return reason_; }
    // Not begun because another connection holds the lock.
    bool busy() const { return busy_; }
    QString commit() {
        if (!query_.exec(QStringLiteral("COMMIT"))) {
            return failure(query_);
        }
        open_ = false;
        return {};
    }

private:
    QSqlDatabase db_;
    QSqlQuery query_;
    QString reason_;
    bool busy_ = false;
    bool open_ = false;
    QElapsedTimer held_;
};

}  // namespace drill::history::detail
