// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QStringDecoder>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/logic/import_file.h"
#include "exchange/logic/shared_cell.h"
#include "exchange/logic/table.h"

namespace exchange {

namespace {

// Real documents nest about eight deep (a conjugation inside a translation); anything far
// deeper is no vocabulary document, and a bound keeps every later step small.
constexpr int kMaxDepth = 32;

struct Row {
    // By slot: the place of a translation's id (version 2) or of a column (version 1) among
    // those the document has shown so far.
    QStringList texts;
    QString comments;          // each on a line of its own
    int number = 0;            // of the entry in the document, from 1
    bool droppedText = false;  // an external entity was left out

    QString& text(qsizetype slot) {
        if (texts.size() <= slot) {
            texts.resize(slot + 1);
        }
        return texts[slot];
    }
    bool isBlank() const {
        for (const QString& text : texts) {
            if (!QStringView(text).trimmed().isEmpty()) {
                return false;
            }
        }
        return comments.isEmpty();
    }
};

}  // namespace
}  // namespace exchange

// Moved as bytes when the rows grow.
Q_DECLARE_TYPEINFO(exchange::Row, Q_RELOCATABLE_TYPE);

namespace exchange {
namespace {

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

// The elements the reader looks for; every other name is Other.
enum class Name : quint8 {
    Other,
    Kvtml,
    Identifiers,
    Identifier,
    NameElement,
    Entries,
    Entry,
    Translation,
    Text,
    Comment,
    E,  // version 1: an entry, its original (o) and its translations (t)
    O,
    T,
    WordForms,  // version 1: comparison, conjugation and choices, no part of the word
};

// Whether the C string `name` is `known`: compared to its first difference, without working
// out its length first.
template <std::size_t N>
bool sameName(const char* name, const char (&known)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (name[i] != known[i]) {
            return false;
        }
    }
    return true;
}

Name nameOf(const char* name) {
    using enum Name;
    switch (name[0]) {
        case 'c':
            return sameName(name, "comment")                                       ? Comment
                   : sameName(name, "comparison") || sameName(name, "conjugation") ? WordForms
                                                                                   : Other;
        case 'e':
            return sameName(name, "entry")     ? Entry
                   : sameName(name, "entries") ? Entries
                   : sameName(name, "e")       ? E
                                               : Other;
        case 'i':
            return sameName(name, "identifier")    ? Identifier
                   : sameName(name, "identifiers") ? Identifiers
                                                   : Other;
        case 'k':
            return sameName(name, "kvtml") ? Kvtml : Other;
        case 'm':
            return sameName(name, "multiplechoice") ? WordForms : Other;
        case 'n':
            return sameName(name, "name") ? NameElement : Other;
        case 'o':
            return sameName(name, "o") ? O : Other;
        case 't':
            return sameName(name, "text")          ? Text
                   : sameName(name, "translation") ? Translation
                   : sameName(name, "t")           ? T
                                                   : Other;
        default:
            return Other;
    }
}

// Whether the reader looks at any of the element's attributes.
bool readsAttributes(Name name) {
    using enum Name;
    return name == Kvtml || name == Identifier || name == Translation || name == O || name == T;
}

Table refused(const QString& reason, common::OutcomeKind kind = common::OutcomeKind::Invalid) {
    Table table;
    table.outcome = common::Outcome::failure(kind, reason);
    return table;
}

// The attributes the reader looks at, by their local names.
struct Attributes {
    QByteArrayView version, id, l;

    void take(const char* name, QByteArrayView value) {
        QByteArrayView* slot = std::strcmp(name, "id") == 0        ? &id
                               : std::strcmp(name, "l") == 0       ? &l
                               : std::strcmp(name, "version") == 0 ? &version
                                                                   : nullptr;
        if (slot && slot->isNull()) {
            *slot = value;
        } else if (const char* colon = slot ? nullptr : std::strchr(name, ':')) {
            take(colon + 1, value);  // a prefixed name, by its local part
        }
    }
    // A value pugixml ended with a null.
    void take(const char* name, const char* value) {
        take(name, QByteArrayView(value, qsizetype(std::strlen(value))));
    }
};

// What either parser's document builds up, element by element: libxml2's callbacks (then
// `context` is the parser's) or a walk over pugixml's tree (then it is null).
class KvtmlHandler {
public:
    KvtmlHandler(xmlParserCtxtPtr context, std::stop_token stop)
        : context_(context), stop_(std::move(stop)) {}

    // The library's own callbacks take the parser's context, so the handler rides along in it.
    static KvtmlHandler& of(void* context) {
        return *static_cast<KvtmlHandler*>(static_cast<xmlParserCtxtPtr>(context)->_private);
    }

