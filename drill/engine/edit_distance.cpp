// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/edit_distance.h"

#include <QHash>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <utility>
#include <vector>

namespace drill {

namespace {

constexpr quint64 kClusterBit = quint64{1} << 63;

// The most cells a table may have (16 MB of int): beyond it a pasted text against a long answer
// gets a rough difference, not a stalled window or an exhausted memory.
constexpr qsizetype kMostCells = qsizetype{1} << 22;

quint64 slotHash(quint64 key) {
    return (key * 0x9E3779B97F4A7C15ULL) >> 57;  // 7 bits: one of 128 slots
}

// A code unit that is a character of its own, with no combining marks, CR LF or other joining
// characters around: the usual case of a Latin or kana answer.
bool simpleUnit(char16_t u) {
    if (u < 0x300) {
        return u != u'\r';  // CR LF
    }
    // Kana but for the combining voiced marks, or kanji.
    return (u >= 0x3040 && u <= 0x30FF && u != 0x3099 && u != 0x309A) ||
           (u >= 0x4E00 && u <= 0x9FFF);
}

bool simpleText(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return simpleUnit(c.unicode()); });
}

// One character of Latin-1 as a string over static data, so that the many marks of a
// difference cost no allocation each.
QString latin1Character(char16_t c) {
    static constexpr auto kCharacters = [] {
        std::array<std::array<char16_t, 2>, 256> characters{};
        for (size_t i = 0; i < characters.size(); ++i) {
            characters[i] = {char16_t(i), u'\0'};
        }
        return characters;
    }();
    return QString::fromRawData(reinterpret_cast<const QChar*>(kCharacters[c].data()), 1);
}

// Vowel, consonant, other letter or no letter: changing one for another of its kind reads
// naturally ("r" for "l"), between kinds an inserted or removed character does.
int letterKind(quint64 key) {
    if ((key & kClusterBit) != 0) {
        return 2;
    }
    const char32_t c = char32_t(key);
    if (c < 0x80 && QChar::isLetter(c)) {
        switch (c | 0x20) {  // in lower case
            case 'a':
            case 'e':
            case 'i':
            case 'o':
            case 'u':
                return 0;
            default:
                return 1;
        }
    }
    return QChar::isLetter(c) ? 2 : 3;
}

// Full optimal-string-alignment table, (from.size() + 1) × (to.size() + 1), row by row.
std::vector<int> distanceTable(const CharKeys& from, const CharKeys& to) {
    const qsizetype rows = from.size() + 1;
    const qsizetype columns = to.size() + 1;
    std::vector<int> d(static_cast<size_t>(rows * columns));
    const quint64* a = from.constData();
    const quint64* b = to.constData();
    for (qsizetype j = 0; j < columns; ++j) {
        d[size_t(j)] = int(j);
    }
    for (qsizetype i = 1; i < rows; ++i) {
        int* row = d.data() + i * columns;
        const int* above = row - columns;
        row[0] = int(i);
        for (qsizetype j = 1; j < columns; ++j) {
            const int change = a[i - 1] == b[j - 1] ? 0 : 1;
            int best = std::min(std::min(above[j], row[j - 1]) + 1, above[j - 1] + change);
            if (change != 0 && i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                best = std::min(best, above[j - 2 - columns] + 1);
            }
            row[j] = best;
        }
    }
    return d;
}

