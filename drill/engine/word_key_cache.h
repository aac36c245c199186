// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>

#include "common/word_file.h"
#include "drill/engine/drill_way.h"

namespace drill {

// The word keys of a list of entries, each word once, with the entry each key was first found
// at.
struct WordKeys {
    QList<QByteArray> keys;
    QList<int> positions;
};

// The keys of the way's reviews (review::wayKey).
WordKeys wordKeysOf(const QList<common::Entry>& entries, DrillWay way = DrillWay::Typed);

// How many words the entries hold, told apart as their keys tell them, without keying them:
// every word of a file is new until the history holds one.
int distinctWords(const QList<common::Entry>& entries);

// The keys of the question set, worked out again only when the set has changed: the
// information line, the day's new words and the plan all ask for them, and a full file takes
// tens of milliseconds to key.
class WordKeyCache {
public:
    const WordKeys& of(const QList<common::Entry>& entries, DrillWay way);

private:
    // Shares the entries' storage: while the set is unchanged, comparing them costs nothing.
    QList<common::Entry> entries_;
    DrillWay way_ = DrillWay::Typed;
    WordKeys keys_;
};

}  // namespace drill