    static xmlSAXHandler callbacks() {
        // The library's own handling of the document type and its entities (kept in the
        // document the context holds), with the elements and text left to the reader.
        xmlSAXHandler sax;
        xmlSAXVersion(&sax, 2);
        sax.startElementNs = [](void* self, const xmlChar* name, const xmlChar*, const xmlChar*,
                                int, const xmlChar**, int count, int, const xmlChar** values) {
            // Five pointers each: the name, its prefix and namespace, the value and its end.
            Attributes attributes;
            for (int i = 0; i < count; ++i, values += 5) {
                attributes.take(reinterpret_cast<const char*>(values[0]),
                                QByteArrayView(values[3], values[4] - values[3]));
            }
            of(self).start(nameOf(reinterpret_cast<const char*>(name)), attributes);
        };
        sax.endElementNs = [](void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
            of(self).end();
        };
        sax.characters = [](void* self, const xmlChar* text, int size) {
            of(self).characters(reinterpret_cast<const char*>(text), std::size_t(size));
        };
        sax.ignorableWhitespace = sax.characters;
        sax.cdataBlock = sax.characters;
        // An entity the parser does not put in: one whose text lies in another file, or one
        // no declaration read gives.
        sax.reference = [](void* self, const xmlChar* name) { of(self).reference(name); };
        sax.serror = [](void* self, xmlErrorPtr error) {
            KvtmlHandler& handler = of(self);
            if (error->level >= XML_ERR_ERROR && !handler.error_) {
                handler.error_ = QStringLiteral("%1 行目: %2")
                                     .arg(error->line)
                                     .arg(QString::fromUtf8(error->message).trimmed());
            }
        };
        sax.comment = nullptr;
        sax.processingInstruction = nullptr;
        return sax;
    }

    // The reading's outcome when it ended early, else nothing.
    const std::optional<Table>& refusal() const { return refusal_; }
    const std::optional<QString>& error() const { return error_; }

    int version = 0;
    QList<int> identifiers;  // version 2: identifier ids in document order
    QList<int> undeclared;   // version 2: translation ids no identifier declares
    QStringList names;       // of the columns, by identifier or column
    QList<Row> rows;
    QList<int> slotKeys;  // the translation id or column of each slot

    void start(Name name, const Attributes& attributes) {
        if (refusal_) {
            return;
        }
        if (stop_.stop_requested()) {
            refuse(refused({}, common::OutcomeKind::Cancelled));
            return;
        }
        if (depth_ == kMaxDepth) {
            // Only libxml2 knows the line; the other parse hands such a document on to it.
            refuse(refused(QStringLiteral("%1 行目: 要素の入れ子が深すぎます。")
                               .arg(context_ ? xmlSAX2GetLineNumber(context_) : 0)));
            return;
        }
        path_[depth_++] = name;
        if (target_) {
            // Markup inside a text keeps its characters, but a version 1 word's other forms
            // (comparison, conjugation, choices) are no part of it.
            if (version == 1 && formsFrom_ == 0 && name == Name::WordForms) {
                formsFrom_ = depth_;
            }
            return;
        }
        startOutsideText(name, attributes);
    }

    void end() {
        if (refusal_ || depth_ == 0) {
            return;
        }
        if (depth_ == formsFrom_) {
            formsFrom_ = 0;
        }
        if (target_ && depth_ == targetDepth_) {
            const QByteArrayView text =
                kept_ ? *kept_ : QByteArrayView(text_.data(), qsizetype(text_.size()));
            kept_.reset();
            keep(target_, text);
            if (target_ == &comment_) {
                addComment();
            }
            target_ = nullptr;
            targetIsRow_ = false;
        } else if (inEntry_ && depth_ == (version == 1 ? 2 : 3) && !target_) {
            endEntry();
        }
        --depth_;
    }

    // Whether the element about to start is a child of a version 2 document's entries.
    bool atEntries() const {
        return version == 2 && depth_ == 2 && path_[1] == Name::Entries && !target_ && !refusal_;
    }

    // A version 2 entry read in one go (the other parse's usual entry), with the same outcome
    // as start and end element by element: begun (false when the reading is to stop, which
    // start then tells), its translations' texts and comments kept, ended or abandoned.
    bool beginEntry() {
        if (stop_.stop_requested()) {
            return false;
        }
        startEntry();
        return true;
    }
    void abandonEntry() {
        --entries_;
        inEntry_ = false;
    }
    void beginTranslation(const Attributes& attributes) { startTranslation(attributes); }
    bool keepsTranslation() const { return translation_ >= 0; }
    void keepText(QByteArrayView text) { keep(&row_.text(slotOf(translation_)), text); }
    void keepComment(QByteArrayView text) {
        comment_.clear();
        keep(&comment_, text);
        addComment();
    }
    void endEntry() {
        inEntry_ = false;
        if (!row_.isBlank()) {
            rows.append(std::move(row_));
            if (rows.size() > kMaxImportRows) {
                refuse(refused(tooManyRows(), common::OutcomeKind::TooMany));
            }
        }
    }

