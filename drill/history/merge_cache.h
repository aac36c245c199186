// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <optional>
#include <utility>

#include "drill/history/sqlite_statement.h"

namespace drill::history {

// What one part of a merge looked up or added, for the parts after it: each a transaction of its
// own. Right only while nothing else changed the history in between, which the stamp tells.
struct MergeCache {
    // When the last part committed.
    std::optional<detail::ChangeMarks> stamp;
    struct Word {
        qint64 id = 0;
        // No review of the word in the history is later than this (UTC ms).
        qint64 latest = 0;
    };
    QHash<QByteArray, Word> words;              // by key
    QHash<QString, qint64> files;               // word file -> review_files.id
    QSet<std::pair<qint64, qint64>> fileWords;  // known to be in file_words
};

}  // namespace drill::history
