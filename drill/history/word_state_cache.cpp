// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/word_state_cache.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>

#include "drill/history/sqlite_detail.h"
#include "drill/history/sqlite_statement.h"

namespace drill::history::detail {

QString WordStateCache::refresh(const QSqlDatabase& db, bool withFileWords) {
    const std::optional<Marks> marks = changeMarksOf(db);
    if (marks && loadedAt_ == marks) {
        if (!withFileWords || fileWordsRead_) {
            return {};
        }
        // The file words alone, if nothing has changed since the states were read.
        QSqlQuery begin(db);
        const bool transaction = begin.exec(QStringLiteral("BEGIN"));
        QString reason = QStringLiteral("changed");
        if (changeMarksOf(db) == loadedAt_) {
            reason = readFileWords(db);
        }
        if (transaction) {
            begin.exec(QStringLiteral("ROLLBACK"));
        }
        if (reason.isEmpty()) {
            return {};
        }
    }
    return load(db, withFileWords);
}

namespace {

int hexDigit(unsigned char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// From its hexadecimal text, as the words table keeps it; none when it is longer than a key.
std::optional<review::PackedWordKey> keyFromHex(const unsigned char* hex, int length) {
    std::array<char, review::PackedWordKey::kCapacity> key;
    if (length / 2 > qsizetype(key.size())) {
        return std::nullopt;
    }
    for (int i = 0; i < length / 2; ++i) {
        key[i] = char(hexDigit(hex[2 * i]) << 4 | hexDigit(hex[2 * i + 1]));
    }
    return review::PackedWordKey::of(QByteArrayView(key.data(), length / 2));
}

review::ReviewTime timeAt(sqlite3_stmt* statement, int column) {
    return review::ReviewTime(std::chrono::milliseconds(sqlite3_column_int64(statement, column)));
}

}  // namespace

QString WordStateCache::load(const QSqlDatabase& db, bool withFileWords) {
    forget();
    sqlite3* connection = handleOf(db);
    if (connection == nullptr) {
        return QStringLiteral("the SQLite driver gives no connection");
    }
    // Read in one transaction, so that the marks are those of the states read.
    QSqlQuery begin(db);
    const bool transaction = begin.exec(QStringLiteral("BEGIN"));
    const std::optional<Marks> marks = changeMarksOf(db);
    sqlite3_stmt* statement = nullptr;
    if (QSqlQuery count(db);
        count.exec(QStringLiteral("SELECT COUNT(*) FROM words")) && count.next()) {
        states_.reserve(count.value(0).toLongLong());
        ids_.reserve(count.value(0).toLongLong());
        positions_.reserve(count.value(0).toLongLong());
    }
    int status = sqlite3_prepare_v2(
        connection,
        QByteArray("SELECT id, word_key, ").append(kStateColumns).append(" FROM words ORDER BY id"),
        -1, &statement, nullptr);
    while (status == SQLITE_OK && (status = sqlite3_step(statement)) == SQLITE_ROW) {
        review::CardState card;
        card.phase = static_cast<review::CardPhase>(sqlite3_column_int(statement, 2));
        card.stability = sqlite3_column_double(statement, 3);
        card.difficulty = sqlite3_column_double(statement, 4);
        card.due = timeAt(statement, 5);
        card.lastReview = timeAt(statement, 6);
        card.elapsedDays = sqlite3_column_int(statement, 7);
        card.scheduledDays = sqlite3_column_int(statement, 8);
        card.learningStep = sqlite3_column_int(statement, 9);
        card.reps = sqlite3_column_int(statement, 10);
        card.lapses = sqlite3_column_int(statement, 11);
        if (const unsigned char* hex = sqlite3_column_text(statement, 1); hex != nullptr) {
            if (const auto key = keyFromHex(hex, sqlite3_column_bytes(statement, 1))) {
                positions_.insert(*key, qsizetype(states_.size()));
            }
        }
        ids_.push_back(sqlite3_column_int64(statement, 0));
        states_.push_back(card);
        status = SQLITE_OK;  // the next row
    }
    QString reason =
        status == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(connection));
    sqlite3_finalize(statement);
    if (reason.isEmpty() && withFileWords) {
        reason = readFileWords(db);
    }
    if (transaction) {
        begin.exec(QStringLiteral("ROLLBACK"));
    }
    if (!reason.isEmpty()) {
        forget();
        return reason;
    }
    loadedAt_ = marks;
    return {};
}

// Inside the transaction the states were read in, or one that has seen no change since.
QString WordStateCache::readFileWords(const QSqlDatabase& db) {
    fileWords_.clear();
    fileWordsRead_ = false;
    sqlite3* connection = handleOf(db);
    sqlite3_stmt* statement = nullptr;
    int status = connection == nullptr
                     ? SQLITE_MISUSE
                     : sqlite3_prepare_v2(connection, "SELECT file_id, word_id FROM file_words", -1,
                                          &statement, nullptr);
    while (status == SQLITE_OK && (status = sqlite3_step(statement)) == SQLITE_ROW) {
        const qint64 wordId = sqlite3_column_int64(statement, 1);
        const auto found = std::lower_bound(ids_.begin(), ids_.end(), wordId);
        if (found != ids_.end() && *found == wordId) {
            fileWords_[sqlite3_column_int64(statement, 0)].push_back(found - ids_.begin());
        }
        status = SQLITE_OK;
    }
    const QString reason = status == SQLITE_DONE   ? QString()
                           : connection == nullptr ? QStringLiteral("no connection")
                                                   : QString::fromUtf8(sqlite3_errmsg(connection));
    sqlite3_finalize(statement);
    if (!reason.isEmpty()) {
        fileWords_.clear();
        return reason;
    }
    fileWordsRead_ = true;
    return {};
}

const std::vector<qsizetype>& WordStateCache::positionsOf(const QList<QByteArray>& keys) {
    if (keys == lastKeys_) {
        return lastPositions_;
    }
    lastKeys_ = keys;
    lastPositions_.resize(keys.size());
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const std::optional<review::PackedWordKey> key = review::PackedWordKey::of(keys[i]);
        lastPositions_[i] = key ? positions_.value(*key, kNone) : kNone;
    }
    return lastPositions_;
}

