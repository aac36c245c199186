#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

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

enum class ReadOutcome {
    Entries,     // the version line was accepted; entries holds the well-formed lines
    Invalid,     // no line at all, or lines of which none gives an entry
    OldVersion,  // the first line is not a version line
    NotFound,    // nothing exists at the path
    Unreadable,  // it exists but cannot be read (no permission, a folder, an I/O error)
    TooMany,     // more than kMaxEntries entries
};

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::Invalid;
    QList<Entry> entries;  // only for ReadOutcome::Entries
};

// Shift_JIS, or UTF-8 when the file starts with a UTF-8 byte-order mark or is valid UTF-8
// holding non-ASCII bytes.
ReadResult readWordFile(const QString& path);
// Whether these bytes are read as UTF-8. Shift_JIS text made only of characters whose two bytes
// also happen to form UTF-8 (in practice: UTF-8 once misread as Shift_JIS) is read so too.
bool isUtf8WordFile(QByteArrayView bytes);
ReadResult parseWordFile(QByteArrayView bytes);

struct WriteResult {
    bool ok = false;
    QString error;  // the system's reason when !ok, for the user's message
};

// The positions of the first `limit` entries holding characters Shift_JIS cannot store (only
// a file read as UTF-8 brings them in); writing would turn those into '?'.
QList<int> unstorableEntries(const QList<Entry>& entries, int limit);

// Replaces the file atomically: on failure the old file is left exactly as it was.
WriteResult writeWordFile(const QString& path, const QList<Entry>& entries);
// The same for any bytes: every write checked, the old file kept on failure. Only a regular
// file (its mode kept) or a new name is written; a hard link to it is split.
WriteResult writeFileAtomically(const QString& path, QByteArrayView bytes);
// Why something other than a file stands at the path (a folder, a pipe), or empty.
QString notAFileReason(const QString& path);
QByteArray formatWordFile(const QList<Entry>& entries);

// Whether the entry's line reads back as this entry: no field separator inside the question
// or answers, nor one formed where a field meets the next ("x|@1" before the separator).
bool readsBack(const Entry& entry);

}  // namespace common