    // Whether nothing inside the element about to start can matter but its depth: below the
    // root, only the identifiers and entries (version 2) or the entries (version 1) hold
    // anything the reader keeps.
    bool ignoresInside(Name name) const {
        using enum Name;
        return depth_ == 1 && !refusal_ &&
               ((version == 2 && name != Identifiers && name != Entries) ||
                (version == 1 && name != E));
    }

    // Whether text met now is kept: elsewhere it need not be looked at.
    bool wantsText() const { return target_ && formsFrom_ == 0 && !refusal_; }
    bool hasTarget() const { return target_ != nullptr; }

    void characters(const char* text, std::size_t size) {
        if (wantsText()) {
            if (kept_) {
                text_.assign(kept_->data(), std::size_t(kept_->size()));
                kept_.reset();
            }
            text_.append(text, size);
        }
    }

    // The same for text that stays where it is until the reading ends (pugixml's buffer):
    // a target's text in one piece is then not copied.
    void keptCharacters(const char* text, std::size_t size) {
        if (wantsText() && text_.empty() && !kept_) {
            kept_ = QByteArrayView(text, qsizetype(size));
        } else {
            characters(text, size);
        }
    }

private:
    // An id as QByteArrayView::toInt reads it (0 when it is no number); the usual few digits
    // without a call.
    static int idOf(QByteArrayView value) {
        constexpr qsizetype kDigits = 9;  // within an int
        if (value.isEmpty() || value.size() > kDigits ||
            !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return value.toInt();
        }
        int id = 0;
        for (const char c : value) {
            id = id * 10 + (c - '0');
        }
        return id;
    }

    // A target's whole text, once its element ends.
    void keep(QString* target, QByteArrayView text) {
        if (target->isEmpty()) {
            *target = cells_.cell(text);
        } else {
            target->append(QString::fromUtf8(text));
        }
    }

    void addComment() {
        if (!comment_.isEmpty()) {
            row_.comments += row_.comments.isEmpty() ? comment_ : u'\n' + comment_;
        }
    }

    void startEntry() {
        row_ = Row();
        row_.texts.reserve(slotKeys.size() + 1);  // and the comments, in the table
        row_.number = ++entries_;
        inEntry_ = true;
        translation_ = -1;
    }

    // Keyed by its id whether or not an identifier declares it, within the columns one can map.
    void startTranslation(const Attributes& attributes) {
        translation_ = idOf(attributes.id);
        if (!identifiers.contains(translation_) && !undeclared.contains(translation_)) {
            if (identifiers.size() + undeclared.size() < kMaxImportColumns) {
                undeclared.append(translation_);
            } else {
                translation_ = -1;
            }
        }
    }

    // Ends the reading with `table` as its outcome.
    void refuse(Table table) {
        refusal_ = std::move(table);
        if (context_) {
            xmlStopParser(context_);
        }
    }

    bool at(std::initializer_list<Name> names) const {
        return depth_ == qsizetype(names.size()) && std::equal(names.begin(), names.end(), path_);
    }

    void startOutsideText(Name name, const Attributes& attributes) {
        if (depth_ == 1) {
            if (name != Name::Kvtml) {
                refuse(refused(QStringLiteral("kvtml の単語帳ではありません。")));
                return;
            }
            const QByteArrayView given = attributes.version;
            version = given.isEmpty() || given.startsWith('1') ? 1 : given.startsWith('2') ? 2 : 0;
            if (version == 0) {
                refuse(refused(QStringLiteral("kvtml のバージョン %1 は読めません。")
                                   .arg(QString::fromUtf8(given))));
            }
        } else if (version == 2 && at({Name::Kvtml, Name::Identifiers, Name::Identifier})) {
            identifierKept_ = identifiers.size() < kMaxImportColumns;
            if (identifierKept_) {
                identifiers.append(idOf(attributes.id));
                names.append(QString());
            }
        } else if (version == 2 && identifierKept_ &&
                   at({Name::Kvtml, Name::Identifiers, Name::Identifier, Name::NameElement})) {
            aim(&names.last(), false);
        } else if ((version == 2 && at({Name::Kvtml, Name::Entries, Name::Entry})) ||
                   (version == 1 && at({Name::Kvtml, Name::E}))) {
            startEntry();
        } else if (version == 2 &&
                   at({Name::Kvtml, Name::Entries, Name::Entry, Name::Translation})) {
            startTranslation(attributes);
        } else if (version == 2 && translation_ >= 0 &&
                   at({Name::Kvtml, Name::Entries, Name::Entry, Name::Translation, Name::Text})) {
            aim(&row_.text(slotOf(translation_)), true);
        } else if (version == 2 && translation_ >= 0 &&
                   at({Name::Kvtml, Name::Entries, Name::Entry, Name::Translation,
                       Name::Comment})) {
            comment_.clear();
            aim(&comment_, true);
        } else if (version == 1 &&
                   (at({Name::Kvtml, Name::E, Name::O}) || at({Name::Kvtml, Name::E, Name::T})) &&
                   (name == Name::O || translation_ + 1 < kMaxImportColumns)) {
            translation_ = name == Name::O ? 0 : std::max(translation_ + 1, 1);
            if (names.size() <= translation_) {
                names.resize(translation_ + 1);
            }
            if (names[translation_].isEmpty()) {
                names[translation_] = languageName(attributes.l);
            }
            aim(&row_.text(slotOf(translation_)), true);
        }
    }

