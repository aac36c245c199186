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
        {"\"two\r\nlines\",b\nc,d\n", u',', {{"two\r\nlines", "b"}, {"c", "d"}}, {1, 3}},
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
    const exchange::Mapping bySemicolon{0, 1, 2, AnswerSplit::Semicolon, false};
    const struct {
        const char* name;
        QStringList row;
        exchange::Mapping mapping;
        std::optional<Entry> entry;
        std::optional<Problem> problem;
    } cases[] = {
        // clang-format off
        {"answers split and trimmed", {" apple ", "りんご; 林檎;", "a\r\nb"}, bySemicolon,
         Entry{"apple", "りんご|@2|林檎", "a\\nb"}, {}},
        {"quoted answer kept whole, formula guard dropped", {"q", "\"a; \"\"b\"\"\"; c", " =x"},
         bySemicolon, Entry{"q", "a; \"b\"|@2|c", "=x"}, {}},
        {"one per column skips the mapped ones", {"info", "run", "走る", "", "駆ける"},
         {1, 2, 0, AnswerSplit::OnePerColumn, false}, Entry{"run", "走る|@2|駆ける", "info"}, {}},
        // clang-format on
        {"header skipped when asked", {"q", "a"}, {0, 1, 2, AnswerSplit::Semicolon, true}, {}, {}},
        {"no question", {" ", "a"}, bySemicolon, {}, Problem::NoQuestion},
        {"short row", {"q"}, bySemicolon, {}, Problem::NoAnswer},
        {"unstorable", {"q", "a", "😀"}, bySemicolon, {}, Problem::Unstorable},
        {"field separator", {"a|@1|b", "a"}, bySemicolon, {}, Problem::Separator},
        {"question on two lines", {"a\nb", "a"}, bySemicolon, {}, Problem::LineBreak},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exchange::Table table;
        table.rows = {c.row};
        table.sourceLines = {7};
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

TEST(ReadAnki, FollowsTheHeaderLines) {
    const struct {
        const char* text;
        QList<QStringList> rows;
        QList<int> lines;
    } cases[] = {
        // clang-format off
        {"#separator:tab\n#html:true\napple\tりんご<br>林檎\ta &amp; b<div>c</div>\n",
         {{"apple", "りんご\n林檎", "a & b\nc"}}, {3}},
        {"#separator:Comma\n#html:true\n#columns:Front,Back\n\"x, y\",&#x3042;&lt;\n", {{"x, y", "あ<"}}, {4}},
        {"a\tb\n", {{"a", "b"}}, {1}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const exchange::Table table = exchange::readAnki(QByteArray(c.text));
        EXPECT_EQ(table.rows, c.rows);
        EXPECT_EQ(table.sourceLines, c.lines);
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
 </entries></kvtml>)";
    const exchange::Table table = exchange::readKvtml(three);
    ASSERT_TRUE(table.ok);
    EXPECT_EQ(table.columns, (QStringList{"English", "Deutsch", "日本語", "コメント"}));
    EXPECT_EQ(table.rows,
              (QList<QStringList>{{"apple", "", "りんご", "a fruit"}, {"", "Hund", "", "m."}}));
    EXPECT_EQ(table.suggestedInformation, 3);

    for (const QByteArray bad :
         {"<kvtml version=\"1.0\"></kvtml>", "<kvtml version=\"2.0\"><entries>"}) {
        EXPECT_FALSE(exchange::readKvtml(bad).ok || exchange::readKvtml(bad).error.isEmpty())
            << bad.constData();
    }
}

// Entries from the pieces that trouble some format: each format's own answer separator,
// quotes, markup, formula marks, comment marks.
QList<Entry> generatedEntries(int count) {
    const QStringList pieces = {"apple", "りんご", "林檎", "; ", " / ", "、",  ";", "/",
                                ",",     "\"",     "'",    "#",  "=",   "+1",  "-", "@",
                                "<i>",   "&amp;",  "&",    "～", "ー",  "a b", "|", "\\"};
    QRandomGenerator random(18);
    const auto text = [&](int most, bool lines) {
        QString built;
        const int parts = 1 + random.bounded(most);
        for (int i = 0; i < parts; ++i) {
            built +=
                (lines && i > 0 && random.bounded(4) == 0 ? QStringLiteral("\\n") : QString()) +
                pieces[random.bounded(pieces.size())];
        }
        built = built.simplified();
        return built.isEmpty() ? QStringLiteral("x") : built;
    };
    QList<Entry> entries;
    while (entries.size() < count) {
        QStringList answers;
        for (int i = 1 + random.bounded(3); i > 0; --i) {
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

// Tabs and line marks survive too; XML has no room for control characters, which come back
// as "?".
TEST(RoundTrip, ExportThenImportGivesBackTheEntries) {
    using exchange::AnswerSplit;
    QList<Entry> entries = {{"apple", "りんご|@2|林檎", "過去形は ran\\n過去分詞は run"},
                            {"say \"hi\", then", "～ 〜|@2|\"a; b\" / c", "a, <i>c</i> & d"},
                            {"#1 fan", "一番のファン|@2|a、b", "=SUM(A1)"}};
    entries += generatedEntries(300);
    const struct {
        exchange::ExportFormat format;
        exchange::SourceFormat source;
        AnswerSplit split;
    } cases[] = {
        {exchange::ExportFormat::AnkiText, exchange::SourceFormat::Anki, AnswerSplit::Slash},
        {exchange::ExportFormat::Csv, exchange::SourceFormat::Csv, AnswerSplit::Semicolon},
        {exchange::ExportFormat::Kvtml, exchange::SourceFormat::Kvtml, AnswerSplit::Semicolon},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = exchange::formatExport(c.format, entries, QStringLiteral("t"));
        const exchange::Table table = exchange::readTable(c.source, bytes);
        ASSERT_TRUE(table.ok) << table.error.toStdString();
        exchange::Mapping mapping;
        mapping.information = table.suggestedInformation >= 0 ? table.suggestedInformation : 2;
        mapping.split = c.split;
        const exchange::ImportPlan plan = exchange::planImport(table, mapping);
        EXPECT_TRUE(plan.problems.isEmpty()) << bytes.constData();
        ASSERT_EQ(plan.entries.size(), entries.size()) << bytes.constData();
        for (qsizetype i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(plan.entries[i], entries[i]) << int(c.format) << " entry " << i;
        }
    }
    const QByteArray control = exchange::formatExport(exchange::ExportFormat::Kvtml,
                                                      {{"b\x01", "x", ""}}, QStringLiteral("t"));
    EXPECT_EQ(exchange::readKvtml(control).rows.value(0).value(0), "b?");
}

// What the other programs need of the bytes: whole cells for a spreadsheet's default import,
// quoted comment marks for Anki, the declaration alone on line 1 for KDE's programs.
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
        {ExportFormat::AnkiText, {"#1 fan", "一番のファン|@2|a / b", ""}, "\n\"#1 fan\"\t一番のファン / &quot;a / b&quot;\t\n"},
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
    const common::WriteResult failed = exchange::writeExport(
        dir.filePath(QStringLiteral("missing/out.csv")), exchange::ExportFormat::Csv, {entry});
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.isEmpty());
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    EXPECT_TRUE(exchange::writeExport(path, exchange::ExportFormat::Csv, {entry}).ok);
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
                .ok);
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
    ASSERT_TRUE(exchange::writePdf(path, list, exchange::Paper::A4).ok);
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