void WordStateCache::begin(const QSqlDatabase& db) {
    written_.clear();
    writtenAt_.reset();
    fileWordsWritten_ = false;
    following_ = loadedAt_.has_value() && changeMarksOf(db) == loadedAt_;
}

void WordStateCache::put(const QByteArray& key, qint64 wordId, const review::CardState& state) {
    const std::optional<review::PackedWordKey> packed = review::PackedWordKey::of(key);
    if (!packed) {
        following_ = false;  // a key no state can be found by: nothing of it is taken in
    } else if (following_) {
        written_.push_back({*packed, wordId, state});
    }
}

void WordStateCache::written(const QSqlDatabase& db) {
    // Read before the commit: this connection's own commit leaves the marks as they are, while
    // another's right after it would pass unseen.
    writtenAt_ = following_ ? changeMarksOf(db) : std::nullopt;
}

void WordStateCache::end(bool kept) {
    if (following_ && kept && writtenAt_) {
        for (const Written& word : written_) {
            const auto known = positions_.constFind(word.key);
            if (known != positions_.cend()) {
                states_[*known] = word.state;
                continue;
            }
            if (!ids_.empty() && word.wordId <= ids_.back()) {
                forget();  // an id below the last: read afresh, in order
                return;
            }
            positions_.insert(word.key, qsizetype(states_.size()));
            ids_.push_back(word.wordId);
            states_.push_back(word.state);
            lastKeys_.clear();  // a word of it may have had no state
            lastPositions_.clear();
        }
        if (fileWordsWritten_) {
            fileWords_.clear();
            fileWordsRead_ = false;
        }
        loadedAt_ = writtenAt_;
    }
    following_ = false;
    fileWordsWritten_ = false;
    writtenAt_.reset();
    written_.clear();
}

void WordStateCache::forget() {
    states_.clear();
    ids_.clear();
    positions_.clear();
    fileWords_.clear();
    fileWordsRead_ = false;
    lastKeys_.clear();
    lastPositions_.clear();
    loadedAt_.reset();
    following_ = false;
    fileWordsWritten_ = false;
    writtenAt_.reset();
    written_.clear();
}

}  // namespace drill::history::detail
