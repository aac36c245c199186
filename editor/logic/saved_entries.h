// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/logic/document.h"
#include "review/word_renames.h"

#include <QHash>
#include <QList>

#include <optional>

namespace editor {

// The entries as the word file last held them, by identity: a save turns the entries whose
// question or answers changed since into renames of their words. Entries added since (reverse
// generation, an import) are new words; an edit undone before the save is none.
class SavedEntries {
public:
    // After New, Open and Save: the document as the file now holds it.
    void take(const Document& document);
    // The word key the entry at position had in the file, when it has another one now.
    std::optional<QByteArray> savedKey(const Document& document, int position) const;
    QList<review::WordRename> renames(const Document& document, const QString& wordFile,
                                      review::ReviewTime time) const;

private:
    const common::Entry* saved(EntryId id) const;

    QList<EntryId> ids_;
    QList<common::Entry> entries_;
    mutable QHash<EntryId, qsizetype> positions_;  // built when first asked
};

}  // namespace editor
