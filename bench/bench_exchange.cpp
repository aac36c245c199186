// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Import and export of a full word file's worth of entries (32,767), against reading the same
// entries from a word file as the yardstick (each should stay under three times it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <limits>

#include <sys/resource.h>

#include "bench_entries.h"
#include "bench_rss.h"
#include "exchange/logic/exporters.h"
#include "exchange/logic/import_file.h"
#include "exchange/logic/mapping.h"
#include "exchange/logic/table.h"
#include "exchange/window/exchange_commands.h"
#include "platform/scripted_platform.h"

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

double elapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

// The word file read untimed, its time kept if it is the best: the yardstick taken right
// before each timed run.
void readYardstick(benchmark::State& state, const QString& wordFile, double& bestRead) {
    state.PauseTiming();
    const auto start = std::chrono::steady_clock::now();
    // Freed before the clock stops, as the import's entries are.
    const qsizetype read = common::readWordFile(wordFile).entries.size();
    bestRead = std::min(bestRead, elapsedMs(start));
    // The ratio compares like with like: the same entries read both ways.
    if (read != common::kMaxEntries) {
        state.SkipWithError("the word file did not give every entry");
    }
    state.ResumeTiming();
}

// As the import command reads: the format guessed, the separator (and Anki's HTML) detected,
// the mapping proposed. Each iteration also reads the yardstick, untimed, right before: the
// counter "x_yardstick" is the best import over the best read, which a busy machine moves
// far less than either figure alone.
void BM_Import(benchmark::State& state) {
    const auto format = static_cast<exchange::ExportFormat>(state.range(0));
    const bool anki = format == exchange::ExportFormat::AnkiText;
    const bool kvtml = format == exchange::ExportFormat::Kvtml;
    QTemporaryDir dir;
    const QString path = dir.filePath(anki    ? QStringLiteral("words.txt")
                                      : kvtml ? QStringLiteral("words.kvtml")
                                              : QStringLiteral("words.csv"));
    exchange::writeExport(path, format, entries());
    const QString wordFile = dir.filePath(QStringLiteral("words.qvw"));
    common::writeWordFile(wordFile, entries());
    double bestRead = std::numeric_limits<double>::max();
    double bestImport = std::numeric_limits<double>::max();
    for (auto _ : state) {
        readYardstick(state, wordFile, bestRead);
        const auto start = std::chrono::steady_clock::now();
        {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            const exchange::Table table =
                exchange::readTable(exchange::guessFormat(path, bytes), bytes);
            exchange::ImportPlan plan =
                exchange::planImport(table, exchange::proposedMapping(table));
            if (plan.entries.size() != common::kMaxEntries) {
                state.SkipWithError("not every row became an entry");
            }
            benchmark::DoNotOptimize(plan);
        }  // the table and the entries freed too, as a read's entries are
        bestImport = std::min(bestImport, elapsedMs(start));
    }
    state.counters["x_yardstick"] = bestImport / bestRead;
    state.SetLabel(anki ? "Anki text" : kvtml ? "kvtml" : "CSV");
}
KX_EXCHANGE_BENCHMARK(BM_Import)
    ->Arg(int(exchange::ExportFormat::Csv))
    ->Arg(int(exchange::ExportFormat::AnkiText))
    ->Arg(int(exchange::ExportFormat::Kvtml));

// Written as the export command writes: formatted, put on the disk and in place. The counter
// "x_yardstick" is the best export over the best read of the same entries, taken as BM_Import
// takes it.
void BM_Export(benchmark::State& state) {
    const auto format = static_cast<exchange::ExportFormat>(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("words.out"));
    const QString wordFile = dir.filePath(QStringLiteral("words.qvw"));
    common::writeWordFile(wordFile, entries());
    double bestRead = std::numeric_limits<double>::max();
    double bestExport = std::numeric_limits<double>::max();
    for (auto _ : state) {
        readYardstick(state, wordFile, bestRead);
        const auto start = std::chrono::steady_clock::now();
        if (!exchange::writeExport(path, format, entries()).ok()) {
            state.SkipWithError("the export was not written");
        }
        bestExport = std::min(bestExport, elapsedMs(start));
    }
    state.counters["x_yardstick"] = bestExport / bestRead;
    state.SetLabel(format == exchange::ExportFormat::AnkiText ? "Anki text"
                   : format == exchange::ExportFormat::Csv    ? "CSV"
                                                              : "kvtml");
}
KX_EXCHANGE_BENCHMARK(BM_Export)
    ->Arg(int(exchange::ExportFormat::AnkiText))
    ->Arg(int(exchange::ExportFormat::Csv))
    ->Arg(int(exchange::ExportFormat::Kvtml));

// Files made to hurt the import, each read, parsed and mapped as the import does: every one
// should end (in a preview or a refusal) within 2 s and 200 MB. Run alone for the peak:
//     kx_bench --benchmark_filter=ImportHostile
enum class Hostile {
    Columns,
    Field50MB,
    Field15MB,
    Csv100MB,
    ShortRows15MB,
    Rows10MB,
    Nesting,
    Kvtml15MB,
    NestedDivs,      // 10^4 <div> deep in an HTML field
    NestedBolds,     // 10^5 <b> deep
    HtmlField16MB,   // one field of markup filling the file
    TagsLine1MB,     // a header line the preview notes
    TagsLines30000,  // and many of them
    SeparatorX,      // a separator named in the header that the estimate has to count
    SeparatorSpace,
    Translations300000  // one kvtml entry with that many translation ids
};