// Row by row with only three rows kept, stopping once a whole row exceeds limit.
int rowDistance(const CharKeys& from, const CharKeys& to, int limit) {
    const qsizetype columns = to.size() + 1;
    std::vector<int> before(static_cast<size_t>(columns));
    std::vector<int> previous(static_cast<size_t>(columns));
    std::vector<int> current(static_cast<size_t>(columns));
    for (qsizetype j = 0; j < columns; ++j) {
        previous[size_t(j)] = int(j);
    }
    for (qsizetype i = 1; i <= from.size(); ++i) {
        current[0] = int(i);
        int rowLeast = current[0];
        for (qsizetype j = 1; j < columns; ++j) {
            const size_t c = size_t(j);
            const int change = from[i - 1] == to[j - 1] ? 0 : 1;
            int best = std::min({previous[c] + 1, current[c - 1] + 1, previous[c - 1] + change});
            if (i > 1 && j > 1 && from[i - 1] == to[j - 2] && from[i - 2] == to[j - 1] &&
                change != 0) {
                best = std::min(best, before[c - 2] + 1);
            }
            current[c] = best;
            rowLeast = std::min(rowLeast, best);
        }
        if (rowLeast > limit) {
            return limit + 1;
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    const int distance = previous[size_t(columns - 1)];
    return distance <= limit ? distance : limit + 1;
}

// The distances between neighbouring cells of an optimal-string-alignment table d:
// vertical(i, j) = d(i, j) - d(i - 1, j), horizontal(i, j) = d(i, j) - d(i, j - 1), and the
// distance in its last cell; each -1, 0 or 1.
class WholeTable {
public:
    WholeTable(const CharKeys& a, const CharKeys& b)
        : d_(distanceTable(a, b)), columns_(b.size() + 1) {}
    int last() const { return d_.back(); }
    int vertical(qsizetype i, qsizetype j) const { return at(i, j) - at(i - 1, j); }
    int horizontal(qsizetype i, qsizetype j) const { return at(i, j) - at(i, j - 1); }

private:
    int at(qsizetype i, qsizetype j) const { return d_[static_cast<size_t>(i * columns_ + j)]; }

    std::vector<int> d_;
    qsizetype columns_;
};

// The same kept as bit vectors, column by column along the longer text, the shorter one (of
// at most 64 characters) down the rows; the table is symmetric, so a longer a is the same
// table transposed.
class BitTable {
public:
    BitTable(const CharKeys& a, const CharKeys& b) : transposed_(a.size() > 64) {
        const CharKeys& down = transposed_ ? b : a;
        const CharKeys& across = transposed_ ? a : b;
        columns_ = DistanceFrom(down).columns(across);
        last_ = int(columns_.empty() ? down.size() : across.size());
        for (qsizetype r = 1; r <= down.size() && !columns_.empty(); ++r) {
            last_ += delta(columns_.back().vp, columns_.back().vn, r);
        }
    }
    int last() const { return last_; }
    int vertical(qsizetype i, qsizetype j) const {
        return transposed_ ? acrossDelta(j, i) : downDelta(i, j);
    }
    int horizontal(qsizetype i, qsizetype j) const {
        return transposed_ ? downDelta(j, i) : acrossDelta(i, j);
    }

private:
    static int delta(quint64 plus, quint64 minus, qsizetype row) {
        const quint64 bit = quint64{1} << (row - 1);
        return (plus & bit) ? 1 : (minus & bit) ? -1 : 0;
    }
    // d(r, c) - d(r - 1, c); the first column counts rows.
    int downDelta(qsizetype r, qsizetype c) const {
        return c == 0 ? 1 : delta(columns_[size_t(c - 1)].vp, columns_[size_t(c - 1)].vn, r);
    }
    // d(r, c) - d(r, c - 1); the first row counts columns.
    int acrossDelta(qsizetype r, qsizetype c) const {
        return r == 0 ? 1 : delta(columns_[size_t(c - 1)].hp, columns_[size_t(c - 1)].hn, r);
    }

    bool transposed_;
    std::vector<DistanceFrom::Column> columns_;
    int last_ = 0;
};

template <typename Table>
QList<EditStep> middleSteps(const CharKeys& from, const CharKeys& to) {
    // The table of the reversed texts holds the distances between suffixes, so the script can
    // be read from the front: the first difference is marked where a reader meets it.
    const CharKeys a(from.rbegin(), from.rend());
    const CharKeys b(to.rbegin(), to.rend());
    const Table table(a, b);
    QList<EditStep> steps;
    steps.reserve(std::max(a.size(), b.size()));
    qsizetype i = a.size();
    qsizetype j = b.size();
    int here = table.last();
    EditStep last = EditStep::Same;
    // Of equally short scripts: a run of removed or inserted characters kept whole, then a kept
    // character, a change between letters of a kind (vowel for vowel), an insertion, a removal,
    // any change, a swap last.
    while (i > 0 || j > 0) {
        const int above = i > 0 ? here - table.vertical(i, j) : -1;
        const int before = j > 0 ? here - table.horizontal(i, j) : -1;
        const int diagonal = i > 0 && j > 0 ? above - table.horizontal(i - 1, j) : -1;
        const bool same = i > 0 && j > 0 && a[i - 1] == b[j - 1] && here == diagonal;
        const bool change = i > 0 && j > 0 && here == diagonal + 1;
        const bool remove = i > 0 && here == above + 1;
        const bool insert = j > 0 && here == before + 1;
        EditStep step = EditStep::Swap;
        if (last == EditStep::Insert && insert) {
            step = EditStep::Insert;
        } else if (last == EditStep::Remove && remove) {
            step = EditStep::Remove;
        } else if (same) {
            step = EditStep::Same;
        } else if (change && letterKind(a[i - 1]) == letterKind(b[j - 1])) {
            step = EditStep::Change;
        } else if (insert) {
            step = EditStep::Insert;
        } else if (remove) {
            step = EditStep::Remove;
        } else if (change) {
            step = EditStep::Change;
        }
        steps.append(step);
        i -= step == EditStep::Swap ? 2 : step == EditStep::Insert ? 0 : 1;
        j -= step == EditStep::Swap ? 2 : step == EditStep::Remove ? 0 : 1;
        here = step == EditStep::Insert   ? before
               : step == EditStep::Remove ? above
               : step == EditStep::Swap   ? here - 1
                                          : diagonal;
        last = step;
    }
    return steps;
}

QList<EditStep> stepsOf(const CharKeys& from, const CharKeys& to, bool wholeTable) {
    // What both begin and end with is kept; only the middle needs the table.
    qsizetype head = 0;
    while (head < from.size() && head < to.size() && from[head] == to[head]) {
        ++head;
    }
    qsizetype tail = 0;
    while (tail < from.size() - head && tail < to.size() - head &&
           from[from.size() - 1 - tail] == to[to.size() - 1 - tail]) {
        ++tail;
    }
    QList<EditStep> steps;
    steps.reserve(std::max(from.size(), to.size()));
    steps.append(QList<EditStep>(head, EditStep::Same));
    const CharKeys middleFrom = from.sliced(head, from.size() - head - tail);
    const CharKeys middleTo = to.sliced(head, to.size() - head - tail);
    if (middleFrom.size() * middleTo.size() > kMostCells) {
        const qsizetype changed = std::min(middleFrom.size(), middleTo.size());
        steps.append(QList<EditStep>(changed, EditStep::Change));
        steps.append(QList<EditStep>(middleFrom.size() - changed, EditStep::Remove));
        steps.append(QList<EditStep>(middleTo.size() - changed, EditStep::Insert));
    } else if (!wholeTable && std::min(middleFrom.size(), middleTo.size()) <= 64 &&
               std::max(middleFrom.size(), middleTo.size()) <= kMostCells / 8) {
        steps.append(middleSteps<BitTable>(middleFrom, middleTo));
    } else {
        steps.append(middleSteps<WholeTable>(middleFrom, middleTo));
    }
    steps.append(QList<EditStep>(tail, EditStep::Same));
    return steps;
}

}  // namespace

QStringList graphemeClusters(QStringView text) {
    QStringList clusters;
    if (simpleText(text)) {
        clusters.reserve(text.size());
        for (const QChar c : text) {
            clusters.append(c.unicode() < 0x100 ? latin1Character(c.unicode()) : QString(c));
        }
        return clusters;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), int(text.size()));
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end > 0; end = finder.toNextBoundary()) {
        clusters.append(text.sliced(start, end - start).toString());
        start = end;
    }
    return clusters;
}

