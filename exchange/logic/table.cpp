// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/table.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <cstring>
#include <map>
#include <string_view>

#include "common/ansi_text.h"
#include "exchange/logic/column_roles.h"
#include "exchange/logic/html_entities.h"
#include "exchange/logic/import_file.h"
#include "exchange/logic/shared_cell.h"

namespace exchange {

QString decodeText(QByteArrayView bytes, bool* replaced) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return QString::fromUtf8(bytes.sliced(3));
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        return decoder(bytes.sliced(2));
    }
    // Shift_JIS text is almost never valid UTF-8, so a clean UTF-8 decoding decides.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    // A UTF-8 file damaged in a few places reads as far more characters beyond ASCII than bad
    // bytes; Shift_JIS read as UTF-8 gives mostly bad bytes (Japanese prose: about three to
    // one character read).
    qsizetype bad = -bytes.count("\xEF\xBF\xBD");  // a replacement character written so
    qsizetype read = 0;
    for (const QChar c : std::as_const(text)) {
        if (c == QChar::ReplacementCharacter) {
            ++bad;
        } else if (c.unicode() >= 0x80) {
            ++read;
        }
    }
    if (read >= 2 * bad) {
        if (replaced) {
            *replaced = true;
        }
        return text;
    }
    return common::decodeAnsi(bytes);
}

QList<QStringList> parseDelimited(QStringView text, QChar separator, QList<int>* lines,
                                  QChar comment, std::stop_token stop) {
    return parseDelimitedInPlace(text.toString(), 0, separator, lines, comment, std::move(stop));
}

QList<QStringList> parseDelimitedInPlace(QString storage, qsizetype from, QChar separator,
                                         QList<int>* lines, QChar comment, std::stop_token stop) {
    QList<QStringList> rows;
    if (from >= storage.size()) {
        return rows;
    }
    // Taken once, before any cell shares the storage: each cell is written where it stood
    // (a quoted one without its quotes), never beyond the character being read.
    auto* const data = reinterpret_cast<char16_t*>(storage.data());
    const QStringView text(data, storage.size());
    QStringList row;
    char16_t* cell = nullptr;  // where the field's text starts, while it has any
    char16_t* out = nullptr;   // where its next character goes
    bool quoted = false;       // inside a quoted field
    bool fieldStarted = false;
    int line = 1;    // of the text at the current character
    int record = 1;  // the line the current record starts on
    const auto append = [&](qsizetype at, qsizetype size) {
        if (size == 0) {
            return;
        }
        if (!cell) {
            cell = out = data + at;
        } else if (out != data + at) {
            std::memmove(out, data + at, std::size_t(size) * sizeof(char16_t));
        }
        out += size;
    };
    const auto endField = [&] {
        row.append(cell ? sharedCell(storage, cell, out) : QString());
        cell = out = nullptr;
        fieldStarted = false;
    };
    const auto endRow = [&] {
        endField();
        const qsizetype width = row.size();
        if (row.size() > 1 || !row.first().isEmpty()) {
            rows.append(std::move(row));
            if (lines) {
                lines->append(record);
            }
        }
        row = QStringList();
        // One more: the Anki reader gives our export's information a cell of its own.
        row.reserve(width + 1);
    };
    const qsizetype size = text.size();
    for (qsizetype i = from; i < size; ++i) {
        const QChar c = text[i];
        if (quoted) {
            // Up to the next quote in one piece, its line breaks (CR LF as one) counted.
            qsizetype end = i;
            for (; end < size && text[end] != u'"'; ++end) {
                const char16_t code = text[end].unicode();
                if (code <= u'\r' &&
                    (code == u'\n' ||
                     (code == u'\r' && (end + 1 == size || text[end + 1] != u'\n')))) {
                    ++line;
                }
            }
            append(i, end - i);
            i = end;
            if (i + 1 < size && text[i + 1] == u'"') {
                // The doubled quote's first half is read, so its place may take the quote.
                append(i, 1);
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == u'"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n') {
                ++i;
            }
            endRow();
            record = ++line;
            if (stop.stop_requested()) {
                break;
            }
        } else if (c == comment && !comment.isNull() && row.isEmpty() && !fieldStarted) {
            // A comment runs to the line's end and is no row.
            while (i + 1 < size && text[i + 1] != u'\r' && text[i + 1] != u'\n') {
                ++i;
            }
        } else {
            // Up to the next separator or line end in one piece.
            qsizetype end = i + 1;
            while (end < size && text[end] != separator && text[end] != u'\r' &&
                   text[end] != u'\n') {
                ++end;
            }
            append(i, end - i);
            fieldStarted = true;
            i = end - 1;
        }
    }
    if (fieldStarted || !row.isEmpty() || cell) {
        endRow();
    }
    return rows;
}

