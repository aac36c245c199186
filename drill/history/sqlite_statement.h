// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;
class QSqlDatabase;

namespace drill::history::detail {

// What tells a connection of a change: its own count of changed rows and the counter SQLite
// moves when another connection commits.
struct ChangeMarks {
    qint64 changes = -1;
    qint64 dataVersion = -1;
    friend bool operator==(const ChangeMarks&, const ChangeMarks&) = default;
};
std::optional<ChangeMarks> changeMarksOf(const QSqlDatabase& db);

// The connection under Qt's driver; null where the driver gives none.
sqlite3* handleOf(const QSqlDatabase& db);

// A statement run many times on the connection under Qt's driver, without a QVariant for each
// value bound or read: for the loops that take in thousands of rows at once.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Values bound by position, from 1; text is copied.
    Statement& bind(int position, qint64 value);
    Statement& bindReal(int position, double value);
    Statement& bind(int position, QByteArrayView text);
    // Run to its first row or its end: true for a row, false at the end or on failure (error
    // tells which). The values bound stay for the next run.
    bool step();
    // Run a row at a time: true for each row, false at the end or on failure (error tells
    // which), when it is ready to be run again.
    bool next();
    // A value of the row next() stands on, from 0.
    qint64 column(int index) const;
    // The first row's first value, of the last run.
    qint64 first() const { return first_; }
    // After the run: why it failed; empty when it did not.
    const QString& error() const { return error_; }
    // Rows the last run changed.
    qint64 changes() const;
    qint64 lastInsertId() const;

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
    QString error_;
    qint64 first_ = 0;
};

}  // namespace drill::history::detail
