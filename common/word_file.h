// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include "common/outcome.h"

namespace common {

// One entry exactly in its file form: the answers joined by "|@2|", the information's line
// breaks stored as the two characters "\n".
struct Entry {
    QString question;
    QString rights;
    QString information;

    friend bool operator==(const Entry&, const Entry&) = default;
};

// Positions are 16-bit in both programs.
inline constexpr int kMaxEntries = 32767;

inline constexpr QStringView kFieldSeparator = u"|@1|";
inline constexpr QStringView kAnswerSeparator = u"|@2|";
inline constexpr QStringView kLineBreakMark = u"\\n";
inline constexpr QStringView kVersionLine = u"Version 2.00";

// Ok when the version line was accepted: entries holds the well-formed lines. Otherwise
// Invalid (no line at all, or lines of which none gives an entry), OldVersion (the first line is
// not a version line), NotFound, Unreadable (a folder, no permission, an I/O error) or TooMany
// (more than kMaxEntries entries), with no entries.
struct ReadResult {
    Outcome outcome;
    QList<Entry> entries;

    bool ok() const { return outcome.ok(); }
};

// Shift_JIS, or UTF-8 when the file starts with a UTF-8 byte-order mark or is valid UTF-8
// holding non-ASCII bytes.
ReadResult readWordFile(const QString& path);
// Whether these bytes are read as UTF-8. Shift_JIS text made only of characters whose two bytes
// also happen to form UTF-8 (in practice: UTF-8 once misread as Shift_JIS) is read so too.
bool isUtf8WordFile(QByteArrayView bytes);
ReadResult parseWordFile(QByteArrayView bytes);

// The positions of the first `limit` entries holding characters Shift_JIS cannot store (only
// a file read as UTF-8 brings them in); writing would turn those into '?'.
QList<int> unstorableEntries(const QList<Entry>& entries, int limit);

// Replaces the file as writeFileAtomically does: on failure the old file is left as it was.
Outcome writeWordFile(const QString& path, const QList<Entry>& entries);
QByteArray formatWordFile(const QList<Entry>& entries);

// Whether the entry's line reads back as this entry: no field separator inside the question
// or answers, nor one formed where a field meets the next ("x|@1" before the separator).
bool readsBack(const Entry& entry);

}  // namespace common
