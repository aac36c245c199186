// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

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
#include "exchange/logic/mapping.h"
#include "exchange/logic/print_layout.h"
#include "exchange/logic/table.h"

namespace {

using common::Entry;

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
        // Rows are numbered by record: a spreadsheet's row numbers.
        {"\"two\r\nlines\",b\nc,d\n", u',', {{"two\r\nlines", "b"}, {"c", "d"}}, {1, 2}},
        {"a,,\n\n\nb\n", u',', {{"a", "", ""}, {"b"}}, {1, 4}},
        {"a\t\"b\tc\"\n", u'\t', {{"a", "b\tc"}}, {1}},
        {"\"open", u',', {{"open"}}, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QList<int> lines;
        EXPECT_EQ(exchange::parseDelimited(QString::fromUtf8(c.text), c.separator, &lines), c.rows);
        EXPECT_EQ(lines, c.lines);
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
        // clang-format on
        {"header skipped when asked",
         {"q", "a"},
         {0, 1, 2, AnswerSplit::Semicolon, true, {}},
         {},
         {}},
        {"no question", {" ", "a"}, bySemicolon, {}, Problem::NoQuestion},
        {"short row", {"q"}, bySemicolon, {}, Problem::NoAnswer},
        {"unstorable", {"q", "a", "😀"}, bySemicolon, {}, Problem::Unstorable},
        {"field separator", {"a|@1|b", "a"}, bySemicolon, {}, Problem::Separator},
        {"question on two lines", {"a\nb", "a"}, bySemicolon, {}, Problem::LineBreak},
        {"NUL in an answer", {"q", QString::fromUtf16(u"a\0b", 3)}, bySemicolon, {}, Problem::Nul},
        {"a field too long", {"q", "a", QString(32768, u'x')}, bySemicolon, {}, Problem::TooLong},
        {"text the reader left out", {"q", "a"}, bySemicolon, {}, Problem::DroppedText, true},
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
        {"full-width semicolons",
         {"見捨てる；放棄する", "a; b", "習得する；獲得する"},
         false,
         AnswerSplit::FullWidthSemicolon,
         "見捨てる｜放棄する"},
        {"lines in HTML",
         {"見捨てる\n放棄する", "a、b", "c"},
         true,
         AnswerSplit::LineBreak,
         "見捨てる｜放棄する"},
        {"a tie goes to the format's own",
         {"a / b", "c; d"},
         false,
         AnswerSplit::Semicolon,
         "a / b"},
        {"nothing to split: HTML's own", {"a", "b"}, true, AnswerSplit::LineBreak, "a"},
        {"quoted separators do not count",
         {"\"a／b\" / c", "\"d／e\"", "f / g"},
         false,
         AnswerSplit::Slash,
         "a／b｜c"},
        {"slashes and full-width slashes",
         {"a／b", "c／d", "e/f"},
         false,
         AnswerSplit::FullWidthSlash,
         "a｜b"},
        {"ASCII commas", {"a,b", "c,d"}, false, AnswerSplit::AsciiComma, "a｜b"},
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
        {" <i>a</i> <BR/> b  <br />\n<br>c ", "a\nb\n\nc", 0},
        {"<b>run</b>\n[sound:run.mp3]<img src=\"run.png\">", "run", 2},
        {"<div>x</div><br>", "x", 0},
        {"a&#9;b&#X9;c", "a\tb\tc", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.html);
        int media = 0;
        EXPECT_EQ(exchange::htmlToText(QString::fromUtf8(c.html), &media), c.text);
        EXPECT_EQ(media, c.media);
    }
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
        {"words.csv", "apple,<b>りんご</b>\n", {u';', true}, u';', false, {"apple,りんご"}},
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
        {"a header row", "a.csv", "Japanese,English,Notes\n走る,run,verb\n", {1, 0, 2}, 1, ""},
        {"no names: the first text columns", "a.csv", "1,run,走る\n2,walk,歩く\n", {1, 2, -1}, 1, ""},
        {"kvtml languages", "a.kvtml",
         "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><name>日本語</name></identifier>"
         "<identifier id=\"1\"><name>English</name></identifier></identifiers><entries><entry>"
         "<translation id=\"0\"><text>走る</text></translation><translation id=\"1\"><text>run</text>"
         "</translation></entry></entries></kvtml>", {1, 0, 2}, 1, ""},
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

TEST(ReadKvtml, TakesLanguagesAsColumnsAndRefusesOtherFiles) {
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
        QString error;  // refused with this
    } cases[] = {
        // clang-format off
        {"synonym pairs and a blank entry are no rows", three, {"English", "Deutsch", "日本語", "コメント"},
         {{"apple", "", "りんご", "a fruit"}, {"", "Hund", "", "m."}}, 0, 1, 3, {}, {}},
        {"one language: the comment asks, the word answers",
         "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><name>en</name></identifier></identifiers>"
         "<entries><entry><translation id=\"0\"><text>bear</text><comment>Large heavy animal</comment>"
         "</translation></entry></entries></kvtml>",
         {"en", "コメント"}, {{"bear", "Large heavy animal"}}, 1, 0, -1, {}, {}},
        {"version 1 with a lower-case doctype",
         "<?xml version=\"1.0\"?>\n<!doctype kvtml SYSTEM \"kvoctrain.dtd\">\n"
         "<kvtml encoding=\"UTF-8\"><e><o l=\"en\">dog</o><t l=\"ja\">犬</t></e><e><o>a<b>b</b>c</o></e></kvtml>",
         {"en", "ja", "コメント"}, {{"dog", "犬", ""}, {"abc", "", ""}}, 0, 1, 2, {}, {}},
        {"an external entity leaves its row marked",
         "<!DOCTYPE kvtml [<!ENTITY ext SYSTEM \"file:///etc/hostname\">]><kvtml version=\"2.0\">"
         "<identifiers><identifier id=\"0\"/><identifier id=\"1\"/></identifiers><entries>"
         "<entry><translation id=\"0\"><text>a</text></translation></entry>"
         "<entry><translation id=\"0\"><text>b&ext;</text></translation></entry></entries></kvtml>",
         {"言語 0", "言語 1", "コメント"}, {{"a", "", ""}, {"b", "", ""}}, 0, 1, 2, {1}, {}},
        {"a Latin-1 byte", "<kvtml version=\"2.0\">\n<entries>\n<entry><translation id=\"0\"><text>caf\xE9</text>",
         {}, {}, 0, 1, -1, {}, "3 行目: 文字コードの誤りです"},
        {"another document", "<html/>", {}, {}, 0, 1, -1, {}, "kvtml の単語帳ではありません。"},
        {"another version", "<kvtml version=\"3\"/>", {}, {}, 0, 1, -1, {}, "kvtml のバージョン 3"},
        {"cut short", "<kvtml version=\"2.0\"><entries>", {}, {}, 0, 1, -1, {}, "1 行目: "},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const exchange::Table table = exchange::readKvtml(c.bytes);
        EXPECT_EQ(table.outcome.ok(), c.error.isEmpty());
        EXPECT_TRUE(table.outcome.reason.startsWith(c.error)) << table.outcome.reason.toStdString();
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
            ASSERT_EQ(plan.entries.size(), set.entries.size()) << bytes.constData();
            for (qsizetype i = 0; i < plan.entries.size(); ++i) {
                const Entry& got = plan.entries[i];
                const Entry& expected = set.entries[i];
                ASSERT_EQ(QStringList({got.question, got.rights, got.information}),
                          QStringList({expected.question, expected.rights, expected.information}))
                    << "entry " << i;
            }
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

TEST(WriteExport, WritesTheBytesOrReportsFailure) {
    QTemporaryDir dir;
    const common::Entry entry{"a", "b", ""};
    const common::Outcome failed = exchange::writeExport(
        dir.filePath(QStringLiteral("missing/out.csv")), exchange::ExportFormat::Csv, {entry});
    EXPECT_FALSE(failed.ok() || failed.reason.isEmpty());
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    EXPECT_TRUE(exchange::writeExport(path, exchange::ExportFormat::Csv, {entry}).ok());
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(),
              "\xEF\xBB\xBF"
              "a,b,\r\n");
}

QString pdfText(const QString& path) {
    QProcess text;
    text.start("pdftotext", {path, "-"});
    text.waitForFinished();
    return QString::fromUtf8(text.readAllStandardOutput());
}

// The entries' characters come back as text, the common-use kanji not as radicals nor the
// full-width tilde as a wave dash, from either kind of printout.
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
            // Qt's PDF text map holds code points of the basic plane only.
            entry.question.remove(QStringLiteral("𠮟"));
            EXPECT_TRUE(all.contains(entry.question)) << entry.question.toStdString();
            const QString answers = QString(entry.rights).replace("|@2|", "/");
            EXPECT_TRUE(all.contains(answers)) << answers.toStdString();
            if (kind == exchange::PrintKind::WordList) {
                EXPECT_TRUE(all.contains(entry.information)) << entry.information.toStdString();
            }
        }
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
