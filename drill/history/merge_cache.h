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
#include <vector>

#include "drill/history/sqlite_statement.h"
#include "review/fsrs.h"

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
        // state is its state: the history holds no review of it but those this merge added, each
        // later than the one before and none beyond the clock. Else it is replayed.
        bool known = false;
        // Left to the end of the merge, under the replay marker the parts set, which was the only
        // one (where another was there first, everything from it on is replayed).
        bool unsettled = false;
        qint32 touchedIn = -1;  // the part that last added a review of it
        review::CardState state;
    };
    QHash<QByteArray, qint32> wordAt;  // by key, in words
    std::vector<Word> words;
    qsizetype unsettled = 0;
    qint32 parts = 0;
    QHash<QString, qint64> files;               // word file -> review_files.id
    QSet<std::pair<qint64, qint64>> fileWords;  // known to be in file_words
};

}  // namespace drill::history
