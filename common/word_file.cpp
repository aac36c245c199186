// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/word_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "common/ansi_text.h"
#include "common/atomic_file.h"

namespace common {

namespace {

// The next line of text from `pos`, which moves past its line end (CR LF, LF or CR).
QStringView nextLine(QStringView text, qsizetype& pos) {
    const qsizetype start = pos;
    const QChar* data = text.data();
    const qsizetype size = text.size();
    qsizetype end = start;
    while (end < size && data[end] != u'\n' && data[end] != u'\r') {
        ++end;
    }
    pos = end;
    if (pos < size) {
        pos += (data[pos] == u'\r' && pos + 1 < size && data[pos + 1] == u'\n') ? 2 : 1;
    }
    return text.sliced(start, end - start);
}

// The word is compared in ASCII upper case only: the number after it is never looked at.
bool isVersionLine(QStringView line) {
    constexpr QStringView kWord = u"VERSION";
    if (line.size() < kWord.size()) {
        return false;
    }
    for (qsizetype i = 0; i < kWord.size(); ++i) {
        char16_t c = line[i].unicode();
        if (c >= u'a' && c <= u'z') {
            c = char16_t(c - (u'a' - u'A'));
        }
        if (c != kWord[i].unicode()) {
            return false;
        }
    }
    return true;
}

// The next '|', CR or LF from `p`, or `end`. Eight characters at a time where the processor
// allows: this is the reader's inner loop.
char16_t* nextMark(char16_t* p, char16_t* const end) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i bar = _mm_set1_epi16('|');
    const __m128i cr = _mm_set1_epi16('\r');
    const __m128i lf = _mm_set1_epi16('\n');
    for (; end - p >= 8; p += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i marks =
            _mm_or_si128(_mm_cmpeq_epi16(chars, bar),
                         _mm_or_si128(_mm_cmpeq_epi16(chars, cr), _mm_cmpeq_epi16(chars, lf)));
        if (const int mask = _mm_movemask_epi8(marks)) {
            return p + std::countr_zero(unsigned(mask)) / 2;
        }
    }
#endif
    while (p < end && *p != u'|' && *p != u'\r' && *p != u'\n') {
        ++p;
    }
    return p;
}

// A field as a string sharing the storage of the decoded piece it lies in: one allocation for
// the few thousand fields of a piece instead of one for each. The character after the field is
// overwritten with a null (it is a separator's bar or a line end, in no other field; a text's
// storage holds a null after its end already), as a string's own storage always ends in one.
// The piece's storage is freed with the last field that shares it; changing a field copies it
// first, as for any shared string.
QString sharedField(const QString& piece, char16_t* begin, char16_t* end) {
    if (begin == end) {
        return QString(reinterpret_cast<const QChar*>(begin), 0);
    }
    *end = u'\0';
    QString::DataPointer field = piece.data_ptr();
    Q_ASSERT(field.d);
    field.ptr = begin;
    field.size = end - begin;
    return QString(std::move(field));
}

// Reads the entry line at `pos` of `piece` into `entries` and moves `pos` past its line end.
// Lines with fewer than two separators give no entry; pieces after the third are dropped.
// `data` is the piece's own storage, which no other string shares yet.
bool readEntryLine(const QString& piece, char16_t* data, qsizetype& pos, QList<Entry>& entries) {
    char16_t* const end = data + piece.size();
    char16_t* const line = data + pos;
    char16_t* separators[3] = {};
    int found = 0;
    char16_t* p = line;
    while ((p = nextMark(p, end)) < end && *p == u'|') {
        if (found < 3 && end - p >= 4 && p[1] == u'@' && p[2] == u'1' && p[3] == u'|') {
            separators[found++] = p;
            p += 4;
        } else {
            ++p;
        }
    }
    char16_t* const lineEnd = p;
    if (p < end) {
        p += (*p == u'\r' && p + 1 < end && p[1] == u'\n') ? 2 : 1;
    }
    pos = p - data;
    if (found < 2) {
        return false;
    }
    if (found == 2) {
        separators[2] = lineEnd;
    }
    const qsizetype separator = kFieldSeparator.size();
    Entry& entry = entries.emplaceBack();
    entry.question = sharedField(piece, line, separators[0]);
    entry.rights = sharedField(piece, separators[0] + separator, separators[1]);
    entry.information = sharedField(piece, separators[1] + separator, separators[2]);
    return true;
}

// Where to end the piece of the file that is converted next: after the first line end beyond
// `start + kPiece`. A line end byte is never part of a double-byte character, so pieces convert
// exactly as the whole would, and a piece small enough to stay in the cache is much faster to
// split into entries.
constexpr qsizetype kPiece = 1 << 16;

qsizetype pieceEnd(QByteArrayView bytes, qsizetype start) {
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype i = qMin(size, start + kPiece);
    while (i < size && data[i] != '\n' && data[i] != '\r') {
        ++i;
    }
    if (i < size) {
        i += (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
    }
    return i;
}

qsizetype countByte(QByteArrayView bytes, char byte) {
    qsizetype count = 0;
    const char* const end = bytes.data() + bytes.size();
    for (const char* p = bytes.data();
         (p = static_cast<const char*>(std::memchr(p, byte, end - p))) != nullptr; ++p) {
        ++count;
    }
    return count;
}

// Room for the entries: about one per line feed (or per carriage return in a file without line
// feeds), and never more than a file may hold.
qsizetype expectedEntries(QByteArrayView bytes) {
    qsizetype lines = countByte(bytes, '\n');
    if (lines == 0) {
        lines = countByte(bytes, '\r');
    }
    return qMin<qsizetype>(lines, kMaxEntries + 1);
}

// Copies text to `out`, unless only measuring.
void copyText(QStringView text, char16_t* out) {
    if (out && !text.isEmpty()) {
        std::memcpy(out, text.utf16(), text.size() * sizeof(char16_t));
    }
}

bool hasLineBreak(QStringView field) {
    bool found = false;
    for (const QChar c : field) {
        found |= c == u'\r' || c == u'\n';
    }
    return found;
}

// Writes the field at `out` (when given) and returns its length there. A line break inside a
// field would split its entry in two on the next reading: the information keeps its breaks as
// the mark, the single-line fields get a blank instead.
qsizetype putField(QStringView field, QStringView breakMark, char16_t* out) {
    if (!hasLineBreak(field)) {
        copyText(field, out);
        return field.size();
    }
    qsizetype length = 0;
    auto put = [&](QStringView piece) {
        copyText(piece, out ? out + length : nullptr);
        length += piece.size();
    };
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < field.size() && field[i + 1] == u'\n') {
                ++i;
            }
            put(breakMark);
        } else {
            put(field.sliced(i, 1));
        }
    }
    return length;
}

