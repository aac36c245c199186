// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/word_state_cache.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <chrono>

#include "drill/history/sqlite_detail.h"

namespace drill::history::detail {

std::optional<WordStateCache::Marks> WordStateCache::marksOf(const QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!query.exec(
            QStringLiteral("SELECT total_changes(), data_version FROM pragma_data_version")) ||
        !query.next()) {
        return std::nullopt;
    }
    return Marks{query.value(0).toLongLong(), query.value(1).toLongLong()};
}

QString WordStateCache::refresh(const QSqlDatabase& db) {
    const std::optional<Marks> marks = marksOf(db);
    if (marks && loadedAt_ == marks) {
        return {};
    }
    return load(db);
}

namespace {

// The connection under Qt's driver, which reads rows without a QVariant for each of their
// values: loading the states takes a fraction of the time.
sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();

    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(handle.constData());
}

int hexDigit(unsigned char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// From its hexadecimal text, as the words table keeps it.
QByteArray keyFromHex(const unsigned char* hex, int length) {
    QByteArray key(length / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < key.size(); ++i) {
        key[i] = char(hexDigit(hex[2 * i]) << 4 | hexDigit(hex[2 * i + 1]));
    }
    return key;
}

review::ReviewTime timeAt(sqlite3_stmt* statement, int column) {
    return review::ReviewTime(std::chrono::milliseconds(sqlite3_column_int64(statement, column)));
}

}  // namespace

QString WordStateCache::load(const QSqlDatabase& db) {
    forget();
    sqlite3* connection = handleOf(db);
    if (connection == nullptr) {
        return QStringLiteral("the SQLite driver gives no connection");
    }
    // Read in one transaction, so that the marks are those of the states read.
    QSqlQuery begin(db);
    const bool transaction = begin.exec(QStringLiteral("BEGIN"));
    const std::optional<Marks> marks = marksOf(db);
    sqlite3_stmt* statement = nullptr;
    if (QSqlQuery count(db);
        count.exec(QStringLiteral("SELECT COUNT(*) FROM words")) && count.next()) {
        states_.reserve(count.value(0).toLongLong());
        positions_.reserve(count.value(0).toLongLong());
    }
    int status = sqlite3_prepare_v2(
        connection, QByteArray("SELECT word_key, ").append(kStateColumns).append(" FROM words"), -1,
        &statement, nullptr);
    while (status == SQLITE_OK && (status = sqlite3_step(statement)) == SQLITE_ROW) {
        review::CardState card;
        card.phase = static_cast<review::CardPhase>(sqlite3_column_int(statement, 1));
        card.stability = sqlite3_column_double(statement, 2);
        card.difficulty = sqlite3_column_double(statement, 3);
        card.due = timeAt(statement, 4);
        card.lastReview = timeAt(statement, 5);
        card.elapsedDays = sqlite3_column_int(statement, 6);
        card.scheduledDays = sqlite3_column_int(statement, 7);
        card.learningStep = sqlite3_column_int(statement, 8);
        card.reps = sqlite3_column_int(statement, 9);
        card.lapses = sqlite3_column_int(statement, 10);
        if (const unsigned char* hex = sqlite3_column_text(statement, 0); hex != nullptr) {
            positions_.insert(keyFromHex(hex, sqlite3_column_bytes(statement, 0)),
                              qsizetype(states_.size()));
            states_.push_back(card);
        }
        status = SQLITE_OK;  // the next row
    }
    const QString reason =
        status == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(connection));
    sqlite3_finalize(statement);
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

const std::vector<qsizetype>& WordStateCache::positionsOf(const QList<QByteArray>& keys) {
    if (keys == lastKeys_) {
        return lastPositions_;
    }
    lastKeys_ = keys;
    lastPositions_.resize(keys.size());
    for (qsizetype i = 0; i < keys.size(); ++i) {
        lastPositions_[i] = positions_.value(keys[i], kNone);
    }
    return lastPositions_;
}

void WordStateCache::begin(const QSqlDatabase& db) {
    written_.clear();
    writtenAt_.reset();
    following_ = loadedAt_.has_value() && marksOf(db) == loadedAt_;
}

void WordStateCache::put(QByteArray key, const review::CardState& state) {
    if (following_) {
        written_.emplace_back(std::move(key), state);
    }
}

void WordStateCache::written(const QSqlDatabase& db) {
    // Read before the commit: this connection's own commit leaves the marks as they are, while
    // another's right after it would pass unseen.
    writtenAt_ = following_ ? marksOf(db) : std::nullopt;
}

void WordStateCache::end(bool kept) {
    if (following_ && kept && writtenAt_) {
        for (auto& [key, state] : written_) {
            const auto known = positions_.constFind(key);
            if (known != positions_.cend()) {
                states_[*known] = state;
            } else {
                positions_.insert(std::move(key), qsizetype(states_.size()));
                states_.push_back(state);
                lastKeys_.clear();  // a word of it may have had no state
                lastPositions_.clear();
            }
        }
        loadedAt_ = writtenAt_;
    }
    following_ = false;
    writtenAt_.reset();
    written_.clear();
}

void WordStateCache::forget() {
    states_.clear();
    positions_.clear();
    lastKeys_.clear();
    lastPositions_.clear();
    loadedAt_.reset();
    following_ = false;
    writtenAt_.reset();
    written_.clear();
}

}  // namespace drill::history::detail
