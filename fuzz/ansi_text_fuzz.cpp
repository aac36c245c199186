// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Shift_JIS text: any bytes decode, and what was decoded is written back as it was read, but
// for two kinds of codes. A character with several codes (NEC row 13, the NEC-selected and
// the IBM extensions) is written with the one code Windows prefers; a byte or pair that is no
// character reads as U+FFFD and is written as '?'.
#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <bitset>
#include <cstdint>
#include <cstring>
#include <memory>

#include "common/ansi_text.h"
#include "fuzz_check.h"

using namespace Qt::StringLiterals;

namespace {

// Pairs that decode to a character whose preferred code is another pair.
std::unique_ptr<std::bitset<0x10000>> gOtherCodeWritten;

bool hasPairWrittenOtherwise(QByteArrayView bytes) {
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        const unsigned code = (unsigned(uchar(bytes[i])) << 8) | uchar(bytes[i + 1]);
        if (gOtherCodeWritten->test(code)) {
            return true;
        }
    }
    return false;
}

void checkDecodeThenEncode(QByteArrayView bytes) {
    const QString text = common::decodeAnsi(bytes);
    KX_FUZZ_CHECK(text.size() <= bytes.size());
    const QByteArray written = common::encodeAnsi(text);
    KX_FUZZ_CHECK(written.size() <= bytes.size());

    const bool broken = text.contains(QChar::ReplacementCharacter);
    if (!broken && !hasPairWrittenOtherwise(bytes)) {
        KX_FUZZ_CHECK(written == bytes);
    }
    // Only the broken codes are lost: written once, the text reads back as it was shown.
    QString shown = text;
    shown.replace(QChar::ReplacementCharacter, u'?');
    KX_FUZZ_CHECK(common::decodeAnsi(written) == shown);
    KX_FUZZ_CHECK(common::encodeAnsi(shown) == written);
    KX_FUZZ_CHECK(common::unrepresentableChars(text) ==
                  (broken ? QString(QChar::ReplacementCharacter) : QString()));
}

// The characters of text, a surrogate pair counted as one.
QStringList charactersOf(QStringView text) {
    QStringList characters;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        characters.append(text.sliced(i, units).toString());
        i += units;
    }
    return characters;
}

// Any UTF-16 text, lone surrogates included: the characters reported missing are those that
// are missing on their own, each once, in order; exactly they are written as '?', and the
// written bytes are stable under a further read and write.
void checkEncode(QStringView text) {
    const QByteArray written = common::encodeAnsi(text);
    KX_FUZZ_CHECK(written.size() <= 2 * text.size());
    QString missing;
    QSet<QString> seen;
    QString storable;
    for (const QString& character : charactersOf(text)) {
        if (common::unrepresentableChars(character).isEmpty()) {
            storable += character;
            continue;
        }
        KX_FUZZ_CHECK(common::unrepresentableChars(character) == character);
        storable += u'?';
        if (!seen.contains(character)) {
            seen.insert(character);
            missing += character;
        }
    }
    KX_FUZZ_CHECK(common::unrepresentableChars(text) == missing);
    KX_FUZZ_CHECK(common::unrepresentableChars(storable).isEmpty());
    KX_FUZZ_CHECK(common::encodeAnsi(storable) == written);
    KX_FUZZ_CHECK(common::encodeAnsi(common::decodeAnsi(written)) == written);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gOtherCodeWritten = std::make_unique<std::bitset<0x10000>>();
    for (unsigned code = 0x8000; code <= 0xFFFF; ++code) {
        const char pair[] = {char(code >> 8), char(code & 0xFF)};
        const QString c = common::decodeAnsi(QByteArrayView(pair, 2));
        if (c.size() == 1 && c[0] != QChar::ReplacementCharacter &&
            common::encodeAnsi(c) != QByteArrayView(pair, 2)) {
            gOtherCodeWritten->set(code);
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkDecodeThenEncode(bytes);
    QString text(qsizetype(size / 2), Qt::Uninitialized);  // the input need not be aligned
    std::memcpy(text.data(), data, size_t(text.size()) * 2);
    checkEncode(text);
    return 0;
}
