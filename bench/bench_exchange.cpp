// Import and export of a full word file's worth of entries (32,767), against reading the same
// entries from a word file as the yardstick (each should stay under three times it).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include "bench_entries.h"
#include "exchange/logic/exporters.h"
#include "exchange/logic/mapping.h"
#include "exchange/logic/table.h"

namespace {

const QList<common::Entry>& entries() {
    static const QList<common::Entry> all = benchEntries(common::kMaxEntries);
    return all;
}

#define KX_EXCHANGE_BENCHMARK(name)                                                              \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", [](const auto& v) { \
        return *std::min_element(v.begin(), v.end());                                            \
    })

void BM_ExchangeYardstickReadWordFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("words.qvw"));
    common::writeWordFile(path, entries());
    for (auto _ : state) {
        common::ReadResult read = common::readWordFile(path);
        benchmark::DoNotOptimize(read);
    }
}
KX_EXCHANGE_BENCHMARK(BM_ExchangeYardstickReadWordFile);

// As the import command reads: the format guessed, the separator (and Anki's HTML) detected.
void BM_Import(benchmark::State& state) {
    const auto format = static_cast<exchange::ExportFormat>(state.range(0));
    const bool anki = format == exchange::ExportFormat::AnkiText;
    QTemporaryDir dir;
    const QString path =
        dir.filePath(anki ? QStringLiteral("words.txt") : QStringLiteral("words.csv"));
    exchange::writeExport(path, format, entries());
    exchange::Mapping mapping;
    mapping.information = 2;
    mapping.split = anki ? exchange::AnswerSplit::Slash : exchange::AnswerSplit::Semicolon;
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        const exchange::Table table =
            exchange::readTable(exchange::guessFormat(path, bytes), bytes);
        exchange::ImportPlan plan = exchange::planImport(table, mapping);
        if (plan.entries.size() != common::kMaxEntries) {
            state.SkipWithError("not every row became an entry");
        }
        benchmark::DoNotOptimize(plan);
    }
    state.SetLabel(anki ? "Anki text" : "CSV");
}
KX_EXCHANGE_BENCHMARK(BM_Import)
    ->Arg(int(exchange::ExportFormat::Csv))
    ->Arg(int(exchange::ExportFormat::AnkiText));

void BM_Export(benchmark::State& state) {
    const auto format = static_cast<exchange::ExportFormat>(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("words.out"));
    for (auto _ : state) {
        if (!exchange::writeExport(path, format, entries()).ok) {
            state.SkipWithError("the export was not written");
        }
    }
    state.SetLabel(format == exchange::ExportFormat::AnkiText ? "Anki text"
                   : format == exchange::ExportFormat::Csv    ? "CSV"
                                                              : "kvtml");
}
KX_EXCHANGE_BENCHMARK(BM_Export)
    ->Arg(int(exchange::ExportFormat::AnkiText))
    ->Arg(int(exchange::ExportFormat::Csv))
    ->Arg(int(exchange::ExportFormat::Kvtml));

}  // namespace