CharKeys charKeys(const QStringList& clusters) {
    CharKeys keys;
    keys.reserve(clusters.size());
    for (const QString& cluster : clusters) {
        if (cluster.size() == 1) {
            keys.append(cluster[0].unicode());
        } else if (cluster.size() == 2 && cluster[0].isHighSurrogate()) {
            keys.append(QChar::surrogateToUcs4(cluster[0], cluster[1]));
        } else {
            keys.append(quint64{qHash(cluster, 0x6b78)} | kClusterBit);
        }
    }
    return keys;
}

CharKeys charKeys(QStringView text) {
    CharKeys keys(text.size());
    quint64* const key = keys.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (!simpleUnit(u)) {
            return charKeys(graphemeClusters(text));
        }
        key[i] = u;
    }
    return keys;
}

DistanceFrom::DistanceFrom(CharKeys from) : from_(std::move(from)) {
    if (from_.size() > 64) {
        return;
    }
    for (qsizetype i = 0; i < from_.size(); ++i) {
        if (from_[i] < kDirect) {
            direct_[from_[i]] |= quint64{1} << i;
            continue;
        }
        quint64 slot = slotHash(from_[i]);
        while (masks_[slot] != 0 && keys_[slot] != from_[i]) {
            slot = (slot + 1) % kSlots;
        }
        keys_[slot] = from_[i];
        masks_[slot] |= quint64{1} << i;
    }
}

quint64 DistanceFrom::hashedMask(quint64 key) const {
    for (quint64 slot = slotHash(key);; slot = (slot + 1) % kSlots) {
        if (masks_[slot] == 0) {
            return 0;
        }
        if (keys_[slot] == key) {
            return masks_[slot];
        }
    }
}

int DistanceFrom::to(const CharKeys& other, int limit) const {
    const qsizetype m = from_.size();
    if (std::abs(m - other.size()) > limit) {
        return limit + 1;
    }
    if (m == 0) {
        return int(other.size());
    }
    if (m > 64) {
        // Every character changed, then the rest inserted or removed: an upper bound.
        return m * other.size() > kMostCells ? std::min(limit + 1, int(std::max(m, other.size())))
                                             : rowDistance(from_, other, limit);
    }
    Columns state;
    const quint64 last = quint64{1} << (m - 1);
    int distance = int(m);
    for (const quint64 key : other) {
        const Column column = state.next(maskOf(key));
        distance += (column.hp & last) ? 1 : (column.hn & last) ? -1 : 0;
    }
    return distance <= limit ? distance : limit + 1;
}

std::vector<DistanceFrom::Column> DistanceFrom::columns(const CharKeys& other) const {
    Q_ASSERT(from_.size() <= 64);
    std::vector<Column> columns;
    columns.reserve(size_t(other.size()));
    Columns state;
    for (const quint64 key : other) {
        columns.push_back(state.next(maskOf(key)));
    }
    return columns;
}

QList<EditStep> editSteps(const CharKeys& from, const CharKeys& to) {
    return stepsOf(from, to, false);
}

QList<EditStep> editStepsByWholeTable(const CharKeys& from, const CharKeys& to) {
    return stepsOf(from, to, true);
}

}  // namespace drill
