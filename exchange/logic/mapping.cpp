// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/mapping.h"

#include "common/ansi_text.h"
#include "exchange/logic/import_file.h"
#include "exchange/logic/shared_cell.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace exchange {

QString splitText(AnswerSplit split) {
    switch (split) {
        case AnswerSplit::FullWidthSemicolon:
            return QStringLiteral("；");
        case AnswerSplit::FullWidthSlash:
            return QStringLiteral("／");
        case AnswerSplit::Comma:
            return QStringLiteral("、");
        case AnswerSplit::Semicolon:
            return QStringLiteral("; ");
        case AnswerSplit::Slash:
            return QStringLiteral(" / ");
        case AnswerSplit::AsciiComma:
            return QStringLiteral(",");
        case AnswerSplit::LineBreak:
            return QStringLiteral("改行");
        case AnswerSplit::Other:
        case AnswerSplit::OnePerColumn:
            break;
    }
    return {};
}

QString splitMark(const Mapping& mapping) {
    switch (mapping.split) {
        case AnswerSplit::LineBreak:
            return QStringLiteral("\n");
        case AnswerSplit::Other: {
            // A blank alone is a separator too.
            const QString trimmed = mapping.otherSeparator.trimmed();
            return trimmed.isEmpty() ? mapping.otherSeparator : trimmed;
        }
        case AnswerSplit::OnePerColumn:
            return {};
        default:
            return splitText(mapping.split).trimmed();
    }
}

