// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "common/ansi_text.h"
#include "common/word_file.h"
#include "exchange/logic/exporters.h"
#include "exchange/logic/import_file.h"
#include "exchange/logic/mapping.h"
#include "exchange/logic/pdf_text_map.h"
#include "exchange/logic/print_layout.h"
#include "exchange/logic/table.h"
#include "exchange/logic/utf8_text.h"

namespace {

using common::Entry;
using namespace Qt::StringLiterals;

TEST(DecodeText, DetectsTheEncoding) {
    const QString japanese = QStringLiteral("りんご,apple");
    const auto marked = [&](QStringConverter::Encoding encoding) {
        return QByteArray(QStringEncoder(encoding, QStringConverter::Flag::WriteBom)(japanese));
    };
    const QByteArray cases[] = {marked(QStringConverter::Utf8), japanese.toUtf8(),
                                marked(QStringConverter::Utf16LE),
                                marked(QStringConverter::Utf16BE), common::encodeAnsi(japanese)};
    for (const QByteArray& bytes : cases) {
        EXPECT_EQ(exchange::decodeText(bytes), japanese) << bytes.left(4).toHex().constData();
    }
}

TEST(ParseDelimited, SplitsRowsAndQuotedFields) {
    using Rows = QList<QStringList>;
    const struct {
        const char* text;
        QChar separator;
        Rows rows;
        QList<int> lines;
    } cases[] = {
        {"a,b\r\nc,d\r\n", u',', {{"a", "b"}, {"c", "d"}}, {1, 2}},
        {"a,b\rc,d\r", u',', {{"a", "b"}, {"c", "d"}}, {1, 2}},
        {"\"x,y\",\"say \"\"hi\"\"\"\n", u',', {{"x,y", "say \"hi\""}}, {1}},
        // Rows are numbered by the file line they start on, quoted line breaks counted.
        {"\"two\r\nlines\",b\nc,d\n", u',', {{"two\r\nlines", "b"}, {"c", "d"}}, {1, 3}},
        {"\"a\r\r\n\nb\"\rc\n\"d\re\"\n", u',', {{"a\r\r\n\nb"}, {"c"}, {"d\re"}}, {1, 5, 6}},
        {"a,,\n\n\nb\n", u',', {{"a", "", ""}, {"b"}}, {1, 4}},
        {"a\t\"b\tc\"\n", u'\t', {{"a", "b\tc"}}, {1}},
        {"\"open", u',', {{"open"}}, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QList<int> lines;
        const Rows rows = exchange::parseDelimited(QString::fromUtf8(c.text), c.separator, &lines);
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(lines, c.lines);
        // Cells share the text's storage, each ending in a null as any string does.
        for (const QStringList& row : rows) {
            for (const QString& cell : row) {
                EXPECT_TRUE(cell.isEmpty() || *(cell.constData() + cell.size()) == u'\0')
                    << cell.toStdString();
            }
        }
    }
}

TEST(PlanImport, MapsColumnsAndListsRowsThatCannotBeEntries) {
    using exchange::AnswerSplit;
    using exchange::Problem;
    const exchange::Mapping bySemicolon{0, 1, 2, AnswerSplit::Semicolon, false, {}};
    const struct {
        const char* name;
        QStringList row;
        exchange::Mapping mapping;
        std::optional<Entry> entry;
        std::optional<Problem> problem;
        bool droppedText = false;
    } cases[] = {
        // clang-format off
        {"answers split and trimmed", {" apple ", "りんご; 林檎;", "a\r\nb"}, bySemicolon,
         Entry{"apple", "りんご|@2|林檎", "a\\nb"}, {}},
        {"quoted answer kept whole, formula guard dropped", {"q", "\"a; \"\"b\"\"\"; c", " =x"},
         bySemicolon, Entry{"q", "a; \"b\"|@2|c", "=x"}, {}},
        {"one per column skips the mapped and hidden ones", {"info", "run", "走る", "", "駆ける", "tag"},
         {1, 2, 0, AnswerSplit::OnePerColumn, false, {}}, Entry{"run", "走る|@2|駆ける", "info"}, {}},
        {"ASCII commas", {"q", "a,b ,"}, {0, 1, -1, AnswerSplit::AsciiComma, false, {}}, Entry{"q", "a|@2|b", ""}, {}},
        {"full-width semicolons", {"q", "見捨てる；放棄する"}, {0, 1, -1, AnswerSplit::FullWidthSemicolon, false, {}},
         Entry{"q", "見捨てる|@2|放棄する", ""}, {}},
        {"line breaks, a quoted answer before one", {"q", "\"a\"\r\nb\n\nc"}, {0, 1, -1, AnswerSplit::LineBreak, false, {}},
         Entry{"q", "a|@2|b|@2|c", ""}, {}},
        {"a separator of the user's own", {"q", "a -- b--c"}, {0, 1, -1, AnswerSplit::Other, false, " -- "},
         Entry{"q", "a|@2|b|@2|c", ""}, {}},
        {"no text of the user's own: one answer", {"q", " a;b "}, {0, 1, -1, AnswerSplit::Other, false, {}},
         Entry{"q", "a;b", ""}, {}},
        {"no text of the user's own: quotes kept", {"q", "\"a\""}, {0, 1, -1, AnswerSplit::Other, false, {}},
         Entry{"q", "\"a\"", ""}, {}},
        {"every kind of line break in the information", {"q", "a", "1\r2\n3\r\n4\n\r"}, bySemicolon,
         Entry{"q", "a", "1\\n2\\n3\\n4\\n\\n"}, {}},
        {"and in a long one", {"q", "a", "1\r2\n3\r\n4\n\r" + QString(3000, u'x')}, bySemicolon,
         Entry{"q", "a", "1\\n2\\n3\\n4\\n\\n" + QString(3000, u'x')}, {}},
        {"header skipped when asked", {"q", "a"}, {0, 1, 2, AnswerSplit::Semicolon, true, {}}, {}, {}},
        {"no question", {" ", "a"}, bySemicolon, {}, Problem::NoQuestion},
        {"short row", {"q"}, bySemicolon, {}, Problem::NoAnswer},
        {"unstorable", {"q", "a", "😀"}, bySemicolon, {}, Problem::Unstorable},
        {"field separator", {"a|@1|b", "a"}, bySemicolon, {}, Problem::Separator},
        {"answer separator in an answer", {"q", "a|@2|b"}, bySemicolon, {}, Problem::Separator},
        {"an answer ending in half an answer separator", {"q", "a|@2; b"}, bySemicolon, {}, Problem::Separator},
        {"field separator in the information", {"q", "a", "i|@1|j"}, bySemicolon, {}, Problem::Separator},
        {"answers on two lines", {"q", "a\rb"}, bySemicolon, {}, Problem::LineBreak},
        {"answers ending in half a field separator",
         {"q", "a; b|@1"},
         bySemicolon,
         {},
         Problem::Separator},
        {"question on two lines", {"a\nb", "a"}, bySemicolon, {}, Problem::LineBreak},
        {"NUL in an answer", {"q", QString::fromUtf16(u"a\0b", 3)}, bySemicolon, {}, Problem::Nul},
        {"a field too long", {"q", "a", QString(32768, u'x')}, bySemicolon, {}, Problem::TooLong},
        {"text the reader left out", {"q", "a"}, bySemicolon, {}, Problem::DroppedText, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exchange::Table table;
        table.rows = {c.row};
        table.sourceLines = {7};
        table.hiddenColumns = {5};
        if (c.droppedText) {
            table.droppedText = {0};
        }
        const exchange::ImportPlan plan = exchange::planImport(table, c.mapping);
        if (c.entry) {
            EXPECT_EQ(plan.entries, (QList<Entry>{*c.entry}));
            EXPECT_TRUE(plan.problems.isEmpty());
        } else {
            EXPECT_TRUE(plan.entries.isEmpty());
            ASSERT_EQ(plan.problems.size(), c.problem ? 1 : 0);
        }
        if (c.problem) {
            EXPECT_EQ(plan.problems[0].problem, *c.problem);
            EXPECT_TRUE(exchange::describe(plan.problems[0]).startsWith(u"7 行目: "));
        }
    }
    // A document of entries names a row by its entry.
    exchange::Table entries;
    entries.rows = {{"", "a"}, {"q", "😀"}};
    entries.sourceLines = {3, 4};
    entries.numbering = exchange::RowNumbering::Entry;
    const exchange::ImportPlan plan = exchange::planImport(entries, bySemicolon);
    ASSERT_EQ(plan.problems.size(), 2);
    EXPECT_EQ(exchange::describe(plan.problems[0]), "3 番目の単語: 問題がありません");
    EXPECT_TRUE(exchange::describe(plan.problems[1]).startsWith(u"4 番目の単語: "));
}

// The separator found outside quotes in the most answer cells is proposed, ties going to the
// format's own; the preview shows the answers it makes.
TEST(ProposedMapping, SplitsAtTheSeparatorTheAnswersHoldMost) {
    using exchange::AnswerSplit;
    const struct {
        const char* name;
        QStringList answers;  // the cells of the answers column
        bool html;
        AnswerSplit split;
        const char* firstShown;  // the first row's answers in the preview
    } cases[] = {
        // clang-format off
        {"full-width semicolons", {"見捨てる；放棄する", "a; b", "習得する；獲得する"}, false, AnswerSplit::FullWidthSemicolon, "見捨てる｜放棄する"},
        {"lines in HTML", {"見捨てる\n放棄する", "a、b", "c"}, true, AnswerSplit::LineBreak, "見捨てる｜放棄する"},
        {"a tie goes to the format's own", {"a / b", "c; d"}, false, AnswerSplit::Semicolon, "a / b"},
        {"nothing to split: HTML's own", {"a", "b"}, true, AnswerSplit::LineBreak, "a"},
        {"quoted separators do not count", {"\"a／b\" / c", "\"d／e\"", "f / g"}, false, AnswerSplit::Slash, "a／b｜c"},
        {"slashes and full-width slashes", {"a／b", "c／d", "e/f"}, false, AnswerSplit::FullWidthSlash, "a｜b"},
        {"ASCII commas", {"a,b", "c,d"}, false, AnswerSplit::AsciiComma, "a｜b"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exchange::Table table;
        table.html = c.html;
        for (const QString& cell : c.answers) {
            table.rows.append({QStringLiteral("q"), cell});
        }
        const exchange::Mapping mapping = exchange::proposedMapping(table);
        EXPECT_EQ(mapping.split, c.split);
        EXPECT_EQ(exchange::previewAnswers(table.rows[0], mapping, {}), c.firstShown);
    }
}

TEST(DetectSeparator, TakesTheMostConsistentColumnCount) {
    const struct {
        const char* text;
        QChar fallback;
        QChar separator;
    } cases[] = {
        {"apple\tりんご, 林檎\ncat\t猫\n", u',', u'\t'},  // a .csv that is really tab-separated
        {"apple;りんご, 林檎;x\ncat;猫;y\n", u',', u';'},
        {"apple|りんご\ncat|猫\n", u'\t', u'|'},
        {"apple,\"りんご; 林檎\"\ncat,猫; ネコ\n", u'\t', u','},
        {"apple\ncat\n", u',', u','},  // nothing splits: the extension's
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(exchange::detectSeparator(QString::fromUtf8(c.text), c.fallback), c.separator);
    }
}

TEST(HtmlToText, ReadsFieldsAsABrowserShowsThem) {
    const struct {
        const char* html;
        const char* text;
        int media;
    } cases[] = {
        {"待つ&hellip;", "待つ…", 0},
        {"A&mdash;B&nbsp;&#x3042;&#12354;&lt;&amp;", "A—B ああ<&", 0},
        {"a<br>b<div>c</div><p>d</p><ul><li>e</li></ul>", "a\nb\nc\nd\ne", 0},
        {"a<hr>b", "a\n\nb", 0},
        {"two\r\n  source\tlines", "two source lines", 0},
        // One raw line break or tab, in text without markup and beside markup.
        {"a\nb\tc", "a b c", 0},
        {"<i>a</i>\nb\tc", "a b c", 0},
        {" <i>a</i> <BR/> b  <br />\n<br>c ", "a\nb\n\nc", 0},
        {"<b>run</b>\n[sound:run.mp3]<img src=\"run.png\">", "run", 2},
        // Runs of two-byte text moved back over the markup before them.
        {"<b>りんご</b>と<i>みかん</i>", "りんごとみかん", 0},
        {"<div>x</div><br>", "x", 0},
        {"<hr>a<br><br>", "a", 0},
        {"a&#9;b&#X9;c", "a\tb\tc", 0},
        {"<div>a</div>b<br><p>c</p>d", "a\nb\nc\nd", 0},
        {"a<pre> x\n  y</pre> b <script>s<b>x</b></script><!-- <p> -->c", "a\n x\n  y\nb c", 0},
        {"&amp &#x1F600;&#0;&#xD800;&bogus;a<3 <!b> &", "& \U0001F600&bogus;a<3 &", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.html);
        const QString html = QString::fromUtf8(c.html);
        int media = 0;
        EXPECT_EQ(exchange::htmlToText(html, &media), c.text);
        EXPECT_EQ(media, c.media);
        // Read in place, twice in a row: the first cell's text stays within its markup.
        const QString field = exchange::quoteField(html, u',');
        exchange::Table table;
        table.rows = exchange::parseDelimitedInPlace(field + u',' + field + u'\n', 0, u',');
        exchange::decodeHtmlInPlace(table);
        ASSERT_EQ(table.rows.size(), 1);
        EXPECT_EQ(table.rows[0], QStringList({c.text, c.text}));
        EXPECT_EQ(table.notes.isEmpty(), c.media == 0);
    }
}

// A UTF-8 file damaged in a few places stays UTF-8, its damaged rows listed by line; Shift_JIS,
// which reads as UTF-8 with bad bytes everywhere, stays Shift_JIS.
TEST(ReadTable, ReadsDamagedUtf8AsUtf8) {
    QFile joyo(QStringLiteral(KX_TEST_DATA_DIR "/joyo_kanji.txt"));
    ASSERT_TRUE(joyo.open(QIODevice::ReadOnly));
    const QString kanji = QString::fromUtf8(joyo.readAll()).remove(u'\n').left(1000);
    const struct {
        const char* name;
        exchange::SourceFormat format;
        QByteArray bytes;
        QList<Entry> entries;
        QStringList problems;
    } cases[] = {
        // clang-format off
        {"CSV", exchange::SourceFormat::Csv, "日本,にほん\n壊れ\xFF,こわれ\n猫,ねこ,\x80\xE3\x81\n",
         {{"日本", "にほん", ""}}, {"2 行目: UTF-8 として読めないバイトがあります (壊れ\uFFFD)",
                                    "3 行目: UTF-8 として読めないバイトがあります (猫)"}},
        {"Anki", exchange::SourceFormat::Anki, "#separator:tab\n日本\tにほん\n\xC0\xAF\tx\n",
         {{"日本", "にほん", ""}}, {"3 行目: UTF-8 として読めないバイトがあります (\uFFFD\uFFFD)"}},
        {"Shift_JIS", exchange::SourceFormat::Csv, "q," + common::encodeAnsi(kanji) + "\n",
         {{"q", common::decodeAnsi(common::encodeAnsi(kanji)), ""}}, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const exchange::Table table = exchange::readTable(c.format, c.bytes);
        const exchange::ImportPlan plan =
            exchange::planImport(table, {0, 1, 2, exchange::AnswerSplit::AsciiComma, false, {}});
        EXPECT_EQ(plan.entries, c.entries);
        QStringList problems;
        for (const exchange::RowProblem& problem : plan.problems) {
            problems.append(exchange::describe(problem));
        }
        EXPECT_EQ(problems, c.problems);
    }
}

// Fields made to hurt: nesting, length and unclosed markup cost their length, not its square.
// The bound is many times what any linear reading takes, even in a sanitizer build; the
// quadratic one took minutes.
// A cost growing with the square of these inputs takes minutes; their linear cost takes up to
// half a minute with the sanitizers on a loaded machine, so the bound tells only the two apart.
constexpr qint64 kQuadraticMs = 120'000;

TEST(HtmlToText, HostileFieldsCostTheirLength) {
    const QString sixteenMB = u"<b>x</b>&amp;<i>y</i>"_s.repeated(800'000);
    const struct {
        const char* name;
        QString html;
        qsizetype length;  // of the text
        int media;
    } cases[] = {
        // clang-format off
        {"10^5 nested <b>", u"<b>"_s.repeated(100'000) + u"x"_s + u"</b>"_s.repeated(100'000), 1, 0},
        {"10^4 nested <div>", u"<div>"_s.repeated(10'000) + u"x"_s + u"</div>"_s.repeated(10'000), 1, 0},
        {"a 16 MB field", sixteenMB, 3 * 800'000, 0},
        {"unclosed sounds", u"[sound:"_s.repeated(1'000'000) + u"a"_s, 7'000'001, 0},
        {"unclosed quotes", u"a<b title='"_s + u"<b x='"_s.repeated(1'000'000), 1, 0},
        {"many sounds and pictures", u"[sound:a]<img src=b>"_s.repeated(200'000) + u"c"_s, 1, 400'000},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer timer;
        timer.start();
        int media = 0;
        EXPECT_EQ(exchange::htmlToText(c.html, &media).size(), c.length);
        EXPECT_EQ(media, c.media);
        EXPECT_LT(timer.elapsed(), kQuadraticMs);
    }
    const QList<QStringList> unclosedTags = {{u"<br "_s + QString(1'000'000, u' ') + u"<div"_s}};
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(exchange::looksLikeHtml(unclosedTags));
    EXPECT_LT(timer.elapsed(), kQuadraticMs);
}

// Files as Anki writes and reads them: headers in any order, a byte-order mark, any name.
TEST(ReadAnki, FollowsTheHeaderLines) {
    const struct {
        const char* name;
        const char* fileName;
        const char* text;
        QList<QStringList> rows;
        QList<int> lines;
        QList<int> mapped;  // suggested question, answers, information
        QList<int> hidden;
    } cases[] = {
        // clang-format off
        {"ours", "a.txt", "#separator:tab\n#html:true\napple\tりんご<br>林檎\ta &amp; b<div>c</div>\n",
         {{"apple", "りんご\n林檎", "a & b\nc"}}, {3}, {0, 1, 2}, {}},
        {"named comma, columns before separator", "a.csv",
         "#columns:Front,Back\n#separator:Comma\n#html:true\n\"x, y\",&#x3042;&lt;\n",
         {{"x, y", "あ<"}}, {4}, {0, 1, -1}, {}},
        {"every header, tags first", "deck.csv",
         "#tags:vocab\n#deck:英単語\n#notetype:Basic\n#separator:Pipe\n#html:false\n"
         "#guid column:1\n#notetype column:2\n#deck column:3\n#tags column:6\n"
         "g1|Basic|英単語|run|走る|verb\n# a comment\ng2|Basic|英単語|#1 fan|一番のファン|x\n",
         {{"g1", "Basic", "英単語", "run", "走る", "verb"},
          {"g2", "Basic", "英単語", "#1 fan", "一番のファン", "x"}},
         {10, 12}, {3, 4, -1}, {0, 1, 2, 5}},
        {"byte-order mark, notetype first", "a.txt",
         "\xEF\xBB\xBF#notetype:Basic\n#html:true\nq\t<i>a</i>\n", {{"q", "a"}}, {3}, {0, 1, -1}, {}},
        {"separator as a character", "a.txt", "#separator: ;\n#tags column: 3\nq;a;t1 t2\n",
         {{"q", "a", "t1 t2"}}, {3}, {0, 1, -1}, {2}},
        {"the old tags line", "a.txt", "tags:vocab\nq\ta\n", {{"q", "a"}}, {2}, {0, 1, -1}, {}},
        {"headerless HTML", "a.txt", "q\tone<br>two\n[sound:q.mp3]r\ts\n",
         {{"q", "one\ntwo"}, {"r", "s"}}, {1, 2}, {0, 1, -1}, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes(c.text);
        ASSERT_EQ(exchange::guessFormat(c.fileName, bytes), exchange::SourceFormat::Anki);
        const exchange::Table table = exchange::readTable(exchange::SourceFormat::Anki, bytes);
        EXPECT_EQ(table.rows, c.rows);
        EXPECT_EQ(table.sourceLines, c.lines);
        EXPECT_EQ((QList<int>{table.suggestedQuestion, table.suggestedAnswers,
                              table.suggestedInformation}),
                  c.mapped);
        EXPECT_EQ(table.hiddenColumns, c.hidden);
    }
}

// What a delimited file says about itself: separator, header row, HTML.
TEST(ReadTable, DetectsWhatTheFileHolds) {
    const struct {
        const char* fileName;
        const char* text;
        exchange::ReadOptions options;
        QChar separator;
        bool header;
        QStringList firstRow;
    } cases[] = {
        // clang-format off
        {"kwordquiz.csv", "English\tJapanese\r\nrun\t走る, 駆ける\r\n", {}, u'\t', true, {"English", "Japanese"}},
        {"words.csv", "apple,りんご\ncat,猫\n", {}, u',', false, {"apple", "りんご"}},
        {"words.csv", "word,意味\nterm,学期\n", {}, u',', true, {"word", "意味"}},
        {"words.csv", "english,りんご\nterm,学期\n", {}, u',', false, {"english", "りんご"}},
        {"words.csv", "apple,<b>りんご</b>\n", {}, u',', false, {"apple", "<b>りんご</b>"}},
        {"words.csv", "apple,<b>りんご</b>\n", {u';', true, {}}, u';', false, {"apple,りんご"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QByteArray bytes(c.text);
        const exchange::Table table =
            exchange::readTable(exchange::guessFormat(c.fileName, bytes), bytes, c.options);
        EXPECT_EQ(table.separator, c.separator);
        EXPECT_EQ(table.firstRowIsHeader, c.header);
        EXPECT_EQ(table.rows.value(0), c.firstRow);
    }
}

// The names a file gives its columns propose the mapping; columns that hold no word never.
TEST(ReadTable, ProposesColumnsByTheirNames) {
    const struct {
        const char* name;
        const char* fileName;
        QByteArray text;
        QList<int> mapped;  // question, answers, information
        int firstLine;      // of the first row
        const char* note;
    } cases[] = {
        // clang-format off
        {"Anki's columns in another order", "a.txt", "#columns:Back\tFront\nりんご\tapple\n", {1, 0, -1}, 2, ""},
        {"ids, pictures and sounds passed over", "deck.txt",
         "#separator:tab\n#columns:ID\tPicture\tWord\tMeaning\tSound\n"
         "123\t<img src=\"a.png\">\trun\t走る\t[sound:run.mp3]\n", {2, 3, -1}, 3, ""},
        {"a deck column holding text passed over", "a.txt", "#columns:Deck\tA\tB\nvocab\trun\t走る\n", {1, 2, -1}, 2, ""},
        {"the meaning after the notes", "a.txt", "#columns:Front\tNotes\tMeaning\nrun\tverb\t走る\n", {0, 2, 1}, 2, ""},
        {"a header row", "a.csv", "Meaning,Word,Notes\n走る,run,verb\n", {1, 0, 2}, 1, ""},
        {"languages alone: the file's order", "a.csv", "Japanese,English,Notes\n走る,run,verb\n", {0, 1, 2}, 1, ""},
        {"a language beside a role", "a.csv", "Meaning,English\n走る,run\n", {1, 0, -1}, 1, ""},
        {"no names: the first text columns", "a.csv", "1,run,走る\n2,walk,歩く\n", {1, 2, -1}, 1, ""},
        {"kvtml languages", "a.kvtml",
         "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><name>日本語</name></identifier>"
         "<identifier id=\"1\"><name>English</name></identifier></identifiers><entries><entry>"
         "<translation id=\"0\"><text>走る</text></translation><translation id=\"1\"><text>r<b>u</b>n</text>"
         "</translation></entry></entries></kvtml>", {0, 1, 2}, 1, ""},
        {"kvtml locales alone", "a.kvtml",
         "<kvtml><e><o l=\"ja\">走る</o><t l=\"en\">run</t></e></kvtml>", {0, 1, 2}, 1, ""},
        {"title lines before the rows", "kwq.csv",
         "Title:\tWords\nAuthor:\tme\nLicense:\tGPL\nSource:\tweb\n\nEnglish\tJapanese\nrun\t走る\n",
         {0, 1, -1}, 6, "「Title:」などの 5 行"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const exchange::Table table =
            exchange::readTable(exchange::guessFormat(c.fileName, c.text), c.text);
        EXPECT_EQ((QList<int>{table.suggestedQuestion, table.suggestedAnswers,
                              table.suggestedInformation}),
                  c.mapped);
        EXPECT_EQ(table.sourceLines.value(0), c.firstLine);
        EXPECT_TRUE(table.notes.join(u'\n').contains(QString::fromUtf8(c.note)));
    }
}

// Whatever separator splits the rows counts against the bounds before anything is parsed, and
// what the preview notes of the header stays a few lines long.
TEST(ReadTable, KeepsHostileFilesWithinTheImportBounds) {
    const QByteArray exes = QByteArray("x").repeated(1'100'000);
    const struct {
        const char* name;
        exchange::SourceFormat format;
        QByteArray bytes;
        exchange::ReadOptions options;
        bool refused;
        qsizetype notes;
        qsizetype longestNote;
    } cases[] = {
        // clang-format off
        {"#separator:x", exchange::SourceFormat::Anki, "#separator:x\nq" + exes, {}, true, 0, 0},
        {"#separator:space", exchange::SourceFormat::Anki,
         "#separator:space\n" + QByteArray("a ").repeated(1'100'000), {}, true, 0, 0},
        {"#separator:colon", exchange::SourceFormat::Anki,
         "#separator:Colon\n" + QByteArray("a:").repeated(1'100'000), {}, true, 0, 0},
        {"x chosen in the preview", exchange::SourceFormat::Csv, "q" + exes, {u'x', {}, {}}, true, 0, 0},
        {"a 1 MB #tags: line", exchange::SourceFormat::Anki,
         "#tags:" + QByteArray("t ").repeated(500'000) + "\nq\ta\n", {}, false, 1, 4110},
        {"30,000 #tags: lines", exchange::SourceFormat::Anki,
         QByteArray("#tags:a b c\n").repeated(30'000) + "q\ta\n", {}, false, 11, 25},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const exchange::Table table = exchange::readTable(c.format, c.bytes, c.options);
        EXPECT_EQ(table.outcome.kind,
                  c.refused ? common::OutcomeKind::TooMany : common::OutcomeKind::Ok);
        EXPECT_EQ(table.rows.isEmpty(), c.refused);
        ASSERT_EQ(table.notes.size(), c.notes);
        qsizetype longest = 0;
        for (const QString& note : table.notes) {
            longest = std::max(longest, note.size());
        }
        EXPECT_EQ(longest, c.longestNote);
    }
}

// The bounds count a CR LF as one break and stop at the limits exactly, wherever the text's
// blocks of counting fall.
TEST(WithinImportBounds, CountsBreaksAndCellsToTheLimits) {
    const qsizetype rows = exchange::kMaxImportRows;
    const qsizetype cells = exchange::kMaxImportCells;
    const struct {
        const char* name;
        QString text;
        QChar separator;
        bool within;
    } cases[] = {
        {"CR LF one break", u"a\r\n"_s.repeated(rows - 1), u',', true},
        {"CR LF to the limit", u"a\r\n"_s.repeated(rows), u',', false},
        {"CR alone", u"a\r"_s.repeated(rows - 1) + u'\r', u',', false},
        {"LF alone", u"a\n"_s.repeated(rows - 1), u',', true},
        {"LF CR two breaks", u"a\n\r"_s.repeated(rows / 2), u',', false},
        {"cells to the limit", u","_s.repeated(cells - 1), u',', true},
        {"a cell beyond", u","_s.repeated(cells), u',', false},
        {"no separator", u","_s.repeated(cells), QChar(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(exchange::withinImportBounds(c.text, c.separator), c.within);
    }
}

// A reading asked to stop ends as cancelled, whatever the format.
TEST(ReadImportTable, EndsCancelledWhenAskedToStop) {
    std::stop_source stop;
    stop.request_stop();
    const QByteArray html = "#html:true\nq\t" + QByteArray("<b>a</b>").repeated(100'000) + "\n";
    for (const auto& [name, bytes] :
         {std::pair{"a.csv", QByteArray("q,a\n").repeated(10'000)}, std::pair{"a.txt", html},
          std::pair{"a.kvtml", QByteArray("<kvtml version=\"2\"/>")}}) {
        SCOPED_TRACE(name);
        const exchange::Table table = exchange::readImportTable(
            QString::fromLatin1(name), bytes, {QChar(), std::nullopt, stop.get_token()});
        EXPECT_EQ(table.outcome.kind, common::OutcomeKind::Cancelled);
        EXPECT_TRUE(table.rows.isEmpty());
    }
    // A field of 100,000 letters read no further than a small part.
    int media = 0;
    EXPECT_LT(exchange::htmlToText(QString::fromLatin1(html), &media, stop.get_token()).size(),
              10'000);
}

// An entry with hundreds of thousands of translations costs their number, not its square (the
// bound is many times what that takes; the square took most of a minute).
TEST(ReadKvtml, ManyTranslationsOfOneEntryCostTheirNumber) {
    QByteArray bytes =
        "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"/>"
        "<identifier id=\"1\"/></identifiers><entries><entry>";
    for (int id = 300'000; id >= 0; --id) {
        bytes += "<translation id=\"" + QByteArray::number(id) + "\"><text>" +
                 QByteArray::number(id) + "</text></translation>";
    }
    bytes += "</entry></entries></kvtml>";
    QElapsedTimer timer;
    timer.start();
    const exchange::Table table = exchange::readKvtml(bytes);
    EXPECT_LT(timer.elapsed(), kQuadraticMs);
    // The declared languages first, then undeclared ones up to the columns one can map.
    ASSERT_EQ(table.rows.size(), 1);
    EXPECT_EQ(table.rows[0].mid(0, 2), (QStringList{"0", "1"}));
    EXPECT_EQ(table.rows[0].size(), table.columns.size());
    EXPECT_LE(table.columns.size(), exchange::kMaxImportColumns + 1);
}

TEST(ReadKvtml, TakesLanguagesAsColumnsAndRefusesOtherFiles) {
    // Internal entities put in; ten to the ninth copies of one are refused.
    QByteArray entities = "<!DOCTYPE kvtml [<!ENTITY w \"wo<b>r</b>d\"><!ENTITY a0 \"lol\">";
    for (int i = 1; i < 10; ++i) {
        entities += "<!ENTITY a" + QByteArray::number(i) + " \"" +
                    ("&a" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    }
    entities +=
        "]>\n<kvtml version=\"2.0\"><entries><entry><translation id=\"0\"><text>&w;&w;</text>"
        "</translation></entry>";
    const QByteArray three = R"(<?xml version="1.0" encoding="UTF-8"?><kvtml version="2.0">
 <identifiers><identifier id="0"><name>English</name></identifier>
  <identifier id="1"><name>Deutsch</name></identifier><identifier id="2"><name>日本語</name></identifier>
 </identifiers><entries>
  <entry id="0"><translation id="0"><text>apple</text><comment>a fruit</comment></translation>
   <translation id="2"><text>りんご</text></translation></entry>
  <entry id="1"><translation id="1"><text>Hund</text><comment>m.</comment></translation></entry>
  <entry id="2"><translation id="0"><text> </text></translation></entry>
 </entries><synonym><pair><entry id="0"><translation id="0"/></entry>
  <entry id="1"><translation id="1"/></entry></pair></synonym></kvtml>)";
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList columns;
        QList<QStringList> rows;
        int question, answers, information;
        QList<qsizetype> droppedText;
        QString error;       // refused with this
        bool quick = false;  // read by the quick parse alone
    } cases[] = {
        // clang-format off
        {"synonym pairs and a blank entry are no rows", three, {"English", "Deutsch", "日本語", "コメント"},
         {{"apple", "", "りんご", "a fruit"}, {"", "Hund", "", "m."}}, 0, 1, 3, {}, {}, true},
        {"one language: the comment asks, the word answers",
         "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><name>en</name></identifier></identifiers>"
         "<entries><entry><translation id=\"0\"><text>bear</text><comment>Large heavy animal</comment>"
         "</translation></entry></entries></kvtml>",
         {"en", "コメント"}, {{"bear", "Large heavy animal"}}, 1, 0, -1, {}, {}, true},
        {"version 1 with a lower-case doctype",
         "<?xml version=\"1.0\"?>\n<!doctype kvtml SYSTEM \"kvoctrain.dtd\">\n"
         "<kvtml encoding=\"UTF-8\"><e><o l=\"en\">dog</o><t l=\"ja\">犬</t></e><e><o>a<b>b</b>c</o></e></kvtml>",
         {"en", "ja", "コメント"}, {{"dog", "犬", ""}, {"abc", "", ""}}, 0, 1, 2, {}, {}, true},
        {"an external entity leaves its row marked",
         "<!DOCTYPE kvtml [<!ENTITY ext SYSTEM \"file:///etc/hostname\">]><kvtml version=\"2.0\">"
         "<identifiers><identifier id=\"0\"/><identifier id=\"1\"/></identifiers><entries>"
         "<entry><translation id=\"0\"><text>a</text></translation></entry>"
         "<entry><translation id=\"0\"><text>b&ext;</text></translation></entry></entries></kvtml>",
         {"言語 0", "言語 1", "コメント"}, {{"a", "", ""}, {"b", "", ""}}, 0, 1, 2, {1}, {}},
        {"translations keyed by their id, declared or not",
         "<kvtml version=\"2.0\"><identifiers><identifier id=\"3\"><name>en</name></identifier></identifiers>"
         "<entries><entry><translation id=\"2\"><text>りんご</text></translation><translation id=\"0\">"
         "<text>林檎</text></translation><translation id=\"3\"><text>apple</text></translation></entry></entries></kvtml>",
         {"en", "言語 0", "言語 2", "コメント"}, {{"apple", "林檎", "りんご", ""}}, 0, 1, 3, {}, {}, true},
        {"KVocTrain: all lower-case doctype, a comparison before the word",
         "<?xml version=\"1.0\"?>\n<!doctype kvtml system \"kvoctrain.dtd\">\n<kvtml><e><o l=\"en\">"
         "<comparison><l1>good</l1><l2>better</l2></comparison>good</o><t l=\"ja\">良い</t></e></kvtml>",
         {"en", "ja", "コメント"}, {{"good", "良い", ""}}, 0, 1, 2, {}, {}, true},
        {"XML broken before the root", "<?xml version=\"1.0\"?>\n\n<kvtml version=\"2.0\"<entries/>",
         {}, {}, 0, 1, -1, {}, "3 行目: "},
        {"a Latin-1 byte", "<kvtml version=\"2.0\">\n<entries>\n<entry><translation id=\"0\"><text>caf\xE9</text>",
         {}, {}, 0, 1, -1, {}, "3 行目: 文字コードの誤りです"},
        {"another document", "<html/>", {}, {}, 0, 1, -1, {}, "kvtml の単語帳ではありません。"},
        {"another version", "<kvtml version=\"3\"/>", {}, {}, 0, 1, -1, {}, "kvtml のバージョン 3"},
        {"cut short", "<kvtml version=\"2.0\"><entries>", {}, {}, 0, 1, -1, {}, "1 行目: "},
        {"internal entities put in", entities + "</entries></kvtml>", {"言語 0", "コメント"},
         {{"wordword", ""}}, 1, 0, -1, {}, {}},
        {"a billion laughs", entities + "<entry><translation id=\"0\"><text>&a9;</text></translation>"
         "</entry></entries></kvtml>", {}, {}, 0, 1, -1, {}, "1 行目: "},
        {"blanks between markup, CDATA, references, a mark and prefixes",
         "\xEF\xBB\xBF<k:kvtml xmlns:k=\"urn:k\" k:version=\"2.0\"><k:entries><k:entry><k:translation k:id=\"4\">"
         "<k:text><b>a</b> <i>b</i>\r\n<![CDATA[<c>]]>&amp;&#x3042;\xC3\xA9\xF0\xA0\xAE\x9F</k:text></k:translation></k:entry></k:entries></k:kvtml>",
         {"言語 4", "コメント"}, {{"a b\n<c>&あé𠮟", ""}}, 1, 0, -1, {}, {}, true},
                {"a default the document type declares",
         "<!DOCTYPE kvtml [<!ATTLIST kvtml version CDATA \"2.0\">]><kvtml><entries><entry><translation id=\"0\">"
         "<text>x</text></translation></entry></entries></kvtml>", {"言語 0", "コメント"}, {{"x", ""}}, 1, 0, -1, {}, {}},
        {"an entity only a document type could declare", "<!DOCTYPE kvtml SYSTEM \"kvtml.dtd\"><kvtml version=\"2.0\">"
         "<entries><entry><translation id=\"0\"><text>b&nbsp;</text></translation></entry></entries></kvtml>",
         {}, {}, 0, 1, -1, {}, "1 行目: "},
        {"a character XML forbids, referred to", "<kvtml version=\"2.0\"><entries><entry><translation id=\"0\">"
         "<text>a&#1;b</text></translation></entry></entries></kvtml>", {}, {}, 0, 1, -1, {}, "1 行目: "},
        {"a null referred to in hex", "<kvtml version=\"2.0\"><entries><entry><translation id=\"0\">"
         "<text>a&#x0;b</text></translation></entry></entries></kvtml>", {}, {}, 0, 1, -1, {}, "1 行目: "},
        {"text in pieces, elements beside the texts, two comments", "<kvtml version=\"2.0\"><entries><entry>"
         "<lesson/><translation id=\"0\"><grade><x>1</x></grade><text>a<![CDATA[<b>]]> </text><comment>x</comment>"
         "</translation><translation id=\"1\"><text>d</text><text>e</text><comment>y</comment></translation></entry>"
         "</entries></kvtml>", {"言語 0", "言語 1", "コメント"}, {{"a<b> ", "de", "x\ny"}}, 0, 1, 2, {}, {}, true},
        {"nested one level too deep in a translation", "<kvtml version=\"2.0\"><entries><entry><translation id=\"0\">"
         "<text>a</text><grade>" + QByteArray("<c>").repeated(28) + QByteArray("</c>").repeated(28) +
         "</grade></translation></entry></entries></kvtml>", {}, {}, 0, 1, -1, {}, "1 行目: 要素の入れ子が深すぎます"},
        // The entries parsed a piece at a time, read whole where a piece is no run of whole
        // nodes or the cut was no element's.
        {"an entry's tag in a comment and in a text", "<kvtml version=\"2.0\"><entries><entry><translation id=\"0\">"
         "<text>a</text></translation></entry><!-- <entry> --><entry><translation id=\"0\"><text>b<entry/>c</text>"
         "</translation></entry></entries><lessons><entry id=\"0\"/></lessons></kvtml>",
         {"言語 0", "コメント"}, {{"a", ""}, {"bc", ""}}, 1, 0, -1, {}, {}, true},
        {"an entry's tag in a section", "<kvtml version=\"2.0\"><entries><entry><translation id=\"0\"><text>a"
         "<![CDATA[<entry>]]></text></translation></entry><entry/></entries></kvtml>",
         {"言語 0", "コメント"}, {{"a<entry>", ""}}, 1, 0, -1, {}, {}, true},
        {"the entries' start tag in a comment first", "<kvtml version=\"2.0\"><!-- <entries> --><entries><entry>"
         "<translation id=\"0\"><text>a</text></translation></entry></entries><!-- --></kvtml>",
         {"言語 0", "コメント"}, {{"a", ""}}, 1, 0, -1, {}, {}, true},
        {"a NUL between the entries", "<kvtml version=\"2.0\"><entries><entry><translation id=\"0\"><text>a</text>"
         "</translation></entry>" + QByteArray(1, '\0') + "<entry><translation id=\"0\"><text>b</text></translation>"
         "</entry></entries></kvtml>", {}, {}, 0, 1, -1, {}, "1 行目: "},
        {"a document type among the entries", "<kvtml version=\"2.0\"><entries><entry/><!DOCTYPE kvtml><entry/>"
         "</entries></kvtml>", {}, {}, 0, 1, -1, {}, "1 行目: "},
        {"nested one level too deep where nothing is read", "<kvtml version=\"2.0\"><lessons>" +
         QByteArray("<c>").repeated(31) + QByteArray("</c>").repeated(31) + "</lessons></kvtml>",
         {}, {}, 0, 1, -1, {}, "1 行目: 要素の入れ子が深すぎます"},
        // clang-format on
    };
    // Each parsed both ways: quickly where that reads it (its entries whole and one a piece),
    // and by libxml2 alone.
    using enum exchange::KvtmlParser;
    const struct {
        exchange::KvtmlParser parser;
        qsizetype pieceBytes;
    } parsers[] = {{Quick, exchange::kKvtmlPieceBytes},
                   {Full, exchange::kKvtmlPieceBytes},
                   {QuickAlone, exchange::kKvtmlPieceBytes},
                   {Quick, 1}};
    for (const auto& c : cases) {
        for (const auto& [parser, pieceBytes] : parsers) {
            if (parser == QuickAlone && !c.quick) {
                continue;
            }
            SCOPED_TRACE(std::string(c.name) + std::to_string(int(parser)) + "/" +
                         std::to_string(pieceBytes));
            const exchange::Table table = exchange::readKvtml(c.bytes, {}, parser, pieceBytes);
            EXPECT_EQ(table.outcome.ok(), c.error.isEmpty());
            EXPECT_TRUE(table.outcome.reason.startsWith(c.error))
                << table.outcome.reason.toStdString();
            EXPECT_EQ(table.columns, c.columns);
            EXPECT_EQ(table.rows, c.rows);
            if (table.outcome.ok()) {
                EXPECT_EQ(table.suggestedQuestion, c.question);
                EXPECT_EQ(table.suggestedAnswers, c.answers);
                EXPECT_EQ(table.suggestedInformation, c.information);
            }
            EXPECT_EQ(table.droppedText, c.droppedText);
        }
    }
}

// Entries from the pieces that trouble some format: every answer separator the import offers,
// quotes, markup, formula marks, comment marks. `most` answers an entry.
QList<Entry> generatedEntries(int count, quint32 seed, int most) {
    const QStringList pieces = {"apple", "りんご", "林檎", "; ", " / ", "、",  "；", "／", ";",
                                "/",     ",",      "\"",   "'",  "#",   "=",   "+1", "-",  "@",
                                "<i>",   "&amp;",  "&",    "～", "ー",  "a b", "|",  "\\", "<br>"};
    QRandomGenerator random(seed);
    const auto text = [&](int parts, bool lines) {
        QString built;
        for (int i = random.bounded(parts); i >= 0; --i) {
            built += (lines && !built.isEmpty() && random.bounded(4) == 0 ? QStringLiteral("\\n")
                                                                          : QString()) +
                     pieces[random.bounded(pieces.size())];
        }
        built = built.simplified();
        return built.isEmpty() ? QStringLiteral("x") : built;
    };
    QList<Entry> entries;
    while (entries.size() < count) {
        QStringList answers;
        for (int i = 1 + random.bounded(most); i > 0; --i) {
            answers.append(text(3, false));
        }
        const Entry entry{text(4, false), answers.join(common::kAnswerSeparator),
                          random.bounded(3) == 0 ? QString() : text(5, true)};
        if (common::readsBack(entry) && !entry.rights.contains(QStringLiteral("|@2|@"))) {
            entries.append(entry);
        }
    }
    return entries;
}

// Our exports come back as the entries they came from with the import's defaults: the
// columns and the answer separator it proposes. Tabs and line marks survive too.
TEST(RoundTrip, ExportThenImportWithTheDefaultsGivesBackTheEntries) {
    using exchange::ExportFormat;
    const QList<Entry> written = {{"apple", "りんご|@2|林檎", "過去形は ran\\n過去分詞は run"},
                                  {"say \"hi\", then", "～ 〜|@2|\"a; b\" / c", "a, <i>c</i> & d"},
                                  {"#1 fan", "一番のファン|@2|a、b", "=SUM(A1)"}};
    const struct {
        const char* name;
        QList<Entry> entries;
    } sets[] = {
        {"several answers", written + generatedEntries(300, 18, 3)},
        {"one answer each", generatedEntries(200, 7, 1)},
        {"mostly one answer", generatedEntries(200, 5, 1) + generatedEntries(20, 9, 3)},
        {"no information", {{"a", "b", ""}}},
        // Named "日本語" and "English" in kvtml: read back in the file's order.
        {"Japanese questions",
         {{"りんご", "apple|@2|an apple; a fruit", ""},
          {"走る", "run|@2|ran / dash", "過去形は ran\\nです"},
          {"言う", "say \"hi\", then", ""}}},
    };
    const struct {
        ExportFormat format;
        const char* fileName;
    } formats[] = {{ExportFormat::AnkiText, "t.txt"},
                   {ExportFormat::Csv, "t.csv"},
                   {ExportFormat::Kvtml, "t.kvtml"}};
    for (const auto& set : sets) {
        for (const auto& format : formats) {
            SCOPED_TRACE(std::string(set.name) + " " + format.fileName);
            const QByteArray bytes =
                exchange::formatExport(format.format, set.entries, QStringLiteral("t"));
            const exchange::Table table =
                exchange::readTable(exchange::guessFormat(format.fileName, bytes), bytes);
            ASSERT_TRUE(table.outcome.ok()) << table.outcome.reason.toStdString();
            const exchange::ImportPlan plan =
                exchange::planImport(table, exchange::proposedMapping(table));
            EXPECT_TRUE(plan.problems.isEmpty()) << bytes.constData();
            EXPECT_EQ(plan.entries, set.entries) << bytes.constData();
            // KDE's programs find the entries by the lesson's references to their numbers.
            EXPECT_TRUE(format.format != ExportFormat::Kvtml ||
                        bytes.contains("<entry id=\"" + QByteArray::number(set.entries.size() - 1) +
                                       "\"/>"));
        }
    }
    const QByteArray control = exchange::formatExport(exchange::ExportFormat::Kvtml,
                                                      {{"b\x01", "x", ""}}, QStringLiteral("t"));
    EXPECT_EQ(exchange::readKvtml(control).rows.value(0).value(0), "b?");
}

// What the other programs need of the bytes: whole cells for a spreadsheet's default import,
// quoted comment marks and two fields for Anki, the declaration alone on line 1 for KDE's
// programs.
TEST(FormatExport, WritesWhatOtherProgramsRead) {
    using exchange::ExportFormat;
    const struct {
        ExportFormat format;
        Entry entry;
        const char* contains;
    } cases[] = {
        // clang-format off
        {ExportFormat::Csv, {"apple", "りんご|@2|林檎", "果物"}, "\"りんご; 林檎\",果物\r\n"},
        {ExportFormat::Csv, {"a;b", "x\ty", " lead"}, "\"a;b\",\"x\ty\",\" lead\"\r\n"},
        {ExportFormat::Csv, {"say \"hi\"", "b", "two\\nlines"}, "\"say \"\"hi\"\"\",b,\"two\r\nlines\"\r\n"},
        {ExportFormat::Csv, {"=1+1", "@x|@2|y", "-3"}, "\" =1+1\",\" @x; y\",\" -3\"\r\n"},
        {ExportFormat::AnkiText, {"#1 fan", "一番のファン|@2|a / b", ""}, "#notetype:Basic\n\"#1 fan\"\t一番のファン<br>a / b\n"},
        {ExportFormat::AnkiText, {"run", "走る", "過去形は ran\\nです"}, "\nrun\t走る<hr id=information>過去形は ran<br>です\n"},
        // With one answer an entry, a separator inside one is quoted, lest the import split at it.
        {ExportFormat::Csv, {"a", "x、y", ""}, "a,\"\"\"x、y\"\"\",\r\n"},
        {ExportFormat::Kvtml, {"a", "b", ""}, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE kvtml PUBLIC"},
        {ExportFormat::Kvtml, {"a", "b", ""}, "kvtml2.dtd\">\n<kvtml version=\"2.0\">\n"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contains);
        const QByteArray bytes = exchange::formatExport(c.format, {c.entry}, QStringLiteral("t"));
        EXPECT_TRUE(bytes.contains(c.contains)) << bytes.constData();
    }
}

// KDE's programs head each column with its identifier's name: the language it is written in.
TEST(FormatExport, NamesEachKvtmlColumnByItsScript) {
    const struct {
        const char* name;
        QList<Entry> entries;
        const char* question;  // the identifiers written, as name and locale
        const char* answers;
    } cases[] = {
        // clang-format off
        {"English to Japanese", {{"apple", "りんご|@2|林檎", ""}}, "English</name><locale>en", "日本語</name><locale>ja"},
        {"Japanese to English", {{"りんご", "apple", ""}, {"走る", "run|@2|ran", ""}}, "日本語</name><locale>ja", "English</name><locale>en"},
        {"kanji to readings", {{"林檎", "りんご", ""}}, "日本語</name><locale>ja", "日本語</name><locale>ja"},
        {"the most decide", {{"apple", "りんご", ""}, {"猫", "cat", ""}, {"dog", "犬", ""}}, "English</name><locale>en", "日本語</name><locale>ja"},
        {"a tie: English", {{"apple", "りんご", ""}, {"猫", "cat", ""}}, "English</name><locale>en", "English</name><locale>en"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes =
            exchange::formatExport(exchange::ExportFormat::Kvtml, c.entries, QStringLiteral("t"));
        EXPECT_TRUE(bytes.contains(QByteArray("<identifier id=\"0\"><name>") + c.question))
            << bytes.constData();
        EXPECT_TRUE(bytes.contains(QByteArray("<identifier id=\"1\"><name>") + c.answers))
            << bytes.constData();
    }
}

// The exports' bytes are encoded piece by piece, each as the whole text would be: a half of a
// surrogate pair alone as '?', and room made however small the first guess.
TEST(Utf8Text, EncodesPiecesAsTheWholeText) {
    const struct {
        const char* name;
        QString piece;
    } cases[] = {
        {"ASCII", "a<b>"},
        {"two bytes", "café"},
        {"three bytes", "りんご"},
        {"a pair", "𠮟る"},
        {"a high half last", QString("x") + QChar(0xD842)},
        {"a high half before ASCII", QChar(0xD842) + QString("a")},
        {"a low half alone", QString("る") + QChar(0xDFB7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exchange::Utf8Text text(1);
        QString whole;
        for (int i = 0; i < 500; ++i) {
            text += c.piece;
            text += QLatin1StringView("; ");
            whole += c.piece + QStringLiteral("; ");
        }
        EXPECT_EQ(text.take(), whole.toUtf8());
    }
}

// A written export holds the formatted bytes, however many pieces it went to the disk in;
// a failed write says why.
TEST(WriteExport, WritesTheFormattedBytesOrSaysWhyNot) {
    QTemporaryDir dir;
    const QList<Entry> entries = generatedEntries(6000, 5, 3);  // over a mebibyte of kvtml
    for (const auto format : {exchange::ExportFormat::AnkiText, exchange::ExportFormat::Csv,
                              exchange::ExportFormat::Kvtml}) {
        const QString path = dir.filePath(QStringLiteral("t"));
        ASSERT_TRUE(exchange::writeExport(path, format, entries).ok());
        QFile written(path);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(written.readAll(), exchange::formatExport(format, entries, "t"));
    }
    const common::Outcome failed =
        exchange::writeExport(dir.filePath(QStringLiteral("missing/out.csv")),
                              exchange::ExportFormat::Csv, {{"a", "b", ""}});
    EXPECT_FALSE(failed.ok() || failed.reason.isEmpty());
}

QString pdfText(const QString& path) {
    QProcess text;
    text.start("pdftotext", {path, "-"});
    text.waitForFinished();
    EXPECT_EQ(text.readAllStandardError(), "") << "a sound file, its offsets right";
    return QString::fromUtf8(text.readAllStandardOutput());
}

// The entries' characters come back as text, the common-use kanji not as radicals nor the
// full-width tilde as a wave dash, nor 𠮟 and other characters beyond U+FFFF as nothing, from
// either kind of printout.
TEST(WritePdf, TextCopiesAsTheEntries) {
    QFile joyo(QStringLiteral(KX_TEST_DATA_DIR "/joyo_kanji.txt"));
    ASSERT_TRUE(joyo.open(QIODevice::ReadOnly | QIODevice::Text));
    QList<Entry> entries;
    QString kana;
    QString fullWidth;
    for (char16_t c = u'ぁ'; c <= u'ー'; ++c) {
        kana += c <= u'ゖ' || c >= u'ァ' ? QString(QChar(c)) : QString();
    }
    for (char16_t c = u'！'; c <= u'～'; ++c) {
        fullWidth += QChar(c);
    }
    while (!joyo.atEnd()) {
        const QString kanji = QString::fromUtf8(joyo.readLine()).trimmed();
        entries.append({kanji, kana.mid(entries.size() % 8 * 12, 12) + "|@2|～する",
                        fullWidth.mid(entries.size() % 4 * 24, 24)});
    }
    ASSERT_EQ(entries.size(), 107);
    entries.append({QStringLiteral("𩸽"), QStringLiteral("𠮟る"), QStringLiteral("😀")});
    QTemporaryDir dir;
    for (const exchange::PrintKind kind :
         {exchange::PrintKind::WordList, exchange::PrintKind::TestSheet}) {
        SCOPED_TRACE(int(kind));
        const QString path = dir.filePath("out.pdf");
        ASSERT_TRUE(
            exchange::writePdf(path, {kind, QStringLiteral("単語"), entries}, exchange::Paper::A4)
                .ok());
        QString all = pdfText(path);
        all.remove(QRegularExpression(QStringLiteral("\\s")));
        for (Entry entry : entries) {
            EXPECT_TRUE(all.contains(entry.question)) << entry.question.toStdString();
            const QString answers = QString(entry.rights).replace("|@2|", "/");
            EXPECT_TRUE(all.contains(answers)) << answers.toStdString();
            if (kind == exchange::PrintKind::WordList) {
                EXPECT_TRUE(all.contains(entry.information)) << entry.information.toStdString();
            }
        }
    }
}

// A file not laid out as Qt writes a PDF is left as it is, whatever was drawn.
TEST(MendTextMap, LeavesOtherFilesAlone) {
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("%PDF-1.4\n1 0 obj\n<< /Contents 1 0 R"),
          QByteArray("/Contents 2 0 R\n2 0 obj\n<< /Length 9 0 R >>\nstream\nx\nendstream\nendobj"),
          QByteArray("/Contents 2 0 R\n2 0 obj\n<< /Length 20 >>\nstream\n/F1 9 Tf <0001> Tj\n"
                     "endstream\nendobj\nxref\n0 1\n0000000000 65535 f \nstartxref\n1\n")}) {
        EXPECT_EQ(exchange::mendTextMap(bytes, {U'𠮟'}), bytes);
    }
}

// A teacher's printouts: twenty questions and the name line on the first A4 page, and no entry
// of a word list split over two pages.
TEST(PaintJob, KeepsTwentyQuestionsToAPageAndEntriesWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.pdf");
    exchange::PrintJob sheet{exchange::PrintKind::TestSheet, QStringLiteral("第1回"), {}};
    for (int i = 0; i < 20; ++i) {
        sheet.entries.append({QStringLiteral("question %1").arg(i), "答え", ""});
    }
    {
        QPdfWriter writer(path);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
        EXPECT_EQ(exchange::paintJob(writer, sheet), 2);  // the questions, then the answers
    }
    EXPECT_TRUE(pdfText(path).section(u'\f', 0, 0).contains(u"名前:"));

    exchange::PrintJob list{exchange::PrintKind::WordList, QString(), {}};
    for (int i = 0; i < 60; ++i) {
        list.entries.append({QStringLiteral("word%1").arg(i), "答え",
                             QStringLiteral("first%1\\n2\\n3\\n4\\nlast%1").arg(i)});
    }
    ASSERT_TRUE(exchange::writePdf(path, list, exchange::Paper::A4).ok());
    const QStringList pages = pdfText(path).split(u'\f');
    ASSERT_GT(pages.size(), 2);
    for (int i = 0; i < 60; ++i) {
        const auto onPage = [&](const QString& text) {
            for (qsizetype page = 0; page < pages.size(); ++page) {
                if (pages[page].contains(QRegularExpression(text + "\\b"))) {
                    return page;
                }
            }
            return qsizetype(-1);
        };
        EXPECT_EQ(onPage(QStringLiteral("word%1").arg(i)), onPage(QStringLiteral("last%1").arg(i)))
            << i;
    }
}

}  // namespace
