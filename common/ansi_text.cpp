// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/ansi_text.h"

#include <bitset>

#include <QSet>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace common {

namespace {

bool isAscii(QByteArrayView bytes) {
    unsigned char any = 0;
    for (const char c : bytes) {
        any |= static_cast<unsigned char>(c);
    }
    return any < 0x80;
}

bool isAscii(QStringView text) {
    char16_t any = 0;
    for (const QChar c : text) {
        any |= c.unicode();
    }
    return any < 0x80;
}

// ASCII as itself, anything else (only met when no converter is at hand) as U+FFFD.
void widenAscii(QByteArrayView bytes, QString& text) {
    text.resize(bytes.size());
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = byte < 0x80 ? char16_t(byte) : u'\uFFFD';
    }
}

}  // namespace

QString decodeAnsi(QByteArrayView bytes) {
    QString text;
    decodeAnsi(bytes, text);
    return text;
}

#ifdef Q_OS_WIN

// The system's ANSI code page, converted as the Windows programs convert it: undecodable bytes
// become the code page's default character, and characters it lacks are written as '?'
// (without best-fit look-alikes, so that what is written is what the user sees again).

namespace {

// Longest piece handed to one call (the API counts in int), ending on a character boundary.
constexpr qsizetype kChunk = 1 << 26;

// Windows can be set to UTF-8 as its ANSI code page; the code page calls below assume a
// double-byte one.
bool ansiIsUtf8() {
    return GetACP() == CP_UTF8;
}

qsizetype decodeChunkEnd(QByteArrayView bytes, qsizetype start) {
    if (bytes.size() - start <= kChunk) {
        return bytes.size();
    }
    qsizetype i = start;
    while (i < start + kChunk - 1) {
        i += IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(bytes[i])) ? 2 : 1;
    }
    return i;
}

}  // namespace

void decodeAnsi(QByteArrayView bytes, QString& text) {
    if (isAscii(bytes)) {
        widenAscii(bytes, text);
        return;
    }
    if (ansiIsUtf8()) {
        text = QString::fromUtf8(bytes);
        return;
    }
    text.resize(bytes.size());
    qsizetype written = 0;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = decodeChunkEnd(bytes, start);
        written += MultiByteToWideChar(CP_ACP, 0, bytes.data() + start, int(end - start),
                                       reinterpret_cast<wchar_t*>(text.data()) + written,
                                       int(end - start));
        start = end;
    }
    text.truncate(written);
}

namespace {

QByteArray encodeWide(QStringView text, bool* usedDefault) {
    QByteArray bytes;
    bytes.resize(text.size() * 2);
    qsizetype written = 0;
    BOOL anyDefault = FALSE;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = qMin(text.size(), start + kChunk);
        if (end < text.size() && text[end - 1].isHighSurrogate()) {
            --end;
        }
        BOOL chunkDefault = FALSE;
        written += WideCharToMultiByte(
            CP_ACP, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.data()) + start,
            int(end - start), bytes.data() + written, int((end - start) * 2), "?", &chunkDefault);
        anyDefault = anyDefault || chunkDefault;
        start = end;
    }
    bytes.truncate(written);
    if (usedDefault) {
        *usedDefault = anyDefault;
    }
    return bytes;
}

}  // namespace

QByteArray encodeAnsi(QStringView text) {
    if (isAscii(text)) {
        return text.toLatin1();
    }
    return ansiIsUtf8() ? text.toUtf8() : encodeWide(text, nullptr);
}

namespace {

// The text in the code page, and whether every character of it could be stored.
QByteArray encodeChecked(QStringView text, bool& lossless) {
    bool usedDefault = false;
    QByteArray bytes = ansiIsUtf8() ? text.toUtf8() : encodeWide(text, &usedDefault);
    lossless = !usedDefault;
    return bytes;
}

}  // namespace

QString unrepresentableChars(QStringView text) {
    if (isAscii(text) || ansiIsUtf8()) {
        return {};
    }
    bool usedDefault = false;
    encodeWide(text, &usedDefault);
    if (!usedDefault) {
        return {};
    }
    QString missing;
    QSet<char32_t> seen;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        const QStringView character = text.sliced(i, length);
        const char32_t key = length == 2 ? QChar::surrogateToUcs4(character[0], character[1])
                                         : character[0].unicode();
        if (!seen.contains(key)) {
            seen.insert(key);
            encodeWide(character, &usedDefault);
            if (usedDefault) {
                missing += character;
            }
        }
        i += length;
    }
    return missing;
}

