// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The review half of the SQLite history: reviews, the word states derived from them, and the
// sums the review window shows.
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "drill/history/due_flags.h"
#include "drill/history/review_replay.h"
#include "drill/history/sqlite_detail.h"
#include "drill/history/sqlite_history.h"
#include "drill/history/sqlite_statement.h"

namespace drill::history {

using detail::execRetrying;
using detail::failure;
using detail::kSchedulerVersion;
using detail::kStateColumns;
using detail::stateAt;
using detail::Transaction;

namespace {

constexpr int kReviewAttempts = 5;

const QString kUnavailableReadOnly =
    QStringLiteral("the history was written by a newer program and is open read-only");

qint64 millis(review::ReviewTime time) {
    return time.time_since_epoch().count();
}

review::ReviewTime timeOf(qint64 ms) {
    return review::ReviewTime(std::chrono::milliseconds(ms));
}

review::ReviewTime timeOf(const QVariant& value) {
    return timeOf(value.toLongLong());
}

void bindState(QSqlQuery& query, const review::CardState& card) {
    query.addBindValue(static_cast<int>(card.phase));
    query.addBindValue(card.stability);
    query.addBindValue(card.difficulty);
    query.addBindValue(millis(card.due));
    query.addBindValue(millis(card.lastReview));
    query.addBindValue(card.elapsedDays);
    query.addBindValue(card.scheduledDays);
    query.addBindValue(card.learningStep);
    query.addBindValue(card.reps);
    query.addBindValue(card.lapses);
}

// Keys as a JSON array of hexadecimal texts, for json_each, written straight into the text.
QString keyArray(const QList<QByteArray>& keys) {
    constexpr char kDigits[] = "0123456789abcdef";
    qsizetype length = 2;
    for (const QByteArray& key : keys) {
        length += key.size() * 2 + 3;
    }
    QString json(length, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(json.data());
    *out++ = u'[';
    for (const QByteArray& key : keys) {
        if (out[-1] != u'[') {
            *out++ = u',';
        }
        *out++ = u'"';
        for (const char byte : key) {
            *out++ = char16_t(kDigits[static_cast<unsigned char>(byte) >> 4]);
            *out++ = char16_t(kDigits[static_cast<unsigned char>(byte) & 0xF]);
        }
        *out++ = u'"';
    }
    *out++ = u']';
    json.truncate(out - reinterpret_cast<const char16_t*>(json.constData()));
    return json;
}

// A word due at the instant due, in ms, counted on its day of the days that end at ends;
// beyond the last it is not counted.
void countDue(QList<int>& counts, const std::vector<qint64>& ends, qint64 due) {
    const auto day = std::upper_bound(ends.begin(), ends.end(), due) - ends.begin();
    if (day < counts.size()) {
        ++counts[day];
    }
}

}  // namespace

namespace detail {

// The state from the ten state columns starting at first.
review::CardState stateAt(const QSqlQuery& query, int first) {
    review::CardState card;
    card.phase = static_cast<review::CardPhase>(query.value(first).toInt());
    card.stability = query.value(first + 1).toDouble();
    card.difficulty = query.value(first + 2).toDouble();
    card.due = timeOf(query.value(first + 3));
    card.lastReview = timeOf(query.value(first + 4));
    card.elapsedDays = query.value(first + 5).toInt();
    card.scheduledDays = query.value(first + 6).toInt();
    card.learningStep = query.value(first + 7).toInt();
    card.reps = query.value(first + 8).toInt();
    card.lapses = query.value(first + 9).toInt();
    return card;
}

}  // namespace detail

QString SqliteHistory::openReviews() {
    QString reason = checkStates();
    return reason.isEmpty() && !readOnly_ ? settleReviewsAhead() : reason;
}

bool SqliteHistory::statesAtHand() {
    QString reason = openReviews();
    if (reason.isEmpty()) {
        reason = stateCache_.refresh(database());
    }
    if (!reason.isEmpty()) {
        readFailed(reason);
        return false;
    }
    return true;
}

template <typename Visit>
void SqliteHistory::eachState(const QList<QByteArray>& keys, Visit visit) {
    if (!keys.isEmpty() && statesAtHand()) {
        eachKnownState(keys, visit);
    }
}

template <typename Visit>
void SqliteHistory::eachKnownState(const QList<QByteArray>& keys, Visit visit) {
    const std::vector<qsizetype>& positions = stateCache_.positionsOf(keys);
    Q_ASSERT(positions.size() == size_t(keys.size()));
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (positions[i] != detail::WordStateCache::kNone) {
            visit(i, stateCache_.at(positions[i]));
        }
    }
}

QString SqliteHistory::checkStates() {
    if (QString reason = open(); !reason.isEmpty()) {
        return reason;
    }
    if (QString reason = followTarget(false); !reason.isEmpty()) {
        return reason;
    }
    applyRenames();
    if (replaying_ && !readOnly_) {
        continueReplay();
    }
    leaveCheckpointsToReplay(replaying_ || (replay_ && replay_->running()));
    return {};
}

// A replay's steps fill the journal fast; the replay copies it back into the file between its
// steps, outside the lock. An answer's commit here that did it waited for the disk, up to 100 ms.
void SqliteHistory::leaveCheckpointsToReplay(bool replaying) {
    if (replaying != checkpointsLeft_ && !readOnly_ && !inMemory()) {
        QSqlQuery query(database());
        if (query.exec(QStringLiteral("PRAGMA wal_autocheckpoint=%1")
                           .arg(replaying ? 0 : detail::kCheckpointPages))) {
            checkpointsLeft_ = replaying;
        }
    }
}

bool SqliteHistory::followedBy(const detail::ReviewTarget& target) const {
    return target.retention == scheduler_.desiredRetention() &&
           target.scheduler == kSchedulerVersion && target.day == scheduler_.learnerDay().id();
}

// The retention, scheduler and learner's day the states follow are the history's, shared by
// every program that has it open: a change made here becomes the history's and sets a replay
// going; one another program made meanwhile is taken over here before anything is scheduled.
QString SqliteHistory::followTarget(bool inTransaction) {
    QString reason;
    const detail::ReviewTarget target = detail::readTarget(database(), reason);
    if (!reason.isEmpty()) {
        return reason;
    }
    replaying_ = target.replaying;
    // Any program that records a review ahead of the clock writes it here.
    aheadFrom_ = target.ahead ? std::optional(timeOf(*target.ahead)) : std::nullopt;
    if (!settingsChanged_ && !followedBy(target) && target.scheduler == kSchedulerVersion &&
        target.dayStart >= 0 && target.retention > 0) {
        scheduler_ =
            review::FsrsScheduler(target.retention, review::LearnerDay(zone_, target.dayStart));
        dayStart_ = target.dayStart;
    }
    if ((followedBy(target) && target.dueFlags) || readOnly_) {
        settingsChanged_ = false;
        return {};  // read-only: read as they are; a newer program's states are its own
    }
    std::optional<Transaction> transaction;
    if (!inTransaction) {
        transaction.emplace(database());
        if (!transaction->reason().isEmpty()) {
            return transaction->reason();
        }
    }
    if (QString reason = followedBy(target) ? flagDueAnswers() : writeTarget(); !reason.isEmpty()) {
        return reason;
    }
    if (transaction) {
        if (QString reason = transaction->commit(); !reason.isEmpty()) {
            return reason;
        }
    }
    settingsChanged_ = false;
    replaying_ = true;
    return {};
}

// A short history is filled in after an upgrade and rebuilt at once; a long one goes on beside
// the window, one short step at a time, and what is left when the program ends is finished by
// the next one.
void SqliteHistory::continueReplay() {
    if (replay_ && replay_->running()) {
        return;
    }
    while (filling_ || replaying_) {
        const detail::ReplayStep step =
            filling_ ? detail::fillStep(database(), detail::kReplayStepBudget)
                     : detail::replayStep(database(), zone_, horizon(), detail::kReplayStepBudget);
        if (!step.reason.isEmpty()) {
            return;  // tried again at the next open
        }
        if (step.finished) {
            (filling_ ? filling_ : replaying_) = false;
        } else if (!inMemory()) {
            break;  // no other connection sees a database in memory: it is finished here
        }
    }
    if (!filling_ && !replaying_) {
        return;
    }
    if (!replay_) {
        replay_ = std::make_unique<BackgroundReplay>(path_, zone_);
    }
    replay_->start(horizon());
}

review::ReplayProgress SqliteHistory::replayProgress() {
    return replay_ ? replay_->progress() : review::ReplayProgress{};
}

std::chrono::nanoseconds SqliteHistory::longestReplayStep() const {
    return replay_ ? replay_->longestStep() : std::chrono::nanoseconds(0);
}

void SqliteHistory::waitForReplay() {
    if (replay_) {
        replay_->wait();
    }
}

void SqliteHistory::setDesiredRetention(double retention) {
    const review::FsrsScheduler scheduler(retention, scheduler_.learnerDay());
    if (scheduler.desiredRetention() != scheduler_.desiredRetention()) {
        scheduler_ = scheduler;
        settingsChanged_ = true;
    }
}

void SqliteHistory::setDayStart(int hour) {
    const review::LearnerDay day(zone_, hour);
    if (day.id() != scheduler_.learnerDay().id()) {
        scheduler_ = review::FsrsScheduler(scheduler_.desiredRetention(), day);
        dayStart_ = hour >= 0 && hour <= 23 ? hour : review::LearnerDay::kDefaultStartHour;
        settingsChanged_ = true;
    }
}

QString SqliteHistory::reviewsUnavailable() {
    if (notYetCreated()) {
        return creationRefused();
    }
    if (QString reason = openReviews(); !reason.isEmpty()) {
        return reason;
    }
    if (readOnly_) {
        return kUnavailableReadOnly;
    }
    // A locked or unwritable file opens and reads well; only a write tells.
    {
        Transaction transaction(database());
        if (!transaction.reason().isEmpty()) {
            return transaction.reason();
        }
        stateCache_.begin(database());
        QSqlQuery query(database());
        if (!query.exec(QStringLiteral("INSERT OR REPLACE INTO review_meta VALUES ('probe', 1)"))) {
            return failure(query);
        }
        stateCache_.written(database());
    }
    // Rolled back, and no word was written: the states at hand are still the history's.
    stateCache_.end(true);
    return {};
}

// Inside the caller's transaction: the states are to follow this program's settings, every word
// replayed from the first on.
QString SqliteHistory::writeTarget() {
    QSqlQuery query(database());
    query.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO review_meta VALUES ('retention', ?), ('scheduler', ?),"
        " ('day', ?), ('day_start', ?), ('replay_from', 0), ('due_flags', 1)"));
    query.addBindValue(scheduler_.desiredRetention());
    query.addBindValue(kSchedulerVersion);
    query.addBindValue(scheduler_.learnerDay().id());
    query.addBindValue(dayStart_);
    return query.exec() ? QString() : failure(query);
}