namespace {

const QString& cell(const QStringList& row, int column) {
    static const QString kNone;
    return column >= 0 && column < row.size() ? row[column] : kNone;
}

struct Rights {
    QString field;           // the answers in file form, joined by "|@2|"
    bool separator = false;  // an answer holds "|@1|" or "|@2|"
};

// Whether the text holds "|@1|" or, with `answers`, "|@2|": looked for in one pass without a
// call, as the answers field of most entries holds "|@2|" (a search for the whole separator
// costs far more).
bool holdsSeparatorMark(QStringView text, bool answers) {
    static_assert(common::kFieldSeparator.size() == 4 && common::kAnswerSeparator.size() == 4);
    const char16_t* const chars = reinterpret_cast<const char16_t*>(text.utf16());
    for (qsizetype at = 0; at + 3 < text.size(); ++at) {
        if (chars[at] == u'|' && chars[at + 1] == u'@' && chars[at + 3] == u'|' &&
            (chars[at + 2] == u'1' || (answers && chars[at + 2] == u'2'))) {
            return true;
        }
    }
    return false;
}

bool holdsSeparator(QStringView text) {
    return holdsSeparatorMark(text, true);
}

bool holdsChar(QStringView text, char16_t c) {
    return std::find(text.begin(), text.end(), QChar(c)) != text.end();
}

// `bars`: whether the cell the answer comes from holds a "|" at all; most do not, and then
// no answer can hold a separator.
// Writes the answer at `out` of the field starting at `begin`, after the answer separator when
// answers came before; returns the field's new end. The field has room for both.
QChar* putAnswer(Rights& rights, const QChar* begin, QChar* out, QStringView answer, bool bars) {
    answer = answer.trimmed();
    if (answer.isEmpty()) {
        return out;
    }
    if (bars && holdsSeparator(answer)) {
        rights.separator = true;
    }
    if (out != begin) {
        // "a|@2" before the answer separator would read back as "a" and "@2|...".
        if (bars && QStringView(begin, out).endsWith(u"|@2")) {
            rights.separator = true;
        }
        out = std::copy(common::kAnswerSeparator.begin(), common::kAnswerSeparator.end(), out);
    }
    return std::copy(answer.begin(), answer.end(), out);
}

void addAnswer(Rights& rights, QStringView answer, bool bars) {
    const qsizetype used = rights.field.size();
    const bool wasNull = rights.field.isNull();
    rights.field.resize(used + common::kAnswerSeparator.size() + answer.size());
    QChar* const begin = rights.field.data();
    rights.field.truncate(putAnswer(rights, begin, begin + used, answer, bars) - begin);
    if (wasNull && rights.field.isEmpty()) {
        rights.field = QString();
    }
}

// Splits at `separator`, but an answer in double quotes (inner quotes doubled) is taken
// whole, as the exports write answers holding the separator.
void splitAnswers(Rights& rights, QStringView text, QStringView separator, bool bars) {
    qsizetype at = 0;
    while (at <= text.size()) {
        qsizetype start = at;
        while (start < text.size() && text[start].isSpace()) {
            ++start;
        }
        if (start < text.size() && text[start] == u'"') {
            QString answer;
            qsizetype end = start + 1;
            bool closed = false;
            for (; end < text.size() && !closed; ++end) {
                closed = text[end] == u'"' && !(end + 1 < text.size() && text[end + 1] == u'"');
                if (!closed) {
                    answer += text[end];
                    end += text[end] == u'"' ? 1 : 0;
                }
            }
            // Blanks after the quote, but a line break may be the separator itself.
            while (end < text.size() && text[end].isSpace() &&
                   !text.sliced(end).startsWith(separator)) {
                ++end;
            }
            if (closed && (end == text.size() || text.sliced(end).startsWith(separator))) {
                if (!answer.isEmpty()) {
                    addAnswer(rights, answer, bars);
                }
                at = end + separator.size();
                continue;
            }
        }
        qsizetype end = text.indexOf(separator, at);
        end = end < 0 ? text.size() : end;
        addAnswer(rights, text.sliced(at, end - at), bars);
        at = end + separator.size();
    }
}

// `separator` is splitMark(mapping), worked out once for all rows. A field split at one
// character is made in `blocks` when there are any.
Rights rightsOf(const QStringList& row, const Mapping& mapping, const QList<int>& hidden,
                const QString& separator, CellBlocks* blocks = nullptr) {
    Rights rights;
    if (mapping.split == AnswerSplit::OnePerColumn) {
        for (int column = std::max(mapping.answers, 0); column < row.size(); ++column) {
            if (column != mapping.question && column != mapping.information &&
                !hidden.contains(column)) {
                addAnswer(rights, row[column], true);
            }
        }
        return rights;
    }
    const QString& text = cell(row, mapping.answers);
    // Splitting at the separator without its blanks lets "a;b" and "a; b" both work.
    // A one-character separator is looked for as a character, with the quotes and bars in the
    // same pass.
    const bool oneChar = separator.size() == 1;
    qsizetype marks = 0;
    bool quotes = false;
    bool bars = false;
    if (oneChar) {
        const char16_t mark = separator.front().unicode();
        for (const QChar c : text) {
            marks += c.unicode() == mark ? 1 : 0;
            quotes = quotes || c.unicode() == u'"';
            bars = bars || c.unicode() == u'|';
        }
    } else {
        marks = separator.isEmpty() ? 0 : text.count(separator);
        quotes = holdsChar(text, u'"');
        bars = holdsChar(text, u'|');
    }
    if (separator.isEmpty() || (marks == 0 && !quotes)) {
        // Most cells hold one answer: kept as it is, without a copy.
        const QStringView trimmed = QStringView(text).trimmed();
        if (trimmed.size() == text.size()) {
            rights.field = text;
            rights.separator = bars && holdsSeparator(text);
        } else {
            addAnswer(rights, trimmed, bars);
        }
        return rights;
    }
    // Each separator becomes the four characters of the answer separator at most.
    const qsizetype most = text.size() + 3 * marks;
    if (quotes) {
        rights.field.reserve(most);
        splitAnswers(rights, text, separator, bars);
    } else if (oneChar) {
        // Written straight into the field, made at its largest size.
        char16_t* const room = blocks ? blocks->room(most) : nullptr;
        if (!room) {
            rights.field.resize(most);
        }
        QChar* const begin = room ? reinterpret_cast<QChar*>(room) : rights.field.data();
        QChar* out = begin;
        const QChar mark = separator.front();
        qsizetype start = 0;
        for (qsizetype at = 0; at <= text.size(); ++at) {
            if (at == text.size() || text[at] == mark) {
                out = putAnswer(rights, begin, out, QStringView(text).sliced(start, at - start),
                                bars);
                start = at + 1;
            }
        }
        if (room) {
            rights.field = blocks->made(room, reinterpret_cast<char16_t*>(out));
        } else {
            rights.field.truncate(out - begin);
        }
    } else {
        rights.field.reserve(most);
        for (const QStringView answer : QStringView(text).tokenize(QStringView(separator))) {
            addAnswer(rights, answer, bars);
        }
    }
    return rights;
}

// What the reader or the characters make unfit, checked after the row's own problems.
std::optional<Problem> unfit(const common::Entry& entry, bool nul, bool droppedText) {
    if (droppedText) {
        return Problem::DroppedText;
    }
    for (const QString* field : {&entry.question, &entry.rights, &entry.information}) {
        if (field->size() > kMaxFieldLength) {
            return Problem::TooLong;
        }
    }
    if (nul) {
        return Problem::Nul;
    }
    return std::nullopt;
}

// A question of a whole field's length would make the list unreadable, and a NUL cut it.
QString elided(const QString& text) {
    constexpr qsizetype kShown = 40;
    QString shown = text.size() > kShown ? text.left(kShown) + u'…' : text;
    return shown.replace(QChar(), QChar(0x2400));
}

QString textOf(const common::Entry& entry) {
    return entry.question + entry.rights + entry.information;
}

// What the checks below look for in a text, found in one pass.
struct Marks {
    bool bar = false;  // "|", with which both separators start
    bool lineBreak = false;
    bool nul = false;
    bool replacement = false;  // U+FFFD, as bytes that are not UTF-8 read
};

// Scans the texts of the rows, and tells whether any of them holds a character the word file
// cannot store. Only the characters beyond ASCII are converted, each the first time it is seen
// (a file repeats the same few thousand), in pieces with one conversion call each. A row
// refused for another reason may add a character: at worst every entry is then checked whole.
class TextScan {
public:
    TextScan() : seen_(0x10000, false) { piece_.reserve(kPiece + 1024); }