// The file's text in one piece, so that it is converted in one pass.
qsizetype putFileText(const QList<Entry>& entries, char16_t* out) {
    constexpr QStringView kLineEnd = u"\r\n";
    qsizetype length = 0;
    auto put = [&](QStringView piece) {
        copyText(piece, out ? out + length : nullptr);
        length += piece.size();
    };
    put(kVersionLine);
    put(kLineEnd);
    for (const Entry& entry : entries) {
        length += putField(entry.question, u" ", out ? out + length : nullptr);
        put(kFieldSeparator);
        length += putField(entry.rights, u" ", out ? out + length : nullptr);
        put(kFieldSeparator);
        length += putField(entry.information, kLineBreakMark, out ? out + length : nullptr);
        put(kLineEnd);
    }
    return length;
}

constexpr QByteArrayView kUtf8Bom = "\xEF\xBB\xBF";

bool hasNonAscii(QByteArrayView bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Both checks go piece by piece and stop at the first fault: a Shift_JIS file is rarely valid
// UTF-8 beyond its first few non-ASCII bytes.
bool isValidUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringConverter::Utf8);
    for (qsizetype start = 0; start < bytes.size(); start += kPiece) {
        const QString piece = decoder(bytes.sliced(start, qMin(kPiece, bytes.size() - start)));
        if (decoder.hasError()) {
            return false;
        }
    }
    return true;
}

}  // namespace

// Text editors on Linux and macOS save UTF-8. Japanese Shift_JIS text is practically never
// valid UTF-8 (its lead bytes 0x81-0x9F are continuation bytes there), while much UTF-8 text
// is valid Shift_JIS too, so validity as UTF-8 decides.
bool isUtf8WordFile(QByteArrayView bytes) {
    return bytes.startsWith(kUtf8Bom) || (hasNonAscii(bytes) && isValidUtf8(bytes));
}

