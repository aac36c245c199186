// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Peak resident memory of the editor with the largest document it holds, open offscreen and
// shown, its first entry in the form. Run it alone, so that no earlier case's heap is counted:
//     kx_bench --benchmark_filter=EditorPeakMemory
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QFile>

#include "bench_rss.h"
#include "common/word_file.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/frm_edit.h"
#include "platform/scripted_platform.h"

namespace {

// Entries as learners write them, with information of the given length.
QList<common::Entry> fullDocument(int informationLength) {
    QList<common::Entry> entries;
    entries.reserve(common::kMaxEntries);
    for (int i = 0; i < common::kMaxEntries; ++i) {
        const QString n = QString::number(i);
        QString information = QStringLiteral("例文 ") + n + QStringLiteral("\\n");
        information += QString(informationLength - information.size(), u'情');
        entries.append({QStringLiteral("question ") + n,
                        QStringLiteral("答え ") + n + QStringLiteral("|@2|解答 ") + n,
                        information});
    }
    return entries;
}

void BM_EditorPeakMemory(benchmark::State& state) {
    platform::ScriptedPlatform platform;
    const QString file = platform.programFolder() + QStringLiteral("full.qvw");
    if (!common::writeWordFile(file, fullDocument(int(state.range(0)))).ok()) {
        state.SkipWithError("cannot write the word file");
        return;
    }
    QApplication::processEvents();
    resetPeak();
    const qint64 before = statusKiB("VmRSS");
    qint64 peak = -1;
    for (auto _ : state) {
        editor::frmEdit window(platform);
        window.show();
        platform.fileNames({file});
        window.findChild<QAction*>(QStringLiteral("File_Open"))->trigger();
        window.lstQuestion().setCurrentPosition(0);
        window.lstQuestion_Click();
        QApplication::processEvents();  // lays the list out and paints it
        if (window.document().count() != common::kMaxEntries) {
            state.SkipWithError("not every entry was loaded");
        }
        peak = statusKiB("VmHWM");
    }
    if (peak < 0) {
        state.SkipWithError("no /proc/self/status on this system");
        return;
    }
    state.counters["peak_MiB"] = double(peak) / 1024;
    state.counters["before_MiB"] = double(before) / 1024;
}
BENCHMARK(BM_EditorPeakMemory)->Arg(20)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