    Marks scan(QStringView text) {
        Marks marks;
        const QChar* at = text.begin();
        const QChar* const end = text.end();
        // Four characters at a time, passed together when all are printable ASCII but the bar.
        for (; end - at >= 4; at += 4) {
            if (!plainAscii(at)) {
                for (int i = 0; i < 4; ++i) {
                    look(at[i], marks);
                }
            }
        }
        for (; at < end; ++at) {
            look(*at, marks);
        }
        // Between texts, so that no pair is cut.
        if (piece_.size() >= kPiece) {
            check();
        }
        return marks;
    }

    bool unstorable() {
        check();
        return unstorable_;
    }

private:
    void look(QChar c, Marks& marks) {
        const char16_t code = c.unicode();
        // Printable ASCII but the bar is most of any text: passed at a glance.
        if (char16_t(code - 0x20) < 0x60 && code != u'|') {
            return;
        }
        if (code < 0x80) {
            marks.bar = marks.bar || code == u'|';
            marks.lineBreak = marks.lineBreak || code == u'\n' || code == u'\r';
            marks.nul = marks.nul || code == 0;
            return;
        }
        marks.replacement = marks.replacement || code == QChar::ReplacementCharacter;
        if (!seen_[code]) {
            piece_ += c;
            // A surrogate is converted with its pair every time; any other character once, as
            // a piece that fails ends the check.
            seen_[code] = !c.isSurrogate();
        }
    }

    // Whether the four characters at `at` are all from the blank to U+007F and none is the
    // bar, tested together, one in each 16-bit lane of a word.
    static bool plainAscii(const QChar* at) {
        constexpr quint64 kOnes = 0x0001000100010001;
        constexpr quint64 kTops = 0x8000800080008000;
        quint64 word = 0;
        std::memcpy(&word, at, sizeof word);
        // No lane at U+0080 or above; then none below the blank has its top bit set once the
        // blank is taken away (nothing borrows across lanes without one), and none is the bar
        // (a zero lane after the exclusive or).
        const quint64 bars = word ^ (kOnes * u'|');
        return (word & (kOnes * 0xFF80)) == 0 && ((word - kOnes * u' ') & kTops) == 0 &&
               ((bars - kOnes) & ~bars & kTops) == 0;
    }

    void check() {
        unstorable_ = unstorable_ || !common::unrepresentableChars(piece_).isEmpty();
        piece_.resize(0);
    }

    static constexpr qsizetype kPiece = 1 << 12;
    std::vector<bool> seen_;
    QString piece_;
    bool unstorable_ = false;
};

// The length of the text with its line breaks marked: a CR LF is as long as its mark, a CR or
// LF alone one character shorter.
qsizetype markedSize(QStringView text) {
    qsizetype size = text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
        } else if (text[i] == u'\r' || text[i] == u'\n') {
            ++size;
        }
    }
    return size;
}

// Each line break (CR LF, CR or LF) as the word file marks it. Written in one pass into
// `blocks` where there is room for twice the text (no character becomes more than two),
// else into a string of the size it comes to.
QString withLineBreakMarks(QStringView text, CellBlocks& blocks) {
    static_assert(common::kLineBreakMark.size() == 2);
    char16_t* const room = blocks.room(2 * text.size());
    QString marked = room ? QString() : QString(markedSize(text), Qt::Uninitialized);
    QChar* const begin = room ? reinterpret_cast<QChar*>(room) : marked.data();
    QChar* out = begin;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            *out++ = c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
        }
        *out++ = common::kLineBreakMark[0];
        *out++ = common::kLineBreakMark[1];
    }
    return room ? blocks.made(room, reinterpret_cast<char16_t*>(out)) : marked;
}

