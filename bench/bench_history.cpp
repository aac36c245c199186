#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "drill/history/sqlite_history.h"
#include "drill/window/frm_history.h"
#include "platform/scripted_platform.h"

namespace {

drill::history::DrillRecord drillOf(int i) {
    drill::history::DrillRecord record;
    record.started = QDateTime::currentDateTimeUtc().addSecs(-600LL * i);
    record.seconds = 300;
    record.wordFile = QStringLiteral("/home/user/単語/file%1.qvw").arg(i % 5);
    record.asked = 30;
    record.right = 25;
    record.rate = drill::history::rateOf(record.right, record.asked);
    for (int m = 0; m < 5; ++m) {
        record.missed.append(QStringLiteral("question %1").arg((i + m) % 200));
    }
    return record;
}

// One ended drill with five missed questions, into a history file on disk.
void BM_RecordDrill(benchmark::State& state) {
    QTemporaryDir dir;
    drill::history::SqliteHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    int i = 0;
    for (auto _ : state) {
        if (!history.record(drillOf(i++)).isEmpty()) {
            state.SkipWithError("not recorded");
            break;
        }
    }
}
BENCHMARK(BM_RecordDrill)->Unit(benchmark::kMillisecond);

// Menu → history with 10,000 drills recorded: read, build, and draw the table and the chart.
void BM_OpenHistoryWindow(benchmark::State& state) {
    QTemporaryDir dir;
    drill::history::SqliteHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    for (int i = 0; i < state.range(0); ++i) {
        history.record(drillOf(i));
    }
    platform::ScriptedPlatform platform;
    for (auto _ : state) {
        drill::history::Drills drills = history.drills();
        drill::frmHistory window(std::move(drills.records), drillOf(0).wordFile, platform, nullptr);
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_OpenHistoryWindow)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
namespace {
void BM_ReadHistory(benchmark::State& state) {
    QTemporaryDir dir;
    drill::history::SqliteHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    for (int i = 0; i < 10000; ++i) {
        history.record(drillOf(i));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(history.drills());
    }
}
BENCHMARK(BM_ReadHistory)->Unit(benchmark::kMillisecond);
}  // namespace
