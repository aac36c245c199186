// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/word_key_cache.h"

#include <QSet>

#include <deque>
#include <optional>

#include "common/ansi_text.h"
#include "review/packed_word_key.h"
#include "review/word_key.h"

namespace drill {

namespace {

// A word's question and answers in their stored form: views into the entry, or into their
// conversion where that differs.
struct StoredWord {
    QStringView question;
    QStringView rights;
    friend bool operator==(const StoredWord&, const StoredWord&) = default;
    friend size_t qHash(const StoredWord& word, size_t seed = 0) noexcept {
        return qHashMulti(seed, word.question, word.rights);
    }
};

}  // namespace

int distinctWords(const QList<common::Entry>& entries) {
    // Keys hash the stored form's UTF-8, which tells texts apart just as their UTF-16 does,
    // as long as there is no surrogate in them: a text with one is keyed after all.
    std::deque<QString> converted;
    const auto stored = [&converted](const QString& text) -> std::optional<QStringView> {
        qsizetype wide = -1;  // the first unit beyond ASCII: ASCII is stored as itself
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].unicode() >= 0x80) {
                if (text[i].isSurrogate()) {
                    return std::nullopt;
                }
                wide = wide < 0 ? i : wide;
            }
        }
        if (wide < 0 || common::storedAsItself(QStringView(text).sliced(wide))) {
            return QStringView(text);
        }
        return QStringView(converted.emplace_back(common::storedForm(text)));
    };
    QSet<StoredWord> words;
    words.reserve(entries.size());
    for (const common::Entry& entry : entries) {
        const std::optional<QStringView> question = stored(entry.question);
        const std::optional<QStringView> rights = stored(entry.rights);
        if (!question || !rights) {
            return static_cast<int>(wordKeysOf(entries).keys.size());
        }
        words.insert({*question, *rights});
    }
    return static_cast<int>(words.size());
}

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
