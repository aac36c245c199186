// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/exporters.h"

#include <QFileInfo>
#include <QXmlStreamWriter>

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

#include "common/atomic_file.h"
#include "common/text_script.h"
#include "exchange/logic/table.h"
#include "exchange/logic/utf8_text.h"

namespace exchange {

namespace {

// Where `mark` (a few characters) next starts in `text`, or -1: a vectorised look for its first
// character, and the rest compared in place, instead of a substring search set up per call.
qsizetype indexOfMark(QStringView text, QStringView mark, qsizetype from = 0) {
    Q_ASSERT(!mark.isEmpty());
    for (qsizetype at = text.indexOf(mark.front(), from); at >= 0;
         at = text.indexOf(mark.front(), at + 1)) {
        if (text.size() - at >= mark.size() &&
            std::equal(mark.begin() + 1, mark.end(), text.begin() + at + 1)) {
            return at;
        }
    }
    return -1;
}

// Appends a field in file form with its marks turned into `replacement` and the text between
// them through `escape`. Built straight into one output: these run over whole files.
template <typename Out, typename Escape>
void appendField(Out& out, QStringView field, QStringView mark, QStringView replacement,
                 Escape escape) {
    qsizetype from = 0;
    for (qsizetype at = 0; (at = indexOfMark(field, mark, from)) >= 0; from = at + mark.size()) {
        escape(out, field.sliced(from, at - from));
        out += replacement;
    }
    escape(out, field.sliced(from));
}

// The characters below 64 in `chars`, as bits.
constexpr quint64 lowMask(std::u16string_view chars) {
    quint64 mask = 0;
    for (const char16_t c : chars) {
        mask |= c < 64 ? quint64(1) << c : 0;
    }
    return mask;
}
// Every control character XML 1.0 cannot hold: below a blank, but for tab and the line ends.
constexpr quint64 kControls = ((quint64(1) << 0x20) - 1) & ~lowMask(u"\t\n\r");
constexpr quint64 kMarkup = lowMask(u"&<>");

// Replaces the characters for which `replacement` gives a text; the rest is copied in runs.
// Of the characters up to '>', only those in `candidates` are looked at.
template <typename Out, typename Replacement>
void appendReplacing(Out& out, QStringView text, Replacement replacement,
                     quint64 candidates = ~quint64(0)) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > u'>' || ((candidates >> c) & 1) == 0) {
            continue;
        }
        if (const QLatin1StringView with = replacement(text, i); !with.isNull()) {
            out += text.sliced(start, i - start);
            out += with;
            start = i + 1;
        }
    }
    out += text.sliced(start);
}

// The characters markup reserves, as references.
QLatin1StringView markupReference(char16_t c) {
    switch (c) {
        case u'&':
            return QLatin1StringView("&amp;");
        case u'<':
            return QLatin1StringView("&lt;");
        case u'>':
            return QLatin1StringView("&gt;");
        default:
            return QLatin1StringView();
    }
}

// HTML for Anki; a tab becomes a character reference so that no field needs quotes, and a
// blank that a browser would collapse (at either end of a line, or after another) a no-break
// space.
template <typename Out>
void appendHtml(Out& out, QStringView text) {
    appendReplacing(out, text, [](QStringView t, qsizetype i) {
        switch (t[i].unicode()) {
            case u' ': {
                const bool collapsed = i == 0 || i + 1 == t.size() || t[i - 1] == u' ' ||
                                       t[i + 1] == u'\n' || t[i + 1] == u'\r' || t[i - 1] == u'\n';
                return collapsed ? QLatin1StringView("&nbsp;") : QLatin1StringView();
            }
            case u'"':
                return QLatin1StringView("&quot;");
            case u'\t':
                return QLatin1StringView("&#9;");
            case u'\r':
                return QLatin1StringView(i + 1 < t.size() && t[i + 1] == u'\n' ? "" : "<br>");
            case u'\n':
                return QLatin1StringView("<br>");
            default:
                return markupReference(t[i].unicode());
        }
    });
}

