// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

#include "drill/history/sqlite_statement.h"
#include "review/fsrs.h"
#include "review/packed_word_key.h"

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
    // they could not be read (nothing is kept then). With the file words too when asked: the
    // words of each word file (a scan the counts of one file need not wait for).
    QString refresh(const QSqlDatabase& db, bool withFileWords = false);
    // For each key (raw, not hexadecimal) the position of its word's state, or kNone when it has
    // none; only after a refresh that succeeded. The last list asked for is remembered: the open
    // file's words are asked for again and again.
    static constexpr qsizetype kNone = -1;
    const std::vector<qsizetype>& positionsOf(const QList<QByteArray>& keys);
    const review::CardState& at(qsizetype position) const { return states_[position]; }
    // No word has a state; only after a refresh that succeeded.
    bool empty() const { return states_.empty(); }
    // The positions of the states of each word file's words, by the file's id; only after a
    // refresh with the file words that succeeded.
    using FileWords = QHash<qint64, std::vector<qsizetype>>;
    const FileWords& fileWords() const { return fileWords_; }

    // Inside a write transaction, once its lock is held: the words it writes are told with put,
    // and the writes are taken in at its end if nothing else came between.
    void begin(const QSqlDatabase& db);
    // A word's state as written inside that transaction.
    void put(const QByteArray& key, qint64 wordId, const review::CardState& state);
    // The transaction adds words to word files: the file words are read again when next asked.
    void fileWordsWritten() { fileWordsWritten_ = true; }
    // Inside the transaction, after its last write and before its commit or rollback.
    void written(const QSqlDatabase& db);
    // The transaction ended; kept tells whether its writes stay.
    void end(bool kept);
    // Something the cache cannot follow changed the words: loaded afresh at the next refresh.
    void forget();

private:
    using Marks = ChangeMarks;
    QString load(const QSqlDatabase& db, bool withFileWords);
    QString readFileWords(const QSqlDatabase& db);

    // Ordered by the words' ids, which ids_ holds beside them.
    std::vector<review::CardState> states_;
    std::vector<qint64> ids_;
    QHash<review::PackedWordKey, qsizetype> positions_;  // of each word's state, by its key
    FileWords fileWords_;
    bool fileWordsRead_ = false;
    QList<QByteArray> lastKeys_;
    std::vector<qsizetype> lastPositions_;
    std::optional<Marks> loadedAt_;  // none: not loaded
    bool following_ = false;         // the transaction under way began on a current cache
    bool fileWordsWritten_ = false;
    std::optional<Marks> writtenAt_;
    struct Written {
        review::PackedWordKey key;
        qint64 wordId = 0;
        review::CardState state;
    };
    std::vector<Written> written_;
};

}  // namespace drill::history::detail