// Inside the caller's transaction. Other machines' answers merged before they were flagged as
// due are flagged by replaying every word once.
QString SqliteHistory::flagDueAnswers() {
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral(
            "INSERT INTO review_meta SELECT 'replay_from', 0 WHERE EXISTS (SELECT 1 FROM"
            " sync_machines) ON CONFLICT(name) DO UPDATE SET value = 0"))) {
        return failure(query);
    }
    return query.exec(QStringLiteral("INSERT OR REPLACE INTO review_meta VALUES ('due_flags', 1)"))
               ? QString()
               : failure(query);
}

namespace detail {

ReviewTarget readTarget(const QSqlDatabase& db, QString& reason) {
    ReviewTarget target;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT name, value FROM review_meta"))) {
        reason = failure(query);
        return target;
    }
    while (query.next()) {
        const QString name = query.value(0).toString();
        if (name == QLatin1String("retention")) {
            target.retention = query.value(1).toDouble();
        } else if (name == QLatin1String("scheduler")) {
            target.scheduler = query.value(1).toInt();
        } else if (name == QLatin1String("day")) {
            target.day = query.value(1).toString();
        } else if (name == QLatin1String("day_start")) {
            target.dayStart = query.value(1).toInt();
        } else if (name == QLatin1String("ahead") && !query.value(1).isNull()) {
            target.ahead = query.value(1).toLongLong();
        } else if (name == QLatin1String("due_flags")) {
            target.dueFlags = true;
        } else if (name == QLatin1String("replay_from")) {
            target.replaying = true;
            target.replayFrom = query.value(1).toLongLong();
        }
    }
    return target;
}