// XML text; control characters XML 1.0 cannot hold at all become '?', as in a word file
// written in a code page that lacks a character.
template <typename Out>
void appendXml(Out& out, QStringView text) {
    appendReplacing(
        out, text,
        [](QStringView t, qsizetype i) {
            const char16_t c = t[i].unicode();
            if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') {
                return QLatin1StringView("?");
            }
            return markupReference(c);
        },
        kControls | kMarkup);
}

template <typename Out>
void appendPlain(Out& out, QStringView text) {
    out += text;
}

// The characters the import proposes to split answers at (line breaks cannot be in an answer).
constexpr char16_t kSplitMarks[] = {u'；', u'／', u'、', u';', u'/', u','};

// A few characters, each looked up in a step or two: these are asked of every character of
// every answer.
class CharSet {
public:
    void add(char16_t c) {
        if (c < 128) {
            ascii_[c >> 6] |= quint64(1) << (c & 63);
        } else if (wideCount_ < wide_.size()) {
            wide_[wideCount_++] = c;
            wideBits_ |= quint64(1) << (c & 63);
        }
    }
    bool contains(char16_t c) const {
        if (c < 128) {
            return (ascii_[c >> 6] >> (c & 63)) & 1;
        }
        // Most kana and kanji are ruled out by their low bits alone.
        if (((wideBits_ >> (c & 63)) & 1) == 0) {
            return false;
        }
        return std::find(wide_.begin(), wide_.begin() + wideCount_, c) !=
               wide_.begin() + wideCount_;
    }
    bool containsAny(QStringView text) const {
        return std::any_of(text.begin(), text.end(),
                           [&](QChar c) { return contains(c.unicode()); });
    }

private:
    quint64 ascii_[2] = {};
    quint64 wideBits_ = 0;
    std::array<char16_t, std::size(kSplitMarks) + 2> wide_ = {};
    std::size_t wideCount_ = 0;
};

// Calls `each` with every answer of a stored answers field, empty ones too, in order.
template <typename Each>
void forEachAnswer(QStringView rights, Each each) {
    const QStringView separator = common::kAnswerSeparator;
    qsizetype from = 0;
    for (qsizetype at; (at = indexOfMark(rights, separator, from)) >= 0;
         from = at + separator.size()) {
        each(rights.sliced(from, at - from));
    }
    each(rights.sliced(from));
}

// The characters that put an answer in double quotes, so that the import proposes `joiner`
// again: the joiner's own, a quote, and any other separator found in more entries than hold
// several answers (the import proposes the separator found in the most cells).
CharSet quotedMarks(const QList<common::Entry>& entries, QChar joiner) {
    qsizetype several = 0;
    qsizetype found[std::size(kSplitMarks)] = {};
    CharSet splitMarks;
    for (const char16_t mark : kSplitMarks) {
        splitMarks.add(mark);
    }
    for (const common::Entry& entry : entries) {
        several += indexOfMark(entry.rights, common::kAnswerSeparator) >= 0 ? 1 : 0;
        // Most answers hold none: one pass tells, and only then each mark is counted.
        if (!splitMarks.containsAny(entry.rights)) {
            continue;
        }
        for (std::size_t i = 0; i < std::size(kSplitMarks); ++i) {
            found[i] += entry.rights.contains(QChar(kSplitMarks[i])) ? 1 : 0;
        }
    }
    CharSet marks;
    marks.add(joiner.unicode());
    marks.add(u'"');
    for (std::size_t i = 0; i < std::size(kSplitMarks); ++i) {
        if (found[i] > several && kSplitMarks[i] != joiner) {
            marks.add(kSplitMarks[i]);
        }
    }
    return marks;
}