// common::readsBack, with the usual entry (no bar in the question or the information) decided
// here: only its answers can then hold a field separator, or end in one cut short.
bool entryReadsBack(const common::Entry& entry, const Marks& question, const Marks& rights,
                    const Marks& information) {
    if (question.bar || information.bar) {
        return common::readsBack(entry);
    }
    return !rights.bar || (!holdsSeparatorMark(entry.rights, false) &&
                           !entry.rights.endsWith(common::kFieldSeparator.chopped(1)));
}

// Moves the entries with characters the word file cannot store to the problems, in source
// order.
void refuseUnstorable(ImportPlan& plan, const QList<int>& lines, RowNumbering numbering) {
    QList<common::Entry> kept;
    QList<RowProblem> problems;
    qsizetype earlier = 0;  // problems found before, ordered by line with the new ones
    for (qsizetype i = 0; i < plan.entries.size(); ++i) {
        const QString missing = common::unrepresentableChars(textOf(plan.entries[i]));
        if (missing.isEmpty()) {
            kept.append(plan.entries[i]);
            continue;
        }
        while (earlier < plan.problems.size() && plan.problems[earlier].sourceLine < lines[i]) {
            problems.append(plan.problems[earlier++]);
        }
        problems.append({lines[i], Problem::Unstorable, missing, numbering});
    }
    problems.append(plan.problems.mid(earlier));
    plan.entries = std::move(kept);
    plan.problems = std::move(problems);
}

// The offered separators a proposal chooses from, each by the character it splits at.
constexpr std::pair<AnswerSplit, char16_t> kProposable[] = {
    {AnswerSplit::FullWidthSemicolon, u'；'},
    {AnswerSplit::FullWidthSlash, u'／'},
    {AnswerSplit::Comma, u'、'},
    {AnswerSplit::Semicolon, u';'},
    {AnswerSplit::Slash, u'/'},
    {AnswerSplit::AsciiComma, u','},
    {AnswerSplit::LineBreak, u'\n'}};

// Which of kProposable's marks the text holds outside double quotes, one bit each.
unsigned marksOutsideQuotes(QStringView text) {
    unsigned found = 0;
    bool quoted = false;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        // Letters, blanks and kana are most of any text: passed at a glance.
        constexpr quint64 kAsciiMarks =
            1ull << u'"' | 1ull << u',' | 1ull << u'/' | 1ull << u';' | 1ull << u'\n';
        if (code < 64 ? !((kAsciiMarks >> code) & 1u)
                      : code < 0x80 || !(code == u'、' || code == u'／' || code == u'；')) {
            continue;
        }
        if (code == u'"') {
            quoted = !quoted;
            continue;
        }
        for (unsigned i = 0; i < std::size(kProposable) && !quoted; ++i) {
            if (code == kProposable[i].second) {
                found |= 1u << i;
            }
        }
    }
    return found;
}

}  // namespace

Mapping proposedMapping(const Table& table) {
    Mapping mapping;
    mapping.question = table.suggestedQuestion;
    mapping.answers = table.suggestedAnswers;
    mapping.information = table.suggestedInformation;
    mapping.firstRowIsHeader = table.firstRowIsHeader;
    mapping.split = table.html ? AnswerSplit::LineBreak : AnswerSplit::Semicolon;
    qsizetype counts[std::size(kProposable)] = {};
    for (qsizetype r = table.firstRowIsHeader ? 1 : 0; r < table.rows.size(); ++r) {
        const QStringList& row = table.rows[r];
        if (mapping.answers < 0 || mapping.answers >= row.size()) {
            continue;
        }
        const unsigned found = marksOutsideQuotes(row[mapping.answers]);
        for (unsigned i = 0; i < std::size(kProposable); ++i) {
            counts[i] += (found >> i) & 1u;
        }
    }
    qsizetype best = 0;
    for (unsigned i = 0; i < std::size(kProposable); ++i) {
        if (kProposable[i].first == mapping.split) {
            best = counts[i];
        }
    }
    for (unsigned i = 0; i < std::size(kProposable); ++i) {
        if (counts[i] > best) {
            best = counts[i];
            mapping.split = kProposable[i].first;
        }
    }
    return mapping;
}