namespace {

// A word replayed outside the write lock, with what its stored state was then.
struct Replayed {
    qint64 id = 0;
    review::CardState state;
    QVariantList was;                 // reps, last_review, due
    std::vector<FlagChange> flags{};  // those of its reviews that change
};

bool sameTarget(const ReviewTarget& a, const ReviewTarget& b) {
    return std::tuple(a.replaying, a.replayFrom, a.retention, a.scheduler, a.day, a.dayStart) ==
           std::tuple(b.replaying, b.replayFrom, b.retention, b.scheduler, b.day, b.dayStart);
}

// The words from the marker on replayed in one snapshot, until the budget is spent.
ReplayStep readAndReplay(const QSqlDatabase& db, const QTimeZone& zone, review::ReviewTime until,
                         std::chrono::milliseconds budget, ReviewTarget& target,
                         std::vector<Replayed>& replayed) {
    ReplayStep step;
    QElapsedTimer spent;
    spent.start();
    target = readTarget(db, step.reason);
    if (!step.reason.isEmpty()) {
        return step;
    }
    if (!target.replaying || target.scheduler != kSchedulerVersion || target.dayStart < 0) {
        step.finished = true;  // nothing to do, or a newer program's to do
        return step;
    }
    const review::FsrsScheduler scheduler(target.retention,
                                          review::LearnerDay(zone, target.dayStart));
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT MAX(word_id) FROM reviews")) || !query.next()) {
        step.reason = failure(query);
        return step;
    }
    step.last = query.value(0).toLongLong();
    query.finish();
    // Read without a QVariant for each value: a merge replays a million reviews this way.
    Statement rows(handleOf(db),
                   "SELECT r.word_id, r.at, r.grade, w.reps, w.last_review, w.due, r.id,"
                   " r.file_id, r.was_due FROM reviews r JOIN words w ON w.id = r.word_id"
                   " WHERE r.word_id >= ?1 ORDER BY r.word_id, r.at, r.id");
    rows.bind(1, target.replayFrom);
    DueCheck check(scheduler.learnerDay());
    const auto replay = [&](Replayed& word, std::vector<FlaggedReview>& log) {
        word.state = replayFlagged(scheduler, check, log, until, word.flags);
        log.clear();
    };
    std::vector<FlaggedReview> log;
    step.finished = true;
    while (rows.next()) {
        const qint64 wordId = rows.column(0);
        if (replayed.empty() || wordId != replayed.back().id) {
            if (!replayed.empty()) {
                replay(replayed.back(), log);
                if (spent.elapsed() >= budget.count()) {
                    step.finished = false;
                    step.next = wordId;
                    return step;
                }
            }
            replayed.push_back({wordId, {}, {rows.column(3), rows.column(4), rows.column(5)}});
        }
        log.push_back({rows.column(6), timeOf(rows.column(1)),
                       static_cast<review::Grade>(rows.column(2)), rows.column(7),
                       rows.column(8) != 0});
    }
    if (!rows.error().isEmpty()) {
        step.reason = rows.error();
        return step;
    }
    if (!replayed.empty()) {
        replay(replayed.back(), log);
    }
    step.next = step.last + 1;
    return step;
}

}  // namespace

