// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/saved_entries.h"

#include "review/word_key.h"

namespace editor {

namespace {

bool sameWord(const common::Entry& a, const common::Entry& b) {
    return a.question == b.question && a.rights == b.rights;
}

}  // namespace

void SavedEntries::take(const Document& document) {
    // Shared with the document's lists until either changes.
    ids_ = document.ids();
    entries_ = document.entries();
    positions_.clear();
}

const common::Entry* SavedEntries::saved(EntryId id) const {
    if (positions_.isEmpty() && !ids_.isEmpty()) {
        positions_.reserve(ids_.size());
        for (qsizetype p = 0; p < ids_.size(); ++p) {
            positions_.insert(ids_.at(p), p);
        }
    }
    const auto found = positions_.constFind(id);
    return found == positions_.cend() ? nullptr : &entries_.at(*found);
}

std::optional<QByteArray> SavedEntries::savedKey(const Document& document, int position) const {
    const common::Entry* before = saved(document.idAt(position));
    const common::Entry& now = document.entry(position);
    if (before == nullptr || sameWord(*before, now)) {
        return std::nullopt;
    }
    QByteArray key = review::wordKey(*before);
    if (key == review::wordKey(now)) {
        return std::nullopt;
    }
    return key;
}

QList<review::WordRename> SavedEntries::renames(const Document& document, const QString& wordFile,
                                                review::ReviewTime time) const {
    QList<review::WordRename> renames;
    for (int p = 0; p < document.count(); ++p) {
        if (std::optional<QByteArray> key = savedKey(document, p)) {
            renames.append({time, wordFile, std::move(*key), review::wordKey(document.entry(p))});
        }
    }
    return renames;
}

}  // namespace editor
