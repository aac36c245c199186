// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/sqlite_statement.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

namespace drill::history::detail {

std::optional<ChangeMarks> changeMarksOf(const QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!query.exec(
            QStringLiteral("SELECT total_changes(), data_version FROM pragma_data_version")) ||
        !query.next()) {
        return std::nullopt;
    }
    return ChangeMarks{query.value(0).toLongLong(), query.value(1).toLongLong()};
}

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(handle.constData());
}

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
    if (db_ == nullptr) {
        error_ = QStringLiteral("the SQLite driver gives no connection");
    } else if (sqlite3_prepare_v2(db_, sql, -1, &statement_, nullptr) != SQLITE_OK) {
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
    }
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

Statement& Statement::bind(int position, qint64 value) {
    sqlite3_bind_int64(statement_, position, value);
    return *this;
}

Statement& Statement::bindReal(int position, double value) {
    sqlite3_bind_double(statement_, position, value);
    return *this;
}

Statement& Statement::bind(int position, QByteArrayView text) {
    sqlite3_bind_text(statement_, position, text.data(), int(text.size()), SQLITE_TRANSIENT);
    return *this;
}

bool Statement::step() {
    if (statement_ == nullptr) {
        return false;  // error_ tells why
    }
    const int status = sqlite3_step(statement_);
    const bool row = status == SQLITE_ROW;
    first_ = row ? sqlite3_column_int64(statement_, 0) : 0;
    if (row || status == SQLITE_DONE) {
        error_.clear();
    } else {
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
    }
    // Ready to be bound and run again, with nothing left open at a commit.
    sqlite3_reset(statement_);
    return row;
}

bool Statement::next() {
    if (statement_ == nullptr) {
        return false;
    }
    const int status = sqlite3_step(statement_);
    if (status == SQLITE_ROW) {
        return true;
    }
    if (status == SQLITE_DONE) {
        error_.clear();
    } else {
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
    }
    sqlite3_reset(statement_);
    return false;
}

qint64 Statement::column(int index) const {
    return sqlite3_column_int64(statement_, index);
}

qint64 Statement::changes() const {
    return sqlite3_changes64(db_);
}

qint64 Statement::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

}  // namespace drill::history::detail