#else  // !Q_OS_WIN

// Shift_JIS as Windows code page 932, through the C library's converter, which agrees with
// Windows on every double-byte code (NEC and IBM extensions, user-defined area) and on every
// control byte.

namespace {

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr char kUtf16[] = "UTF-16LE";
#else
constexpr char kUtf16[] = "UTF-16BE";
#endif
constexpr char kCodePage[] = "CP932";

// Single bytes the converter rejects but Windows reads as characters of their own.
char16_t specialByteToChar(unsigned char byte) {
    switch (byte) {
        case 0x80:
            return 0x0080;
        case 0xA0:
            return 0xF8F0;
        case 0xFD:
            return 0xF8F1;
        case 0xFE:
            return 0xF8F2;
        case 0xFF:
            return 0xF8F3;
        default:
            return 0;
    }
}

int charToSpecialByte(char16_t c) {
    switch (c) {
        case 0x0080:
            return 0x80;
        case 0xF8F0:
            return 0xA0;
        case 0xF8F1:
            return 0xFD;
        case 0xF8F2:
            return 0xFE;
        case 0xF8F3:
            return 0xFF;
        default:
            return -1;
    }
}

bool isTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// One converter per thread and direction, opened on first use: opening costs far more than
// converting a short text.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (!valid()) {
            qWarning("No %s converter in the C library: text is read and written as ASCII",
                     kCodePage);
        }
    }
    ~Converter() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // iconv_open's failure value is (iconv_t)-1.
    bool valid() const {
        return cd_ != reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
    }

    // Converts as much as it can; on return `in` points at the first byte not converted.
    // Returns 0 when all was converted, else errno (EILSEQ, EINVAL, E2BIG).
    int convert(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
        char* inPtr = const_cast<char*>(in);
        const size_t result = iconv(cd_, &inPtr, &inLeft, &out, &outLeft);
        in = inPtr;
        if (result != static_cast<size_t>(-1)) {
            return 0;
        }
        return errno;
    }

    void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

Converter& decoder() {
    thread_local Converter converter(kUtf16, kCodePage);
    return converter;
}

Converter& encoder() {
    thread_local Converter converter(kCodePage, kUtf16);
    return converter;
}

}  // namespace

void decodeAnsi(QByteArrayView bytes, QString& text) {
    Converter& converter = decoder();
    if (isAscii(bytes) || !converter.valid()) {
        widenAscii(bytes, text);
        return;
    }
    converter.reset();
    // Every byte, alone or in a pair, gives at most one UTF-16 unit.
    text.resize(bytes.size());
    const char* in = bytes.data();
    size_t inLeft = size_t(bytes.size());
    char* const outStart = reinterpret_cast<char*>(text.data());
    char* out = outStart;
    size_t outLeft = size_t(bytes.size()) * 2;
    auto put = [&](char16_t c) {
        *reinterpret_cast<char16_t*>(out) = c;
        out += 2;
        outLeft -= 2;
    };
    while (inLeft > 0) {
        const int error = converter.convert(in, inLeft, out, outLeft);
        if (error == 0 || error == E2BIG) {  // the output cannot run short
            break;
        }
        // Stopped at a byte (or pair) that is not a character of the code page.
        const auto byte = static_cast<unsigned char>(*in);
        if (const char16_t special = specialByteToChar(byte)) {
            put(special);
            ++in;
            --inLeft;
            continue;
        }
        // A broken pair reads as one U+FFFD. Its second byte goes with it only when it is not
        // ASCII: an ASCII byte is kept, so that a damaged character never swallows a '|' of
        // a field separator (Windows would take it along).
        put(u'\uFFFD');
        const size_t taken =
            (inLeft >= 2 && byte >= 0x80 && isTrailByte(static_cast<unsigned char>(in[1])) &&
             static_cast<unsigned char>(in[1]) >= 0x80)
                ? 2
                : 1;
        in += taken;
        inLeft -= taken;
        converter.reset();
    }
    text.truncate((out - outStart) / 2);
}