ReplayStep replayStep(const QSqlDatabase& db, const QTimeZone& zone, review::ReviewTime until,
                      std::chrono::milliseconds budget) {
    // Read and replayed without the write lock...
    ReviewTarget target;
    std::vector<Replayed> replayed;
    ReplayStep step;
    {
        QSqlQuery snapshot(db);
        if (!snapshot.exec(QStringLiteral("BEGIN"))) {
            step.reason = failure(snapshot);
            return step;
        }
        step = readAndReplay(db, zone, until, budget, target, replayed);
        snapshot.exec(QStringLiteral("ROLLBACK"));
        const bool ours =
            target.replaying && target.scheduler == kSchedulerVersion && target.dayStart >= 0;
        if (!step.reason.isEmpty() || !ours) {
            return step;
        }
    }
    if (SqliteHistory::replayStepRead != nullptr) {
        SqliteHistory::replayStepRead();
    }
    // ...and written under it: a word another program changed meanwhile (an answer, a rename) is
    // replayed again there.
    Transaction transaction(db);
    if (transaction.refused(step)) {
        return step;
    }
    if (const ReviewTarget now = readTarget(db, step.reason); !step.reason.isEmpty()) {
        return step;
    } else if (!sameTarget(now, target)) {
        step.reason = QStringLiteral("the replay was changed meanwhile");
        step.busy = true;  // taken again from where it stands now
        return step;
    }
    const review::FsrsScheduler scheduler(target.retention,
                                          review::LearnerDay(zone, target.dayStart));
    QSqlQuery update(db);
    update.prepare(QStringLiteral(
        "UPDATE words SET phase = ?, stability = ?, difficulty = ?, due = ?, last_review = ?,"
        " elapsed_days = ?, scheduled_days = ?, learning_step = ?, reps = ?, lapses = ?"
        " WHERE id = ? AND reps = ? AND last_review = ? AND due = ?"));
    // The flags of the words written as replayed, with their files' sums once at the end.
    std::vector<FlagChange> flags;
    for (const Replayed& word : replayed) {
        bindState(update, word.state);
        update.addBindValue(word.id);
        for (const QVariant& value : word.was) {
            update.addBindValue(value);
        }
        if (!update.exec()) {
            step.reason = failure(update);
            return step;
        }
        if (update.numRowsAffected() == 0) {
            if (step.reason = replayWord(db, scheduler, until, word.id); !step.reason.isEmpty()) {
                return step;
            }
        } else {
            flags.insert(flags.end(), word.flags.begin(), word.flags.end());
        }
    }
    if (step.reason = writeFlags(handleOf(db), flags); !step.reason.isEmpty()) {
        return step;
    }
    QSqlQuery query(db);
    if (step.finished) {
        query.exec(QStringLiteral("DELETE FROM review_meta WHERE name = 'replay_from'"));
    } else {
        query.prepare(
            QStringLiteral("UPDATE review_meta SET value = ? WHERE name = 'replay_from'"));
        query.addBindValue(step.next);
        query.exec();
    }
    if (query.lastError().isValid()) {
        step.reason = failure(query);
        return step;
    }
    transaction.commit(step);
    return step;
}

}  // namespace detail

