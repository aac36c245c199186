#include "exchange/logic/table.h"

#include <QFileInfo>
#include <QStringDecoder>

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

Table readDelimited(QByteArrayView bytes, QChar separator) {
    Table table;
    table.rows = parseDelimited(decodeText(bytes), separator, &table.sourceLines);
    table.columns = numberedColumns(table.rows);
    table.suggestedInformation = table.columns.size() > 2 ? 2 : -1;
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
