// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Edited words in the SQLite history. A rename copies the old word's reviews to the new word, so
// that every replay keeps them, and the old word stays as other files know it. Renames are taken
// in before any review is read or recorded, so the old word's later reviews stay its own.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include "drill/history/review_replay.h"
#include "drill/history/sqlite_detail.h"
#include "drill/history/sqlite_history.h"

#include "review/word_key.h"

namespace drill::history {

using detail::failure;
using detail::Transaction;

namespace {

QString hex(const QByteArray& key) {
    return QString::fromLatin1(key.toHex());
}

// Made when first needed: a history that never saw an edited word has none. A rename already
// taken in (the renames file could not be removed after its commit) is not taken in twice.
constexpr const char* kRenamesTable =
    "CREATE TABLE IF NOT EXISTS word_renames (at INTEGER NOT NULL, word_file TEXT NOT NULL,"
    " old_key TEXT NOT NULL, new_key TEXT NOT NULL,"
    " PRIMARY KEY (word_file, old_key, new_key, at)) WITHOUT ROWID";

// The id of a word, or -1.
qint64 wordId(QSqlQuery& query, const QString& key) {
    query.prepare(QStringLiteral("SELECT id FROM words WHERE word_key = ?"));
    query.addBindValue(key);
    return query.exec() && query.next() ? query.value(0).toLongLong() : -1;
}

}  // namespace

QString SqliteHistory::renameWords(std::span<const review::WordRename> renames) {
    if (renames.empty()) {
        return {};
    }
    if (inMemory()) {
        if (QString reason = openReviews(); !reason.isEmpty()) {
            return reason;
        }
        // No other connection sees a database in memory: all of them at once, here.
        return detail::renameStep(database(), zone_, scheduler_, horizon(),
                                  QList(renames.begin(), renames.end()), 0,
                                  std::chrono::milliseconds::max())
            .reason;
    }
    // No history yet: no reviews to follow.
    if (!QFileInfo::exists(path_)) {
        return {};
    }
    if (QString reason = review::appendRenames(renamesPath(), renames); !reason.isEmpty()) {
        return reason;
    }
    if (access_ == Access::ReadWrite) {
        openReviews();
    }
    return {};
}

// A few renames are taken in at once; the rest of a long list goes on beside the window, in
// short steps, with the replay that may follow.
void SqliteHistory::applyRenames() {
    if (readOnly_ || inMemory() || !QFileInfo::exists(renamesPath()) ||
        (replay_ && replay_->running())) {
        return;
    }
    const QList<review::WordRename> renames = review::readRenames(renamesPath());
    const detail::RenameStep step = detail::renameStep(database(), zone_, scheduler_, horizon(),
                                                       renames, 0, detail::kReplayStepBudget);
    if (!step.reason.isEmpty()) {
        return;  // busy: they wait for the next open
    }
    tellRecorded(std::span(renames));
    if (step.next >= renames.size()) {
        review::removeRenames(renamesPath(), renames.size());
        return;
    }
    if (!replay_) {
        replay_ = std::make_unique<BackgroundReplay>(path_, zone_);
    }
    replay_->start(horizon(), {renamesPath(), renames, step.next, scheduler_});
}

namespace detail {

namespace {

// Inside the caller's transaction. Only the answers given before the edit follow the word: those
// the old text is given later (in another file, or before a program got round to the rename)
// stay its own.
QString followWord(const QSqlDatabase& db, const review::FsrsScheduler& scheduler,
                   review::ReviewTime until, const review::WordRename& rename) {
    QSqlQuery query(db);
    const qint64 oldId = wordId(query, hex(rename.oldKey));
    if (oldId < 0) {
        return {};
    }
    query.finish();
    const qint64 at = rename.time.time_since_epoch().count();
    // The new word starts as the old one's copy and is replayed from its reviews below.
    query.prepare(QStringLiteral(
        "INSERT OR IGNORE INTO words (word_key, phase, stability, difficulty, due, last_review,"
        " elapsed_days, scheduled_days, learning_step, reps, lapses) SELECT ?, phase, stability,"
        " difficulty, due, last_review, elapsed_days, scheduled_days, learning_step, reps,"
        " lapses FROM words WHERE id = ?"));
    query.addBindValue(hex(rename.newKey));
    query.addBindValue(oldId);
    if (!query.exec()) {
        return failure(query);
    }
    const qint64 newId = wordId(query, hex(rename.newKey));
    query.finish();
    // An answer the new word has already (edited back and forth) is one answer, not two.
    query.prepare(
        QStringLiteral("INSERT INTO reviews (at, word_id, grade, answer_ms, file_id, was_due)"
                       " SELECT at, ?, grade, answer_ms, file_id, was_due FROM reviews r"
                       " WHERE r.word_id = ? AND r.at <= ? AND NOT EXISTS (SELECT 1 FROM"
                       "  reviews s WHERE s.word_id = ? AND s.at = r.at AND s.grade = r.grade)"));
    query.addBindValue(newId);
    query.addBindValue(oldId);
    query.addBindValue(at);
    query.addBindValue(newId);
    if (!query.exec()) {
        return failure(query);
    }
    // The edited file holds the new word in place of the old one, also where the new word was
    // answered there before the rename was taken in.
    query.prepare(
        QStringLiteral("UPDATE OR IGNORE file_words SET word_id = ? WHERE word_id = ?"
                       " AND file_id = (SELECT id FROM review_files WHERE word_file = ?)"));
    query.addBindValue(newId);
    query.addBindValue(oldId);
    query.addBindValue(rename.wordFile);
    if (!query.exec()) {
        return failure(query);
    }
    query.prepare(
        QStringLiteral("DELETE FROM file_words WHERE word_id = ?"
                       " AND file_id = (SELECT id FROM review_files WHERE word_file = ?)"));
    query.addBindValue(oldId);
    query.addBindValue(rename.wordFile);
    if (!query.exec()) {
        return failure(query);
    }
    return replayWord(db, scheduler, until, newId);
}

// Inside the caller's transaction. The word's reviews in every way of drilling follow it, each
// way's to its own schedule.
QString applyRename(const QSqlDatabase& db, const review::FsrsScheduler& scheduler,
                    review::ReviewTime until, const review::WordRename& rename) {
    QSqlQuery query(db);
    if (!query.exec(QString::fromLatin1(kRenamesTable))) {
        return failure(query);
    }
    query.prepare(QStringLiteral("INSERT OR IGNORE INTO word_renames VALUES (?, ?, ?, ?)"));
    query.addBindValue(qint64{rename.time.time_since_epoch().count()});
    query.addBindValue(rename.wordFile);
    query.addBindValue(hex(rename.oldKey));
    query.addBindValue(hex(rename.newKey));
    if (!query.exec()) {
        return failure(query);
    }
    if (query.numRowsAffected() == 0) {
        return {};
    }
    query.finish();
    for (int number = 0; number < common::kDrillWayCount; ++number) {
        const auto way = static_cast<common::DrillWay>(number);
        review::WordRename inWay = rename;
        inWay.oldKey = review::wayKey(rename.oldKey, way);
        inWay.newKey = review::wayKey(rename.newKey, way);
        if (QString reason = followWord(db, scheduler, until, inWay); !reason.isEmpty()) {
            return reason;
        }
    }
    return {};
}

}  // namespace

RenameStep renameStep(const QSqlDatabase& db, const QTimeZone& zone,
                      const review::FsrsScheduler& fallback, review::ReviewTime until,
                      const QList<review::WordRename>& renames, qsizetype from,
                      std::chrono::milliseconds budget) {
    RenameStep step;
    step.next = from;
    Transaction transaction(db);
    if (transaction.refused(step)) {
        return step;
    }
    const ReviewTarget target = readTarget(db, step.reason);
    if (!step.reason.isEmpty()) {
        return step;
    }
    const review::FsrsScheduler scheduler = schedulerOf(target, zone, fallback);
    QElapsedTimer spent;
    spent.start();
    for (; step.next < renames.size() && spent.elapsed() < budget.count(); ++step.next) {
        if (step.reason = applyRename(db, scheduler, until, renames.at(step.next));
            !step.reason.isEmpty()) {
            step.next = from;
            return step;
        }
    }
    transaction.commit(step);
    if (!step.reason.isEmpty()) {
        step.next = from;
    }
    return step;
}

}  // namespace detail

// The word a rename still waiting in the renames file made key of; empty when none.
QByteArray SqliteHistory::renamedFrom(const QByteArray& key) {
    const QList<review::WordRename> renames = review::readRenames(renamesPath());
    for (auto rename = renames.rbegin(); rename != renames.rend(); ++rename) {
        if (rename->newKey == key) {
            return rename->oldKey;
        }
    }
    return {};
}

}  // namespace drill::history