// The states matched to the clock: a review it has reached counts, one it has not (the clock was
// set ahead when it was given, or has been set back since) does not. Only a clock set back or a
// review reached costs a look at the words.
QString SqliteHistory::settleReviewsAhead() {
    const review::ReviewTime now = clock_->now();
    const review::ReviewTime until = now + review::kAheadOfTheClock;
    const bool setBack = !settledAt_ || now < *settledAt_;
    const bool reached = aheadFrom_ && *aheadFrom_ <= until;
    if (!setBack && !reached) {
        settledAt_ = now;
        return {};
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    std::vector<qint64> words;
    const auto collect = [&](const QString& select, review::ReviewTime after) {
        query.prepare(select);
        query.addBindValue(millis(after));
        if (!query.exec()) {
            return false;
        }
        while (query.next()) {
            words.push_back(query.value(0).toLongLong());
        }
        return true;
    };
    if (setBack && !collect(QStringLiteral("SELECT id FROM words WHERE last_review > ?"), until)) {
        return failure(query);
    }
    if (reached && !collect(QStringLiteral("SELECT DISTINCT word_id FROM reviews WHERE at >= ?"),
                            *aheadFrom_)) {
        return failure(query);
    }
    query.finish();
    if (words.empty() && !reached) {
        settledAt_ = now;
        return {};
    }
    Transaction transaction(database());
    if (!transaction.reason().isEmpty()) {
        return transaction.reason();
    }
    for (const qint64 word : words) {
        if (QString reason = replayWord(word); !reason.isEmpty()) {
            return reason;
        }
    }
    query.prepare(QStringLiteral("SELECT MIN(at) FROM reviews WHERE at > ?"));
    query.addBindValue(millis(until));
    if (!query.exec() || !query.next()) {
        return failure(query);
    }
    const std::optional<review::ReviewTime> aheadFrom =
        query.value(0).isNull() ? std::nullopt : std::optional(timeOf(query.value(0)));
    query.finish();
    aheadFrom_ = aheadFrom;
    if (QString reason = writeAhead(); !reason.isEmpty()) {
        return reason;
    }
    if (QString reason = transaction.commit(); !reason.isEmpty()) {
        return reason;
    }
    settledAt_ = now;
    return {};
}

QString SqliteHistory::writeAhead() {
    QSqlQuery query(database());
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO review_meta VALUES ('ahead', ?)"));
    query.addBindValue(aheadFrom_ ? QVariant(millis(*aheadFrom_))
                                  : QVariant(QMetaType::fromType<qint64>()));
    return query.exec() ? QString() : failure(query);
}

// Inside the caller's transaction.
QString SqliteHistory::insertReview(const review::ReviewRecord& review) {
    QSqlQuery query(database());
    const qint64 at = millis(review.time);
    query.prepare(QStringLiteral(
        "INSERT INTO review_files (word_file, last_review) VALUES (?, ?) ON CONFLICT(word_file)"
        " DO UPDATE SET hidden = 0, last_review = max(last_review, excluded.last_review)"));
    query.addBindValue(review.wordFile);
    query.addBindValue(at);
    if (!query.exec()) {
        return failure(query);
    }
    query.prepare(QStringLiteral("SELECT id FROM review_files WHERE word_file = ?"));
    query.addBindValue(review.wordFile);
    if (!query.exec() || !query.next()) {
        return failure(query);
    }
    const qint64 fileId = query.value(0).toLongLong();

    const QString key = QString::fromLatin1(review.wordKey.toHex());
    query.prepare(QStringLiteral("SELECT id, %1 FROM words WHERE word_key = ?")
                      .arg(QLatin1String(kStateColumns)));
    query.addBindValue(key);
    if (!query.exec()) {
        return failure(query);
    }
    qint64 wordId = -1;
    review::CardState before;
    if (query.next()) {
        wordId = query.value(0).toLongLong();
        before = stateAt(query, 1);
    }
    query.finish();
    // An answer older than the word's last one (another program's clock, a pending drill) is
    // placed where it belongs by replaying the word's reviews.
    const bool inOrder = before.isNew() || review.time >= before.lastReview;
    // Kept, but it decides nothing until the clock reaches it.
    const bool ahead = review.time > horizon();
    const review::CardState after =
        ahead ? before : scheduler_.review(before, review.time, review.grade);
    if (wordId < 0) {
        query.prepare(QStringLiteral("INSERT INTO words (word_key, %1)"
                                     " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                          .arg(QLatin1String(kStateColumns)));
        query.addBindValue(key);
        bindState(query, after);
        if (!query.exec()) {
            return failure(query);
        }
        wordId = query.lastInsertId().toLongLong();
        stateCache_.put(review.wordKey, wordId, after);
    } else if (inOrder && !ahead) {
        query.prepare(QStringLiteral(
            "UPDATE words SET phase = ?, stability = ?, difficulty = ?, due = ?, last_review = ?,"
            " elapsed_days = ?, scheduled_days = ?, learning_step = ?, reps = ?, lapses = ?"
            " WHERE id = ?"));
        bindState(query, after);
        query.addBindValue(wordId);
        if (!query.exec()) {
            return failure(query);
        }
        stateCache_.put(review.wordKey, wordId, after);
    }
    const bool due = !ahead && detail::DueCheck(scheduler_.learnerDay())(before, review.time);
    const bool right = review.grade != review::Grade::Again;
    query.prepare(
        QStringLiteral("INSERT INTO reviews (at, word_id, grade, answer_ms, file_id,"
                       " was_due) VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(at);
    query.addBindValue(wordId);
    query.addBindValue(static_cast<int>(review.grade));
    query.addBindValue(review.answerMilliseconds);
    query.addBindValue(fileId);
    query.addBindValue(due ? 1 : 0);
    if (!query.exec()) {
        return failure(query);
    }
    query.prepare(QStringLiteral("INSERT OR IGNORE INTO file_words VALUES (?, ?)"));
    query.addBindValue(fileId);
    query.addBindValue(wordId);
    if (!query.exec()) {
        return failure(query);
    }
    if (due) {
        query.prepare(
            QStringLiteral("UPDATE review_files SET due_reviews = due_reviews + 1,"
                           " due_right = due_right + ? WHERE id = ?"));
        query.addBindValue(right ? 1 : 0);
        query.addBindValue(fileId);
        if (!query.exec()) {
            return failure(query);
        }
    }
    if (ahead) {
        if (aheadFrom_ && *aheadFrom_ <= review.time) {
            return {};
        }
        aheadFrom_ = review.time;
        return writeAhead();
    }
    return inOrder ? QString() : replayWord(wordId);
}

QString SqliteHistory::replayWord(qint64 wordId) {
    stateCache_.forget();  // a word known here by its id only
    return detail::replayWord(database(), scheduler_, horizon(), wordId);
}

namespace detail {

QString reviewLog(const QSqlDatabase& db, qint64 wordId, std::vector<review::Review>& log) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT at, grade FROM reviews WHERE word_id = ? ORDER BY at, id"));
    query.addBindValue(wordId);
    if (!query.exec()) {
        return failure(query);
    }
    while (query.next()) {
        log.push_back({timeOf(query.value(0)), static_cast<review::Grade>(query.value(1).toInt())});
    }
    return {};
}

QString replayWord(const QSqlDatabase& db, const review::FsrsScheduler& scheduler,
                   review::ReviewTime until, qint64 wordId) {
    sqlite3* const handle = handleOf(db);
    std::vector<FlaggedReview> reviews;
    {
        Statement rows(handle,
                       "SELECT id, at, grade, file_id, was_due FROM reviews WHERE word_id = ?1"
                       " ORDER BY at, id");
        rows.bind(1, wordId);
        while (rows.next()) {
            reviews.push_back({rows.column(0), timeOf(rows.column(1)),
                               static_cast<review::Grade>(rows.column(2)), rows.column(3),
                               rows.column(4) != 0});
        }
        if (!rows.error().isEmpty()) {
            return rows.error();
        }
    }
    DueCheck check(scheduler.learnerDay());
    std::vector<FlagChange> changes;
    const review::CardState state = replayFlagged(scheduler, check, reviews, until, changes);
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "UPDATE words SET phase = ?, stability = ?, difficulty = ?, due = ?, last_review = ?,"
        " elapsed_days = ?, scheduled_days = ?, learning_step = ?, reps = ?, lapses = ?"
        " WHERE id = ?"));
    bindState(query, state);
    query.addBindValue(wordId);
    return query.exec() ? writeFlags(handle, changes) : failure(query);
}

review::FsrsScheduler schedulerOf(const ReviewTarget& target, const QTimeZone& zone,
                                  const review::FsrsScheduler& fallback) {
    if (target.scheduler != kSchedulerVersion || target.dayStart < 0 || target.retention <= 0) {
        return fallback;
    }
    return review::FsrsScheduler(target.retention, review::LearnerDay(zone, target.dayStart));
}

}  // namespace detail

QString SqliteHistory::recordReviews(std::span<const review::ReviewRecord> reviews) {
    tellRecorded(reviews);
    if (QString reason = openReviews(); !reason.isEmpty()) {
        return reason;
    }
    if (readOnly_) {
        return kUnavailableReadOnly;
    }
    // Another program's replay takes the lock in short steps, but a loaded machine can stretch
    // one, and this program may not know yet that one has started: an answer waits out a few
    // before it is given up.
    std::optional<Transaction> transaction;
    for (int attempt = 0; attempt < kReviewAttempts; ++attempt) {
        transaction.emplace(database());
        if (!transaction->busy()) {
            break;
        }
    }
    if (!transaction->reason().isEmpty()) {
        return transaction->reason();
    }
    // Another program may have changed what the states follow since: taken over before
    // anything is scheduled.
    if (QString reason = followTarget(true); !reason.isEmpty()) {
        return reason;
    }
    stateCache_.begin(database());
    stateCache_.fileWordsWritten();
    for (const review::ReviewRecord& review : reviews) {
        if (QString reason = insertReview(review); !reason.isEmpty()) {
            stateCache_.end(false);
            return reason;
        }
    }
    stateCache_.written(database());
    QString reason = transaction->commit();
    stateCache_.end(reason.isEmpty());
    return reason;
}

QList<review::WordState> SqliteHistory::wordStates(const QList<QByteArray>& keys) {
    QList<review::WordState> states(keys.size());
    eachState(keys, [&states](qsizetype i, const review::CardState& state) { states[i] = state; });
    return states;
}

bool SqliteHistory::holdsNoWords() {
    return notYetCreated() || (statesAtHand() && stateCache_.empty());
}

review::ReviewCounts SqliteHistory::reviewCounts(const QList<QByteArray>& keys,
                                                 review::ReviewTime now) {
    return !keys.isEmpty() && statesAtHand() ? countKnown(keys, now)
                                             : review::ReviewCounts{0, int(keys.size())};
}

QList<review::ReviewCounts> SqliteHistory::reviewCountsEach(const QList<QList<QByteArray>>& lists,
                                                            review::ReviewTime now) {
    const bool read = !lists.isEmpty() && statesAtHand();
    QList<review::ReviewCounts> counts;
    counts.reserve(lists.size());
    for (const QList<QByteArray>& keys : lists) {
        counts.append(read ? countKnown(keys, now) : review::ReviewCounts{0, int(keys.size())});
    }
    return counts;
}

review::ReviewCounts SqliteHistory::countKnown(const QList<QByteArray>& keys,
                                               review::ReviewTime now) {
    const review::ReviewTime endOfDay = scheduler_.learnerDay().endOfDay(now);
    review::ReviewCounts counts{0, static_cast<int>(keys.size())};
    eachKnownState(keys, [&](qsizetype, const review::CardState& state) {
        if (!state.isNew()) {
            --counts.fresh;
            counts.due += review::isDue(state, now, endOfDay) ? 1 : 0;
        }
    });
    return counts;
}

int SqliteHistory::newToday(const QList<QByteArray>& keys, review::ReviewTime now) {
    // A word's last review is its latest answer: one first answered today was last answered
    // today, so only the words answered today need their first answer looked up, seldom more
    // than a few dozen.
    const review::LearnerDay& day = scheduler_.learnerDay();
    const qint64 dayStart = millis(day.start(day.date(now)));
    QList<QByteArray> answeredToday;
    eachState(keys, [&](qsizetype i, const review::CardState& state) {
        if (millis(state.lastReview) >= dayStart) {
            answeredToday.append(keys[i]);
        }
    });
    if (answeredToday.isEmpty()) {
        return 0;
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT COUNT(*) FROM json_each(?) j JOIN words w ON w.word_key = j.value"
                       " WHERE (SELECT MIN(at) FROM reviews r WHERE r.word_id = w.id) >= ?"));
    query.addBindValue(keyArray(answeredToday));
    query.addBindValue(dayStart);
    if (!query.exec() || !query.next()) {
        readFailed(failure(query));
        return 0;
    }
    return query.value(0).toInt();
}

QList<review::FileReviews> SqliteHistory::reviewFiles(review::ReviewTime now) {
    QList<review::FileReviews> files;
    QString reason = openReviews();
    if (reason.isEmpty()) {
        reason = stateCache_.refresh(database(), true);
    }
    if (!reason.isEmpty()) {
        readFailed(reason);
        return files;
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, word_file, last_review FROM review_files"
                                   " WHERE hidden = 0 ORDER BY last_review DESC, word_file"))) {
        readFailed(failure(query));
    }
    // Due now: a word in review all day on its due date, any other from its instant.
    const review::ReviewTime endOfDay = scheduler_.learnerDay().endOfDay(now);
    const detail::WordStateCache::FileWords& fileWords = stateCache_.fileWords();
    while (query.next()) {
        review::FileReviews file{query.value(1).toString(), 0, 0, timeOf(query.value(2))};
        if (const auto words = fileWords.constFind(query.value(0).toLongLong());
            words != fileWords.cend()) {
            file.reviewed = static_cast<int>(words->size());
            for (const qsizetype position : *words) {
                const review::CardState& state = stateCache_.at(position);
                file.due += state.due <= now ||
                            (state.phase == review::CardPhase::Review && state.due < endOfDay);
            }
        }
        files.append(std::move(file));
    }
    return files;
}