    // Where the row keeps the text of a translation id or column.
    qsizetype slotOf(int key) {
        qsizetype slot = slotKeys.indexOf(key);
        if (slot < 0) {
            slot = slotKeys.size();
            slotKeys.append(key);
        }
        return slot;
    }

    // The text up to the end of this element goes to `target`.
    void aim(QString* target, bool inRow) {
        target_ = target;
        targetIsRow_ = inRow;
        targetDepth_ = depth_;
        text_.clear();
    }

    // An attribute's value keeps the references the parser leaves in when it puts no
    // entities in.
    QString languageName(QByteArrayView value) const {
        if (!context_ || !value.contains('&')) {
            return QString::fromUtf8(value);
        }
        xmlChar* decoded =
            xmlStringLenDecodeEntities(context_, reinterpret_cast<const xmlChar*>(value.data()),
                                       int(value.size()), XML_SUBSTITUTE_REF, 0, 0, 0);
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(decoded));
        xmlFree(decoded);
        return name;
    }

    void reference(const xmlChar* name) {
        if (!target_ || !targetIsRow_) {
            return;
        }
        const xmlEntityPtr entity = xmlGetDocEntity(context_->myDoc, name);
        row_.droppedText =
            row_.droppedText || entity == nullptr || entity->etype != XML_INTERNAL_GENERAL_ENTITY;
    }

    xmlParserCtxtPtr context_;
    std::stop_token stop_;
    std::optional<Table> refusal_;
    std::optional<QString> error_;  // the first the parser met
    // Each element's name from the root down; paths, not names alone, tell an entry from a
    // synonym pair's reference to one.
    Name path_[kMaxDepth] = {};
    qsizetype depth_ = 0;
    bool identifierKept_ = false;  // beyond the columns one can map, languages are left out
    Row row_;
    int entries_ = 0;  // the entries so far, blank or not: a row is numbered by its entry
    bool inEntry_ = false;
    int translation_ = -1;       // the translation (version 2) or column (version 1) being read
    QString* target_ = nullptr;  // where the text being read goes
    std::string text_;           // of the target so far, as the parser gives it
    std::optional<QByteArrayView> kept_;  // or all of it so far, where the parser keeps it
    CellBlocks cells_;                    // where the texts are kept
    qsizetype targetDepth_ = 0;
    bool targetIsRow_ = false;
    qsizetype formsFrom_ = 0;  // the depth of the word forms being left out, or 0
    QString comment_;
};

// The parser's context for a document in memory, freed with what it built.
struct ContextDeleter {
    void operator()(xmlParserCtxtPtr context) const {
        if (context->myDoc) {
            xmlFreeDoc(context->myDoc);
        }
        xmlFreeParserCtxt(context);
    }
};