namespace {

// Converts text in one pass, writing '?' for what the code page lacks and reporting each such
// character to `missing` when given.
QByteArray encodeText(QStringView text, QString* missing) {
    Converter& converter = encoder();
    QByteArray bytes;
    // Each UTF-16 unit gives at most two bytes.
    bytes.resize(text.size() * 2);
    const char* in = reinterpret_cast<const char*>(text.data());
    size_t inLeft = size_t(text.size()) * 2;
    char* const outStart = bytes.data();
    char* out = outStart;
    size_t outLeft = size_t(bytes.size());
    QSet<char32_t> seen;
    auto put = [&](char byte) {
        *out++ = byte;
        --outLeft;
    };
    if (converter.valid()) {
        converter.reset();
    }
    while (inLeft > 0) {
        const int error = converter.valid() ? converter.convert(in, inLeft, out, outLeft) : EILSEQ;
        if (error == 0 || error == E2BIG) {  // the output cannot run short
            break;
        }
        const qsizetype at = (in - reinterpret_cast<const char*>(text.data())) / 2;
        const QChar c = text[at];
        const int special = converter.valid() ? charToSpecialByte(c.unicode()) : -1;
        if (special >= 0 || (!converter.valid() && c.unicode() < 0x80)) {
            put(char(special >= 0 ? special : c.unicode()));
            in += 2;
            inLeft -= 2;
            continue;
        }
        const qsizetype units =
            (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) ? 2 : 1;
        if (missing) {
            const char32_t key = units == 2 ? QChar::surrogateToUcs4(c, text[at + 1]) : c.unicode();
            if (!seen.contains(key)) {
                seen.insert(key);
                missing->append(text.sliced(at, units));
            }
        }
        put('?');
        in += units * 2;
        inLeft -= units * 2;
        if (converter.valid()) {
            converter.reset();
        }
    }
    bytes.truncate(out - outStart);
    return bytes;
}

}  // namespace

QByteArray encodeAnsi(QStringView text) {
    if (isAscii(text)) {
        return text.toLatin1();
    }
    return encodeText(text, nullptr);
}

namespace {

QByteArray encodeChecked(QStringView text, bool& lossless) {
    QString missing;
    QByteArray bytes = encodeText(text, &missing);
    lossless = missing.isEmpty();
    return bytes;
}

}  // namespace

QString unrepresentableChars(QStringView text) {
    QString missing;
    if (!isAscii(text)) {
        encodeText(text, &missing);
    }
    return missing;
}

#endif  // Q_OS_WIN

namespace {

// Whether a UTF-16 unit comes back from the code page as itself, or is kept as it is because
// the code page cannot store it (surrogates among them), worked out by converting the unit the
// first time this thread meets it. A word file uses a few hundred distinct characters, and
// most texts are made only of such units: no conversion at all then.
class StoredAsItself {
public:
    // Whether every unit of text is stored as itself: two bit tests a unit once the thread
    // knows it, the conversion kept out of the loop.
    bool all(QStringView text) {
        for (const QChar c : text) {
            const char16_t unit = c.unicode();
            if (!known_[unit]) {
                learn(unit);
            }
            if (!self_[unit]) {
                return false;
            }
        }
        return true;
    }

private:
    Q_NEVER_INLINE void learn(char16_t unit) {
        known_[unit] = true;
        self_[unit] = QChar::isSurrogate(unit) || storedAsItself(QStringView(&unit, 1));
    }

    static bool storedAsItself(QStringView unit) {
        return !unrepresentableChars(unit).isEmpty() || decodeAnsi(encodeAnsi(unit)) == unit;
    }

    std::bitset<0x10000> known_;
    std::bitset<0x10000> self_;
};

}  // namespace

bool storedAsItself(QStringView text) {
    thread_local StoredAsItself units;
    return units.all(text);
}

QString storedForm(QStringView text) {
    // ASCII is stored as itself, and so is most other text; the rest is converted once, and
    // again character by character only when something in it cannot be stored.
    if (isAscii(text) || storedAsItself(text)) {
        return text.toString();
    }
    bool lossless = false;
    const QByteArray bytes = encodeChecked(text, lossless);
    if (lossless) {
        return decodeAnsi(bytes);
    }
    QString stored;
    stored.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        const QStringView character = text.sliced(i, units);
        stored += unrepresentableChars(character).isEmpty() ? decodeAnsi(encodeAnsi(character))
                                                            : character.toString();
        i += units;
    }
    return stored;
}

}  // namespace common