QChar detectSeparator(QStringView text, QChar fallback) {
    // The first records tell; a cut through a quoted field costs at most one record.
    constexpr qsizetype kSample = 1 << 14;
    if (text.size() > kSample) {
        const qsizetype end = text.lastIndexOf(u'\n', kSample);
        text = text.first(end > 0 ? end : kSample);
    }
    QList<QChar> candidates = {fallback, u'\t', u',', u';', u'|'};
    QChar best = fallback;
    qsizetype bestRows = 0;
    for (const QChar candidate : candidates) {
        // Rows of the most common width, when that width splits them.
        std::map<qsizetype, qsizetype> widths;
        for (const QStringList& row : parseDelimited(text, candidate)) {
            ++widths[row.size()];
        }
        qsizetype rows = 0;
        for (const auto& [width, count] : widths) {
            if (width > 1) {
                rows = std::max(rows, count);
            }
        }
        // Ties keep the earlier candidate: the extension's, then the one text rarely holds.
        if (rows > bestRows) {
            best = candidate;
            bestRows = rows;
        }
    }
    return best;
}

namespace {

bool isHtmlBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Text without markup, references or blanks a browser would fold.
bool showsAsWritten(QStringView html) {
    bool blank = true;  // a leading blank folds too
    for (const QChar c : html) {
        // Lower-case letters and all beyond ASCII pass at a glance.
        if (c.unicode() > u'[') {
            blank = false;
            continue;
        }
        if (c == u'<' || c == u'&' || c == u'[') {
            return false;
        }
        const bool isBlank = isHtmlBlank(c);
        if (isBlank && (blank || c != u' ')) {
            return false;
        }
        blank = isBlank;
    }
    return !blank || html.isEmpty();
}

// Stands for a blank the text keeps (a no-break space), through the folding and trimming of
// blanks.
constexpr QChar kKeptBlank(0xFDEE);

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiAlphanumeric(QChar c) {
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

// What an element does to the text.
enum class Element { Inline, LineBreak, Picture, Rule, Block, Preformatted, Hidden };

struct ElementName {
    std::u16string_view name;
    Element element;
};

// Sorted by name, as std::lower_bound needs.
constexpr ElementName kElements[] = {
    {u"address", Element::Block},    {u"article", Element::Block},    {u"aside", Element::Block},
    {u"blockquote", Element::Block}, {u"body", Element::Block},       {u"br", Element::LineBreak},
    {u"caption", Element::Block},    {u"center", Element::Block},     {u"dd", Element::Block},
    {u"div", Element::Block},        {u"dl", Element::Block},         {u"dt", Element::Block},
    {u"fieldset", Element::Block},   {u"figcaption", Element::Block}, {u"figure", Element::Block},
    {u"footer", Element::Block},     {u"form", Element::Block},       {u"h1", Element::Block},
    {u"h2", Element::Block},         {u"h3", Element::Block},         {u"h4", Element::Block},
    {u"h5", Element::Block},         {u"h6", Element::Block},         {u"header", Element::Block},
    {u"hr", Element::Rule},          {u"img", Element::Picture},      {u"li", Element::Block},
    {u"main", Element::Block},       {u"nav", Element::Block},        {u"ol", Element::Block},
    {u"p", Element::Block},          {u"pre", Element::Preformatted}, {u"script", Element::Hidden},
    {u"section", Element::Block},    {u"style", Element::Hidden},     {u"table", Element::Block},
    {u"tbody", Element::Block},      {u"td", Element::Block},         {u"tfoot", Element::Block},
    {u"th", Element::Block},         {u"thead", Element::Block},      {u"title", Element::Hidden},
    {u"tr", Element::Block},         {u"ul", Element::Block}};

Element elementNamed(QStringView name) {
    if (name == u"br") {  // by far the most common
        return Element::LineBreak;
    }
    const std::u16string_view key(reinterpret_cast<const char16_t*>(name.utf16()),
                                  std::size_t(name.size()));
    const auto found = std::lower_bound(
        std::begin(kElements), std::end(kElements), key,
        [](const ElementName& element, std::u16string_view key) { return element.name < key; });
    return found != std::end(kElements) && found->name == key ? found->element : Element::Inline;
}

// Reads an HTML field in one pass, keeping no stack of open elements: each character is looked
// at a bounded number of times whatever the nesting, so the cost follows the field's length.
class HtmlReader {
public:
    // The text is rarely longer than the markup: written in place, grown when it is.
    explicit HtmlReader(QStringView html)
        : html_(html),
          text_(html.size() + 2, Qt::Uninitialized),
          begin_(text_.data()),
          out_(begin_) {}

    // Written over the markup itself: each piece of markup shows as at most as many characters
    // as it has (a blank folded into the next character shown was one of them), and is read
    // whole before its text is written, so the text never overtakes the reading.
    HtmlReader(QStringView html, QChar* markup) : html_(html), begin_(markup), out_(markup) {}

    // The text's length; text() then gives it, unless written over the markup (writtenOver()).
    qsizetype read(int& media, const std::stop_token& stop) {
        constexpr int kStepsBetweenLooks = 1 << 14;  // whether to stop
        int steps = 0;
        for (at_ = 0; at_ < html_.size(); ++at_) {
            if (++steps == kStepsBetweenLooks) {
                if (stop.stop_requested()) {
                    break;
                }
                steps = 0;
            }
            const QChar c = html_[at_];
            if (c == u'<') {
                markup();
            } else if (c == u'&') {
                reference();
            } else if (c == u'[' && sound()) {
                ++media_;
            } else if (isHtmlBlank(c)) {
                blank(c);
            } else if (c == QChar::Nbsp) {
                keepBlank();
            } else {
                showRun();
            }
        }
        media += media_;
        return out_ - begin_;
    }

    QString text() {
        text_.truncate(out_ - begin_);
        return std::move(text_);
    }

    bool writtenOver() const { return text_.isNull(); }
    bool keptBlanks() const { return keptBlanks_; }

private:
    void room(qsizetype more) {
        const qsizetype used = out_ - begin_;
        if (text_.isNull() && used + more > html_.size()) {
            // Never meant to happen: the text goes on in a string of its own rather than past
            // the markup.
            text_ = QString(begin_, used);
            begin_ = text_.data();
            out_ = begin_ + used;
        }
        if (!text_.isNull() && text_.size() - used < more) {
            text_.resize(std::max(used + more, 2 * text_.size()));
            begin_ = text_.data();
            out_ = begin_ + used;
        }
    }

    void put(QChar c) {
        room(1);
        *out_++ = c;
    }

    void put(QStringView piece) {
        room(piece.size());
        // Over the markup, the piece may overlap where it goes.
        std::memmove(out_, piece.data(), std::size_t(piece.size()) * sizeof(QChar));
        out_ += piece.size();
    }

    void keepBlank() {
        show(kKeptBlank);
        keptBlanks_ = true;
    }

    void show(QChar c) {
        if (blank_ && !lineStart_) {
            put(u' ');
        }
        blank_ = false;
        lineStart_ = false;
        put(c);
    }

    // The characters from at_ that need no closer look, in one piece.
    void showRun() {
        // A single blank between two characters shows as itself, folded or not.
        qsizetype end = at_ + 1;
        while (end < html_.size() &&
               (!isSpecial(html_[end]) ||
                (html_[end] == u' ' && end + 1 < html_.size() && !isSpecial(html_[end + 1])))) {
            ++end;
        }
        show(html_[at_]);
        put(html_.sliced(at_ + 1, end - at_ - 1));
        at_ = end - 1;
    }

    static bool isSpecial(QChar c) {
        return c == u'<' || c == u'&' || c == u'[' || c == QChar::Nbsp || isHtmlBlank(c);
    }

    void blank(QChar c) {
        if (pre_ == 0) {
            blank_ = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && at_ + 1 < html_.size() && html_[at_ + 1] == u'\n') {
                ++at_;
            }
            lineBreak();
        } else {
            show(c);
        }
    }

    // Blanks at a line's end show as nothing.
    void lineBreak() {
        put(u'\n');
        blank_ = false;
        lineStart_ = true;
    }

    // A block starts or ends: what is shown so far ends its line, an empty block adds none.
    void blockEdge() {
        if (!lineStart_) {
            lineBreak();
        }
        blank_ = false;
    }

    // "[sound:name]", which card programs play; a field without the closing bracket has no
    // later one either.
    bool sound() {
        if (noClosingBracket_ || !html_.sliced(at_).startsWith(u"[sound:")) {
            return false;
        }
        const qsizetype end = html_.indexOf(u']', at_);
        if (end < 0) {
            noClosingBracket_ = true;
            return false;
        }
        at_ = end;
        return true;
    }

    void markup() {
        // Tags first, the most common by far; a comment or declaration starts otherwise.
        const QStringView rest = html_.sliced(at_);
        if (rest.size() > 1 && isAsciiLetter(rest[1])) {
            ++at_;
            startTag(tagName());
        } else if (rest.size() > 2 && rest[1] == u'/' && isAsciiLetter(rest[2])) {
            at_ += 2;
            endTag(tagName());
        } else if (rest.startsWith(u"<!--")) {
            const qsizetype end = html_.indexOf(u"-->", at_ + 4);
            at_ = end < 0 ? html_.size() : end + 2;
        } else if (rest.startsWith(u"<!") || rest.startsWith(u"<?")) {
            skipPast(u'>');
        } else {
            show(u'<');
        }
    }

    // The name at at_, in lower case (empty when longer than any element's); at_ ends on its
    // last character.
    QStringView tagName() {
        qsizetype size = 0;
        while (at_ < html_.size() && isAsciiAlphanumeric(html_[at_])) {
            const char16_t c = html_[at_++].unicode();
            if (size < qsizetype(std::size(name_))) {
                name_[size] = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
            }
            ++size;
        }
        --at_;
        return size <= qsizetype(std::size(name_)) ? QStringView(name_, size) : QStringView();
    }

    // To the tag's ">", past attribute values in quotes; a tag the field does not close hides
    // the rest, as in a browser.
    void skipTag() {
        while (++at_ < html_.size() && html_[at_] != u'>') {
            if (html_[at_] == u'"' || html_[at_] == u'\'') {
                const qsizetype end = html_.indexOf(html_[at_], at_ + 1);
                at_ = end < 0 ? html_.size() : end;
            }
        }
    }

    void skipPast(QChar c) {
        const qsizetype end = html_.indexOf(c, at_);
        at_ = end < 0 ? html_.size() : end;
    }

    void startTag(QStringView name) {
        skipTag();
        switch (elementNamed(name)) {
            case Element::LineBreak:
                lineBreak();
                break;
            case Element::Picture:
                ++media_;
                break;
            case Element::Rule:
                blockEdge();
                lineBreak();  // the rule's own line
                break;
            case Element::Preformatted:
                ++pre_;
                blockEdge();
                break;
            case Element::Block:
                blockEdge();
                break;
            case Element::Hidden: {
                const qsizetype end =
                    html_.indexOf(QStringLiteral("</") + name.toString(), at_, Qt::CaseInsensitive);
                at_ = end < 0 ? html_.size() : end;
                skipTag();
                break;
            }
            case Element::Inline:
                break;
        }
    }

    void endTag(QStringView name) {
        skipTag();
        const Element element = elementNamed(name);
        if (element == Element::Preformatted && pre_ > 0) {
            --pre_;
        }
        if (element == Element::Block || element == Element::Preformatted) {
            blockEdge();
        }
    }

    // "&name;", "&#decimal;" or "&#xhex;" (the semicolon may be left out); anything else is
    // the "&" itself.
    void reference() {
        qsizetype end = at_ + 1;
        if (end < html_.size() && html_[end] == u'#') {
            const bool hex =
                end + 1 < html_.size() && (html_[end + 1] == u'x' || html_[end + 1] == u'X');
            const int base = hex ? 16 : 10;
            end += hex ? 2 : 1;
            const qsizetype digits = end;
            char32_t code = 0;
            for (int digit = 0; end < html_.size() && (digit = digitValue(html_[end], base)) >= 0;
                 ++end) {
                code = std::min<char32_t>(code * base + char32_t(digit), kNoCharacter);
            }
            if (end == digits) {
                show(u'&');
                return;
            }
            at_ = end < html_.size() && html_[end] == u';' ? end : end - 1;
            referenced(code);
            return;
        }
        constexpr qsizetype kLongestName = 8;
        while (end < html_.size() && end - at_ <= kLongestName && isAsciiAlphanumeric(html_[end])) {
            ++end;
        }
        const char16_t named = htmlEntity(html_.sliced(at_ + 1, end - at_ - 1));
        if (named == 0) {
            show(u'&');
            return;
        }
        at_ = end < html_.size() && html_[end] == u';' ? end : end - 1;
        referenced(named);
    }

    static int digitValue(QChar c, int base) {
        const char16_t u = c.unicode();
        const int value = u >= u'0' && u <= u'9'   ? u - u'0'
                          : u >= u'a' && u <= u'f' ? u - u'a' + 10
                          : u >= u'A' && u <= u'F' ? u - u'A' + 10
                                                   : base;
        return value < base ? value : -1;
    }

    // A tab or a no-break space written as a reference was meant, where a browser would fold a
    // blank; a reference to no character shows nothing.
    void referenced(char32_t code) {
        if (code == 0xA0) {
            keepBlank();
        } else if (code != u'\t' && code < 0x80 && isHtmlBlank(QChar(char16_t(code)))) {
            blank(QChar(char16_t(code)));
        } else if (code == 0 || code >= kNoCharacter || QChar::isSurrogate(code)) {
            return;
        } else if (QChar::requiresSurrogates(code)) {
            show(QChar(QChar::highSurrogate(code)));
            show(QChar(QChar::lowSurrogate(code)));
        } else {
            show(QChar(char16_t(code)));
        }
    }

    static constexpr char32_t kNoCharacter = 0x110000;

    QStringView html_;
    QString text_;  // the text, unless written over the markup
    QChar* begin_;  // of the text
    QChar* out_;    // where its next character goes
    char16_t name_[16] = {};
    qsizetype at_ = 0;
    bool blank_ = false;     // blanks came since the last character shown
    bool lineStart_ = true;  // nothing shown on this line yet: blanks fold away
    int pre_ = 0;            // inside how many <pre>, where blanks stay
    int media_ = 0;
    bool noClosingBracket_ = false;
    bool keptBlanks_ = false;
};

// Where the text starts and ends without the block ends at either edge, which add nothing the
// user typed.
std::pair<qsizetype, qsizetype> withoutEdgeBreaks(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && (text[first] == u'\n' || text[first] == u' ')) {
        ++first;
    }
    while (last > first && (text[last - 1] == u'\n' || text[last - 1] == u' ')) {
        --last;
    }
    return {first, last};
}

