// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The editor's window at the largest document it holds, offscreen: Open until the list shows
// the entries, Save, Remove of every second entry, its undo and redo, Add with its undo, an
// import's step, and choosing an entry with a huge information field.
#include "common/word_file.h"
#include "editor/window/entry_form_view.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/frm_edit.h"
#include "platform/scripted_platform.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUndoStack>
#include "bench_entries.h"

namespace {

struct Editor {
    platform::ScriptedPlatform platform;
    editor::frmEdit window{platform};
    QString fullFile = platform.programFolder() + QStringLiteral("full.qvw");

    Editor() {
        window.show();
        common::writeWordFile(fullFile, benchEntries(common::kMaxEntries));
        QApplication::processEvents();
    }
    void trigger(const char* name) { window.findChild<QAction*>(QLatin1String(name))->trigger(); }
    void open() {
        platform.fileNames({fullFile});
        trigger("File_Open");
        QApplication::processEvents();  // lays the list out and paints it
    }
};

void BM_EditorOpen(benchmark::State& state) {
    Editor editor;
    for (auto _ : state) {
        editor.open();
        editor.platform.clearRecords();
    }
    if (editor.window.document().count() != common::kMaxEntries) {
        state.SkipWithError("not every entry was loaded");
    }
}
BENCHMARK(BM_EditorOpen)->Unit(benchmark::kMillisecond);

void BM_EditorSave(benchmark::State& state) {
    Editor editor;
    editor.open();
    const QString saved = editor.platform.programFolder() + QStringLiteral("saved.qvw");
    for (auto _ : state) {
        editor.platform.fileNames({saved});
        editor.trigger("File_Save");
        editor.platform.clearRecords();
    }
}
BENCHMARK(BM_EditorSave)->Unit(benchmark::kMillisecond);

void BM_EditorRemoveEverySecond(benchmark::State& state) {
    Editor editor;
    const QList<common::Entry> entries = benchEntries(common::kMaxEntries);
    QList<int> everySecond;
    for (int p = 0; p < common::kMaxEntries; p += 2) {
        everySecond.append(p);
    }
    auto* remove = editor.window.findChild<QPushButton*>(QStringLiteral("cmdRemove"));
    for (auto _ : state) {
        state.PauseTiming();
        editor.window.document().replaceAll(entries);
        editor.window.lstQuestion().setSelectedPositions(everySecond);
        editor.window.lstQuestion().setCurrentPosition(0);
        editor.window.lstQuestion_Click();
        QApplication::processEvents();
        editor.platform.answers({platform::Answer::Yes});
        state.ResumeTiming();
        remove->click();
        QApplication::processEvents();
    }
    if (editor.window.document().count() != common::kMaxEntries - everySecond.size()) {
        state.SkipWithError("the selected entries were not removed");
    }
}
BENCHMARK(BM_EditorRemoveEverySecond)->Unit(benchmark::kMillisecond);

// Undo and redo of the removal of every second entry: the entries go back between the others.
void BM_EditorUndoRedoRemoveEverySecond(benchmark::State& state) {
    Editor editor;
    editor.window.document().replaceAll(benchEntries(common::kMaxEntries));
    QList<int> everySecond;
    for (int p = 0; p < common::kMaxEntries; p += 2) {
        everySecond.append(p);
    }
    editor.window.lstQuestion().setSelectedPositions(everySecond);
    editor.platform.answers({platform::Answer::Yes});
    editor.window.findChild<QPushButton*>(QStringLiteral("cmdRemove"))->click();
    for (auto _ : state) {
        editor.trigger("Edit_Undo");
        QApplication::processEvents();
        editor.trigger("Edit_Redo");
        QApplication::processEvents();
    }
    if (editor.window.document().count() != common::kMaxEntries - everySecond.size()) {
        state.SkipWithError("undo and redo did not end at the removal");
    }
}
BENCHMARK(BM_EditorUndoRedoRemoveEverySecond)->Unit(benchmark::kMillisecond);

// Add at the end of a nearly full document, and its undo: one entry, not the whole list.
void BM_EditorAddAndUndo(benchmark::State& state) {
    Editor editor;
    editor.window.document().replaceAll(benchEntries(common::kMaxEntries - 1));
    auto* add = editor.window.findChild<QPushButton*>(QStringLiteral("cmdAdd"));
    for (auto _ : state) {
        editor.window.entryForm().showContents(
            {QStringLiteral("q"), {QStringLiteral("a")}, {}, {}, {}});
        add->click();
        editor.trigger("Edit_Undo");
    }
    if (editor.window.document().count() != common::kMaxEntries - 1) {
        state.SkipWithError("the entry was not taken back");
    }
}
BENCHMARK(BM_EditorAddAndUndo)->Unit(benchmark::kMicrosecond);

// An import filling the document, as the File menu appends it (one step, the arrivals
// selected), then its undo and its redo.
void BM_EditorImportStepUndoRedo(benchmark::State& state) {
    Editor editor;
    editor.window.document().replaceAll(benchEntries(1));
    const QList<common::Entry> imported = benchEntries(common::kMaxEntries - 1);
    QUndoStack& history = editor.window.session().undoStack();
    for (auto _ : state) {
        auto edit = editor::EntryEdit::insert(editor.window.document(), editor.window, 1, imported,
                                              QStringLiteral("インポート"));
        edit->setAfter({edit->before().current, edit->arrivingIds()});
        history.push(edit.release());
        history.undo();
        history.redo();
        history.undo();
    }
    if (editor.window.document().count() != 1) {
        state.SkipWithError("the import was not taken back");
    }
}
BENCHMARK(BM_EditorImportStepUndoRedo)->Unit(benchmark::kMillisecond);

// Choosing in turn an entry with 5 M characters of information (a damaged or generated file)
// and an ordinary one, until the form is painted: each choice should answer within 100 ms.
void BM_EditorSelectHugeInformation(benchmark::State& state) {
    Editor editor;
    const QString huge = QStringLiteral("情報 ").repeated((5 << 20) / 3);
    editor.window.document().replaceAll(
        {{QStringLiteral("huge"), QStringLiteral("a"), huge}, benchEntries(1).constFirst()});
    editor::EntryListView& list = editor.window.lstQuestion();
    for (auto _ : state) {
        for (int position : {0, 1}) {
            list.setCurrentPosition(position);  // shows the entry, as a click does
            QApplication::processEvents();
        }
    }
    state.SetItemsProcessed(state.iterations() * 2);
    list.setCurrentPosition(0);
    if (editor.window.entryForm().information().size() != editor::kShownInformation) {
        state.SkipWithError("the huge entry was not shown in part");
    }
}
BENCHMARK(BM_EditorSelectHugeInformation)->Unit(benchmark::kMillisecond);

}  // namespace
