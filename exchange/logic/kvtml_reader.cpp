// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QStringDecoder>
#include <QXmlStreamReader>

#include <map>
#include <memory>

#include "exchange/logic/import_file.h"
#include "exchange/logic/table.h"

namespace exchange {

namespace {

// Real documents nest about eight deep (a conjugation inside a translation); anything far
// deeper is no vocabulary document, and a bound keeps every later step small.
constexpr int kMaxDepth = 32;

struct Row {
    // By identifier (version 2) or column (version 1); a map, as an entry may hold thousands.
    std::map<int, QString> texts;
    QStringList comments;
    int number = 0;            // of the entry in the document, from 1
    bool droppedText = false;  // an external entity was left out

    QString& text(int id) { return texts[id]; }
    bool isBlank() const {
        for (const auto& text : texts) {
            if (!text.second.trimmed().isEmpty()) {
                return false;
            }
        }
        return comments.isEmpty();
    }
};

// Whether the bytes are UTF-8 to their end (a character cut off at the end is an error too).
bool isUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

// The first line that is not UTF-8, or 0. UTF-8 never holds a line feed inside a character,
// so each line decodes on its own.
int firstBadUtf8Line(QByteArrayView bytes) {
    int line = 1;
    for (qsizetype start = 0; start <= bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            end = bytes.size();
        }
        if (!isUtf8(bytes.sliced(start, end - start))) {
            return line;
        }
        start = end + 1;
    }
    return 0;
}

// UTF-8 unless a byte-order mark or the declaration says otherwise.
bool declaresUtf8(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        return false;
    }
    const QByteArray head = bytes.first(std::min<qsizetype>(bytes.size(), 200)).toByteArray();
    const qsizetype declarationEnd = head.startsWith("<?xml") ? head.indexOf("?>") : -1;
    if (declarationEnd < 0) {
        return true;
    }
    const QByteArray declaration = head.left(declarationEnd).toLower();
    return !declaration.contains("encoding") || declaration.contains("utf-8") ||
           declaration.contains("utf8");
}

// Old documents wrote "<!doctype kvtml system ...", which XML does not allow: the keywords
// are upper-cased in place (same length, so offsets and lines stay). Only the head is looked at.
void upperCaseDoctype(QString& head) {
    const qsizetype at = QStringView(head)
                             .first(std::min<qsizetype>(head.size(), 400))
                             .indexOf(u"<!doctype", 0, Qt::CaseInsensitive);
    if (at < 0) {
        return;
    }
    head.replace(at, 9, QStringLiteral("<!DOCTYPE"));
    // "<!DOCTYPE name SYSTEM" or "<!DOCTYPE name PUBLIC": the keyword after the name.
    qsizetype i = at + 9;
    const auto skipBlanks = [&] {
        while (i < head.size() && head[i].isSpace()) {
            ++i;
        }
    };
    skipBlanks();
    while (i < head.size() && !head[i].isSpace() && head[i] != u'>' && head[i] != u'[') {
        ++i;
    }
    skipBlanks();
    for (const QLatin1StringView keyword :
         {QLatin1StringView("SYSTEM"), QLatin1StringView("PUBLIC")}) {
        if (QStringView(head).sliced(i).startsWith(keyword, Qt::CaseInsensitive)) {
            head.replace(i, keyword.size(), keyword);
        }
    }
}

// The same for bytes in an encoding left to the reader: every one of them writes ASCII as
// ASCII.
void upperCaseDoctype(QByteArray& bytes) {
    QString head = QString::fromLatin1(bytes.first(std::min<qsizetype>(bytes.size(), 400)));
    upperCaseDoctype(head);
    bytes.replace(0, head.size(), head.toLatin1());
}

// The names of the entities whose text lies in other files; the reader leaves them out
// without a word.
QStringList externalEntities(const QXmlStreamReader& xml) {
    QStringList names;
    for (const QXmlStreamEntityDeclaration& entity : xml.entityDeclarations()) {
        if (!entity.systemId().isEmpty() || !entity.publicId().isEmpty()) {
            names.append(u'&' + entity.name().toString() + u';');
        }
    }
    return names;
}

bool isWordForms(QStringView name) {
    return name == u"comparison" || name == u"conjugation" || name == u"multiplechoice";
}

Table refused(const QString& reason, common::OutcomeKind kind = common::OutcomeKind::Invalid) {
    Table table;
    table.outcome = common::Outcome::failure(kind, reason);
    return table;
}

}  // namespace

