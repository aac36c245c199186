// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/table.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTextDocumentFragment>

#include <map>

#include "common/ansi_text.h"
#include "exchange/logic/column_roles.h"

namespace exchange {

QString decodeText(QByteArrayView bytes) {
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
    return common::decodeAnsi(bytes);
}

QList<QStringList> parseDelimited(QStringView text, QChar separator, QList<int>* lines,
                                  QChar comment) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;  // inside a quoted field
    bool fieldStarted = false;
    int record = 1;
    const auto endField = [&] {
        row.append(std::move(field));
        field = QString();
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
        row.reserve(width);
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (quoted) {
            // Up to the next quote in one piece.
            qsizetype end = text.indexOf(u'"', i);
            if (end < 0) {
                end = size;
            }
            field.append(text.sliced(i, end - i));
            i = end;
            if (i + 1 < size && text[i + 1] == u'"') {
                field.append(u'"');
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
            ++record;
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
            field.append(text.sliced(i, end - i));
            fieldStarted = true;
            i = end - 1;
        }
    }
    if (fieldStarted || !row.isEmpty() || !field.isEmpty()) {
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

// Length of a "<br>", "<br/>" or "<br />" at `at`, else 0.
qsizetype lineBreakTag(QStringView text, qsizetype at) {
    if (at + 3 >= text.size() || text[at] != u'<' || text[at + 1].toLower() != u'b' ||
        text[at + 2].toLower() != u'r') {
        return 0;
    }
    qsizetype end = at + 3;
    while (end < text.size() && text[end] == u' ') {
        ++end;
    }
    if (end < text.size() && text[end] == u'/') {
        ++end;
    }
    return end < text.size() && text[end] == u'>' ? end + 1 - at : 0;
}

// Most fields hold no markup but line breaks, and Qt's reader costs microseconds a field: such
// fields are read here to the same text, anything more goes to Qt.
std::optional<QString> plainWithLineBreaks(QStringView source) {
    if (source.contains(u'&')) {
        return std::nullopt;
    }
    QString text;
    text.reserve(source.size());
    bool blank = false;
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        if (c == u'<') {
            const qsizetype tag = lineBreakTag(source, i);
            if (tag == 0) {
                return std::nullopt;
            }
            text.append(u'\n');
            blank = false;
            i += tag - 1;
        } else if (isHtmlBlank(c)) {
            blank = true;
        } else {
            if (blank && !text.isEmpty() && !text.endsWith(u'\n')) {
                text.append(u' ');
            }
            text.append(c);
            blank = false;
        }
    }
    return text;
}

// Text without markup, references or blanks a browser would fold.
bool showsAsWritten(QStringView html) {
    bool blank = true;  // a leading blank folds too
    for (const QChar c : html) {
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

}  // namespace

// Stands for a blank the text keeps, through Qt's reader and the trimming of blanks.
constexpr QChar kKeptBlank(0xFDEE);

QString htmlToText(QStringView html, int* media) {
    if (showsAsWritten(html)) {
        return html.toString();
    }
    static const QRegularExpression kSound(QStringLiteral(R"(\[sound:[^\]]*\])"));
    QString source = html.toString();
    qsizetype sounds = 0;
    if (source.contains(u"[sound:")) {
        sounds = source.count(kSound);
        source.remove(kSound);
    }
    QString text;
    if (std::optional<QString> plain = plainWithLineBreaks(source)) {
        text = std::move(*plain);
    } else {
        // A browser shows a tab as a blank, but a tab written as a reference was meant: our
        // export writes one so. A noncharacter Qt leaves alone carries it through.
        constexpr QChar kTab(0xFDEF);
        static const QRegularExpression kTabReference(QStringLiteral("&#(9|x0*9);"),
                                                      QRegularExpression::CaseInsensitiveOption);
        const bool tabs = source.contains(u"&#");
        if (tabs) {
            source.replace(kTabReference, QString(kTab));
        }
        // A no-break space was typed as a blank that must stay, where a browser would collapse
        // one; Shift_JIS has no no-break space, so it comes back as the blank it stood for.
        static const QRegularExpression kNbspReference(QStringLiteral("&(nbsp|#160|#x0*a0);"),
                                                       QRegularExpression::CaseInsensitiveOption);
        if (source.contains(u'&')) {
            source.replace(kNbspReference, QString(kKeptBlank));
        }
        source.replace(QChar::Nbsp, kKeptBlank);
        text = QTextDocumentFragment::fromHtml(source).toPlainText();
        // Blanks at a line's end show as nothing.
        static const QRegularExpression kBlankBeforeBreak(QStringLiteral(" +\n"));
        if (text.contains(u" \n")) {
            text.replace(kBlankBeforeBreak, QStringLiteral("\n"));
        }
        if (tabs) {
            text.replace(kTab, u'\t');
        }
        const qsizetype pictures = text.count(QChar::ObjectReplacementCharacter);
        if (pictures > 0) {
            text.remove(QChar::ObjectReplacementCharacter);
            sounds += pictures;
        }
    }
    if (media) {
        *media += int(sounds);
    }
    // Block ends at either edge add nothing the user typed.
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && (text[first] == u'\n' || text[first] == u' ')) {
        ++first;
    }
    while (last > first && (text[last - 1] == u'\n' || text[last - 1] == u' ')) {
        --last;
    }
    QString kept = first == 0 && last == text.size() ? text : text.sliced(first, last - first);
    kept.replace(kKeptBlank, u' ');
    return kept;
}

bool looksLikeHtml(const QList<QStringList>& rows) {
    static const QRegularExpression kTag(
        QStringLiteral(R"(<\s*/?\s*(br|div|p|span|b|i|u|s|em|strong|img|li|ul|ol|hr|font|sup|)"
                       R"(sub|a|table|tr|td|h[1-6])(\s[^>]*)?/?\s*>)"),
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

Table readDelimited(QByteArrayView bytes, QChar separator) {
    Table table;
    table.separator = separator;
    table.rows = parseDelimited(decodeText(bytes), separator, &table.sourceLines);
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
    const QString decoded = decodeText(bytes);
    const auto [start, skipped] = titleLines(decoded);
    const QStringView text = QStringView(decoded).sliced(start);
    Table table;
    table.separator =
        options.separator.isNull() ? detectSeparator(text, fallbackSeparator) : options.separator;
    table.rows = parseDelimited(text, table.separator, &table.sourceLines);
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
        decodeHtml(table);
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
            table = readKvtml(bytes);
            break;
        case SourceFormat::Anki:
            table = readAnki(bytes, options);
            break;
    }
    proposeColumns(table);
    return table;
}

void decodeHtml(Table& table) {
    table.html = true;
    int media = 0;
    for (QStringList& row : table.rows) {
        for (QString& cell : row) {
            if (!showsAsWritten(cell)) {
                cell = htmlToText(cell, &media);
            }
        }
    }
    if (media > 0) {
        table.notes.append(QStringLiteral("音声と画像 %1 か所を取り除きました。").arg(media));
    }
}

}  // namespace exchange