void keepBlanks(QString& text, const HtmlReader& reader) {
    if (reader.keptBlanks()) {
        text.replace(kKeptBlank, u' ');
    }
}

// The text without its edge breaks, its kept blanks blanks again.
QString edgeBreaksDropped(QString text, const HtmlReader& reader) {
    const auto [first, last] = withoutEdgeBreaks(text);
    QString kept;
    if (first == 0) {
        text.truncate(last);  // in place
        kept = std::move(text);
    } else {
        kept = text.sliced(first, last - first);
    }
    keepBlanks(kept, reader);
    return kept;
}

// htmlToText for a field that does not show as written.
QString readHtml(QStringView html, int* media, const std::stop_token& stop) {
    HtmlReader reader(html);
    reader.read(*media, stop);
    return edgeBreaksDropped(reader.text(), reader);
}

// The same for a cell read in place, whose text is written over its markup.
QString readHtmlInPlace(const QString& cell, int* media, const std::stop_token& stop) {
    HtmlReader reader(cell, const_cast<QChar*>(cell.constData()));
    const qsizetype size = reader.read(*media, stop);
    if (!reader.writtenOver()) {
        return edgeBreaksDropped(reader.text(), reader);
    }
    const auto [first, last] = withoutEdgeBreaks(QStringView(cell).first(size));
    QString kept = sharedPart(cell, first, last - first);
    keepBlanks(kept, reader);
    return kept;
}

}  // namespace

