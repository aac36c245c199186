#include "editor/logic/entry_edit.h"

#include <gtest/gtest.h>

#include <QUndoStack>

#include <functional>

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

QStringList questions(const Document& document) {
    QStringList all;
    for (const common::Entry& entry : document.entries()) {
        all.append(entry.question);
    }
    return all;
}

// Every step, undone and redone twice, gives back the entries, their order and identities,
// the current entry and the selection, whatever they were.
TEST(EntryEdit, UndoAndRedoRestoreEntriesAndTheList) {
    using Make = std::function<std::unique_ptr<EntryEdit>(Document&, FakeList&)>;
    const struct {
        const char* name;
        Make make;
        QStringList after;
    } table[] = {
        {"add",
         [](Document& d, FakeList& l) {
             return EntryEdit::insert(d, l, d.count(), {entryOf("x")}, {});
         },
         {"a", "b", "c", "d", "e", "x"}},
        {"insert becomes current",
         [](Document& d, FakeList& l) {
             auto edit = EntryEdit::insert(d, l, 2, {entryOf("x")}, {});
             edit->setAfter({edit->arrivingIds().constFirst(), edit->before().selected});
             return edit;
         },
         {"a", "b", "x", "c", "d", "e"}},
        {"many appended and selected",
         [](Document& d, FakeList& l) {
             auto edit = EntryEdit::insert(d, l, d.count(), {entryOf("x"), entryOf("y")}, {});
             edit->setAfter({edit->before().current, edit->arrivingIds()});
             return edit;
         },
         {"a", "b", "c", "d", "e", "x", "y"}},
        {"change",
         [](Document& d, FakeList& l) {
             return EntryEdit::change(d, l, d.idAt(3), entryOf("x"), {});
         },
         {"a", "b", "c", "x", "e"}},
        {"remove apart, current among them",
         [](Document& d, FakeList& l) {
             auto edit = EntryEdit::remove(d, l, {d.idAt(4), d.idAt(0), d.idAt(2)}, {});
             edit->setAfter({});
             return edit;
         },
         {"b", "d"}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        Document document;
        document.replaceAll({entryOf("a"), entryOf("b"), entryOf("c"), entryOf("d"), entryOf("e")});
        FakeList list;
        list.state = {document.idAt(2), {document.idAt(0), document.idAt(4)}};
        const Snapshot before = snapshot(document, list);
        QUndoStack stack;
        stack.push(row.make(document, list).release());
        const Snapshot after = snapshot(document, list);
        EXPECT_EQ(questions(document), row.after);
        for (int round = 0; round < 2; ++round) {
            stack.undo();
            EXPECT_EQ(snapshot(document, list), before);
            stack.redo();
            EXPECT_EQ(snapshot(document, list), after);
        }
    }
}

// Steps in a row undo in reverse order to the very start, whatever moved the entries between.
TEST(EntryEdit, AChainUndoesToTheStart) {
    Document document;
    document.replaceAll({entryOf("a"), entryOf("b"), entryOf("c")});
    FakeList list;
    const Snapshot start = snapshot(document, list);
    QUndoStack stack;
    stack.push(EntryEdit::remove(document, list, {document.idAt(1)}, {}).release());
    stack.push(EntryEdit::insert(document, list, 0, {entryOf("x"), entryOf("y")}, {}).release());
    stack.push(EntryEdit::change(document, list, document.idAt(3), entryOf("z"), {}).release());
    stack.push(
        EntryEdit::remove(document, list, {document.idAt(0), document.idAt(3)}, {}).release());
    EXPECT_EQ(questions(document), (QStringList{"y", "a"}));
    const Snapshot end = snapshot(document, list);
    stack.setIndex(0);
    EXPECT_EQ(snapshot(document, list), start);
    stack.setIndex(stack.count());
    EXPECT_EQ(snapshot(document, list), end);
}

}  // namespace
