// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

#include "review/fsrs.h"

class QSqlDatabase;

namespace drill::history::detail {

// Every word's state as one connection to the history sees it, kept in memory: the counts of a
// full word file, today's plan and the review window are answered from it instead of a query
// over tens of thousands of keys. It is loaded at the first question and again as soon as
// another connection (another program, a replay beside the window) has committed or this
// connection has changed anything it was not told of; what this connection writes to the words
// it is told of is taken in at the commit.
class WordStateCache {
public:
    // Loaded or kept, whichever the history needs; empty when the states are current, else why
    // they could not be read (nothing is kept then).
    QString refresh(const QSqlDatabase& db);
    // For each key (raw, not hexadecimal) the position of its word's state, or kNone when it has
    // none; only after a refresh that succeeded. The last list asked for is remembered: the open
    // file's words are asked for again and again.
    static constexpr qsizetype kNone = -1;
    const std::vector<qsizetype>& positionsOf(const QList<QByteArray>& keys);
    const review::CardState& at(qsizetype position) const { return states_[position]; }

    // Inside a write transaction, once its lock is held: the words it writes are told with put,
    // and the writes are taken in at its end if nothing else came between.
    void begin(const QSqlDatabase& db);
    // A word's state as written inside that transaction.
    void put(QByteArray key, const review::CardState& state);
    // Inside the transaction, after its last write and before its commit or rollback.
    void written(const QSqlDatabase& db);
    // The transaction ended; kept tells whether its writes stay.
    void end(bool kept);
    // Something the cache cannot follow changed the words: loaded afresh at the next refresh.
    void forget();

private:
    // What tells a change: this connection's count of changed rows and the counter SQLite
    // moves when another connection commits.
    struct Marks {
        qint64 changes = -1;
        qint64 dataVersion = -1;
        friend bool operator==(const Marks&, const Marks&) = default;
    };
    static std::optional<Marks> marksOf(const QSqlDatabase& db);
    QString load(const QSqlDatabase& db);

    std::vector<review::CardState> states_;
    QHash<QByteArray, qsizetype> positions_;  // of each word's state, by its key
    QList<QByteArray> lastKeys_;
    std::vector<qsizetype> lastPositions_;
    std::optional<Marks> loadedAt_;  // none: not loaded
    bool following_ = false;         // the transaction under way began on a current cache
    std::optional<Marks> writtenAt_;
    std::vector<std::pair<QByteArray, review::CardState>> written_;
};

}  // namespace drill::history::detail