QString htmlToText(QStringView html, int* media, std::stop_token stop) {
    int found = 0;
    QString text = showsAsWritten(html) ? html.toString() : readHtml(html, &found, stop);
    if (media) {
        *media += found;
    }
    return text;
}

bool looksLikeHtml(const QList<QStringList>& rows) {
    // Possessive runs that stop at the next "<": a field of unclosed tags costs its length.
    static const QRegularExpression kTag(
        QStringLiteral(R"(<\s*+/?\s*+(br|div|p|span|b|i|u|s|em|strong|img|li|ul|ol|hr|font|)"
                       R"(sup|sub|a|table|tr|td|h[1-6])(\s[^<>]*+)?/?\s*+>)"),
        QRegularExpression::CaseInsensitiveOption);
    constexpr qsizetype kSample = 200;
    for (qsizetype r = 0; r < rows.size() && r < kSample; ++r) {
        for (const QString& cell : rows[r]) {
            if (cell.contains(u'<') && cell.contains(kTag)) {
                return true;
            }
        }
    }
    return false;
}

QString quoteField(const QString& field, QChar separator) {
    if (!field.contains(separator) && !field.contains(u'"') && !field.contains(u'\n') &&
        !field.contains(u'\r')) {
        return field;
    }
    QString quoted = field;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

namespace {

bool startsAsAnki(QStringView text) {
    // The old format's first line gave every note's tags.
    if (text.startsWith(u"tags:")) {
        return true;
    }
    static const QRegularExpression kHeader(
        QStringLiteral(R"(^#(separator|html|tags|deck|notetype|columns|)"
                       R"((tags|deck|notetype|guid) column):)"));
    return kHeader.match(text.toString()).hasMatch();
}

}  // namespace

SourceFormat guessFormat(const QString& fileName, QByteArrayView bytes) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"kvtml") {
        return SourceFormat::Kvtml;
    }
    // Anki's header decides whatever the name; only its start is decoded.
    if (startsAsAnki(decodeText(bytes.first(std::min<qsizetype>(bytes.size(), 256))))) {
        return SourceFormat::Anki;
    }
    if (suffix == u"txt") {
        return SourceFormat::Anki;
    }
    if (suffix == u"tsv" || (suffix != u"csv" && bytes.contains('\t'))) {
        return SourceFormat::Tsv;
    }
    return SourceFormat::Csv;
}

