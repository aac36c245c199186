// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <map>

#include "exchange/logic/shared_cell.h"
#include "exchange/logic/table.h"

namespace exchange {

namespace {

// "#separator:" takes a name or the character itself.
QChar separatorNamed(const QString& value) {
    static const std::map<QString, QChar> kNames = {
        {QStringLiteral("tab"), u'\t'},      {QStringLiteral("comma"), u','},
        {QStringLiteral("semicolon"), u';'}, {QStringLiteral("pipe"), u'|'},
        {QStringLiteral("space"), u' '},     {QStringLiteral("colon"), u':'}};
    // A blank or tab is its own name; "#separator: ;" names ";".
    if (value.size() == 1) {
        return value[0];
    }
    if (const QString trimmed = value.trimmed(); trimmed.size() == 1) {
        return trimmed[0];
    }
    const auto found = kNames.find(value.trimmed().toLower());
    return found == kNames.end() ? QChar() : found->second;
}

// Where the rule starts in the field, or -1. Looked for by its '<': much faster than the whole.
qsizetype informationRuleIn(QStringView field) {
    for (qsizetype at = field.indexOf(u'<'); at >= 0; at = field.indexOf(u'<', at + 1)) {
        if (field.sliced(at).startsWith(kAnkiInformationRule)) {
            return at;
        }
    }
    return -1;
}

// Gives the information our export folded into a field a column of its own, right after that
// field; the field's index, or -1 when no field holds any. The rows are those of a text read in
// place.
int unfoldInformation(QList<QStringList>& rows) {
    int column = -1;
    for (qsizetype r = 0; r < rows.size() && column < 0; ++r) {
        for (int c = 0; c < int(rows[r].size()) && column < 0; ++c) {
            column = informationRuleIn(rows[r][c]) >= 0 ? c : -1;
        }
    }
    if (column < 0) {
        return -1;
    }
    for (QStringList& row : rows) {
        if (row.size() <= column) {
            continue;
        }
        QString& field = row[column];
        const qsizetype at = informationRuleIn(field);
        QString information;
        if (at >= 0) {
            // The cell is replaced by its two parts, which share its storage.
            const qsizetype from = at + kAnkiInformationRule.size();
            information = sharedPart(field, from, field.size() - from);
            field = sharedPart(field, 0, at);
        }
        row.insert(column + 1, information);
    }
    return column;
}

}  // namespace

Table readAnki(QByteArrayView bytes, const ReadOptions& options) {
    static const QString kInformation = QStringLiteral("情報");
    bool replaced = false;
    QString text = decodeText(bytes, &replaced);
    QChar separator;
    std::optional<bool> html;
    QString columnsLine;
    std::map<int, QString> special;  // column -> what it holds instead of a field
    QStringList ignored;             // headers that say something a word file cannot keep
    qsizetype notNoted = 0;          // of them, left out of the notes
    // The preview notes what a word file cannot keep, within what a label lays out at once:
    // a header line of megabytes, or tens of thousands of them, took it seconds.
    constexpr qsizetype kNotedLength = 4096;
    constexpr qsizetype kNotedLines = 10;
    const auto ignore = [&](QStringView line) {
        if (ignored.size() == kNotedLines) {
            ++notNoted;
        } else {
            ignored.append(line.size() > kNotedLength ? line.first(kNotedLength).toString() + u'…'
                                                      : line.toString());
        }
    };
    static const std::map<QString, QString> kSpecial = {
        {QStringLiteral("guid column"), QStringLiteral("GUID")},
        {QStringLiteral("notetype column"), QStringLiteral("ノートタイプ")},
        {QStringLiteral("deck column"), QStringLiteral("デッキ")},
        {QStringLiteral("tags column"), QStringLiteral("タグ")}};
    // Header lines come first, in any order; other lines starting with "#" are comments.
    qsizetype start = 0;
    int headerLines = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) {
            end = text.size();
        }
        QStringView line = QStringView(text).sliced(start, end - start);
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        const bool oldTags = headerLines == 0 && line.startsWith(u"tags:");
        if (!line.startsWith(u'#') && !oldTags) {
            break;
        }
        start = end + 1;
        ++headerLines;
        if (oldTags) {
            ignore(line);
            continue;
        }
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0) {
            continue;
        }
        const QString name = line.sliced(1, colon - 1).trimmed().toString().toLower();
        const QString value = line.sliced(colon + 1).toString();
        if (name == u"separator") {
            separator = separatorNamed(value);
        } else if (name == u"html") {
            html = value.trimmed().toLower() == u"true";
        } else if (name == u"columns") {
            columnsLine = value;
        } else if (const auto found = kSpecial.find(name); found != kSpecial.end()) {
            special[value.trimmed().toInt() - 1] = found->second;
        } else if (name == u"tags" || name == u"deck" || name == u"notetype") {
            ignore(line);
        }
    }
    const QStringView body = QStringView(text).sliced(std::min(start, text.size()));
    Table table;
    table.replacedBytes = replaced;
    table.separator = !options.separator.isNull() ? options.separator
                      : !separator.isNull()       ? separator
                                                  : detectSeparator(body, u'\t');
    if (refuseTooMany(table, body)) {
        return table;
    }
    const bool foldedInformation = body.contains(kAnkiInformationRule);
    table.rows = parseDelimitedInPlace(std::move(text), start, table.separator, &table.sourceLines,
                                       u'#', options.stop);
    for (int& line : table.sourceLines) {
        line += headerLines;
    }
    const int folded = foldedInformation ? unfoldInformation(table.rows) : -1;
    if (folded >= 0) {
        std::map<int, QString> shifted;
        for (const auto& [column, what] : special) {
            shifted[column > folded ? column + 1 : column] = what;
        }
        special = std::move(shifted);
    }
    if (options.html.value_or(html.value_or(looksLikeHtml(table.rows)))) {
        decodeHtmlInPlace(table, options.stop);
    }
    table.columns = numberedColumns(table.rows);
    // The information unfolded from a field is a column "#columns:" does not name.
    const qsizetype information = folded >= 0 ? folded + 1 : -1;
    if (information >= 0 && information < table.columns.size()) {
        table.columns[information] = kInformation;
    }
    if (!columnsLine.isEmpty()) {
        qsizetype i = 0;
        for (const QStringView name : QStringView(columnsLine).tokenize(table.separator)) {
            if (i == information) {
                ++i;
            }
            if (i >= table.columns.size()) {
                break;
            }
            table.columns[i++] =
                name.trimmed().first(std::min(name.trimmed().size(), kNotedLength)).toString();
        }
    } else {
        table.firstRowIsHeader = looksLikeHeader(table.rows);
    }
    // The note's fields in order suggest question, answers and information.
    QList<int> fields;
    for (int i = 0; i < int(table.columns.size()); ++i) {
        if (const auto found = special.find(i); found != special.end()) {
            table.columns[i] = found->second;
            table.hiddenColumns.append(i);
        } else {
            fields.append(i);
        }
    }
    table.suggestedQuestion = fields.value(0, 0);
    table.suggestedAnswers = fields.value(1, 1);
    table.suggestedInformation = fields.value(2, -1);
    for (const QString& line : std::as_const(ignored)) {
        table.notes.append(QStringLiteral("「%1」は単語帳に入りません。").arg(line));
    }
    if (notNoted > 0) {
        table.notes.append(
            QStringLiteral("ほか %1 行の見出しも単語帳に入りません。").arg(notNoted));
    }
    return table;
}

}  // namespace exchange