// The answers joined by `joiner`. An answer holding one of `quoted` goes in double quotes
// (inner quotes doubled), which our importer reads back as one answer.
template <typename Out, typename Escape>
void appendAnswers(Out& out, QStringView rights, QStringView joiner, const CharSet& quoted,
                   Escape escape) {
    bool first = true;
    forEachAnswer(rights, [&](QStringView answer) {
        if (!first) {
            out += joiner;
        }
        first = false;
        if (!quoted.containsAny(answer)) {
            escape(out, answer);
            return;
        }
        QString inQuotes = answer.toString();
        inQuotes.replace(u'"', QStringLiteral("\"\""));
        escape(out, QString(u'"' + inQuotes + u'"'));
    });
}

// A number's digits, without a string of their own.
template <typename Out>
void appendNumber(Out& out, qsizetype number) {
    char16_t digits[20];
    qsizetype first = std::size(digits);
    do {
        digits[--first] = char16_t(u'0' + number % 10);
        number /= 10;
    } while (number > 0);
    out += QStringView(digits + first, digits + std::size(digits));
}

// A cell a spreadsheet would take for a formula gets a leading blank, which our importer
// trims off again.
bool looksLikeFormula(QStringView field) {
    return !field.isEmpty() && QStringView(u"=+-@").contains(field.front());
}

// What a spreadsheet's default import splits a cell at.
constexpr quint64 kCsvSplits = lowMask(u",\";\t\n\r");