QStringList numberedColumns(const QList<QStringList>& rows) {
    qsizetype widest = 0;
    for (const QStringList& row : rows) {
        widest = std::max(widest, row.size());
    }
    QStringList columns;
    for (qsizetype i = 0; i < widest; ++i) {
        columns.append(QStringLiteral("列 %1").arg(i + 1));
    }
    return columns;
}

bool looksLikeHeader(const QList<QStringList>& rows) {
    // Names spreadsheets and card programs give their columns.
    static const QSet<QString> kNames = {
        QStringLiteral("question"),    QStringLiteral("answer"),      QStringLiteral("answers"),
        QStringLiteral("front"),       QStringLiteral("back"),        QStringLiteral("word"),
        QStringLiteral("words"),       QStringLiteral("term"),        QStringLiteral("meaning"),
        QStringLiteral("definition"),  QStringLiteral("translation"), QStringLiteral("english"),
        QStringLiteral("japanese"),    QStringLiteral("deutsch"),     QStringLiteral("français"),
        QStringLiteral("notes"),       QStringLiteral("note"),        QStringLiteral("info"),
        QStringLiteral("information"), QStringLiteral("comment"),     QStringLiteral("example"),
        QStringLiteral("reading"),     QStringLiteral("tags"),        QStringLiteral("extra"),
        QStringLiteral("問題"),        QStringLiteral("答え"),        QStringLiteral("単語"),
        QStringLiteral("英単語"),      QStringLiteral("意味"),        QStringLiteral("英語"),
        QStringLiteral("日本語"),      QStringLiteral("情報"),        QStringLiteral("備考"),
        QStringLiteral("メモ"),        QStringLiteral("訳"),          QStringLiteral("和訳"),
        QStringLiteral("例文"),        QStringLiteral("読み"),        QStringLiteral("品詞"),
        QStringLiteral("コメント"),    QStringLiteral("解説")};
    if (rows.size() < 2 || rows.first().size() < 2) {
        return false;
    }
    const QStringList& first = rows.first();
    QSet<QString> seen;
    // Every cell a distinct name: an entry taken for names would be lost.
    for (const QString& cell : first) {
        const QString name = cell.trimmed().toLower();
        if (!kNames.contains(name) || seen.contains(name)) {
            return false;
        }
        seen.insert(name);
    }
    return true;
}

