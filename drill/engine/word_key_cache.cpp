// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/word_key_cache.h"

#include <QSet>

#include "review/packed_word_key.h"
#include "review/word_key.h"

namespace drill {

WordKeys wordKeysOf(const QList<common::Entry>& entries, DrillWay way) {
    WordKeys found;
    found.keys.reserve(entries.size());
    found.positions.reserve(entries.size());
    QSet<review::PackedWordKey> seen;
    seen.reserve(entries.size());
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        QByteArray key = review::wayKey(review::wordKey(entries.at(i)), way);
        // Hashed once: inserted, or found already there when the set does not grow.
        const qsizetype before = seen.size();
        seen.insert(review::PackedWordKey::of(key).value());  // a word key always fits
        if (seen.size() == before) {
            continue;
        }
        found.keys.append(std::move(key));
        found.positions.append(i);
    }
    return found;
}

const WordKeys& WordKeyCache::of(const QList<common::Entry>& entries, DrillWay way) {
    if (entries != entries_ || way != way_) {
        keys_ = wordKeysOf(entries, way);
        entries_ = entries;
        way_ = way;
    }
    return keys_;
}

}  // namespace drill
