// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/word_key_cache.h"

#include <QSet>

#include <deque>
#include <optional>
#include <vector>

#include "common/ansi_text.h"
#include "review/packed_word_key.h"
#include "review/word_key.h"

namespace drill {

namespace {

// A word's question and answers in their stored form: views into the entry, or into their
// conversion where that differs. The hash comes first: words are told apart by it before their
// texts are compared.
struct StoredWord {
    size_t hash = 0;
    QStringView question;
    QStringView rights;
    friend bool operator==(const StoredWord&, const StoredWord&) = default;
};

// The distinct words among those added: an open-addressed table of positions into the words
// found, each word's hash kept beside it, so that a word costs one hash and mostly one probe,
// with no node of its own.
class StoredWordSet {
public:
    explicit StoredWordSet(qsizetype expected) {
        qsizetype capacity = 16;
        while (capacity < 2 * expected) {
            capacity *= 2;
        }
        slots_.assign(static_cast<size_t>(capacity), -1);
        words_.reserve(expected);
    }

    void insert(QStringView question, QStringView rights) {
        const size_t seed = QHashSeed::globalSeed();  // a file cannot pick colliding words
        const StoredWord word{qHash(rights, qHash(question, seed)), question, rights};
        const size_t mask = slots_.size() - 1;
        for (size_t slot = word.hash & mask;; slot = (slot + 1) & mask) {
            const qsizetype found = slots_[slot];
            if (found < 0) {
                slots_[slot] = words_.size();
                words_.append(word);
                return;
            }
            if (words_.at(found) == word) {
                return;
            }
        }
    }

    qsizetype size() const { return words_.size(); }

private:
    std::vector<qsizetype> slots_;  // a power of two, at least twice the words: never full
    QList<StoredWord> words_;
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
    StoredWordSet words(entries.size());
    for (const common::Entry& entry : entries) {
        const std::optional<QStringView> question = stored(entry.question);
        const std::optional<QStringView> rights = stored(entry.rights);
        if (!question || !rights) {
            return static_cast<int>(wordKeysOf(entries).keys.size());
        }
        words.insert(*question, *rights);
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
