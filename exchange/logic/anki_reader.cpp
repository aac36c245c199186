#include "exchange/logic/table.h"

#include <map>

namespace exchange {

namespace {

// Anki's plain text keeps HTML; line breaks become real ones, other tags go.
QString htmlToText(QStringView html) {
    QString text;
    text.reserve(html.size());
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html[i];
        if (c == u'<') {
            const qsizetype end = html.indexOf(u'>', i);
            if (end < 0) {
                text.append(html.sliced(i));
                break;
            }
            const QStringView tag = html.sliced(i + 1, end - i - 1).trimmed();
            const QString name = tag.toString().section(u' ', 0, 0).toLower().remove(u'/');
            const bool opensBlock = name == u"div" && !tag.startsWith(u'/');
            if (name == u"br" || (opensBlock && !text.isEmpty() && !text.endsWith(u'\n'))) {
                text.append(u'\n');
            }
            i = end;
        } else if (c == u'&') {
            const qsizetype end = html.indexOf(u';', i);
            static const std::map<QString, QChar> kNamed = {
                {QStringLiteral("amp"), u'&'},   {QStringLiteral("lt"), u'<'},
                {QStringLiteral("gt"), u'>'},    {QStringLiteral("quot"), u'"'},
                {QStringLiteral("apos"), u'\''}, {QStringLiteral("nbsp"), u' '}};
            if (end > i && end - i <= 10) {
                const QString name = html.sliced(i + 1, end - i - 1).toString();
                bool ok = false;
                char32_t code = 0;
                if (name.startsWith(u"#x") || name.startsWith(u"#X")) {
                    code = name.mid(2).toUInt(&ok, 16);
                } else if (name.startsWith(u'#')) {
                    code = name.mid(1).toUInt(&ok, 10);
                }
                if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                    text.append(QString::fromUcs4(&code, 1));
                    i = end;
                    continue;
                }
                if (const auto found = kNamed.find(name); found != kNamed.end()) {
                    text.append(found->second);
                    i = end;
                    continue;
                }
            }
            text.append(c);
        } else {
            text.append(c);
        }
    }
    // A trailing </div> or <br> adds nothing the user typed.
    while (text.endsWith(u'\n')) {
        text.chop(1);
    }
    return text;
}

}  // namespace

Table readAnki(QByteArrayView bytes) {
    const QString text = decodeText(bytes);
    QChar separator = u'\t';
    bool html = false;
    QStringList columns;
    qsizetype start = 0;
    int headerLines = 0;
    static const std::map<QString, QString> kSpecial = {
        {QStringLiteral("guid column"), QStringLiteral("GUID")},
        {QStringLiteral("notetype column"), QStringLiteral("ノートタイプ")},
        {QStringLiteral("deck column"), QStringLiteral("デッキ")},
        {QStringLiteral("tags column"), QStringLiteral("タグ")}};
    std::map<int, QString> special;  // column -> name
    // Header lines come first, each "#name:value".
    while (start < text.size() && text[start] == u'#') {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) {
            end = text.size();
        }
        const QString line = text.sliced(start, end - start).trimmed();
        const QString name = line.section(u':', 0, 0).mid(1).trimmed().toLower();
        const QString value = line.section(u':', 1).trimmed();
        if (name == u"separator") {
            static const std::map<QString, QChar> kSeparators = {
                {QStringLiteral("tab"), u'\t'},      {QStringLiteral("comma"), u','},
                {QStringLiteral("semicolon"), u';'}, {QStringLiteral("pipe"), u'|'},
                {QStringLiteral("space"), u' '},     {QStringLiteral("colon"), u':'}};
            if (const auto found = kSeparators.find(value.toLower()); found != kSeparators.end()) {
                separator = found->second;
            } else if (value.size() == 1) {
                separator = value[0];
            }
        } else if (name == u"html") {
            html = value.toLower() == u"true";
        } else if (name == u"columns") {
            columns = value.split(separator);
        } else if (const auto found = kSpecial.find(name); found != kSpecial.end()) {
            // "#guid column:1" and the like: columns that are not a note's fields.
            special[value.toInt() - 1] = found->second;
        }
        start = end + 1;
        ++headerLines;
    }
    Table table;
    table.rows = parseDelimited(QStringView(text).sliced(std::min(start, text.size())), separator,
                                &table.sourceLines);
    for (int& line : table.sourceLines) {
        line += headerLines;
    }
    if (html) {
        for (QStringList& row : table.rows) {
            for (QString& cell : row) {
                cell = htmlToText(cell);
            }
        }
    }
    table.columns = numberedColumns(table.rows);
    for (qsizetype i = 0; i < columns.size() && i < table.columns.size(); ++i) {
        table.columns[i] = columns[i];
    }
    // The note's fields in order suggest question, answers and information.
    QList<int> fields;
    for (int i = 0; i < int(table.columns.size()); ++i) {
        if (const auto found = special.find(i); found != special.end()) {
            table.columns[i] = found->second;
        } else {
            fields.append(i);
        }
    }
    table.suggestedQuestion = fields.value(0, 0);
    table.suggestedAnswers = fields.value(1, 1);
    table.suggestedInformation = fields.value(2, -1);
    return table;
}

}  // namespace exchange