QString SqliteHistory::removeReviewFile(const QString& wordFile) {
    if (QString reason = openReviews(); !reason.isEmpty()) {
        return reason;
    }
    if (readOnly_) {
        return kUnavailableReadOnly;
    }
    QSqlQuery query(database());
    query.prepare(QStringLiteral("UPDATE review_files SET hidden = 1 WHERE word_file = ?"));
    query.addBindValue(wordFile);
    return query.exec() ? QString() : failure(query);
}

QList<int> SqliteHistory::forecast(review::ReviewTime now, int days, const QString& wordFile) {
    if (wordFile.isEmpty()) {
        // Words some file holds: an edited word's old text, left by a rename, is counted in
        // its new one.
        return dueByDay(now, days,
                        QStringLiteral("SELECT due FROM words WHERE phase <> 0 AND due < ? AND"
                                       " id IN (SELECT word_id FROM file_words)"),
                        {});
    }
    return dueByDay(now, days,
                    QStringLiteral("SELECT w.due FROM review_files f"
                                   " JOIN file_words fw ON fw.file_id = f.id"
                                   " JOIN words w ON w.id = fw.word_id"
                                   " WHERE f.word_file = ? AND w.phase <> 0 AND w.due < ?"),
                    {wordFile});
}

QList<int> SqliteHistory::forecastOf(review::ReviewTime now, int days,
                                     const QList<QByteArray>& keys) {
    QList<int> counts(std::max(days, 0), 0);
    if (days <= 0) {
        return counts;
    }
    const std::vector<qint64> ends = dayEnds(now, days);
    eachState(keys, [&](qsizetype, const review::CardState& state) {
        if (!state.isNew()) {
            countDue(counts, ends, millis(state.due));
        }
    });
    return counts;
}