bool refuseTooMany(Table& table, QStringView text) {
    if (withinImportBounds(text, table.separator)) {
        return false;
    }
    table.outcome = common::Outcome::failure(common::OutcomeKind::TooMany, tooManyRows());
    return true;
}

Table readDelimited(QByteArrayView bytes, QChar separator) {
    Table table;
    table.separator = separator;
    QString text = decodeText(bytes, &table.replacedBytes);
    if (refuseTooMany(table, text)) {
        return table;
    }
    table.rows = parseDelimitedInPlace(std::move(text), 0, separator, &table.sourceLines);
    table.columns = numberedColumns(table.rows);
    table.suggestedInformation = table.columns.size() > 2 ? 2 : -1;
    return table;
}

namespace {

// The lines a vocabulary program writes before its rows ("Title:", "Author:", "License:",
// "Source:" and a blank line), when the text starts with them: where the rows start, and
// how many lines come before.
std::pair<qsizetype, int> titleLines(QStringView text) {
    if (!text.startsWith(u"Title:")) {
        return {0, 0};
    }
    static const QStringView kKeys[] = {u"Title:", u"Author:", u"License:", u"Source:"};
    qsizetype start = 0;
    int lines = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        end = end < 0 ? text.size() : end + 1;
        const QStringView line = text.sliced(start, end - start);
        if (!line.trimmed().isEmpty() &&
            std::none_of(std::begin(kKeys), std::end(kKeys),
                         [&](QStringView key) { return line.startsWith(key); })) {
            break;
        }
        start = end;
        ++lines;
    }
    return {start, lines};
}

}  // namespace

