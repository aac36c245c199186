// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes read as a word file give one of the reader's outcomes, and a file that opens is
// saved so that it opens again with the same entries (undecodable codes shown as '?', text
// as Shift_JIS stores it).
#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>

#include "common/ansi_text.h"
#include "common/word_file.h"
#include "fuzz_check.h"

namespace {

bool isSingleLineField(const QString& field) {
    return !field.contains(u'\r') && !field.contains(u'\n') &&
           !field.contains(common::kFieldSeparator);
}

// A file read as UTF-8 may hold characters Shift_JIS cannot store; such entries are never
// saved (the editor refuses), so only the rest must survive a round trip.
bool storable(const common::Entry& entry) {
    for (const QString* field : {&entry.question, &entry.rights, &entry.information}) {
        const QString missing = common::unrepresentableChars(*field);
        if (!missing.isEmpty() && missing != QString(QChar::ReplacementCharacter)) {
            return false;
        }
    }
    return true;
}

common::Entry asShown(common::Entry entry) {
    for (QString* field : {&entry.question, &entry.rights, &entry.information}) {
        *field = common::storedForm(*field);
        field->replace(QChar::ReplacementCharacter, u'?');
    }
    return entry;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const common::ReadResult read = common::parseWordFile(bytes);
    switch (read.outcome.kind) {
        case common::OutcomeKind::Invalid:  // no line, or no line that gives an entry
            break;
        case common::OutcomeKind::Ok:
        case common::OutcomeKind::OldVersion:
        case common::OutcomeKind::TooMany:
            KX_FUZZ_CHECK(!bytes.isEmpty());
            break;
        default:
            KX_FUZZ_CHECK(false);  // only for files on disk
    }
    if (!read.ok()) {
        KX_FUZZ_CHECK(read.entries.isEmpty());
        return 0;
    }
    KX_FUZZ_CHECK(read.entries.size() <= common::kMaxEntries);
    QList<common::Entry> shown;
    for (const common::Entry& entry : read.entries) {
        KX_FUZZ_CHECK(isSingleLineField(entry.question));
        KX_FUZZ_CHECK(isSingleLineField(entry.rights));
        KX_FUZZ_CHECK(isSingleLineField(entry.information));
        shown.append(asShown(entry));
    }
    if (!std::all_of(read.entries.cbegin(), read.entries.cend(), storable)) {
        return 0;
    }

    const QByteArray written = common::formatWordFile(read.entries);
    KX_FUZZ_CHECK(written.startsWith("Version 2.00\r\n") && written.endsWith("\r\n"));
    if (common::isUtf8WordFile(written)) {
        return 0;  // its Shift_JIS bytes are valid UTF-8 too, and are read as such
    }
    const common::ReadResult again = common::parseWordFile(written);
    KX_FUZZ_CHECK(again.ok());
    KX_FUZZ_CHECK(again.entries == shown);
    KX_FUZZ_CHECK(common::formatWordFile(again.entries) == written);
    return 0;
}