// The table of what the handler read to the document's end.
Table tableOf(KvtmlHandler& handler) {
    const int version = handler.version;
    QList<int>& identifiers = handler.identifiers;
    QList<int>& undeclared = handler.undeclared;
    const QStringList& names = handler.names;
    QList<Row>& rows = handler.rows;
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
    QList<qsizetype> columnSlots;  // of each column
    for (const int key : std::as_const(columns)) {
        columnSlots.append(handler.slotKeys.indexOf(key));
    }
    table.rows.reserve(rows.size());
    table.sourceLines.reserve(rows.size());
    // Mostly the columns are the slots in order, and a row's texts become its cells.
    bool inOrder = true;
    for (qsizetype i = 0; i < columnSlots.size(); ++i) {
        inOrder = inOrder && columnSlots[i] == i;
    }
    for (Row& entry : rows) {
        QStringList cells;
        if (inOrder) {
            cells = std::move(entry.texts);
            cells.resize(columns.size());
        } else {
            cells.reserve(columns.size() + 1);
            for (const qsizetype slot : std::as_const(columnSlots)) {
                cells.append(entry.texts.value(slot));
            }
        }
        cells.append(std::move(entry.comments));
        if (entry.droppedText) {
            table.droppedText.append(table.rows.size());
        }
        table.rows.append(std::move(cells));
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

// Read by libxml2, which knows every XML rule: declared entities, any encoding, errors by line.
Table readFully(QByteArrayView bytes, bool utf8, bool utf16, std::stop_token stop) {
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    Q_UNUSED(initialised);
    // No entity put in (which reads files and floods memory), nothing from the network, no
    // document type loaded, nothing said on the console.
    const std::unique_ptr<xmlParserCtxt, ContextDeleter> context(
        xmlCreateMemoryParserCtxt(bytes.constData(), int(bytes.size())));
    if (!context) {
        return refused(QStringLiteral("kvtml の単語帳ではありません。"));
    }
    KvtmlHandler handler(context.get(), std::move(stop));
    *context->sax = KvtmlHandler::callbacks();
    context->_private = &handler;
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                         (utf16 ? XML_PARSE_IGNORE_ENC : 0));
    xmlParseDocument(context.get());
    if (handler.refusal()) {
        return *handler.refusal();
    }
    if (!context->wellFormed || handler.error()) {
        if (const int line = utf8 && !utf16 ? firstBadUtf8Line(bytes) : 0; line > 0) {
            return refused(
                QStringLiteral(
                    "%1 行目: 文字コードの誤りです (UTF-8 として読めない文字があります)。")
                    .arg(line));
        }
        return refused(handler.error().value_or(QStringLiteral("XML の誤りです。")));
    }
    return tableOf(handler);
}

// Whether a code point may stand in an XML document.
bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c < 0xD800) ||
           (c >= 0xE000 && c < 0xFFFE) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Whether the number after "&#" (up to its ';') names a character XML allows.
bool allowedReference(std::string_view rest) {
    const bool hex = rest.starts_with('x');
    char32_t value = 0;
    std::size_t i = hex ? 1 : 0;
    for (; i < rest.size() && rest[i] != ';' && value <= 0x10FFFF; ++i) {
        const char d = rest[i];
        const int digit = d >= '0' && d <= '9'          ? d - '0'
                          : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                          : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                        : -1;
        if (digit < 0) {
            return false;
        }
        value = value * (hex ? 16 : 10) + char32_t(digit);
    }
    return i < rest.size() && rest[i] == ';' && allowedInXml(value);
}

// Whether every reference in the text is one XML itself defines (the five named characters and
// numbers of characters XML allows): the rest needs the document type or is an error, which
// only libxml2 reads and tells by its line.
bool onlyBuiltInReferences(QByteArrayView bytes) {
    constexpr std::string_view kBuiltIn[] = {"amp;", "lt;", "gt;", "quot;", "apos;"};
    const char* const end = bytes.data() + bytes.size();
    for (const char* at = bytes.data();
         (at = static_cast<const char*>(std::memchr(at, '&', std::size_t(end - at))));) {
        ++at;
        const std::string_view rest(at, std::size_t(end - at));
        if (rest.starts_with('#')) {
            if (!allowedReference(rest.substr(1, 12))) {
                return false;
            }
        } else if (std::none_of(std::begin(kBuiltIn), std::end(kBuiltIn),
                                [&](std::string_view name) { return rest.starts_with(name); })) {
            return false;
        }
    }
    return true;
}

// An element's name by its local part, as libxml2 gives it: no name the reader looks for holds
// a prefix, so only the names it does not know are looked at again.
Name nameOfPrefixed(const char* name) {
    const Name known = nameOf(name);
    const char* const colon = known == Name::Other ? std::strchr(name, ':') : nullptr;
    return colon ? nameOfPrefixed(colon + 1) : known;
}

// A version 2 document's entries cut out of it, to be parsed a piece at a time while its
// walk is at the entries element: the tree of a whole document is about twice its size, and
// a piece's stays in the cache.
struct EntryPieces {
    QByteArrayView region;  // what the entries element holds, in the document
    const char* name;       // the entries element's name where the rest of it was parsed
    qsizetype pieceBytes;   // a piece ends at the first entry this far on
    unsigned options;       // the parse's
    bool reached = false;   // the walk came to the entries element
    bool whole = false;     // a piece was no run of whole nodes: the document is read whole
};

// pugixml's tree handed to the handler in document order as libxml2 calls back. Only what the
// handler will look at is asked of the tree: attributes for the elements that have any it
// reads, texts where it keeps them.
class TreeWalk {
public:
    // `blanksLeftOut`: the parse left out blanks beside other nodes, which only a text the
    // handler keeps could hold; where one has any node in it, the walk ends needing them.
    // With `pieces`, the tree is the document without its entries, parsed piece by piece.
    TreeWalk(KvtmlHandler& handler, bool blanksLeftOut, EntryPieces* pieces = nullptr)
        : handler_(handler), blanksLeftOut_(blanksLeftOut), pieces_(pieces) {}

