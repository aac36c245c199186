// The editor's window at the largest document it holds, offscreen: Open until the list shows
// the entries, Save, and Remove of every second entry.
#include "common/word_file.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/frm_edit.h"
#include "platform/scripted_platform.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
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

}  // namespace
