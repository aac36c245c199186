#include <gtest/gtest.h>

#include <QMap>

#include "common/ansi_text.h"
#include "common/word_file.h"

using namespace Qt::StringLiterals;

namespace {

using common::decodeAnsi;
using common::encodeAnsi;

QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values) {
        bytes.append(char(v));
    }
    return bytes;
}

// Windows writes a character that has several codes as its JIS code, else its NEC row-13 code,
// else its IBM code; the NEC-selected rows 0xED/0xEE come last.
int windowsRank(int code) {
    const int lead = code >> 8;
    if (lead == 0x87) {
        return 1;
    }
    if (lead >= 0xFA) {
        return 2;
    }
    return (lead == 0xED || lead == 0xEE) ? 3 : 0;
}

TEST(AnsiText, EveryDoubleByteCodeSurvivesAWordFileRoundTrip) {
    QMap<QString, int> preferred;  // character -> the code Windows writes for it
    QList<QPair<int, QString>> codes;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if ((lead > 0x9F && lead < 0xE0) || trail == 0x7F) {
                continue;
            }
            const QString c = decodeAnsi(bytesOf({lead, trail}));
            if (c.contains(QChar::ReplacementCharacter)) {
                continue;
            }
            ASSERT_EQ(c.size(), 1) << std::hex << lead << trail;
            const int code = (lead << 8) | trail;
            codes.append({code, c});
            auto it = preferred.find(c);
            if (it == preferred.end() || windowsRank(code) < windowsRank(*it)) {
                preferred[c] = code;
            }
        }
    }
    // JIS X 0208, NEC row 13, NEC-selected and IBM extensions, user-defined area.
    EXPECT_EQ(codes.size(), 6879 + 83 + 374 + 388 + 1880);

    QByteArray file = "Version 2.00\r\n";
    QByteArray expected = file;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        QByteArray line = "q|@1|";
        QByteArray written = line;
        for (const auto& [code, c] : codes) {
            if ((code >> 8) == lead) {
                line += bytesOf({code >> 8, code & 0xFF});
                const int out = preferred[c];
                written += bytesOf({out >> 8, out & 0xFF});
            }
        }
        file += line + "|@1|\r\n";
        expected += written + "|@1|\r\n";
    }
    const common::ReadResult read = common::parseWordFile(file);
    ASSERT_EQ(read.outcome, common::ReadOutcome::Entries);
    EXPECT_EQ(common::formatWordFile(read.entries), expected);
}

TEST(AnsiText, SingleBytesReadAsWindowsReadsThem) {
    QByteArray bytes;
    QString text;
    for (int b = 0; b < 0x80; ++b) {  // control bytes 0x1A, 0x1C, 0x7F included
        bytes += char(b);
        text += QChar(b);
    }
    for (int b = 0xA1; b <= 0xDF; ++b) {
        bytes += char(b);
        text += QChar(0xFF61 + b - 0xA1);
    }
    bytes += bytesOf({0x80, 0xA0, 0xFD, 0xFE, 0xFF, 0x82, 0xA0});
    text += u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3あ";
    EXPECT_EQ(decodeAnsi(bytes), text);
    EXPECT_EQ(encodeAnsi(text), bytes);
}

TEST(AnsiText, CodesWhereWindowsDiffersFromPlainShiftJis) {
    const struct {
        int code;
        char16_t expected;
    } table[] = {{0x5C, u'\\'},       {0x7E, u'~'},        {0x815C, u'\u2015'}, {0x815F, u'\uFF3C'},
                 {0x8160, u'\uFF5E'}, {0x8161, u'\u2225'}, {0x817C, u'\uFF0D'}, {0x8191, u'\uFFE0'},
                 {0x81CA, u'\uFFE2'}, {0xF040, u'\uE000'}};
    for (const auto& row : table) {
        const QByteArray bytes =
            row.code > 0xFF ? bytesOf({row.code >> 8, row.code & 0xFF}) : bytesOf({row.code});
        EXPECT_EQ(decodeAnsi(bytes), QString(QChar(row.expected))) << std::hex << row.code;
    }
}

TEST(AnsiText, BrokenPairsStillDecode) {
    const struct {
        QByteArray bytes;
        QString text;
    } table[] = {
        {"ab\x81", u"ab\uFFFD"_s},        // lead byte at the end
        {"\x85|@1|x", u"\uFFFD|@1|x"_s},  // an ASCII byte after it is kept
        {"\x81\r\n", u"\uFFFD\r\n"_s},
        {"\x85\x9F\x82\xA0", u"\uFFFDあ"_s},  // unassigned pair, then a good one
        {"\xEB\x40z", u"\uFFFD@z"_s},
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
        {u"apple"_s, "apple", u""_s},
        {u"林檎"_s, "\x97\xD1\x8C\xE7", u""_s},
        {u"caf\u00E9 \U0001F600\u00E9"_s, "caf? ??", u"\u00E9\U0001F600"_s},
        {QString(QChar(0xD800)) + u"x"_s, "?x", QString(QChar(0xD800))},
        {u"\uFFFD"_s, "?", u"\uFFFD"_s},
        {u"\u301C"_s, "\x81\x60", u""_s},  // wave dash from other systems: its look-alike
    };
    for (const auto& row : table) {
        EXPECT_EQ(encodeAnsi(row.text), row.bytes) << row.text.toStdString();
        EXPECT_EQ(common::unrepresentableChars(row.text), row.missing) << row.text.toStdString();
    }
}

}  // namespace
