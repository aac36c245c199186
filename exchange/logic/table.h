// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <stop_token>

#include "common/outcome.h"

// What every importer gives: named columns and rows of cells, before the user maps them.
namespace exchange {

enum class SourceFormat { Csv, Tsv, Kvtml, Anki };

// In an Anki field, what comes after this rule is the entry's information: our Anki export
// folds it into the back, and the reader gives it a column of its own again.
inline constexpr QStringView kAnkiInformationRule = u"<hr id=information>";

// How the rows of a source are counted for the user: by the file line a record starts on
// ("3 行目"), or by the entry's place in the document ("3 番目の単語").
enum class RowNumbering { Line, Entry };

struct Table {
    QStringList columns;      // names shown in the preview
    QList<QStringList> rows;  // each row may be shorter or longer than columns
    // Where each row starts in the source (a line number, or the entry's position), for the
    // problems listed to the user.
    QList<int> sourceLines;
    RowNumbering numbering = RowNumbering::Line;
    // Invalid: the file is not of this format at all; TooMany: beyond the import's bounds.
    common::Outcome outcome;
    // kvtml: the default columns for question, answers and information.
    int suggestedQuestion = 0;
    int suggestedAnswers = 1;
    int suggestedInformation = -1;
    // Delimited text: the field separator the rows were split at (null for kvtml), whether the
    // cells were read as HTML, and whether the first row looks like column names.
    QChar separator;
    bool html = false;
    bool firstRowIsHeader = false;
    // Columns that hold no note field (tags, deck, note type, id): never offered for mapping.
    QList<int> hiddenColumns;
    // What the reader left out, for the preview (e.g. sounds and pictures removed).
    QStringList notes;
    // Rows (indices) the reader could not read whole, such as text in another file (an
    // external entity), in order.
    QList<qsizetype> droppedText;
    // The text was read as UTF-8 with some bytes that are not, each shown as U+FFFD.
    bool replacedBytes = false;
};

// What the user chose in the preview instead of what the file suggests.
struct ReadOptions {
    QChar separator;           // null: from the file's header, else detected
    std::optional<bool> html;  // unset: from the file's header, else detected
    // Once stop is asked for, the reading ends early with what it has (readImportTable then
    // says Cancelled).
    std::stop_token stop;
};

// UTF-8 with or without a byte-order mark, UTF-16 with one, else the ANSI code page. UTF-8 with
// a few bytes that are not (a damaged file) is still UTF-8, those bytes read as U+FFFD and
// *replaced set.
QString decodeText(QByteArrayView bytes, bool* replaced = nullptr);

// RFC 4180: fields in double quotes may hold the separator, doubled quotes and line breaks.
// Lines end in CR LF, LF or CR. A line with nothing on it is no row.
// `lines` gets the line each row starts on (a quoted line break counts as a line); with
// `comment`, a record starting with it is skipped. Ends at a line end once `stop` is asked for.
QList<QStringList> parseDelimited(QStringView text, QChar separator, QList<int>* lines = nullptr,
                                  QChar comment = QChar(), std::stop_token stop = {});
// The same for the text from `from` on, read in place: every cell shares the storage of `text`,
// which the reading writes over.
QList<QStringList> parseDelimitedInPlace(QString text, qsizetype from, QChar separator,
                                         QList<int>* lines = nullptr, QChar comment = QChar(),
                                         std::stop_token stop = {});

// Of tab, comma, semicolon and "|", the one that splits the text's first records into the most
// consistent number of columns; `fallback` when none splits them.
QChar detectSeparator(QStringView text, QChar fallback);

// Text from an HTML field as a browser shows it: entities decoded, block ends as line breaks,
// source line breaks and blank runs as one space, sounds and pictures left out (`media`
// counts them). Ends early once `stop` is asked for.
QString htmlToText(QStringView html, int* media = nullptr, std::stop_token stop = {});

// Whether cells hold HTML tags.
bool looksLikeHtml(const QList<QStringList>& rows);
// Replaces every cell by its text and notes the sounds and pictures left out; ends early once
// `stop` is asked for.
void decodeHtml(Table& table, std::stop_token stop = {});
// The same for a table whose cells were read in place (parseDelimitedInPlace): each cell's text
// is written over its markup.
void decodeHtmlInPlace(Table& table, std::stop_token stop = {});

// "列 1", "列 2", ... as wide as the widest row.
QStringList numberedColumns(const QList<QStringList>& rows);
// Whether the first row names the columns rather than holding an entry.
bool looksLikeHeader(const QList<QStringList>& rows);

// Quotes a field when the separator, a quote or a line break is in it.
QString quoteField(const QString& field, QChar separator);

// The format a file's name and first bytes say it is.
SourceFormat guessFormat(const QString& fileName, QByteArrayView bytes);

// The readers refuse a text with more rows or cells than an import takes, unparsed (TooMany).
// Whether the table refuses the text so, saying why.
bool refuseTooMany(Table& table, QStringView text);
Table readDelimited(QByteArrayView bytes, QChar separator);
Table readDelimited(QByteArrayView bytes, QChar fallbackSeparator, const ReadOptions& options);
// kvtml is parsed quickly where that parse reads the document as libxml2 does (plain UTF-8,
// no declarations of its own), else by libxml2. Full asks for libxml2 alone, QuickAlone (for
// tests) for the quick parse alone, refusing what it leaves to libxml2.
// The quick parse takes a version 2 document's entries a piece of about `pieceBytes` at a
// time (tests make it small).
enum class KvtmlParser { Quick, Full, QuickAlone };
inline constexpr qsizetype kKvtmlPieceBytes = 128 * 1024;
Table readKvtml(QByteArrayView bytes, std::stop_token stop = {},
                KvtmlParser parser = KvtmlParser::Quick, qsizetype pieceBytes = kKvtmlPieceBytes);
Table readAnki(QByteArrayView bytes, const ReadOptions& options = {});
Table readTable(SourceFormat format, QByteArrayView bytes, const ReadOptions& options = {});

}  // namespace exchange