// Quoted per RFC 4180 whenever a spreadsheet's default import (comma, semicolon and tab
// preselected) would otherwise split it or drop its blanks.
template <typename Out>
void appendCsv(Out& out, QStringView field) {
    const bool guard = looksLikeFormula(field);
    bool quote = guard || (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
    for (qsizetype i = 0; i < field.size() && !quote; ++i) {
        const char16_t c = field[i].unicode();
        quote = c < 64 && ((kCsvSplits >> c) & 1) != 0;
    }
    if (!quote) {
        out += field;
        return;
    }
    out += guard ? QLatin1StringView("\" ") : QLatin1StringView("\"");
    appendReplacing(out, field, [](QStringView t, qsizetype i) {
        return t[i] == u'"' ? QLatin1StringView("\"\"") : QLatin1StringView();
    });
    out += u'"';
}

// The bytes the entries' texts take when most of them are kana and kanji; the file's text
// is then sized once.
qsizetype expectedSize(const QList<common::Entry>& entries) {
    qsizetype size = 16 * entries.size();
    for (const common::Entry& entry : entries) {
        size += entry.question.size() + entry.rights.size() + entry.information.size();
    }
    return size * 2;
}

// Anki's "Notes in Plain Text" for its two-field note type: the question, then the answers
// one a line with the information below kAnkiInformationRule. An answer holding a separator
// the import could propose instead is put in double quotes, as our importer reads it.
void writeAnki(Utf8Text& text, const QList<common::Entry>& entries) {
    // Two fields, as Anki's stock note type has: a third column would become the note's tags or
    // be left out. No column names either: Anki maps named columns to fields of the same name,
    // and a note type whose fields are named in another language would lose the back.
    text += QLatin1StringView("#separator:tab\n#html:true\n#notetype:Basic\n");
    const CharSet quoted = quotedMarks(entries, u'\n');
    for (const common::Entry& entry : entries) {
        // Anki takes a line starting with '#' for a comment unless the field is quoted; the
        // markup leaves no quote, tab or line break inside to double.
        if (entry.question.startsWith(u'#')) {
            text += u'"';
            appendHtml(text, entry.question);
            text += u'"';
        } else {
            appendHtml(text, entry.question);
        }
        text += u'\t';
        appendAnswers(text, entry.rights, u"<br>", quoted, appendHtml<Utf8Text>);
        if (!entry.information.isEmpty()) {
            text += kAnkiInformationRule;
            appendField(text, entry.information, common::kLineBreakMark, u"<br>",
                        appendHtml<Utf8Text>);
        }
        text += u'\n';
    }
}

// UTF-8 with a byte-order mark, so that spreadsheets see the Japanese: question, answers
// joined by "; ", information with its real line breaks; three cells per line.
void writeCsv(Utf8Text& text, const QList<common::Entry>& entries) {
    text += QLatin1StringView("\xEF\xBB\xBF");  // the byte-order mark spreadsheets look for
    QString scratch;
    const CharSet quoted = quotedMarks(entries, u';');
    for (const common::Entry& entry : entries) {
        appendCsv(text, entry.question);
        text += u',';
        scratch.clear();
        appendAnswers(scratch, entry.rights, u"; ", quoted, appendPlain<QString>);
        appendCsv(text, scratch);
        text += u',';
        scratch.clear();
        appendField(scratch, entry.information, common::kLineBreakMark, u"\r\n",
                    appendPlain<QString>);
        appendCsv(text, scratch);
        text += QLatin1StringView("\r\n");
    }
}

struct KvtmlLanguages {
    QString questionName;
    QString questionLocale;
    QString answersName;
    QString answersLocale;
};

// The languages of the question and answers columns, each by the script most entries' texts
// there are written in: Japanese, else English.
KvtmlLanguages kvtmlLanguages(const QList<common::Entry>& entries) {
    // A column is Japanese when more than half its texts are: counted only until that is
    // settled either way (a whole file is looked at before a byte is written).
    const qsizetype count = entries.size();
    qsizetype japanese[2] = {};  // questions, answers
    bool settled[2] = {};
    for (qsizetype i = 0; i < count && !(settled[0] && settled[1]); ++i) {
        const qsizetype left = count - i - 1;
        for (const int column : {0, 1}) {
            if (settled[column]) {
                continue;
            }
            const QString& text = column == 0 ? entries[i].question : entries[i].rights;
            japanese[column] += common::textScript(text) == common::Script::Japanese ? 1 : 0;
            settled[column] =
                japanese[column] * 2 > count || (japanese[column] + left) * 2 <= count;
        }
    }
    const auto name = [](bool isJapanese, QString& name, QString& locale) {
        name = isJapanese ? QStringLiteral("日本語") : QStringLiteral("English");
        locale = isJapanese ? QStringLiteral("ja") : QStringLiteral("en");
    };
    KvtmlLanguages languages;
    name(japanese[0] * 2 > count, languages.questionName, languages.questionLocale);
    name(japanese[1] * 2 > count, languages.answersName, languages.answersLocale);
    return languages;
}

// Version 2: the question and the answers (joined by "; ") as two translations, the
// information as the question's comment.
void writeKvtml(Utf8Text& text, const QList<common::Entry>& entries, const QString& title,
                const KvtmlLanguages& languages) {
    // The writer lays out the few elements around the entries, into `markup`, which is moved
    // into the file's bytes before anything is written straight after it.
    QString markup;
    QXmlStreamWriter xml(&markup);
    // KDE's programs take a file for kvtml only when the declaration is alone on line 1 and
    // line 2 names kvtml, as their own writer lays it out.
    // Written by hand: the writer leaves the encoding out when it writes to a QString.
    markup = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    xml.writeDTD(QStringLiteral(
        "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">"));
    markup += u'\n';
    xml.writeStartElement(QStringLiteral("kvtml"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    xml.writeCharacters(QString());
    markup += u'\n';
    xml.writeStartElement(QStringLiteral("information"));
    xml.writeTextElement(QStringLiteral("generator"), QStringLiteral("Brelmi"));
    xml.writeTextElement(QStringLiteral("title"), title);
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("identifiers"));
    const std::pair<QString, QString> identifiers[] = {
        {languages.questionName, languages.questionLocale},
        {languages.answersName, languages.answersLocale}};
    for (int id = 0; id < 2; ++id) {
        xml.writeStartElement(QStringLiteral("identifier"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(id));
        xml.writeTextElement(QStringLiteral("name"), identifiers[id].first);
        xml.writeTextElement(QStringLiteral("locale"), identifiers[id].second);
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("entries"));
    // The entries are written straight into the bytes: the writer costs ten times more per
    // element, and a file can hold 32,767 entries. Closing the start tag first keeps the
    // writer's own output in step.
    xml.writeCharacters(QString());
    const CharSet quoted = quotedMarks(entries, u';');
    const auto takeMarkup = [&] {
        text += markup;
        markup.clear();
    };
    takeMarkup();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const common::Entry& entry = entries[i];
        text += QLatin1StringView("<entry id=\"");
        appendNumber(text, i);
        text += QLatin1StringView("\"><translation id=\"0\"><text>");
        appendXml(text, entry.question);
        text += QLatin1StringView("</text>");
        if (!entry.information.isEmpty()) {
            text += QLatin1StringView("<comment>");
            appendField(text, entry.information, common::kLineBreakMark, u"\n",
                        appendXml<Utf8Text>);
            text += QLatin1StringView("</comment>");
        }
        text += QLatin1StringView("</translation><translation id=\"1\"><text>");
        appendAnswers(text, entry.rights, u"; ", quoted, appendXml<Utf8Text>);
        text += QLatin1StringView("</text></translation></entry>\n");
    }
    xml.writeEndElement();

    // One lesson with every entry: some vocabulary programs show only entries in a lesson.
    xml.writeStartElement(QStringLiteral("lessons"));
    xml.writeStartElement(QStringLiteral("container"));
    xml.writeTextElement(QStringLiteral("name"), title);
    xml.writeTextElement(QStringLiteral("inpractice"), QStringLiteral("true"));
    takeMarkup();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        text += QLatin1StringView("<entry id=\"");
        appendNumber(text, i);
        text += QLatin1StringView("\"/>");
    }
    xml.writeEndElement();
    xml.writeEndElement();

    xml.writeEndElement();
    markup += u'\n';
    takeMarkup();
}

// Sized once for the whole file, the markup around each entry included.
qsizetype expectedBytes(ExportFormat format, const QList<common::Entry>& entries) {
    return expectedSize(entries) + (format == ExportFormat::Kvtml ? entries.size() * 160 : 0) +
           1024;
}

void writeFormat(Utf8Text& text, ExportFormat format, const QList<common::Entry>& entries,
                 const QString& title) {
    switch (format) {
        case ExportFormat::AnkiText:
            return writeAnki(text, entries);
        case ExportFormat::Csv:
            return writeCsv(text, entries);
        case ExportFormat::Kvtml:
            break;
    }
    writeKvtml(text, entries, title, kvtmlLanguages(entries));
}

}  // namespace

QByteArray formatExport(ExportFormat format, const QList<common::Entry>& entries,
                        const QString& title) {
    Utf8Text text(expectedBytes(format, entries));
    writeFormat(text, format, entries, title);
    return text.take();
}

common::Outcome writeExport(const QString& path, ExportFormat format,
                            const QList<common::Entry>& entries) {
    // Written as it is made: the disk takes the first pieces while the rest are formatted.
    common::AtomicFileWriter file(path);
    Utf8Text text(expectedBytes(format, entries),
                  [&file](QByteArrayView piece) { file.write(piece); });
    writeFormat(text, format, entries, QFileInfo(path).completeBaseName());
    file.write(text.take());
    return file.commit();
}

std::optional<ExportFormat> exportFormatFor(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"txt" || suffix == u"tsv") {
        return ExportFormat::AnkiText;
    }
    if (suffix == u"csv") {
        return ExportFormat::Csv;
    }
    if (suffix == u"kvtml") {
        return ExportFormat::Kvtml;
    }
    return std::nullopt;
}

}  // namespace exchange