std::vector<qint64> SqliteHistory::dayEnds(review::ReviewTime now, int days) const {
    const review::LearnerDay& learnerDay = scheduler_.learnerDay();
    const QDate today = learnerDay.date(now);
    std::vector<qint64> ends;
    for (int day = 1; day <= days; ++day) {
        ends.push_back(millis(learnerDay.start(today.addDays(day))));
    }
    return ends;
}

QList<int> SqliteHistory::dueByDay(review::ReviewTime now, int days, const QString& select,
                                   const QVariantList& values) {
    QList<int> counts(std::max(days, 0), 0);
    if (days <= 0) {
        return counts;
    }
    if (const QString reason = openReviews(); !reason.isEmpty()) {
        readFailed(reason);
        return counts;
    }
    const std::vector<qint64> ends = dayEnds(now, days);
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(select);
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    query.addBindValue(ends.back());
    if (!query.exec()) {
        readFailed(failure(query));
    }
    while (query.next()) {
        countDue(counts, ends, query.value(0).toLongLong());
    }
    return counts;
}

review::MeasuredRetention SqliteHistory::measuredRetention(const QString& wordFile) {
    return retentionOf(
        QStringLiteral("SELECT TOTAL(due_reviews), TOTAL(due_right) FROM review_files %1")
            .arg(wordFile.isEmpty() ? QString() : QStringLiteral("WHERE word_file = ?")),
        wordFile.isEmpty() ? QVariantList() : QVariantList{wordFile});
}

review::MeasuredRetention SqliteHistory::measuredRetentionOf(const QString& wordFile,
                                                             const QList<QByteArray>& keys) {
    // The keys as one JSON array of hexadecimal texts, read by SQLite's json_each.
    QByteArray array("[");
    for (const QByteArray& key : keys) {
        array += (array.size() > 1 ? ",\"" : "\"") + key.toHex() + '"';
    }
    array += ']';
    return retentionOf(
        QStringLiteral(
            "SELECT COUNT(*), TOTAL(r.grade <> 1) FROM reviews r JOIN words w ON w.id = r.word_id"
            " WHERE r.was_due AND r.file_id = (SELECT id FROM review_files WHERE word_file = ?)"
            " AND w.word_key IN (SELECT value FROM json_each(?))"),
        {wordFile, QString::fromLatin1(array)});
}

