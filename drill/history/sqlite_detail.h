// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Shared by the drill and the review halves of the SQLite history.
namespace drill::history::detail {

QString failure(const QSqlQuery& query);
bool execRetrying(QSqlQuery& query, const QString& statement);

// Rolled back unless committed.
class Transaction {
public:
    explicit Transaction(const QSqlDatabase& db) : db_(db), query_(db) {
        // The write lock up front, so that a busy database is waited for.
        if (!execRetrying(query_, QStringLiteral("BEGIN IMMEDIATE"))) {
            reason_ = failure(query_);
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

    const QString& reason() const { return reason_; }
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
    bool open_ = false;
};

}  // namespace drill::history::detail
