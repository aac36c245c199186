#include "exchange/logic/exporters.h"

#include <QFileInfo>
#include <QXmlStreamWriter>

#include "common/entry_text.h"
#include "exchange/logic/table.h"

namespace exchange {

namespace {

QString displayInformation(const common::Entry& entry) {
    return common::informationToDisplay(entry.information);
}

QString joinedAnswers(const common::Entry& entry, const QString& separator) {
    return common::splitRights(entry.rights).join(separator);
}

QString htmlField(const QString& text) {
    QString html = text.toHtmlEscaped();
    html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    return html;
}

}  // namespace

QByteArray formatAnki(const QList<common::Entry>& entries) {
    QString text = QStringLiteral("#separator:tab\n#html:true\n");
    for (const common::Entry& entry : entries) {
        const QStringList fields = {htmlField(entry.question),
                                    htmlField(joinedAnswers(entry, QStringLiteral(" / "))),
                                    htmlField(displayInformation(entry))};
        for (qsizetype i = 0; i < fields.size(); ++i) {
            text += quoteField(fields[i], u'\t');
            text += i + 1 < fields.size() ? u'\t' : u'\n';
        }
    }
    return text.toUtf8();
}

QByteArray formatCsv(const QList<common::Entry>& entries) {
    QString text;
    for (const common::Entry& entry : entries) {
        text += quoteField(entry.question, u',');
        text += u',';
        text += quoteField(joinedAnswers(entry, QStringLiteral("; ")), u',');
        text += u',';
        text += quoteField(displayInformation(entry), u',');
        text += QStringLiteral("\r\n");
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}

QByteArray formatKvtml(const QList<common::Entry>& entries, const QString& title,
                       const KvtmlLanguages& languages) {
    // Into a QString and converted once: much faster than the writer encoding piece by piece.
    QString text;
    QXmlStreamWriter xml(&text);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral(
        "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">"));
    xml.writeStartElement(QStringLiteral("kvtml"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
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
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const common::Entry& entry = entries[i];
        xml.writeStartElement(QStringLiteral("entry"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(i));
        xml.writeStartElement(QStringLiteral("translation"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("text"), entry.question);
        if (!entry.information.isEmpty()) {
            QString comment = displayInformation(entry);
            xml.writeTextElement(QStringLiteral("comment"),
                                 comment.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        }
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("translation"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("1"));
        xml.writeTextElement(QStringLiteral("text"), joinedAnswers(entry, QStringLiteral("; ")));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();

    // One lesson with every entry: some vocabulary programs show only entries in a lesson.
    xml.writeStartElement(QStringLiteral("lessons"));
    xml.writeStartElement(QStringLiteral("container"));
    xml.writeTextElement(QStringLiteral("name"), title);
    xml.writeTextElement(QStringLiteral("inpractice"), QStringLiteral("true"));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        xml.writeEmptyElement(QStringLiteral("entry"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(i));
    }
    xml.writeEndElement();
    xml.writeEndElement();

    xml.writeEndElement();
    xml.writeEndDocument();
    return text.toUtf8();
}

QByteArray formatExport(ExportFormat format, const QList<common::Entry>& entries,
                        const QString& title) {
    switch (format) {
        case ExportFormat::AnkiText:
            return formatAnki(entries);
        case ExportFormat::Csv:
            return formatCsv(entries);
        case ExportFormat::Kvtml:
            break;
    }
    return formatKvtml(entries, title);
}

common::WriteResult writeExport(const QString& path, ExportFormat format,
                                const QList<common::Entry>& entries) {
    return common::writeFileAtomically(
        path, formatExport(format, entries, QFileInfo(path).completeBaseName()));
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
