// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>

#include <algorithm>

#include "common/ansi_text.h"
#include "common/word_file.h"
#include "exchange/logic/exporters.h"
#include "exchange/logic/mapping.h"
#include "exchange/logic/table.h"
#include "fuzz_check.h"

// Whatever a file holds and however its columns are mapped, every row becomes an entry or a
// problem, and every entry survives a word file unchanged (in the form the code page keeps).
inline void checkImport(const exchange::Table& table, QByteArrayView mappingBytes) {
    KX_FUZZ_CHECK(table.sourceLines.size() == table.rows.size());
    // Rows are named by the line (or entry) they start on, in the file's order.
    KX_FUZZ_CHECK(std::is_sorted(table.sourceLines.begin(), table.sourceLines.end()));
    if (!table.outcome.ok()) {
        KX_FUZZ_CHECK(table.rows.isEmpty() && !table.outcome.reason.isEmpty());
        return;
    }
    exchange::Mapping mapping;
    const auto byte = [&](qsizetype i) {
        return i < mappingBytes.size() ? int(mappingBytes[i]) : 0;
    };
    mapping.question = byte(0) % 5 - 1;
    mapping.answers = byte(1) % 5 - 1;
    mapping.information = byte(2) % 5 - 1;
    mapping.split = static_cast<exchange::AnswerSplit>(std::abs(byte(3)) % exchange::kAnswerSplits);
    mapping.otherSeparator = QString(QLatin1Char(char(byte(5))));
    mapping.firstRowIsHeader = byte(4) % 2;
    const exchange::ImportPlan plan = exchange::planImport(table, mapping);
    KX_FUZZ_CHECK(plan.entries.size() + plan.problems.size() + (mapping.firstRowIsHeader ? 1 : 0) >=
                  table.rows.size());
    QList<common::Entry> stored;
    for (const common::Entry& entry : plan.entries) {
        KX_FUZZ_CHECK(!entry.question.isEmpty() && !entry.rights.isEmpty());
        stored.append({common::storedForm(entry.question), common::storedForm(entry.rights),
                       common::storedForm(entry.information)});
    }
    // The exporters take any entry.
    for (const auto format : {exchange::ExportFormat::AnkiText, exchange::ExportFormat::Csv,
                              exchange::ExportFormat::Kvtml}) {
        KX_FUZZ_CHECK(!exchange::formatExport(format, plan.entries, QStringLiteral("t")).isEmpty());
    }
    const QByteArray written = common::formatWordFile(plan.entries.mid(0, common::kMaxEntries));
    if (common::isUtf8WordFile(written)) {
        return;  // its Shift_JIS bytes are valid UTF-8 too, and are read as such
    }
    const common::ReadResult read = common::parseWordFile(written);
    KX_FUZZ_CHECK(read.ok());
    KX_FUZZ_CHECK(read.entries == stored.mid(0, common::kMaxEntries));
}

// The first five bytes choose the mapping, the rest is the file.
#define KX_IMPORT_FUZZ(readTable)                                                       \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {           \
        const QByteArrayView all(reinterpret_cast<const char*>(data), qsizetype(size)); \
        const QByteArrayView mapping = all.first(std::min<qsizetype>(5, all.size()));   \
        checkImport(readTable(all.sliced(mapping.size())), mapping);                    \
        return 0;                                                                       \
    }