// sql selects the due reviews and the right ones among them.
review::MeasuredRetention SqliteHistory::retentionOf(const QString& sql,
                                                     const QVariantList& values) {
    review::MeasuredRetention retention;
    if (const QString reason = openReviews(); !reason.isEmpty()) {
        readFailed(reason);
        return retention;
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(sql);
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    if (!query.exec() || !query.next()) {
        readFailed(failure(query));
        return retention;
    }
    retention.due = query.value(0).toLongLong();
    retention.right = query.value(1).toLongLong();
    return retention;
}

review::WordReviews SqliteHistory::wordReviews(const QByteArray& key) {
    review::WordReviews word;
    if (QString reason = openReviews(); !reason.isEmpty()) {
        readFailed(reason);
        word.error = std::move(reason);
        return word;
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT w.id, %1, (SELECT COUNT(*) FROM reviews r"
                                 " WHERE r.word_id = w.id), (SELECT COUNT(*) FROM reviews r"
                                 " WHERE r.word_id = w.id AND r.grade = 1)"
                                 " FROM words w WHERE w.word_key = ?")
                      .arg(QLatin1String(kStateColumns)));
    // An edited word whose rename waits for a program that can write: the reviews it keeps.
    // A few steps at most, for a word edited and saved again meanwhile.
    QByteArray asked = key;
    for (int step = 0; step < 4 && !asked.isEmpty(); ++step) {
        query.addBindValue(QString::fromLatin1(asked.toHex()));
        if (!query.exec()) {
            word.error = failure(query);
            readFailed(word.error);
            return word;
        }
        if (query.next()) {
            word.state = stateAt(query, 1);
            word.reviews = query.value(11).toInt();
            word.missed = query.value(12).toInt();
            // Not yet matched to the clock by the drill program: read as it will match it.
            if (access_ == Access::ReadOnly &&
                (word.state->lastReview > horizon() || (aheadFrom_ && *aheadFrom_ <= horizon()))) {
                const qint64 id = query.value(0).toLongLong();
                query.finish();
                std::vector<review::Review> log;
                if (detail::reviewLog(database(), id, log).isEmpty()) {
                    word.state = scheduler_.replay(log, horizon());
                }
            }
            return word;
        }
        asked = renamedFrom(asked);
    }
    return word;
}

QString SqliteHistory::replayReviews() {
    if (QString reason = open(); !reason.isEmpty()) {
        return reason;
    }
    if (readOnly_) {
        return kUnavailableReadOnly;
    }
    {
        Transaction transaction(database());
        if (!transaction.reason().isEmpty()) {
            return transaction.reason();
        }
        if (QString reason = writeTarget(); !reason.isEmpty()) {
            return reason;
        }
        if (QString reason = transaction.commit(); !reason.isEmpty()) {
            return reason;
        }
    }
    settingsChanged_ = false;
    replaying_ = true;
    for (;;) {
        const detail::ReplayStep step =
            detail::replayStep(database(), zone_, horizon(), detail::kReplayStepBudget);
        if (!step.reason.isEmpty()) {
            return step.reason;
        }
        if (step.finished) {
            replaying_ = false;
            return {};
        }
    }
}

qint64 SqliteHistory::reviewsAhead() {
    if (notYetCreated()) {
        return 0;
    }
    if (const QString reason = openReviews(); !reason.isEmpty()) {
        readFailed(reason);
        return 0;
    }
    if (!aheadFrom_) {
        return 0;
    }
    QSqlQuery query(database());
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM reviews WHERE at > ?"));
    query.addBindValue(millis(horizon()));
    if (!query.exec() || !query.next()) {
        readFailed(failure(query));
        return 0;
    }
    return query.value(0).toLongLong();
}

// The measured retention forgets what they added to it, and a word file's last review is one of
// those left.
QString SqliteHistory::putReviewsAheadAside() {
    if (QString reason = openReviews(); !reason.isEmpty()) {
        return reason;
    }
    if (readOnly_) {
        return kUnavailableReadOnly;
    }
    Transaction transaction(database());
    if (!transaction.reason().isEmpty()) {
        return transaction.reason();
    }
    const qint64 until = millis(horizon());
    const struct {
        const char* sql;
        int times;  // the horizon is bound this many times
    } steps[] = {
        {"CREATE TABLE IF NOT EXISTS reviews_aside (id INTEGER PRIMARY KEY, at INTEGER NOT NULL,"
         " word_id INTEGER NOT NULL, grade INTEGER NOT NULL, answer_ms INTEGER NOT NULL,"
         " file_id INTEGER NOT NULL, was_due INTEGER NOT NULL)",
         0},
        {"UPDATE review_files SET due_reviews = due_reviews - (SELECT COUNT(*) FROM reviews r"
         " WHERE r.file_id = review_files.id AND r.at > ? AND r.was_due), due_right = due_right"
         " - (SELECT COUNT(*) FROM reviews r WHERE r.file_id = review_files.id AND r.at > ?"
         " AND r.was_due AND r.grade <> 1) WHERE last_review > ?",
         3},
        {"INSERT INTO reviews_aside SELECT id, at, word_id, grade, answer_ms, file_id, was_due"
         " FROM reviews WHERE at > ?",
         1},
        {"DELETE FROM reviews WHERE at > ?", 1},
        {"UPDATE review_files SET last_review = COALESCE((SELECT MAX(at) FROM reviews r"
         " WHERE r.file_id = review_files.id), 0) WHERE last_review > ?",
         1},
    };
    QSqlQuery query(database());
    for (const auto& step : steps) {
        query.prepare(QString::fromLatin1(step.sql));
        for (int i = 0; i < step.times; ++i) {
            query.addBindValue(until);
        }
        if (!query.exec()) {
            return failure(query);
        }
    }
    aheadFrom_.reset();
    if (QString reason = writeAhead(); !reason.isEmpty()) {
        return reason;
    }
    return transaction.commit();
}

}  // namespace drill::history