QString previewAnswers(const QStringList& row, const Mapping& mapping,
                       const QList<int>& hiddenColumns) {
    return rightsOf(row, mapping, hiddenColumns, splitMark(mapping))
        .field.replace(common::kAnswerSeparator.toString(), QStringLiteral("｜"));
}

ImportPlan planImport(const Table& table, const Mapping& mapping) {
    ImportPlan plan;
    plan.entries.reserve(table.rows.size());
    QList<int> lines;  // of each entry
    lines.reserve(table.rows.size());
    TextScan texts;
    CellBlocks blocks;  // the fields made here, but for the longest
    const QString separator = splitMark(mapping);
    for (qsizetype i = mapping.firstRowIsHeader ? 1 : 0; i < table.rows.size(); ++i) {
        const QStringList& row = table.rows[i];
        const int line = i < table.sourceLines.size() ? table.sourceLines[i] : int(i + 1);
        const auto refuse = [&](Problem problem, const QString& detail) {
            plan.problems.append({line, problem, elided(detail), table.numbering});
        };
        const QString question = cell(row, mapping.question).trimmed();
        Rights rights = rightsOf(row, mapping, table.hiddenColumns, separator, &blocks);
        QString information = cell(row, mapping.information);
        if (information.size() > 1 && information.front() == u' ' &&
            QStringView(u"=+-@").contains(information[1])) {
            information.remove(0, 1);  // the CSV export's guard against formulas
        }
        const Marks questionMarks = texts.scan(question);
        const Marks rightsMarks = texts.scan(rights.field);
        const Marks informationMarks = texts.scan(information);
        if (informationMarks.lineBreak) {
            information = withLineBreakMarks(information, blocks);
        }
        if (question.isEmpty()) {
            refuse(Problem::NoQuestion, {});
            continue;
        }
        if (rights.field.isEmpty()) {
            refuse(Problem::NoAnswer, question);
            continue;
        }
        if (questionMarks.lineBreak || rightsMarks.lineBreak) {
            refuse(Problem::LineBreak, question);
            continue;
        }
        common::Entry entry{question, std::move(rights.field), std::move(information)};
        if (rights.separator || (questionMarks.bar && holdsSeparator(question)) ||
            !entryReadsBack(entry, questionMarks, rightsMarks, informationMarks)) {
            refuse(Problem::Separator, question);
            continue;
        }
        if (table.replacedBytes && (questionMarks.replacement || rightsMarks.replacement ||
                                    informationMarks.replacement)) {
            refuse(Problem::BadBytes, question);
            continue;
        }
        if (const auto problem =
                unfit(entry, questionMarks.nul || rightsMarks.nul || informationMarks.nul,
                      std::binary_search(table.droppedText.begin(), table.droppedText.end(), i))) {
            refuse(*problem, question);
            continue;
        }
        plan.entries.append(std::move(entry));
        lines.append(line);
    }
    if (texts.unstorable()) {
        refuseUnstorable(plan, lines, table.numbering);
    }
    return plan;
}

QString describe(const RowProblem& problem) {
    QString what;
    switch (problem.problem) {
        case Problem::NoQuestion:
            what = QStringLiteral("問題がありません");
            break;
        case Problem::NoAnswer:
            what = QStringLiteral("答えがありません (%1)").arg(problem.detail);
            break;
        case Problem::Unstorable:
            what = QStringLiteral("単語帳に保存できない文字があります: %1").arg(problem.detail);
            break;
        case Problem::Separator:
            what = QStringLiteral("|@1| や |@2| は単語帳に保存できません (%1)").arg(problem.detail);
            break;
        case Problem::LineBreak:
            what = QStringLiteral("問題や答えに改行があります (%1)").arg(problem.detail);
            break;
        case Problem::Nul:
            what = QStringLiteral("NUL 文字があります (%1)").arg(problem.detail);
            break;
        case Problem::TooLong:
            what = QStringLiteral("%1 文字を超える欄があります (%2)")
                       .arg(kMaxFieldLength)
                       .arg(problem.detail);
            break;
        case Problem::BadBytes:
            what = QStringLiteral("UTF-8 として読めないバイトがあります (%1)").arg(problem.detail);
            break;
        case Problem::DroppedText:
            what = QStringLiteral("読めない部分 (外部実体) があります (%1)").arg(problem.detail);
            break;
    }
    const QString row = problem.numbering == RowNumbering::Entry
                            ? QStringLiteral("%1 番目の単語").arg(problem.sourceLine)
                            : QStringLiteral("%1 行目").arg(problem.sourceLine);
    return row + QStringLiteral(": ") + what;
}

}  // namespace exchange
