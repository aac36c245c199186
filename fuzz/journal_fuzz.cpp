// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A journal line may hold anything: its faster read gives what reading it as JSON gives, and a
// record read is written back to a line that reads as the same record.
#include <QByteArray>

#include <cstdint>

#include "drill/history/sync_journal.h"
#include "fuzz_check.h"

namespace {

QByteArray lineOf(const drill::history::ParsedLine& parsed) {
    return parsed.record ? drill::history::journalLine(*parsed.record) : QByteArray();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView line(reinterpret_cast<const char*>(data), qsizetype(size));
    const drill::history::ParsedLine parsed = drill::history::parseJournalLine(line);
    const drill::history::ParsedLine json = drill::history::parseJournalLineAsJson(line);
    KX_FUZZ_CHECK(parsed.newer == json.newer);
    KX_FUZZ_CHECK(lineOf(parsed) == lineOf(json));
    if (parsed.record) {
        const QByteArray written = lineOf(parsed);
        KX_FUZZ_CHECK(lineOf(drill::history::parseJournalLine(written.chopped(1))) == written);
    }
    return 0;
}