Table readKvtml(QByteArrayView input, std::stop_token stop) {
    // Read from text, so that the reader's offsets point into it. Other declared encodings
    // are left to the reader; their offsets are near enough for finding an entity.
    const bool utf8 = declaresUtf8(input);
    const bool decoded = utf8 || input.startsWith("\xFF\xFE") || input.startsWith("\xFE\xFF");
    QString text;
    if (utf8) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = decoder.decode(input);
        if (decoder.hasError()) {
            return refused(
                QStringLiteral(
                    "%1 行目: 文字コードの誤りです (UTF-8 として読めない文字があります)。")
                    .arg(firstBadUtf8Line(input)));
        }
    } else {
        text = decoded ? decodeText(input) : QString::fromLatin1(input);
    }
    upperCaseDoctype(text);
    QByteArray raw;
    if (!decoded) {
        raw = input.toByteArray();
        upperCaseDoctype(raw);
    }
    const auto reader = decoded ? std::make_unique<QXmlStreamReader>(text)
                                : std::make_unique<QXmlStreamReader>(raw);
    QXmlStreamReader& xml = *reader;
    QStringList external;
    qint64 targetStart = 0;

    // Each element's name from the root down; paths, not names alone, tell an entry from a
    // synonym pair's reference to one. Each name reuses its buffer: a new string per element
    // would cost a third of the reading.
    QStringList path(kMaxDepth + 1);
    qsizetype depth = 0;
    int version = 0;
    QList<int> identifiers;       // version 2: identifier ids in document order
    QList<int> undeclared;        // version 2: translation ids no identifier declares
    QStringList names;            // of the columns, by identifier or column
    bool identifierKept = false;  // beyond the columns one can map, languages are left out
    QList<Row> rows;
    Row row;
    int entries = 0;  // the entries so far, blank or not: a row is numbered by its entry
    bool inEntry = false;
    int translation = -1;       // the translation (version 2) or column (version 1) being read
    QString* target = nullptr;  // where the text being read goes
    qsizetype targetDepth = 0;
    bool targetIsRow = false;
    qsizetype formsFrom = 0;  // the depth of the word forms being left out, or 0
    QString comment;

    const auto at = [&](std::initializer_list<const char16_t*> names) {
        if (depth != qsizetype(names.size())) {
            return false;
        }
        qsizetype i = 0;
        for (const char16_t* name : names) {
            if (path[i++] != QStringView(name)) {
                return false;
            }
        }
        return true;
    };

    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (stop.stop_requested()) {
                return refused({}, common::OutcomeKind::Cancelled);
            }
            if (depth == kMaxDepth) {
                return refused(
                    QStringLiteral("%1 行目: 要素の入れ子が深すぎます。").arg(xml.lineNumber()));
            }
            path[depth].resize(0);
            path[depth++].append(xml.name());
            if (target) {
                // Markup inside a text keeps its characters, but a version 1 word's other
                // forms (comparison, conjugation, choices) are no part of it.
                if (version == 1 && formsFrom == 0 && isWordForms(xml.name())) {
                    formsFrom = depth;
                }
                continue;
            }
            if (depth == 1) {
                if (path[0] != u"kvtml") {
                    break;
                }
                const QStringView given = xml.attributes().value(QLatin1StringView("version"));
                version = given.isEmpty() || given.startsWith(u'1') ? 1
                          : given.startsWith(u'2')                  ? 2
                                                                    : 0;
                if (version == 0) {
                    return refused(
                        QStringLiteral("kvtml のバージョン %1 は読めません。").arg(given));
                }
            } else if (version == 2 && at({u"kvtml", u"identifiers", u"identifier"})) {
                identifierKept = identifiers.size() < kMaxImportColumns;
                if (identifierKept) {
                    identifiers.append(xml.attributes().value(QLatin1StringView("id")).toInt());
                    names.append(QString());
                }
            } else if (version == 2 && identifierKept &&
                       at({u"kvtml", u"identifiers", u"identifier", u"name"})) {
                target = &names.last();
            } else if ((version == 2 && at({u"kvtml", u"entries", u"entry"})) ||
                       (version == 1 && at({u"kvtml", u"e"}))) {
                row = Row();
                row.number = ++entries;
                inEntry = true;
                translation = -1;
            } else if (version == 2 && at({u"kvtml", u"entries", u"entry", u"translation"})) {
                // Keyed by its id whether or not an identifier declares it, within the
                // columns one can map.
                translation = xml.attributes().value(QLatin1StringView("id")).toInt();
                if (!identifiers.contains(translation) && !undeclared.contains(translation)) {
                    if (identifiers.size() + undeclared.size() < kMaxImportColumns) {
                        undeclared.append(translation);
                    } else {
                        translation = -1;
                    }
                }
            } else if (version == 2 && translation >= 0 &&
                       at({u"kvtml", u"entries", u"entry", u"translation", u"text"})) {
                target = &row.text(translation);
                targetIsRow = true;
            } else if (version == 2 && translation >= 0 &&
                       at({u"kvtml", u"entries", u"entry", u"translation", u"comment"})) {
                comment.clear();
                target = &comment;
                targetIsRow = true;
            } else if (version == 1 && (at({u"kvtml", u"e", u"o"}) || at({u"kvtml", u"e", u"t"})) &&
                       (path[depth - 1] == u"o" || translation + 1 < kMaxImportColumns)) {
                translation = path[depth - 1] == u"o" ? 0 : std::max(translation + 1, 1);
                if (names.size() <= translation) {
                    names.resize(translation + 1);
                }
                if (names[translation].isEmpty()) {
                    names[translation] = xml.attributes().value(QLatin1StringView("l")).toString();
                }
                target = &row.text(translation);
                targetIsRow = true;
            }
            if (target) {
                targetDepth = depth;
                targetStart = xml.characterOffset();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == formsFrom) {
                formsFrom = 0;
            }
            if (target && depth == targetDepth) {
                if (targetIsRow && !external.isEmpty()) {
                    const QStringView source = QStringView(text)
                                                   .sliced(targetStart)
                                                   .first(xml.characterOffset() - targetStart);
                    for (const QString& entity : external) {
                        row.droppedText = row.droppedText || source.contains(entity);
                    }
                }
                if (target == &comment && !comment.isEmpty()) {
                    row.comments.append(comment);
                }
                target = nullptr;
                targetIsRow = false;
            } else if (inEntry && depth == (version == 1 ? 2 : 3) && !target) {
                inEntry = false;
                if (!row.isBlank()) {
                    rows.append(std::move(row));
                    if (rows.size() > kMaxImportRows) {
                        return refused(tooManyRows(), common::OutcomeKind::TooMany);
                    }
                }
            }
            depth = std::max<qsizetype>(depth - 1, 0);
        } else if (target && formsFrom == 0 &&
                   (token == QXmlStreamReader::Characters ||
                    token == QXmlStreamReader::EntityReference)) {
            target->append(xml.text());
        } else if (token == QXmlStreamReader::DTD) {
            external = externalEntities(xml);
        }
    }
    if (xml.hasError()) {
        return refused(QStringLiteral("%1 行目: %2").arg(xml.lineNumber()).arg(xml.errorString()));
    }
    if (version == 0) {
        return refused(QStringLiteral("kvtml の単語帳ではありません。"));
    }

    Table table;
    table.numbering = RowNumbering::Entry;
    QList<int> columns;  // the key of each language column
    if (version == 2) {
        // The declared languages in their order, then the others by id.
        std::sort(undeclared.begin(), undeclared.end());
        columns = identifiers;
        for (const int id : std::as_const(undeclared)) {
            if (!columns.contains(id)) {
                columns.append(id);
            }
        }
    } else {
        for (qsizetype i = 0; i < names.size(); ++i) {
            columns.append(int(i));
        }
        identifiers = columns;
    }
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString name = names.value(i);
        table.columns.append(name.isEmpty() ? QStringLiteral("言語 %1").arg(columns[i]) : name);
    }
    table.columns.append(QStringLiteral("コメント"));
    if (rows.size() * table.columns.size() > kMaxImportCells) {
        return refused(tooManyRows(), common::OutcomeKind::TooMany);
    }
    for (const Row& entry : rows) {
        QStringList cells;
        cells.reserve(columns.size() + 1);
        for (const int key : columns) {
            const auto text = entry.texts.find(key);
            cells.append(text == entry.texts.end() ? QString() : text->second);
        }
        cells.append(entry.comments.join(u'\n'));
        if (entry.droppedText) {
            table.droppedText.append(table.rows.size());
        }
        table.rows.append(cells);
        table.sourceLines.append(entry.number);
    }
    const auto languages = int(columns.size());
    if (languages == 1) {
        // A word and what it means: the meaning asks, the word answers.
        table.suggestedQuestion = 1;
        table.suggestedAnswers = 0;
        table.suggestedInformation = -1;
    } else {
        table.suggestedQuestion = 0;
        table.suggestedAnswers = 1;
        table.suggestedInformation = languages;
    }
    return table;
}

}  // namespace exchange