Table readDelimited(QByteArrayView bytes, QChar fallbackSeparator, const ReadOptions& options) {
    bool replaced = false;
    QString decoded = decodeText(bytes, &replaced);
    const auto [start, skipped] = titleLines(decoded);
    const QStringView text = QStringView(decoded).sliced(start);
    Table table;
    table.replacedBytes = replaced;
    table.separator =
        options.separator.isNull() ? detectSeparator(text, fallbackSeparator) : options.separator;
    if (refuseTooMany(table, text)) {
        return table;
    }
    table.rows = parseDelimitedInPlace(std::move(decoded), start, table.separator,
                                       &table.sourceLines, QChar(), options.stop);
    if (skipped > 0) {
        for (int& line : table.sourceLines) {
            line += skipped;
        }
        table.notes.append(
            QStringLiteral("先頭の「Title:」などの %1 行は単語ではないので飛ばしました。")
                .arg(skipped));
    }
    table.columns = numberedColumns(table.rows);
    table.suggestedInformation = table.columns.size() > 2 ? 2 : -1;
    table.firstRowIsHeader = looksLikeHeader(table.rows);
    if (options.html.value_or(false)) {
        decodeHtmlInPlace(table, options.stop);
    }
    return table;
}

Table readTable(SourceFormat format, QByteArrayView bytes, const ReadOptions& options) {
    Table table;
    switch (format) {
        case SourceFormat::Csv:
            table = readDelimited(bytes, u',', options);
            break;
        case SourceFormat::Tsv:
            table = readDelimited(bytes, u'\t', options);
            break;
        case SourceFormat::Kvtml:
            table = readKvtml(bytes, options.stop);
            break;
        case SourceFormat::Anki:
            table = readAnki(bytes, options);
            break;
    }
    proposeColumns(table);
    return table;
}

namespace {

void decodeCells(Table& table, const std::stop_token& stop, bool inPlace) {
    table.html = true;
    int media = 0;
    for (QStringList& row : table.rows) {
        if (stop.stop_requested()) {
            break;
        }
        for (QString& cell : row) {
            if (!showsAsWritten(cell)) {
                cell = inPlace ? readHtmlInPlace(cell, &media, stop) : readHtml(cell, &media, stop);
            }
        }
    }
    if (media > 0) {
        table.notes.append(QStringLiteral("音声と画像 %1 か所を取り除きました。").arg(media));
    }
}

}  // namespace

void decodeHtml(Table& table, std::stop_token stop) {
    decodeCells(table, stop, false);
}

void decodeHtmlInPlace(Table& table, std::stop_token stop) {
    decodeCells(table, stop, true);
}

}  // namespace exchange
