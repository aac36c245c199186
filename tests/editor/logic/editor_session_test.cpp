// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/editor_session.h"
#include "editor/logic/entry_edit.h"

#include "common/ansi_text.h"
#include "file_bytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QUndoStack>

namespace {

using namespace Qt::StringLiterals;
using common::OutcomeKind;
using editor::Document;
using editor::EditorSession;
using editor::EntryEdit;
using editor::EntryForm;
using editor::ListState;

common::Entry entryOf(const QString& question) {
    return {question, question + u"1"_s, {}};
}

EntryForm formOf(const QString& question, const QString& answer = {}) {
    EntryForm form;
    form.question = question;
    form.rights[0] = answer;
    return form;
}

// The list as a window keeps it, by identity.
class FakeList final : public editor::ListStateHost {
public:
    ListState listState() const override { return state; }
    void showListState(const ListState& shown) override { state = shown; }
    ListState state;
};

struct Session {
    FakeList list;
    EditorSession session{list};
    QTemporaryDir folder;

    explicit Session(const QStringList& questions = {}) {
        QList<common::Entry> entries;
        for (const QString& q : questions) {
            entries.append(entryOf(q));
        }
        session.document().replaceAll(entries);
    }
    QString path(const QString& name) const { return folder.filePath(name); }
    QStringList questions() const {
        QStringList all;
        for (const common::Entry& entry : session.document().entries()) {
            all.append(entry.question);
        }
        return all;
    }
};

// Everything a step must bring back: the entries, their identities and the list state.
struct Snapshot {
    QList<common::Entry> entries;
    QList<editor::EntryId> ids;
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

// Only a word file the editor can hold replaces the document; anything else leaves it, and
// its unsaved changes, as they were (each outcome of reading: the word file's tests).
TEST(EditorSession, OpenTellsWhatItMadeOfTheFile) {
    const struct {
        const char* name;
        QByteArray bytes;  // null: a folder
        OutcomeKind outcome;
    } table[] = {
        {"word file", "Version 2.00\r\nrun|@1|a|@1|\r\n", OutcomeKind::Ok},
        {"too many",
         "Version 2.00\r\n" + QByteArray("q|@1|r|@1|\r\n").repeated(common::kMaxEntries + 1),
         OutcomeKind::TooMany},
        {"folder", QByteArray(), OutcomeKind::Unreadable},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        Session s({"apple"});
        s.session.add(formOf(u"pear"_s, u"a"_s));
        const QString file = s.path(u"w.qvw"_s);
        row.bytes.isNull() ? void(QDir().mkpath(file)) : kxtest::writeBytes(file, row.bytes);
        EXPECT_EQ(s.session.open(file).kind, row.outcome);
        const bool opened = row.outcome == OutcomeKind::Ok;
        EXPECT_EQ(s.questions(), opened ? QStringList{"run"} : QStringList({"apple", "pear"}));
        EXPECT_EQ(s.session.isModified(), !opened);
        EXPECT_EQ(s.session.undoStack().count(), opened ? 0 : 1);
        EXPECT_EQ(s.session.wordFile(), opened ? file : QString());
    }
}

// Each entry command checks the form before it stores anything, and names itself in the
// refusal; Change may go on in a full document. What is stored is the file's form.
TEST(EditorSession, EntryCommandsStoreOrRefuse) {
    enum Command { Add, Insert, Change };
    const QString words[] = {u"追加"_s, u"挿入"_s, u"更新"_s};
    const QString full =
        u"これ以上、項目を追加できません。\r\n1つのﾌｧｲﾙに入る項目は 32767個までです。"_s;
    const int most = common::kMaxEntries;
    const struct {
        const char* name;
        Command command;
        int count;
        QString question;
        QString refusal;        // empty: stored
        QStringList questions;  // of the first three entries afterwards
    } table[] = {
        {"add", Add, 2, u"n\u301C"_s, {}, {"e0", "e1", u"n\uFF5E"_s}},
        {"insert", Insert, 2, u"n"_s, {}, {"e0", "n", "e1"}},
        {"change", Change, 2, u"n"_s, {}, {"e0", "n"}},
        {"full add", Add, most, u"n"_s, full, {"e0", "e1", "e2"}},
        {"full insert", Insert, most, u"n"_s, full, {"e0", "e1", "e2"}},
        {"full change", Change, most, u"n"_s, {}, {"e0", "n", "e2"}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QStringList questions;
        for (int i = 0; i < row.count; ++i) {
            questions.append(u"e%1"_s.arg(i));
        }
        Session s(questions);
        const EntryForm form = formOf(row.question, u"x"_s);
        const editor::EntryStored stored = row.command == Add      ? s.session.add(form)
                                           : row.command == Insert ? s.session.insert(form, 1)
                                                                   : s.session.change(form, 1);
        EXPECT_EQ(s.questions().first(qMin(3, s.session.document().count())), row.questions);
        EXPECT_EQ(s.session.isModified(), row.refusal.isEmpty());
        if (!row.refusal.isEmpty()) {
            const QString title = u"問題の"_s + words[row.command];
            EXPECT_EQ(stored.refusal, (editor::Refusal{row.refusal, title}));
            continue;
        }
        EXPECT_FALSE(stored.refusal);
        EXPECT_EQ(stored.entry,
                  s.session.document().entry(*s.session.document().positionOf(stored.id)));
        // An inserted entry is the one current and selected, so that undo and redo show it.
        if (row.command == Insert) {
            EXPECT_EQ(s.list.state, (ListState{stored.id, {stored.id}}));
        }
    }
}

// A UTF-8 file may hold what Shift_JIS cannot store: saving it is refused, naming the first
// such entries, instead of turning them into '?'. Saving what can be stored names the file.
TEST(EditorSession, SaveRefusesEntriesShiftJisCannotStore) {
    const QString refusal = u"次の項目には単語ﾌｧｲﾙに保存できない文字があるため、保存できません。"_s;
    // The first entry ends in "ん" before the line end, which Shift_JIS cannot read.
    const QByteArray cafe = "caf\xC3\xA9|@1|a|@1|\xE2\x82\xAC 5\r\n";
    const QString cafeLine = u"café  「é」「€」"_s;
    const QByteArray entries = "q|@1|\xF0\x9F\x8D\x8E|@1|\xE3\x82\x93\r\n" + cafe.repeated(6);
    QString lines = u"\r\n1: q  「🍎」"_s;
    for (int i = 2; i <= 5; ++i) {
        lines += ("\r\n%1: " + cafeLine).arg(i);
    }
    lines += u"\r\n..."_s;
    Session s;
    const QString file = s.path(u"utf8.qvw"_s);
    kxtest::writeBytes(file, "Version 2.00\r\n" + entries);
    ASSERT_TRUE(s.session.open(file).ok());
    EXPECT_EQ(s.session.checkSave().refusal, (editor::Refusal{refusal + lines, u"ﾌｧｲﾙを保存"_s}));

    kxtest::writeBytes(file, kxtest::kWaterFireTree);
    ASSERT_TRUE(s.session.open(file).ok());
    EXPECT_FALSE(s.session.checkSave().refusal);
    const QString saved = s.path(u"saved.qvw"_s);
    EXPECT_TRUE(s.session.save(saved).ok());
    EXPECT_EQ(s.session.wordFile(), saved);
    EXPECT_EQ(kxtest::readBytes(saved),
              common::encodeAnsi(QString::fromUtf8(kxtest::kWaterFireTree)));
}

}  // namespace
