#include "exchange/logic/table.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <map>

#include "common/ansi_text.h"

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

QList<QStringList> parseDelimited(QStringView text, QChar separator, QList<int>* lines) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;  // inside a quoted field
    bool fieldStarted = false;
    int line = 1;
    int rowLine = 1;
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
                lines->append(rowLine);
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
            const QStringView piece = text.sliced(i, end - i);
            field.append(piece);
            if (piece.contains(u'\n') || piece.contains(u'\r')) {
                line += int(piece.count(u'\n') + piece.count(u'\r') - piece.count(u"\r\n"));
            }
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
            rowLine = ++line;
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

QString quoteField(const QString& field, QChar separator) {
    if (!field.contains(separator) && !field.contains(u'"') && !field.contains(u'\n') &&
        !field.contains(u'\r')) {
        return field;
    }
    QString quoted = field;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

SourceFormat guessFormat(const QString& fileName, QByteArrayView bytes) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"kvtml") {
        return SourceFormat::Kvtml;
    }
    if (suffix == u"csv") {
        return SourceFormat::Csv;
    }
    if (bytes.startsWith("#separator:") || bytes.startsWith("#html:") ||
        bytes.startsWith("\xEF\xBB\xBF#separator:")) {
        return SourceFormat::Anki;
    }
    if (suffix == u"tsv" || suffix == u"txt" || bytes.contains('\t')) {
        return SourceFormat::Tsv;
    }
    return SourceFormat::Csv;
}

namespace {

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

}  // namespace

Table readDelimited(QByteArrayView bytes, QChar separator) {
    Table table;
    table.rows = parseDelimited(decodeText(bytes), separator, &table.sourceLines);
    table.columns = numberedColumns(table.rows);
    table.suggestedInformation = table.columns.size() > 2 ? 2 : -1;
    return table;
}

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

Table readKvtml(QByteArrayView bytes) {
    Table table;
    QXmlStreamReader xml(bytes.toByteArray());
    QList<int> identifiers;  // identifier ids in document order
    QStringList names;
    struct Row {
        std::map<int, QString> texts;
        QStringList comments;
        int line = 0;
    };
    QList<Row> rows;
    bool sawRoot = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const QStringView name = xml.name();
        if (!sawRoot) {
            if (name != u"kvtml") {
                break;
            }
            sawRoot = true;
            if (!xml.attributes().value(QLatin1StringView("version")).startsWith(u'2')) {
                table.ok = false;
                table.error = QStringLiteral("kvtml のバージョン 2 ではありません。");
                return table;
            }
        } else if (name == u"lessons" || name == u"wordtypes" || name == u"leitnerboxes") {
            // They hold references to entries, not entries.
            xml.skipCurrentElement();
        } else if (name == u"identifier") {
            identifiers.append(xml.attributes().value(QLatin1StringView("id")).toInt());
            names.append(QString());
            while (xml.readNextStartElement()) {
                if (xml.name() == u"name") {
                    names.last() = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                } else {
                    xml.skipCurrentElement();
                }
            }
        } else if (name == u"entry") {
            Row row;
            row.line = static_cast<int>(xml.lineNumber());
            int translation = -1;
            while (!xml.atEnd()) {
                const auto token = xml.readNext();
                if (token == QXmlStreamReader::EndElement && xml.name() == u"entry") {
                    break;
                }
                if (token != QXmlStreamReader::StartElement) {
                    continue;
                }
                if (xml.name() == u"translation") {
                    translation = xml.attributes().value(QLatin1StringView("id")).toInt();
                } else if (xml.name() == u"text" && translation >= 0) {
                    row.texts[translation] =
                        xml.readElementText(QXmlStreamReader::IncludeChildElements);
                } else if (xml.name() == u"comment" && translation >= 0) {
                    const QString comment =
                        xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    if (!comment.isEmpty()) {
                        row.comments.append(comment);
                    }
                } else if (xml.name() != u"translation") {
                    xml.skipCurrentElement();
                }
            }
            rows.append(row);
        }
    }
    if (!sawRoot || xml.hasError()) {
        table.ok = false;
        table.error =
            sawRoot ? xml.errorString() : QStringLiteral("kvtml の単語帳ではありません。");
        return table;
    }
    for (qsizetype i = 0; i < identifiers.size(); ++i) {
        table.columns.append(names[i].isEmpty() ? QStringLiteral("言語 %1").arg(identifiers[i])
                                                : names[i]);
    }
    table.columns.append(QStringLiteral("コメント"));
    for (const Row& row : rows) {
        QStringList cells;
        for (const int id : identifiers) {
            const auto found = row.texts.find(id);
            cells.append(found == row.texts.end() ? QString() : found->second);
        }
        cells.append(row.comments.join(u'\n'));
        table.rows.append(cells);
        table.sourceLines.append(row.line);
    }
    table.suggestedQuestion = 0;
    table.suggestedAnswers = identifiers.size() > 1 ? 1 : 0;
    table.suggestedInformation = static_cast<int>(identifiers.size());
    return table;
}

Table readTable(SourceFormat format, QByteArrayView bytes) {
    switch (format) {
        case SourceFormat::Csv:
            return readDelimited(bytes, u',');
        case SourceFormat::Tsv:
            return readDelimited(bytes, u'\t');
        case SourceFormat::Kvtml:
            return readKvtml(bytes);
        case SourceFormat::Anki:
            break;
    }
    return readAnki(bytes);
}

}  // namespace exchange
