// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Edited words in the SQLite history. A rename copies the old word's reviews to the new word, so
// that every replay keeps them, and the old word stays as other files know it. Renames are taken
// in before any review is read or recorded, so the old word's later reviews stay its own.
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include "drill/history/sqlite_detail.h"
#include "drill/history/sqlite_history.h"

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
        Transaction transaction(database());
        for (const review::WordRename& rename : renames) {
            if (QString reason = applyRename(rename); !reason.isEmpty()) {
                return reason;
            }
        }
        return transaction.reason().isEmpty() ? transaction.commit() : transaction.reason();
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

void SqliteHistory::applyRenames() {
    if (readOnly_ || inMemory() || !QFileInfo::exists(renamesPath())) {
        return;
    }
    const QList<review::WordRename> renames = review::readRenames(renamesPath());
    Transaction transaction(database());
    if (!transaction.reason().isEmpty()) {
        return;  // busy: they wait for the next open
    }
    for (const review::WordRename& rename : renames) {
        if (!applyRename(rename).isEmpty()) {
            return;
        }
    }
    if (transaction.commit().isEmpty()) {
        review::removeRenames(renamesPath(), renames.size());
    }
}

// Inside the caller's transaction.
QString SqliteHistory::applyRename(const review::WordRename& rename) {
    QSqlQuery query(database());
    if (!query.exec(QString::fromLatin1(kRenamesTable))) {
        return failure(query);
    }
    query.prepare(QStringLiteral("INSERT OR IGNORE INTO word_renames VALUES (?, ?, ?, ?)"));
    const qint64 at = rename.time.time_since_epoch().count();
    query.addBindValue(at);
    query.addBindValue(rename.wordFile);
    query.addBindValue(hex(rename.oldKey));
    query.addBindValue(hex(rename.newKey));
    if (!query.exec()) {
        return failure(query);
    }
    const qint64 oldId = wordId(query, hex(rename.oldKey));
    if (query.numRowsAffected() == 0 || oldId < 0) {
        return {};
    }
    query.finish();
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
                       " WHERE r.word_id = ? AND NOT EXISTS (SELECT 1 FROM reviews s"
                       "  WHERE s.word_id = ? AND s.at = r.at AND s.grade = r.grade)"));
    query.addBindValue(newId);
    query.addBindValue(oldId);
    query.addBindValue(newId);
    if (!query.exec()) {
        return failure(query);
    }
    // The edited file holds the new word in place of the old one.
    query.prepare(
        QStringLiteral("UPDATE OR IGNORE file_words SET word_id = ? WHERE word_id = ?"
                       " AND file_id = (SELECT id FROM review_files WHERE word_file = ?)"));
    query.addBindValue(newId);
    query.addBindValue(oldId);
    query.addBindValue(rename.wordFile);
    if (!query.exec()) {
        return failure(query);
    }
    return replayWord(newId);
}

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
