// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/logic/document.h"

#include <QList>
#include <QUndoCommand>

#include <optional>

// The undoable steps of the editor: every change of the entries goes through one of them.
namespace editor {

// The list's current entry and selection, by identity, so that a step can bring them back
// wherever the entries have moved meanwhile.
struct ListState {
    std::optional<EntryId> current;
    QList<EntryId> selected;

    friend bool operator==(const ListState&, const ListState&) = default;
};

// The list that a step reads its state from and gives it back to.
class ListStateHost {
public:
    virtual ~ListStateHost() = default;
    virtual ListState listState() const = 0;
    virtual void showListState(const ListState& state) = 0;
};

// One step: some entries arrive, some leave, one may change. The list state before is taken
// when the step is made; after it, the list is as before unless setAfter() says otherwise.
// Push it on a QUndoStack, which runs it once.
class EntryEdit : public QUndoCommand {
public:
    // `entries` arrive at `position` (0..count), in this order: Add, Insert, reverse
    // generation, an import. The caller checks that they fit.
    static std::unique_ptr<EntryEdit> insert(Document& document, ListStateHost& list, int position,
                                             const QList<common::Entry>& entries,
                                             const QString& text);
    static std::unique_ptr<EntryEdit> change(Document& document, ListStateHost& list, EntryId id,
                                             const common::Entry& entry, const QString& text);
    static std::unique_ptr<EntryEdit> remove(Document& document, ListStateHost& list,
                                             const QList<EntryId>& ids, const QString& text);

    // The identities the arriving entries get, in order.
    QList<EntryId> arrivingIds() const;
    const ListState& before() const { return before_; }
    void setAfter(const ListState& after) { after_ = after; }

    void redo() override;
    void undo() override;

private:
    EntryEdit(Document& document, ListStateHost& list, const QString& text);

    struct Change {
        EntryId id = 0;
        common::Entry before;
        common::Entry after;
    };

    Document& document_;
    ListStateHost& list_;
    QList<PlacedEntry> arriving_;
    QList<EntryId> leavingIds_;
    QList<PlacedEntry> left_;  // what the last redo took out
    std::optional<Change> change_;
    ListState before_;
    ListState after_;
};

}  // namespace editor
