// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/other_answers.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "drill/engine/compared_forms.h"

namespace drill {

KeyCounts keyCounts(const CharKeys& keys) {
    KeyCounts counts{};
    for (const quint64 key : keys) {
        quint8& count = counts[(key * 0x9E3779B97F4A7C15ULL) >> 59];
        count = count == 255 ? count : quint8(count + 1);
    }
    return counts;
}

namespace {

// A lower bound of the edits between two texts with these counts: every character one has
// more of than the other must be inserted, removed or changed, and one edit changes at most two
// counts by one each, so half the sum of the differences.
int countDistance(const KeyCounts& a, const KeyCounts& b) {
#ifdef __SSE2__
    const auto load = [](const KeyCounts& counts, int half) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(counts.data() + 16 * half));
    };
    const __m128i sums =
        _mm_add_epi64(_mm_sad_epu8(load(a, 0), load(b, 0)), _mm_sad_epu8(load(a, 1), load(b, 1)));
    const int total = _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
#else
    int total = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        total += a[i] > b[i] ? a[i] - b[i] : b[i] - a[i];
    }
#endif
    return (total + 1) / 2;
}

}  // namespace

OtherAnswers::OtherAnswers(const QStringList& answers) {
    QSet<QString> seen;
    seen.reserve(answers.size());
    for (const QString& answer : answers) {
        add(answer, seen);
    }
    sortByLength();
}

OtherAnswers OtherAnswers::ofEntries(const QList<common::Entry>& entries) {
    OtherAnswers others;
    others.unsplit_ = entries;
    return others;
}

void OtherAnswers::split() const {
    // Straight from each entry's field, without a list of copies of its answers first.
    QSet<QString> seen;
    seen.reserve(unsplit_.size());
    for (const common::Entry& entry : std::as_const(unsplit_)) {
        for (const QStringView answer :
             QStringView(entry.rights).tokenize(common::kAnswerSeparator)) {
            add(answer, seen);
        }
    }
    unsplit_.clear();
    sortByLength();
}

void OtherAnswers::add(QStringView answer, QSet<QString>& seen) const {
    QString form = foldedForm(answer);
    const qsizetype before = seen.size();
    if (form.isEmpty() || (seen.insert(form), seen.size() == before)) {
        return;  // empty, or seen before
    }
    CharKeys keys = charKeys(form);
    const KeyCounts counts = keyCounts(keys);
    answers_.append({std::move(form), std::move(keys), counts});
}

void OtherAnswers::sortByLength() const {
    // Counted out by length, the order kept within a length: no comparison or moving about
    // of whole answers.
    QList<qsizetype> starts;
    for (const Answer& answer : std::as_const(answers_)) {
        if (starts.size() <= answer.keys.size() + 1) {
            starts.resize(answer.keys.size() + 2);
        }
        ++starts[answer.keys.size() + 1];
    }
    for (qsizetype length = 1; length < starts.size(); ++length) {
        starts[length] += starts[length - 1];
    }
    QList<Answer> sorted(answers_.size());
    for (Answer& answer : answers_) {
        sorted[starts[answer.keys.size()]++] = std::move(answer);
    }
    answers_ = std::move(sorted);
}

bool OtherAnswers::anyWithin(const DistanceFrom& typed, int limit,
                             const QStringList& except) const {
    if (!unsplit_.isEmpty()) {
        split();
    }
    const qsizetype length = typed.keys().size();
    const KeyCounts counts = keyCounts(typed.keys());
    auto it =
        std::lower_bound(answers_.begin(), answers_.end(), length - limit,
                         [](const Answer& a, qsizetype size) { return a.keys.size() < size; });
    for (; it != answers_.end() && it->keys.size() <= length + limit; ++it) {
        if (countDistance(it->counts, counts) > limit) {
            continue;
        }
        if (typed.to(it->keys, limit) <= limit && !except.contains(it->form)) {
            return true;
        }
    }
    return false;
}

}  // namespace drill
