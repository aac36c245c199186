// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/entry_edit.h"

#include <gtest/gtest.h>

#include <QUndoStack>

namespace {

using editor::Document;
using editor::EntryEdit;
using editor::EntryId;
using editor::ListState;

common::Entry entryOf(const QString& question) {
    return {question, question + QStringLiteral("1"), question + QStringLiteral("\\ninfo")};
}

// The list as a window would keep it, by identity.
class FakeList final : public editor::ListStateHost {
public:
    ListState listState() const override { return state; }
    void showListState(const ListState& shown) override { state = shown; }
    ListState state;
};

// Everything a step must bring back: the entries, their identities and the list state.
struct Snapshot {
    QList<common::Entry> entries;
    QList<EntryId> ids;
    ListState list;

    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot snapshot(const Document& document, const FakeList& list) {
    Snapshot s{document.entries(), {}, list.state};
    for (int p = 0; p < document.count(); ++p) {
        s.ids.append(document.idAt(p));
    }
    return s;
}

// Steps in a row undo in reverse order to the very start and redo to the end, with every
// entry's identity, whatever moved the entries between (the window's table covers each step).
TEST(EntryEdit, AChainUndoesToTheStart) {
    Document document;
    document.replaceAll({entryOf("a"), entryOf("b"), entryOf("c")});
    FakeList list;
    list.state = {document.idAt(2), {document.idAt(0), document.idAt(1)}};
    const Snapshot start = snapshot(document, list);
    QUndoStack stack;
    stack.push(EntryEdit::remove(document, list, {document.idAt(1)}, {}).release());
    auto insert = EntryEdit::insert(document, list, 0, {entryOf("x"), entryOf("y")}, {});
    insert->setAfter({insert->arrivingIds().constFirst(), insert->arrivingIds()});
    stack.push(insert.release());
    stack.push(EntryEdit::change(document, list, document.idAt(3), entryOf("z"), {}).release());
    stack.push(
        EntryEdit::remove(document, list, {document.idAt(0), document.idAt(3)}, {}).release());
    EXPECT_EQ(document.entries(), (QList{entryOf("y"), entryOf("a")}));
    const Snapshot end = snapshot(document, list);
    stack.setIndex(0);
    EXPECT_EQ(snapshot(document, list), start);
    stack.setIndex(stack.count());
    EXPECT_EQ(snapshot(document, list), end);
}

}  // namespace
