// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/entry_edit.h"

namespace editor {

namespace {

QList<EntryId> idsOf(const QList<PlacedEntry>& placed) {
    QList<EntryId> ids;
    ids.reserve(placed.size());
    for (const PlacedEntry& p : placed) {
        ids.append(p.id);
    }
    return ids;
}

}  // namespace

EntryEdit::EntryEdit(Document& document, ListStateHost& list, const QString& text)
    : QUndoCommand(text),
      document_(document),
      list_(list),
      before_(list.listState()),
      after_(before_) {}

std::unique_ptr<EntryEdit> EntryEdit::insert(Document& document, ListStateHost& list, int position,
                                             const QList<common::Entry>& entries,
                                             const QString& text) {
    std::unique_ptr<EntryEdit> edit(new EntryEdit(document, list, text));
    edit->arriving_.reserve(entries.size());
    for (const common::Entry& entry : entries) {
        edit->arriving_.append({position + int(edit->arriving_.size()), document.newId(), entry});
    }
    return edit;
}

std::unique_ptr<EntryEdit> EntryEdit::change(Document& document, ListStateHost& list, EntryId id,
                                             const common::Entry& entry, const QString& text) {
    std::unique_ptr<EntryEdit> edit(new EntryEdit(document, list, text));
    if (const std::optional<int> position = document.positionOf(id)) {
        edit->change_ = Change{id, document.entry(*position), entry};
    }
    return edit;
}

std::unique_ptr<EntryEdit> EntryEdit::remove(Document& document, ListStateHost& list,
                                             const QList<EntryId>& ids, const QString& text) {
    std::unique_ptr<EntryEdit> edit(new EntryEdit(document, list, text));
    edit->leavingIds_ = ids;
    return edit;
}

QList<EntryId> EntryEdit::arrivingIds() const {
    return idsOf(arriving_);
}

void EntryEdit::redo() {
    left_ = document_.take(leavingIds_);
    document_.place(arriving_);
    if (change_) {
        document_.replace(change_->id, change_->after);
    }
    list_.showListState(after_);
}

void EntryEdit::undo() {
    if (change_) {
        document_.replace(change_->id, change_->before);
    }
    document_.take(idsOf(arriving_));
    document_.place(left_);
    list_.showListState(before_);
}

}  // namespace editor
