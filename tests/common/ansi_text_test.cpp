#include <gtest/gtest.h>

#include <QMap>

#include "common/ansi_text.h"
#include "common/word_file.h"

using namespace Qt::StringLiterals;
using common::decodeAnsi;
using common::encodeAnsi;

namespace {

QByteArray pair(int code) {
    const char bytes[] = {char(code >> 8), char(code & 0xFF)};
    return QByteArray(bytes, 2);
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
    for (int lead : {0x81, 0xE0}) {
        for (int code = lead << 8; code < ((lead == 0x81 ? 0xA0 : 0xFD) << 8); ++code) {
            const QString c = decodeAnsi(pair(code));
            if ((code & 0xFF) < 0x40 || c.contains(QChar::ReplacementCharacter)) {
                continue;
            }
            ASSERT_EQ(c.size(), 1) << std::hex << code;
            codes[code] = c;
            if (!written.contains(c) || windowsRank(code) < windowsRank(written[c])) {
                written[c] = code;
            }
        }
    }
    // JIS X 0208, NEC row 13, NEC-selected and IBM extensions, user-defined area.
    EXPECT_EQ(codes.size(), 6879 + 83 + 374 + 388 + 1880);

    QByteArray file = "Version 2.00\r\n", expected = file;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {  // one entry per lead byte
        QByteArray in, out;
        for (auto it = codes.lowerBound(lead << 8); it != codes.cend() && it.key() >> 8 == lead;
             ++it) {
            in += pair(it.key());
            out += pair(written[it.value()]);
        }
        if (!in.isEmpty()) {
            file += "q|@1|" + in + "|@1|\r\n";
            expected += "q|@1|" + out + "|@1|\r\n";
        }
    }
    const common::ReadResult read = common::parseWordFile(file);
    ASSERT_EQ(read.outcome, common::ReadOutcome::Entries);
    EXPECT_EQ(common::formatWordFile(read.entries), expected);
}

TEST(AnsiText, EverySingleByteRoundTrips) {
    QByteArray bytes;
    QString text;
    for (int b = 0; b < 0x80; ++b) {  // control bytes 0x1A, 0x1C and 0x7F among them
        bytes += char(b);
        text += QChar(b);
    }
    for (int b = 0xA1; b <= 0xDF; ++b) {
        bytes += char(b);
        text += QChar(0xFF61 + b - 0xA1);
    }
    bytes += "\x80\xA0\xFD\xFE\xFF";
    text += u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3";
    EXPECT_EQ(decodeAnsi(bytes), text);
    EXPECT_EQ(encodeAnsi(text), bytes);
}

TEST(AnsiText, DecodesAsWindowsAndNeverFails) {
    const struct {
        QByteArray bytes;
        QString text;
    } table[] = {
        {"\\~\x81\x5C\x81\x5F\x81\x60\x81\x61\x81\x7C\x81\xCA\xF0\x40",
         u"\\~\u2015\uFF3C\uFF5E\u2225\uFF0D\uFFE2\uE000"_s},
        {"ab\x81", u"ab\uFFFD"_s},            // a lead byte at the end
        {"\x85|@1|x", u"\uFFFD|@1|x"_s},      // unassigned pair: the ASCII byte is kept
        {"\x81\r\n", u"\uFFFD\r\n"_s},        // so is a line end
        {"\x85\x9F\x82\xA0", u"\uFFFDあ"_s},  // both bytes of an unassigned pair go
    };
    for (const auto& row : table) {
        EXPECT_EQ(decodeAnsi(row.bytes), row.text) << row.bytes.toHex().constData();
    }
}

TEST(AnsiText, UnrepresentableCharactersBecomeQuestionMarks) {
    const struct {
        QString text;
        QByteArray bytes;
        QString missing;
    } table[] = {
        {u"林檎"_s, "\x97\xD1\x8C\xE7", u""_s},
        {u"caf\u00E9 \U0001F600\u00E9"_s, "caf? ??", u"\u00E9\U0001F600"_s},
        {QChar(0xD800) + u"x\uFFFD"_s, "?x?", QChar(0xD800) + u"\uFFFD"_s},
        {u"\u301C"_s, "\x81\x60", u""_s},  // the wave dash of other systems: its look-alike
    };
    for (const auto& row : table) {
        EXPECT_EQ(encodeAnsi(row.text), row.bytes) << row.text.toStdString();
        EXPECT_EQ(common::unrepresentableChars(row.text), row.missing) << row.text.toStdString();
    }
}

}  // namespace