    // The children of `parent` and all below them, until the handler refuses or the document
    // type turns out to declare something.
    void walk(const pugi::xml_node& parent) {
        for (pugi::xml_node node = parent.first_child(); node && !stopped();
             node = node.next_sibling()) {
            if (blanksLeftOut_ && handler_.hasTarget()) {
                needsBlanks = true;
                return;
            }
            switch (node.type()) {
                case pugi::node_doctype:
                    declares = std::strchr(node.value(), '[') != nullptr;
                    break;
                case pugi::node_element:
                    if (!handler_.atEntries() || !plainEntry(node)) {
                        element(node);
                    }
                    break;
                case pugi::node_pcdata:
                case pugi::node_cdata:
                    text(node);
                    break;
                default:
                    break;
            }
        }
    }

    bool declares = false;     // the document type declares something
    bool needsBlanks = false;  // a text the handler keeps holds nodes

private:
    bool stopped() const {
        return declares || needsBlanks || handler_.refusal() || (pieces_ && pieces_->whole);
    }

    void element(const pugi::xml_node& node) {
        const Name name = nameOfPrefixed(node.name());
        Attributes attributes;
        if (readsAttributes(name)) {
            for (pugi::xml_attribute attribute = node.first_attribute(); attribute;
                 attribute = attribute.next_attribute()) {
                attributes.take(attribute.name(), attribute.value());
            }
        }
        // What the reader ignores, an element under the root, is only measured below it for
        // the handler's bound on the depth: started as any element at depth 2, its own
        // elements may go kMaxDepth - 2 deeper.
        const bool ignored = handler_.ignoresInside(name);
        handler_.start(name, attributes);
        if (stopped()) {
            return;
        }
        // A first child of text is kept in the element itself.
        text(node);
        if (pieces_ && node.name() == pieces_->name) {
            walkPieces();
        } else if (!ignored || !within(node, kMaxDepth - 2)) {
            walk(node);
        }
        if (!stopped()) {
            handler_.end();
        }
    }

    // An entry of translations whose texts and comments hold text alone, as nearly every entry
    // is, read without handing each element over. False, with nothing read that the handler
    // would not read the same element by element, when the entry is of any other shape.
    bool plainEntry(const pugi::xml_node& entry) {
        // Depths from the root, at 1: an entry's own elements are at 4, theirs at 5. Below an
        // element the handler ignores, only the bound on the depth counts.
        constexpr int kEntryDepth = 3;
        if (nameOfPrefixed(entry.name()) != Name::Entry || !handler_.beginEntry()) {
            return false;
        }
        for (pugi::xml_node child = entry.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            const Name name = nameOfPrefixed(child.name());
            if (name != Name::Translation) {
                if (!within(child, kMaxDepth - (kEntryDepth + 1))) {
                    handler_.abandonEntry();
                    return false;
                }
                continue;
            }
            Attributes attributes;
            for (pugi::xml_attribute attribute = child.first_attribute(); attribute;
                 attribute = attribute.next_attribute()) {
                attributes.take(attribute.name(), attribute.value());
            }
            handler_.beginTranslation(attributes);
            if (!translation(child)) {
                handler_.abandonEntry();
                return false;
            }
        }
        handler_.endEntry();
        return true;
    }

    // A plain entry's translation: false when it is not plain.
    bool translation(const pugi::xml_node& translation) {
        constexpr int kChildDepth = 5;
        for (pugi::xml_node child = translation.first_child(); child;
             child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            const Name name = nameOfPrefixed(child.name());
            if (name != Name::Text && name != Name::Comment) {
                if (!within(child, kMaxDepth - kChildDepth)) {
                    return false;
                }
                continue;
            }
            const std::optional<QByteArrayView> text = textOf(child);
            if (!text) {
                return false;
            }
            if (!handler_.keepsTranslation()) {
                continue;
            }
            if (name == Name::Text) {
                handler_.keepText(*text);
            } else {
                handler_.keepComment(*text);
            }
        }
        return true;
    }

