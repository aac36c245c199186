#include "exchange/logic/table.h"

#include <QXmlStreamReader>

#include <map>

namespace exchange {

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

}  // namespace exchange
