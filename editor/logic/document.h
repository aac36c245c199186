// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/word_file.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace editor {

// Survives insertions and removals around its entry; never reused within a document's life.
using EntryId = quint64;

// An entry with its identity at a position: what a removal takes out and an undo puts back.
struct PlacedEntry {
    int position = 0;
    EntryId id = 0;
    common::Entry entry;

    friend bool operator==(const PlacedEntry&, const PlacedEntry&) = default;
};

// The word file being edited: its entries in file form and whether they changed since the
// document was last emptied, loaded or saved. Entries are addressed by position (0-based), and
// each carries an EntryId for code that must find "the same entry" after the list has moved.
class Document {
public:
    // Told before and after every change of the entries, so that a view can follow; the
    // document has at most one observer (the list model).
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void aboutToReset() = 0;
        virtual void resetDone() = 0;
        virtual void aboutToInsert(int first, int count) = 0;
        virtual void insertDone() = 0;
        virtual void entryChanged(int position) = 0;
    };

    void setObserver(Observer* observer) { observer_ = observer; }

    int count() const { return int(entries_.size()); }
    bool isEmpty() const { return entries_.isEmpty(); }
    bool isFull() const { return count() >= common::kMaxEntries; }
    const common::Entry& entry(int position) const { return entries_.at(position); }
    const QList<common::Entry>& entries() const { return entries_; }
    EntryId idAt(int position) const { return ids_.at(position); }
    const QList<EntryId>& ids() const { return ids_; }
    std::optional<int> positionOf(EntryId id) const;
    // The positions of those ids still in the document, ascending; one pass over the list.
    QList<int> positionsOf(const QList<EntryId>& ids) const;

    bool isModified() const { return modified_; }
    // The undo history knows better after an undo back to the saved state.
    void setModified(bool modified) { modified_ = modified; }
    // Grows with every change of the entries; lets a long-running reader notice one.
    quint64 revision() const { return revision_; }

    // New: empty and clean.
    void clear();
    // Open: the file's entries replace everything, clean. The document is left unchanged
    // unless the outcome is ok.
    common::Outcome loadFile(const QString& path);
    void replaceAll(QList<common::Entry> entries);
    // On success the document is clean; on failure the file and Modified are as they were.
    common::Outcome saveFile(const QString& path);

    // The steps an undo history is built from. newId() gives an identity for an entry about
    // to be placed. place() puts entries at their positions as they stand afterwards
    // (ascending), keeping their ids; the caller makes sure they fit. take() removes the
    // entries with the given ids and returns them as they stood, ascending.
    EntryId newId() { return ++lastId_; }
    void place(const QList<PlacedEntry>& placed);
    QList<PlacedEntry> take(const QList<EntryId>& ids);
    // Every step marks the document modified, so that closing never drops one without asking.
    void replace(EntryId id, const common::Entry& entry);

private:
    void touch() { ++revision_; }

    QList<common::Entry> entries_;
    QList<EntryId> ids_;
    EntryId lastId_ = 0;
    quint64 revision_ = 0;
    bool modified_ = false;
    Observer* observer_ = nullptr;
};

}  // namespace editor
