// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QMap>

#include "common/ansi_text.h"
#include "common/word_file.h"

using namespace Qt::StringLiterals;
using common::decodeAnsi;
using common::encodeAnsi;

namespace {

QByteArray pair(int code) {
    return QByteArray(1, char(code >> 8)) + char(code);
}

// Of the codes of one character, Windows writes the JIS one, else NEC row 13, else IBM (0xFA to
// 0xFC); the NEC-selected rows 0xED/0xEE come last.
int windowsRank(int code) {
    const int lead = code >> 8;
    return lead == 0x87 ? 1 : lead >= 0xFA ? 2 : (lead == 0xED || lead == 0xEE) ? 3 : 0;
}

TEST(AnsiText, EveryDoubleByteCodeSurvivesAWordFileRoundTrip) {
    QMap<int, QString> codes;
    QMap<QString, int> written;
    for (int code = 0x8140; code < 0xFD00; ++code) {
        const QString c = decodeAnsi(pair(code));
        if ((code >= 0xA000 && code < 0xE000) || (code & 0xFF) < 0x40 ||
            c.contains(QChar::ReplacementCharacter)) {
            continue;
        }
        ASSERT_EQ(c.size(), 1) << std::hex << code;
        codes[code] = c;
        if (!written.contains(c) || windowsRank(code) < windowsRank(written[c])) {
            written[c] = code;
        }
    }
    // JIS X 0208, NEC row 13, NEC-selected and IBM extensions, user-defined area.
    EXPECT_EQ(codes.size(), 6879 + 83 + 374 + 388 + 1880);

    QByteArray file = "Version 2.00\r\n", expected = file;
    for (auto it = codes.cbegin(); it != codes.cend(); ++it) {
        file += "q|@1|" + pair(it.key()) + "|@1|\r\n";
        expected += "q|@1|" + pair(written[it.value()]) + "|@1|\r\n";
    }
    const common::ReadResult read = common::parseWordFile(file);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(common::formatWordFile(read.entries), expected);
}

// Control bytes 0x1A, 0x1C and 0x7F as Windows has them, the bytes iconv rejects, broken pairs
// and characters that the code page lacks.
TEST(AnsiText, ConvertsAsWindowsAndNeverFails) {
    QByteArray singles;
    QString singlesText;
    for (int b = 0; b <= 0xDF; ++b) {
        if (b < 0x80 || b > 0xA0) {
            singles += char(b);
            singlesText += QChar(b < 0x80 ? b : 0xFF61 + b - 0xA1);
        }
    }
    enum Way { Both, Decoding, Encoding };
    const struct {
        QByteArray bytes;
        QString text;
        Way way;
        QString missing = {};
    } table[] = {
        {singles + "\x80\xA0\xFD\xFE\xFF", singlesText + u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"_s, Both},
        {"\\~\x81\x5C\x81\x5F\x81\x60\x81\x61\x81\x7C\x81\xCA\xF0\x40",
         u"\\~\u2015\uFF3C\uFF5E\u2225\uFF0D\uFFE2\uE000"_s, Both},
        {"ab\x81", u"ab\uFFFD"_s, Decoding},            // a lead byte at the end
        {"\x85|@1|x", u"\uFFFD|@1|x"_s, Decoding},      // unassigned pair: the ASCII byte is kept
        {"\x85\x9F\x82\xA0", u"\uFFFDあ"_s, Decoding},  // both bytes of an unassigned pair go
        {"caf? ??", u"caf\u00E9 \U0001F600\u00E9"_s, Encoding, u"\u00E9\U0001F600"_s},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.bytes.toHex().constData());
        if (row.way != Encoding) {
            EXPECT_EQ(decodeAnsi(row.bytes), row.text);
        }
        if (row.way != Decoding) {
            EXPECT_EQ(encodeAnsi(row.text), row.bytes);
            EXPECT_EQ(common::unrepresentableChars(row.text), row.missing);
        }
    }
}

// Characters the code page lacks are kept; the others become the ones the file reads back.
TEST(AnsiText, StoredFormIsWhatTheFileReadsBack) {
    const struct {
        QString text, stored;
    } table[] = {
        {u"caf\u00E9 \u301C \u00A5 \U0001F600"_s, u"caf\u00E9 \uFF5E \\ \U0001F600"_s},
        {u"\u301C\u2212\u5909"_s, u"\uFF5E\uFF0D\u5909"_s},
        {u"a\x7F|@1|\t"_s, u"a\x7F|@1|\t"_s},
    };
    for (const auto& row : table) {
        EXPECT_EQ(common::storedForm(row.text), row.stored) << row.text.toStdString();
    }
}

}  // namespace
