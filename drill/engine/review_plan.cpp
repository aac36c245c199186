// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/review_plan.h"

#include <QCryptographicHash>

#include <algorithm>
#include <vector>

#include "common/ansi_text.h"

namespace drill {

QByteArray wordKey(const common::Entry& entry) {
    // The field separator cannot occur inside a field, so question and answers never run into
    // each other; the stored form makes a word read from UTF-8 match its Shift_JIS copy.
    QString text = common::storedForm(entry.question);
    text.append(common::kFieldSeparator).append(common::storedForm(entry.rights));
    return QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1);
}

Grade gradeFromVerdict(bool right, bool overruled) {
    if (right) {
        return overruled ? Grade::Hard : Grade::Good;
    }
    return Grade::Again;
}

ReviewCounts countReviews(std::span<const WordState> words, ReviewTime now) {
    ReviewCounts counts;
    for (const WordState& word : words) {
        if (!word || word->isNew()) {
            ++counts.fresh;
        } else if (word->due <= now) {
            ++counts.due;
        }
    }
    return counts;
}

QList<int> reviewOrder(std::span<const WordState> words, ReviewTime now,
                       const FsrsScheduler& scheduler, int newLimit) {
    struct Due {
        double retrievability;
        ReviewTime due;
        int position;
    };
    std::vector<Due> due;
    QList<int> fresh;
    for (int i = 0; i < static_cast<int>(words.size()); ++i) {
        const WordState& word = words[i];
        if (!word || word->isNew()) {
            if (fresh.size() < newLimit) {
                fresh.append(i);
            }
        } else if (word->due <= now) {
            due.push_back({scheduler.retrievability(*word, now), word->due, i});
        }
    }
    std::sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
        if (a.retrievability != b.retrievability) {
            return a.retrievability < b.retrievability;
        }
        if (a.due != b.due) {
            return a.due < b.due;
        }
        return a.position < b.position;
    });
    QList<int> order;
    order.reserve(qsizetype(due.size()) + fresh.size());
    for (const Due& word : due) {
        order.append(word.position);
    }
    order.append(fresh);
    return order;
}

}  // namespace drill
