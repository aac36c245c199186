// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QSqlQuery;

// Shared by the drill and the review halves of the SQLite history.
namespace drill::history::detail {

QString failure(const QSqlQuery& query);
bool execRetrying(QSqlQuery& query, const QString& statement);

}  // namespace drill::history::detail
