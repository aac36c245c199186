// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The editor's search and reverse generation at the largest document, with the real window
// offscreen.
#include "common/word_file.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/frm_edit.h"
#include "platform/scripted_platform.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <numeric>
#include "bench_entries.h"

namespace {

struct Editor {
    platform::ScriptedPlatform platform;
    editor::frmEdit window{platform};

    explicit Editor(int count) {
        window.document().replaceAll(benchEntries(count));
        window.show();
        QApplication::processEvents();
    }
    void trigger(const char* name) { window.findChild<QAction*>(QLatin1String(name))->trigger(); }
};

// Both passes over every field of every entry, finding nothing; window events are handled
// along the way (a timer counts how often it got through).
void BM_SearchFindingNothing(benchmark::State& state) {
    Editor editor(common::kMaxEntries);
    editor.window.session().setScanString(QStringLiteral("not there"));
    editor.window.session().setScanFields(7);
    editor.window.lstQuestion().setCurrentPosition(common::kMaxEntries / 2);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(0);
    for (auto _ : state) {
        editor.platform.answers({platform::Answer::Yes, platform::Answer::Ok});
        editor.trigger("Edit_ScanNext");
    }
    if (editor.platform.shown().size() != std::size_t(2 * state.iterations()) ||
        !editor.platform.unexpected().empty()) {
        state.SkipWithError("the search did not end as expected");
    }
    state.counters["event_rounds"] = benchmark::Counter(ticks, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SearchFindingNothing)->Unit(benchmark::kMillisecond);

// Reverse entries for 16,000 selected entries, appended and selected.
void BM_ReverseGeneration(benchmark::State& state) {
    constexpr int kSelected = 16000;
    Editor editor(kSelected);
    QList<int> all(kSelected);
    std::iota(all.begin(), all.end(), 0);
    for (auto _ : state) {
        state.PauseTiming();
        editor.window.document().replaceAll(benchEntries(kSelected));
        editor.window.lstQuestion().setSelectedPositions(all);
        editor.platform.answers({platform::Answer::Yes});
        QApplication::processEvents();
        state.ResumeTiming();
        editor.trigger("Edit_Reverse");
    }
    if (editor.window.document().count() != 2 * kSelected ||
        editor.window.lstQuestion().selectedPositions().size() != kSelected) {
        state.SkipWithError("the reverse entries were not generated");
    }
}
BENCHMARK(BM_ReverseGeneration)->Unit(benchmark::kMillisecond);

}  // namespace
