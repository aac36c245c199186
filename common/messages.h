// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include <optional>

// What the messages of both programs are built from.
namespace common {

struct Entry;

// Ends a line in a message, as in a word file.
inline const QString kCrLf = QStringLiteral("\r\n");

// How a refusal to store names what Shift_JIS cannot store.
enum class UnstorableDetail {
    Characters,  // the characters only
    Entries,     // the first entries holding them, by position, with their characters
};

// The refusal to write entries that hold characters a word file cannot store (only a file
// read as UTF-8 brings them in; written, they would become '?' for good); nullopt when every
// character can be stored.
std::optional<QString> unstorableRefusal(const QList<Entry>& entries, UnstorableDetail detail);

}  // namespace common
