// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/pdf_text_map.h"

#include <QPainter>
#include <QPointF>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <map>
#include <optional>

namespace exchange {

QList<char32_t> outsideBasicPlane(QStringView text) {
    QList<char32_t> found;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            const char32_t c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            if (!found.contains(c)) {
                found.append(c);
            }
            ++i;
        }
    }
    return found;
}

void drawOffPage(QPainter& painter, const QList<char32_t>& characters) {
    // Left of and above the page by far more than a glyph: no viewer shows or copies it.
    const QRect page = painter.viewport();
    const QPointF at(-2.0 * page.width(), -2.0 * page.height());
    for (const char32_t c : characters) {
        painter.drawText(at, QString::fromUcs4(&c, 1));
    }
}

namespace {

// Where an object lies: from its "N 0 obj" to the end of its "endobj".
struct Span {
    qsizetype start = -1;
    qsizetype end = -1;
    bool found() const { return start >= 0; }
};

Span objectSpan(const QByteArray& pdf, int id) {
    const qsizetype at = pdf.indexOf('\n' + QByteArray::number(id) + " 0 obj");
    const qsizetype end = at < 0 ? -1 : pdf.indexOf("endobj", at);
    return end < 0 ? Span{} : Span{at + 1, end + 6};
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number after `key` (and blanks) from `from` on, with where it ends; nullopt without one.
std::optional<std::pair<int, qsizetype>> numberAfter(QByteArrayView text, QByteArrayView key,
                                                     qsizetype from = 0) {
    qsizetype at = text.indexOf(key, from);
    if (at < 0) {
        return std::nullopt;
    }
    at += key.size();
    while (at < text.size() && (text[at] == ' ' || text[at] == '\n' || text[at] == '\r')) {
        ++at;
    }
    const qsizetype start = at;
    while (at < text.size() && isDigit(text[at]) && at - start < 9) {
        ++at;
    }
    if (at == start) {
        return std::nullopt;
    }
    return std::pair{text.sliced(start, at - start).toInt(), at};
}

// The object a key refers to ("/ToUnicode 22 0 R"), or -1.
int referenceAfter(QByteArrayView text, QByteArrayView key) {
    const auto number = numberAfter(text, key);
    return number && text.sliced(number->second).startsWith(" 0 R") ? number->first : -1;
}

// An object's stream: where its data starts and ends, and the data as it is stored.
struct Stream {
    qsizetype dataStart = -1;
    QByteArray data;
};

Stream streamOf(const QByteArray& pdf, Span object) {
    const QByteArrayView body = QByteArrayView(pdf).sliced(object.start, object.end - object.start);
    const qsizetype keyword = body.indexOf(">>\nstream\n");
    if (keyword < 0) {
        return {};
    }
    const QByteArrayView dictionary = body.first(keyword);
    int length = referenceAfter(dictionary, "/Length");
    if (length >= 0) {
        const Span lengthObject = objectSpan(pdf, length);
        const auto value =
            lengthObject.found()
                ? numberAfter(QByteArrayView(pdf).sliced(lengthObject.start,
                                                         lengthObject.end - lengthObject.start),
                              "obj")
                : std::nullopt;
        length = value ? value->first : -1;
    } else if (const auto direct = numberAfter(dictionary, "/Length")) {
        length = direct->first;
    }
    const qsizetype start = object.start + keyword + 10;
    if (length < 0 || start + length > object.end) {
        return {};
    }
    Stream stream{start, pdf.mid(start, length)};
    if (dictionary.contains("/FlateDecode")) {
        // qUncompress wants the size first; it grows the buffer when the guess is short.
        QByteArray sized(4, '\0');
        qToBigEndian<quint32>(quint32(std::min<qsizetype>(stream.data.size() * 8, 1 << 24)),
                              sized.data());
        stream.data = qUncompress(sized + stream.data);
    }
    return stream;
}

// The glyph shown by each of the first `count` text operators of the page, with its font's
// resource name: "/F7 333 Tf ... <0001> Tj" gives ("F7", 1). A glyph string of more than one
// glyph gives -1.
QList<std::pair<QByteArray, int>> firstGlyphs(QByteArrayView content, qsizetype count) {
    QList<std::pair<QByteArray, int>> glyphs;
    QByteArrayView font;
    QByteArrayView previous;  // the token before the current one
    QByteArrayView beforePrevious;
    qsizetype at = 0;
    while (glyphs.size() < count && at < content.size()) {
        while (at < content.size() && QChar::isSpace(uchar(content[at]))) {
            ++at;
        }
        const qsizetype start = at;
        while (at < content.size() && !QChar::isSpace(uchar(content[at]))) {
            ++at;
        }
        const QByteArrayView token = content.sliced(start, at - start);
        if (token == "Tf" && beforePrevious.startsWith('/')) {
            font = beforePrevious.sliced(1);
        } else if (token == "Tj") {
            bool ok = false;
            const int glyph = previous.size() == 6 && previous.startsWith('<')
                                  ? previous.sliced(1, 4).toInt(&ok, 16)
                                  : -1;
            glyphs.append({font.toByteArray(), ok ? glyph : -1});
        }
        beforePrevious = previous;
        previous = token;
    }
    return glyphs;
}

// The glyphs a text map already gives text for.
QSet<int> mappedGlyphs(QByteArrayView map) {
    QSet<int> mapped;
    bool inside = false;  // a list of glyphs
    bool ranges = false;  // of ranges of glyphs
    for (const QByteArrayView line : map.toByteArray().split('\n')) {
        if (line.endsWith("beginbfrange") || line.endsWith("beginbfchar")) {
            inside = true;
            ranges = line.endsWith("beginbfrange");
        } else if (line.startsWith("endbf")) {
            inside = false;
        } else if (inside && line.startsWith('<') && line.size() >= 6) {
            const int first = line.sliced(1, 4).toInt(nullptr, 16);
            const int last =
                ranges && line.size() >= 13 ? line.sliced(8, 4).toInt(nullptr, 16) : first;
            for (int glyph = first; glyph <= last && glyph - first < 0x10000; ++glyph) {
                mapped.insert(glyph);
            }
        }
    }
    return mapped;
}

QByteArray hex16(int value) {
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

// "<0001> <D842DF9F>": the glyph and its character in UTF-16, big-endian.
QByteArray mapLine(int glyph, char32_t c) {
    QByteArray line = '<' + hex16(glyph) + "> <";
    for (const QChar unit : QString::fromUcs4(&c, 1)) {
        line += hex16(unit.unicode());
    }
    return line + ">\n";
}

// Bytes put in place of others; the edits of one file never overlap.
struct Edit {
    qsizetype at = 0;
    qsizetype removed = 0;
    QByteArray inserted;
};

// The offset `offset` moves to once the edits are made.
qsizetype moved(qsizetype offset, const QList<Edit>& edits) {
    qsizetype shifted = offset;
    for (const Edit& edit : edits) {
        if (edit.at < offset) {
            shifted += edit.inserted.size() - edit.removed;
        }
    }
    return shifted;
}

// The edits that give a font's text map the glyphs drawn for characters it lacks, if any.
QList<Edit> completeMap(const QByteArray& pdf, const QByteArray& font,
                        const std::map<int, std::optional<char32_t>>& characters) {
    const Span fontObject = objectSpan(pdf, referenceAfter(pdf, '/' + font + ' '));
    if (!fontObject.found()) {
        return {};
    }
    const Span map = objectSpan(
        pdf, referenceAfter(
                 QByteArrayView(pdf).sliced(fontObject.start, fontObject.end - fontObject.start),
                 "/ToUnicode"));
    if (!map.found()) {
        return {};
    }
    const Stream stream = streamOf(pdf, map);
    const QByteArrayView dictionary =
        QByteArrayView(pdf).sliced(map.start, std::max<qsizetype>(stream.dataStart - map.start, 0));
    const qsizetype end = stream.data.indexOf("endcmap");
    const auto length = numberAfter(dictionary, "/Length");
    if (end < 0 || !length || referenceAfter(dictionary, "/Length") >= 0 ||
        dictionary.contains("/Filter")) {
        return {};  // a map Qt did not write as it does today
    }
    const QSet<int> mapped = mappedGlyphs(stream.data);
    QByteArray lines;
    int count = 0;
    for (const auto& [glyph, c] : characters) {
        if (c && !mapped.contains(glyph)) {
            lines += mapLine(glyph, *c);
            ++count;
        }
    }
    if (count == 0) {
        return {};
    }
    const QByteArray added = QByteArray::number(count) + " beginbfchar\n" + lines + "endbfchar\n";
    const qsizetype lengthEnd = map.start + length->second;
    const qsizetype lengthDigits = QByteArray::number(length->first).size();
    return {
        {lengthEnd - lengthDigits, lengthDigits, QByteArray::number(length->first + added.size())},
        {stream.dataStart + end, 0, added}};
}

// The file with the edits made and its cross-reference table following them.
QByteArray applyEdits(const QByteArray& pdf, const QList<Edit>& changes) {
    const qsizetype table = pdf.lastIndexOf("\nxref\n");
    const qsizetype pointer = pdf.lastIndexOf("\nstartxref\n");
    const auto size = numberAfter(pdf, "\nxref\n0", std::max<qsizetype>(table, 0));
    const auto start = numberAfter(pdf, "\nstartxref\n", std::max<qsizetype>(pointer, 0));
    if (table < 0 || pointer < 0 || !size || !start || start->first != table + 1) {
        return pdf;  // not laid out as Qt writes it
    }
    const int objects = size->first;
    const qsizetype tableStart = start->first;
    const qsizetype tableDigits = QByteArray::number(start->first).size();
    // Entries of 20 bytes: "0000000015 00000 n \n".
    const qsizetype first = pdf.indexOf('\n', size->second) + 1;
    if (first + qsizetype(objects) * 20 > pointer) {
        return pdf;
    }
    QList<Edit> edits = changes;
    for (int i = 1; i < objects; ++i) {
        const qsizetype entry = first + qsizetype(i) * 20;
        if (pdf[entry + 17] == 'n') {
            const qsizetype offset = pdf.mid(entry, 10).toLongLong();
            edits.append(
                {entry, 10, QByteArray::number(moved(offset, changes)).rightJustified(10, '0')});
        }
    }
    edits.append(
        {start->second - tableDigits, tableDigits, QByteArray::number(moved(tableStart, changes))});
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at > b.at; });
    QByteArray mended = pdf;
    for (const Edit& edit : edits) {
        mended.replace(edit.at, edit.removed, edit.inserted);
    }
    return mended;
}

}  // namespace

QByteArray mendTextMap(const QByteArray& pdf, const QList<char32_t>& drawn) {
    if (drawn.isEmpty()) {
        return pdf;
    }
    const Span page = objectSpan(pdf, referenceAfter(pdf, "/Contents"));
    if (!page.found()) {
        return pdf;
    }
    // Each font's glyphs and the characters they were drawn for; a glyph drawn for two
    // characters (both missing from the font) is left alone.
    std::map<QByteArray, std::map<int, std::optional<char32_t>>> fonts;
    const auto glyphs = firstGlyphs(streamOf(pdf, page).data, drawn.size());
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        const auto& [font, glyph] = glyphs[i];
        if (glyph > 0) {
            auto [it, added] = fonts[font].try_emplace(glyph, drawn[i]);
            if (!added && it->second != drawn[i]) {
                it->second.reset();
            }
        }
    }
    QList<Edit> edits;
    for (const auto& [font, characters] : fonts) {
        edits += completeMap(pdf, font, characters);
    }
    return edits.isEmpty() ? pdf : applyEdits(pdf, edits);
}

}  // namespace exchange