    // The text of an element holding text alone, in as many pieces as the parse left it
    // (its first in the element itself); nothing when it holds an element.
    std::optional<QByteArrayView> textOf(const pugi::xml_node& element) {
        const char* const first = element.value();
        QByteArrayView text(first, qsizetype(std::strlen(first)));
        bool joined = false;
        for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
            const pugi::xml_node_type type = child.type();
            if (type == pugi::node_element) {
                return std::nullopt;
            }
            if (type != pugi::node_pcdata && type != pugi::node_cdata) {
                continue;
            }
            if (blanksLeftOut_) {
                return std::nullopt;  // the walk element by element then asks for the blanks
            }
            if (!joined) {
                joined_.assign(text.data(), std::size_t(text.size()));
                joined = true;
            }
            joined_.append(child.value());
        }
        return joined ? QByteArrayView(joined_.data(), qsizetype(joined_.size())) : text;
    }

    // Whether no element below `node` lies more than `levels` below it.
    static bool within(const pugi::xml_node& node, int levels) {
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_element && (levels == 0 || !within(child, levels - 1))) {
                return false;
            }
        }
        return true;
    }

    // The entries, a piece at a time, as if they were the element's children. A piece that
    // does not parse as whole nodes (one cut inside a comment, an entry or a section) or holds
    // a document type (allowed only outside the root) makes the document be read whole.
    void walkPieces() {
        EntryPieces& pieces = *pieces_;
        pieces.reached = true;
        if (!handler_.atEntries()) {
            pieces.whole = true;
            return;
        }
        pugi::xml_document piece;
        std::string buffer;
        for (qsizetype at = 0; at < pieces.region.size() && !stopped();) {
            const qsizetype end = pieceEnd(pieces.region, at, pieces.pieceBytes);
            buffer.assign(pieces.region.data() + at, std::size_t(end - at));
            if (!piece.load_buffer_inplace(buffer.data(), buffer.size(),
                                           pieces.options | pugi::parse_fragment,
                                           pugi::encoding_utf8)) {
                pieces.whole = true;
                return;
            }
            for (pugi::xml_node node = piece.first_child(); node; node = node.next_sibling()) {
                if (node.type() == pugi::node_doctype) {
                    pieces.whole = true;
                    return;
                }
            }
            walk(piece);
            at = end;
        }
    }

    // Where the piece from `at` ends: at the first entry's start tag `bytes` or more on.
    static qsizetype pieceEnd(QByteArrayView region, qsizetype at, qsizetype bytes) {
        constexpr QByteArrayView kTag("<entry");
        for (qsizetype from = at + std::max<qsizetype>(bytes, 1); from < region.size();) {
            const qsizetype tag = region.indexOf(kTag, from);
            if (tag < 0) {
                break;
            }
            const qsizetype after = tag + kTag.size();
            const char next = after < region.size() ? region[after] : '\0';
            if (next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '/' ||
                next == '>') {
                return tag;  // not "<entryx"
            }
            from = after;
        }
        return region.size();
    }

    void text(const pugi::xml_node& node) {
        if (handler_.wantsText()) {
            const char* const text = node.value();
            handler_.keptCharacters(text, std::strlen(text));
        }
    }

    KvtmlHandler& handler_;
    bool blanksLeftOut_;
    EntryPieces* pieces_;
    std::string joined_;  // a text in several pieces
};

// How a walk over pugixml's tree ended, short of a table.
enum class Walked { Read, NeedsBlanks, Declares, Broken };

Walked walked(const TreeWalk& walk, bool parsed) {
    return !parsed            ? Walked::Broken
           : walk.needsBlanks ? Walked::NeedsBlanks
           : walk.declares    ? Walked::Declares
                              : Walked::Read;
}

// The whole document parsed in place, in a copy (libxml2 may need the bytes after).
Walked walkWhole(QByteArrayView bytes, unsigned options, bool blanksLeftOut,
                 KvtmlHandler& handler) {
    QByteArray copy = bytes.toByteArray();
    pugi::xml_document document;
    const bool parsed = bool(document.load_buffer_inplace(copy.data(), std::size_t(copy.size()),
                                                          options, pugi::encoding_utf8));
    TreeWalk walk(handler, blanksLeftOut);
    if (parsed) {
        walk.walk(document);
    }
    return walked(walk, parsed);
}

