#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// What every importer gives: named columns and rows of cells, before the user maps them.
namespace exchange {

enum class SourceFormat { Csv, Tsv, Kvtml, Anki };

struct Table {
    QStringList columns;      // names shown in the preview
    QList<QStringList> rows;  // each row may be shorter or longer than columns
    // Where each row starts in the source (a line number, or the entry's position), for the
    // problems listed to the user.
    QList<int> sourceLines;
    bool ok = true;  // false: the file is not of this format at all
    QString error;   // why, for the user
    // kvtml: the default columns for question, answers and information.
    int suggestedQuestion = 0;
    int suggestedAnswers = 1;
    int suggestedInformation = -1;
};

// UTF-8 with or without a byte-order mark, UTF-16 with one, else the ANSI code page.
QString decodeText(QByteArrayView bytes);

// RFC 4180: fields in double quotes may hold the separator, doubled quotes and line breaks.
// Lines end in CR LF, LF or CR. A line with nothing on it is no row.
QList<QStringList> parseDelimited(QStringView text, QChar separator, QList<int>* lines = nullptr);

// Quotes a field when the separator, a quote or a line break is in it.
QString quoteField(const QString& field, QChar separator);

// The format a file's name and first bytes say it is.
SourceFormat guessFormat(const QString& fileName, QByteArrayView bytes);

// "列 1", "列 2", ... as many as the widest row has fields.
QStringList numberedColumns(const QList<QStringList>& rows);

Table readDelimited(QByteArrayView bytes, QChar separator);
Table readKvtml(QByteArrayView bytes);
Table readAnki(QByteArrayView bytes);
Table readTable(SourceFormat format, QByteArrayView bytes);

}  // namespace exchange
