// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading and writing a full word file (32,767 entries, about 2 MB of Shift_JIS), against the
// conversion of the same bytes alone as the yardstick.
#include <benchmark/benchmark.h>

#include <algorithm>

#include <QRandomGenerator>
#include <QTemporaryDir>

#include "common/ansi_text.h"
#include "common/word_file.h"

using namespace Qt::StringLiterals;

namespace {

const QList<common::Entry>& sampleEntries() {
    static const QList<common::Entry> entries = [] {
        const QStringList english = {u"apple"_s,    u"borrow"_s,   u"language"_s,  u"remember"_s,
                                     u"weather"_s,  u"library"_s,  u"beautiful"_s, u"mountain"_s,
                                     u"question"_s, u"season"_s,   u"friendly"_s,  u"understand"_s,
                                     u"teacher"_s,  u"yesterday"_s};
        const QStringList japanese = {u"りんご"_s, u"借りる"_s, u"言語"_s,         u"覚えている"_s,
                                      u"天気"_s,   u"図書館"_s, u"美しい"_s,       u"山"_s,
                                      u"質問"_s,   u"季節"_s,   u"親しみやすい"_s, u"理解する"_s,
                                      u"先生"_s,   u"昨日"_s,   u"ｶﾀｶﾅ"_s};
        const QStringList notes = {
            u""_s, u"過去形は ran\\n過去分詞は run"_s, u"反対語は lend (貸す)"_s,
            u"発音に注意：whether と同じ"_s,
            u"例文：I borrowed a book from the library.\\n図書館で本を借りた。"_s};
        QRandomGenerator random(7);
        auto pick = [&](const QStringList& list) { return list[random.bounded(list.size())]; };
        QList<common::Entry> list;
        for (int i = 0; i < common::kMaxEntries; ++i) {
            QString rights = pick(japanese);
            for (int extra = random.bounded(3); extra > 0; --extra) {
                rights += u"|@2|"_s + pick(japanese);
            }
            list.append({pick(english) + QString::number(i), rights, pick(notes)});
        }
        return list;
    }();
    return entries;
}

const QByteArray& sampleBytes() {
    static const QByteArray bytes = common::formatWordFile(sampleEntries());
    return bytes;
}

// On a busy machine the fastest of several repetitions is the figure to compare.
#define KX_WORD_FILE_BENCHMARK(name)                                                             \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", [](const auto& v) { \
        return *std::min_element(v.begin(), v.end());                                            \
    })

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(int64_t(state.iterations()) * sampleBytes().size());
    state.counters["file_bytes"] = double(sampleBytes().size());
}

// Freeing what an iteration made is left out of every timing: it is not part of reading or
// writing (the programs free a document when they replace or close it).
template <typename T>
void freeUntimed(benchmark::State& state, T& made) {
    state.PauseTiming();
    made = {};
    state.ResumeTiming();
}

void BM_DecodeOnly(benchmark::State& state) {
    for (auto _ : state) {
        QString text = common::decodeAnsi(sampleBytes());
        benchmark::DoNotOptimize(text);
        freeUntimed(state, text);
    }
    setBytes(state);
}
KX_WORD_FILE_BENCHMARK(BM_DecodeOnly);

void BM_ParseWordFile(benchmark::State& state) {
    for (auto _ : state) {
        common::ReadResult result = common::parseWordFile(sampleBytes());
        benchmark::DoNotOptimize(result);
        freeUntimed(state, result);
    }
    setBytes(state);
}
KX_WORD_FILE_BENCHMARK(BM_ParseWordFile);

// The same entries saved as UTF-8 by a text editor: validated as UTF-8, found not to be
// Shift_JIS, then decoded.
void BM_ParseUtf8WordFile(benchmark::State& state) {
    static const QByteArray utf8 = common::decodeAnsi(sampleBytes()).toUtf8();
    for (auto _ : state) {
        common::ReadResult result = common::parseWordFile(utf8);
        if (result.entries.size() != common::kMaxEntries) {
            state.SkipWithError("the file was not read as UTF-8");
        }
        freeUntimed(state, result);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * utf8.size());
}
KX_WORD_FILE_BENCHMARK(BM_ParseUtf8WordFile);

// Writing refuses entries Shift_JIS cannot store: the editor checks every entry first.
void BM_UnstorableEntries(benchmark::State& state) {
    for (auto _ : state) {
        QList<int> found = common::unstorableEntries(sampleEntries(), 6);
        benchmark::DoNotOptimize(found);
    }
}
KX_WORD_FILE_BENCHMARK(BM_UnstorableEntries);

void BM_ReadWordFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"bench.qvw"_s);
    common::writeWordFile(path, sampleEntries());
    for (auto _ : state) {
        common::ReadResult result = common::readWordFile(path);
        if (result.entries.size() != common::kMaxEntries) {
            state.SkipWithError("the file did not read back whole");
        }
        freeUntimed(state, result);
    }
    setBytes(state);
}
KX_WORD_FILE_BENCHMARK(BM_ReadWordFile);

void BM_EncodeOnly(benchmark::State& state) {
    const QString text = common::decodeAnsi(sampleBytes());
    for (auto _ : state) {
        QByteArray bytes = common::encodeAnsi(text);
        benchmark::DoNotOptimize(bytes);
        freeUntimed(state, bytes);
    }
    setBytes(state);
}
KX_WORD_FILE_BENCHMARK(BM_EncodeOnly);

void BM_FormatWordFile(benchmark::State& state) {
    for (auto _ : state) {
        QByteArray bytes = common::formatWordFile(sampleEntries());
        benchmark::DoNotOptimize(bytes);
        freeUntimed(state, bytes);
    }
    setBytes(state);
}
KX_WORD_FILE_BENCHMARK(BM_FormatWordFile);

void BM_WriteWordFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"bench.qvw"_s);
    for (auto _ : state) {
        if (!common::writeWordFile(path, sampleEntries()).ok()) {
            state.SkipWithError("the file could not be written");
        }
    }
    setBytes(state);
}
KX_WORD_FILE_BENCHMARK(BM_WriteWordFile);

}  // namespace