// The document without what its "<entries>" element holds, parsed in place, its entries a
// piece at a time as the walk comes to them. Nothing when the document has no such element
// with anything in it, or when it is to be read whole after all.
std::optional<Walked> walkInPieces(QByteArrayView bytes, unsigned options, bool blanksLeftOut,
                                   KvtmlHandler& handler, qsizetype pieceBytes) {
    constexpr QByteArrayView kStart("<entries>");
    constexpr QByteArrayView kEnd("</entries>");
    const qsizetype tag = bytes.indexOf(kStart);
    const qsizetype from = tag < 0 ? -1 : tag + kStart.size();
    // The last end tag, looked for from the end (forward, the search would go through all the
    // entries) with skips as long as the tag; one in the entries leaves a piece that does not
    // parse.
    constexpr std::string_view kEndBackwards(">seirtne/<");
    static_assert(kEndBackwards.size() == kEnd.size());
    const auto last = std::search(
        std::make_reverse_iterator(bytes.end()), std::make_reverse_iterator(bytes.begin()),
        std::boyer_moore_horspool_searcher(kEndBackwards.begin(), kEndBackwards.end()));
    const qsizetype to = from < 0 || last.base() == bytes.begin()
                             ? -1
                             : qsizetype(last.base() - bytes.begin()) - kEnd.size();
    if (to <= from) {
        return std::nullopt;
    }
    std::string rest;
    rest.reserve(std::size_t(bytes.size() - (to - from)));
    rest.append(bytes.data(), std::size_t(from))
        .append(bytes.data() + to, std::size_t(bytes.size() - to));
    EntryPieces pieces{bytes.sliced(from, to - from), rest.data() + tag + 1, pieceBytes, options};
    pugi::xml_document document;
    if (!document.load_buffer_inplace(rest.data(), rest.size(), options, pugi::encoding_utf8)) {
        return std::nullopt;
    }
    TreeWalk walk(handler, blanksLeftOut, &pieces);
    walk.walk(document);
    // A "<entries>" that was no element's start tag (in a comment, say) leaves the walk short
    // of it.
    if (pieces.whole || !pieces.reached) {
        return std::nullopt;
    }
    return walked(walk, true);
}

// Read by pugixml (several times quicker), walking its tree as libxml2 calls back. Nothing
// when the document is no plain UTF-8 one that both read alike or pugixml finds it broken or
// refuses it: libxml2 then reads it again, for its rules and its errors by line.
std::optional<Table> readQuickly(QByteArrayView bytes, const std::stop_token& stop,
                                 qsizetype pieceBytes) {
    // pugixml ends a document at a NUL, which XML allows nowhere: a piece would lose the
    // entries after one. libxml2 refuses it, saying where.
    if (!bytes.isValidUtf8() || bytes.contains('\0') || !onlyBuiltInReferences(bytes)) {
        return std::nullopt;
    }
    // Blanks beside other nodes left out first: only a text the handler keeps, holding markup
    // or several pieces, needs them (as libxml2 hands them over), and the document is then
    // parsed again with them. The document type kept to see whether it declares anything; an
    // element's first text in the element, a node fewer for each text.
    for (const bool blanks : {false, true}) {
        const unsigned options = pugi::parse_default | pugi::parse_doctype |
                                 pugi::parse_embed_pcdata |
                                 (blanks ? pugi::parse_ws_pcdata : pugi::parse_ws_pcdata_single);
        std::optional<KvtmlHandler> handler(std::in_place, nullptr, stop);
        std::optional<Walked> walk = walkInPieces(bytes, options, !blanks, *handler, pieceBytes);
        if (!walk) {
            handler.emplace(nullptr, stop);
            walk = walkWhole(bytes, options, !blanks, *handler);
        }
        if (*walk == Walked::NeedsBlanks) {
            continue;
        }
        if (*walk != Walked::Read) {
            return std::nullopt;  // broken, or the document type's own declarations
        }
        if (const std::optional<Table>& refusal = handler->refusal()) {
            const common::OutcomeKind kind = refusal->outcome.kind;
            if (kind != common::OutcomeKind::Cancelled && kind != common::OutcomeKind::TooMany) {
                return std::nullopt;
            }
            return *refusal;
        }
        return tableOf(*handler);
    }
    return std::nullopt;  // not reached: the walk with the blanks never needs them
}

}  // namespace

Table readKvtml(QByteArrayView input, std::stop_token stop, KvtmlParser parser,
                qsizetype pieceBytes) {
    const bool utf8 = declaresUtf8(input);
    // Text with a byte-order mark for UTF-16 is read as UTF-8, whatever its declaration says;
    // any other encoding is left to the parser.
    const bool utf16 = input.startsWith("\xFF\xFE") || input.startsWith("\xFE\xFF");
    QByteArray mended;
    QByteArrayView bytes = input;
    if (utf16) {
        mended = decodeText(input).toUtf8();
        upperCaseDoctype(mended);
        bytes = mended;
    } else {
        // Copied only when the head needs mending.
        QByteArray head = input.first(std::min<qsizetype>(input.size(), 400)).toByteArray();
        upperCaseDoctype(head);
        if (head != input.first(head.size())) {
            mended = head + input.sliced(head.size()).toByteArray();
            bytes = mended;
        }
    }
    if (bytes.size() > std::numeric_limits<int>::max()) {
        return refused(tooManyRows(), common::OutcomeKind::TooMany);
    }
    if (parser != KvtmlParser::Full && (utf8 || utf16)) {
        if (std::optional<Table> table = readQuickly(bytes, stop, pieceBytes)) {
            return std::move(*table);
        }
    }
    if (parser == KvtmlParser::QuickAlone) {
        return refused(QStringLiteral("libxml2 が要ります。"));
    }
    return readFully(bytes, utf8, utf16, std::move(stop));
}

}  // namespace exchange