ReadResult parseWordFile(QByteArrayView bytes) {
    ReadResult result;
    if (bytes.isEmpty()) {
        result.outcome = Outcome::failure(OutcomeKind::Invalid);
        return result;
    }
    // Pieces end at line ends, so a stateful decoder never sees a character split.
    std::optional<QStringDecoder> utf8;
    if (isUtf8WordFile(bytes)) {
        utf8.emplace(QStringConverter::Utf8);
    }
    bool firstLine = true;
    bool skippedLine = false;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = pieceEnd(bytes, start);
        const QByteArrayView piece = bytes.sliced(start, end - start);
        // A string of its own for each piece, since the entries' fields share its storage.
        QString text;
        if (utf8) {
            text = (*utf8)(piece);
        } else {
            text.reserve(piece.size());  // what decoding takes at most, and no more
            decodeAnsi(piece, text);
        }
        // The fields keep this storage: give back what a double-byte text left unused.
        text.squeeze();
        char16_t* const data = reinterpret_cast<char16_t*>(text.data());
        start = end;
        qsizetype pos = 0;
        if (firstLine) {
            if (!isVersionLine(nextLine(text, pos))) {
                result.outcome = Outcome::failure(OutcomeKind::OldVersion);
                return result;
            }
            firstLine = false;
            result.entries.reserve(expectedEntries(bytes));
        }
        while (pos < text.size()) {
            const bool blank = data[pos] == u'\r' || data[pos] == u'\n';
            if (!readEntryLine(text, data, pos, result.entries)) {
                skippedLine |= !blank;
            } else if (result.entries.size() > kMaxEntries) {
                result.entries = {};
                result.outcome = Outcome::failure(OutcomeKind::TooMany);
                return result;
            }
        }
    }
    // Lines were there but none could be read: not a word file, rather than an empty one.
    if (result.entries.isEmpty() && skippedLine) {
        result.outcome = Outcome::failure(OutcomeKind::Invalid);
    }
    return result;
}

ReadResult readWordFile(const QString& path) {
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.outcome = Outcome::failure(OutcomeKind::NotFound);
        return result;
    }
    QFile file(path);
    // Only a regular file: a folder, device or pipe could never be read to its end.
    if (!info.isFile()) {
        result.outcome = Outcome::failure(OutcomeKind::Unreadable);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.outcome = Outcome::failure(OutcomeKind::Unreadable, file.errorString());
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.outcome = Outcome::failure(OutcomeKind::Unreadable, file.errorString());
        return result;
    }
    return parseWordFile(bytes);
}

QList<int> unstorableEntries(const QList<Entry>& entries, int limit) {
    QList<int> found;
    for (qsizetype i = 0; i < entries.size() && found.size() < limit; ++i) {
        const Entry& entry = entries.at(i);
        if (!unrepresentableChars(entry.question).isEmpty() ||
            !unrepresentableChars(entry.rights).isEmpty() ||
            !unrepresentableChars(entry.information).isEmpty()) {
            found.append(int(i));
        }
    }
    return found;
}

QByteArray formatWordFile(const QList<Entry>& entries) {
    QString text(putFileText(entries, nullptr), Qt::Uninitialized);
    putFileText(entries, reinterpret_cast<char16_t*>(text.data()));
    return encodeAnsi(text);
}

Outcome writeWordFile(const QString& path, const QList<Entry>& entries) {
    return writeFileAtomically(path, formatWordFile(entries));
}

bool readsBack(const Entry& entry) {
    // Every separator starts with a bar, so most entries need no closer look. With no bar in
    // the question and the information, only the answers can hold a field separator, or end in
    // one cut short that the separator after them would complete.
    if (!entry.question.contains(u'|') && !entry.information.contains(u'|')) {
        return !entry.rights.contains(u'|') || (!entry.rights.contains(kFieldSeparator) &&
                                                !entry.rights.endsWith(kFieldSeparator.chopped(1)));
    }
    const QString separator = kFieldSeparator.toString();
    const QString line = entry.question + separator + entry.rights + separator + entry.information;
    const QList<QStringView> pieces = QStringView(line).split(kFieldSeparator);
    return pieces.size() == 3 && pieces.at(0) == entry.question && pieces.at(1) == entry.rights;
}

}  // namespace common