QByteArray hostileBytes(Hostile kind) {
    switch (kind) {
        case Hostile::Columns:
            return QByteArray("q," + QByteArray("a,").repeated(100000) + "\n").repeated(5);
        case Hostile::Field50MB:
            return "q,a," + QByteArray(50 << 20, 'x') + "\n";
        case Hostile::Field15MB:
            return "q,a," + QByteArray(15 << 20, 'x') + "\n";
        case Hostile::Csv100MB:
            return QByteArray("question,answer; other,information\n").repeated((100 << 20) / 35);
        case Hostile::ShortRows15MB:
            return QByteArray("a,b\n").repeated((15 << 20) / 4);
        case Hostile::Rows10MB:
            return QByteArray("question,answer; other answer,some information of a line\n")
                .repeated((10 << 20) / 57);
        case Hostile::Nesting:
            return "<kvtml version=\"2.0\"><entries><entry><translation id=\"0\"><text>" +
                   QByteArray("<b>").repeated(60000) + QByteArray("</b>").repeated(60000) +
                   "</text></translation></entry></entries></kvtml>";
        case Hostile::NestedDivs:
            return "#html:true\nq\t" + QByteArray("<div>").repeated(10'000) + "a" +
                   QByteArray("</div>").repeated(10'000) + "\n";
        case Hostile::NestedBolds:
            return "#html:true\nq\t" + QByteArray("<b>").repeated(100'000) + "a" +
                   QByteArray("</b>").repeated(100'000) + "\n";
        case Hostile::HtmlField16MB:
            return "#html:true\nq\t" +
                   QByteArray("<div><b>x</b>&amp;<i>y</i></div>").repeated((16 << 20) / 33 - 1) +
                   "\n";
        case Hostile::TagsLine1MB:
            return "#tags:" + QByteArray("tag ").repeated(1 << 18) + "\nq\ta\n";
        case Hostile::TagsLines30000:
            return QByteArray("#tags:" + QByteArray("tag ").repeated(100) + "\n").repeated(30'000) +
                   "q\ta\n";
        case Hostile::SeparatorX:
            return "#separator:x\n" + QByteArray("qxa\n").repeated((16 << 20) / 4 - 4);
        case Hostile::SeparatorSpace:
            return "#separator:space\n" + QByteArray("a ").repeated((16 << 20) / 2 - 16);
        case Hostile::Translations300000: {
            QByteArray bytes =
                "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"/>"
                "<identifier id=\"1\"/></identifiers><entries><entry>";
            for (int id = 300'000; id >= 0; --id) {
                bytes += "<translation id=\"" + QByteArray::number(id) + "\"><text>t</text>" +
                         "</translation>";
            }
            return bytes + "</entry></entries></kvtml>";
        }
        case Hostile::Kvtml15MB:
            break;
    }
    const QByteArray entry =
        "<entry><translation id=\"0\"><text>question</text></translation>"
        "<translation id=\"1\"><text>answer</text></translation></entry>\n";
    return "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"/><identifier id=\"1\"/>"
           "</identifiers><entries>" +
           entry.repeated((15 << 20) / entry.size()) + "</entries></kvtml>";
}

double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// The whole import as the editor runs it: the file read and parsed, then the preview shown and
// closed (or the refusal answered).
void BM_ImportHostile(benchmark::State& state) {
    const auto kind = static_cast<Hostile>(state.range(0));
    platform::ScriptedPlatform platform;
    const bool kvtml = kind == Hostile::Nesting || kind == Hostile::Kvtml15MB ||
                       kind == Hostile::Translations300000;
    const QString path = platform.programFolder() +
                         (kvtml ? QStringLiteral("hostile.kvtml") : QStringLiteral("hostile.csv"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(hostileBytes(kind));
    }
    QTimer closer;
    QString outcome;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* preview = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (preview && preview->objectName() == u"frmImport") {
            QApplication::processEvents();  // lays the preview out and paints it
            outcome = preview->findChild<QLabel*>(QStringLiteral("lblSummary"))->text();
            preview->reject();
        }
    });
    closer.start(1);
    resetPeak();
    const qint64 before = statusKiB("VmRSS");
    const double cpuBefore = processCpuMs();
    for (auto _ : state) {
        platform.fileNames({path});
        platform.answers({platform::Answer::Ok});
        const size_t boxes = platform.shown().size();
        benchmark::DoNotOptimize(exchange::runImport(nullptr, platform, 0));
        if (platform.shown().size() > boxes) {
            outcome = QString(platform.shown().back().text)
                          .replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        }
    }
    state.counters["peak_MiB"] = double(statusKiB("VmHWM")) / 1024;
    state.counters["added_MiB"] = double(statusKiB("VmHWM") - before) / 1024;
    // Every thread's time: on a busy machine the wall time says more about the others.
    state.counters["process_cpu_ms"] = processCpuMs() - cpuBefore;
    state.SetLabel(outcome.toStdString());
}
BENCHMARK(BM_ImportHostile)
    ->DenseRange(int(Hostile::Columns), int(Hostile::Translations300000))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
