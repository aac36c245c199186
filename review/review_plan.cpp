// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "review/review_plan.h"

#include <algorithm>
#include <vector>

namespace review {

Grade gradeFromVerdict(bool right, bool overruled) {
    if (right) {
        return overruled ? Grade::Hard : Grade::Good;
    }
    return Grade::Again;
}

bool isDue(const CardState& word, ReviewTime now, ReviewTime endOfDay) {
    return word.phase == CardPhase::Review ? word.due < endOfDay : word.due <= now;
}

ReviewCounts countReviews(std::span<const WordState> words, ReviewTime now, const LearnerDay& day) {
    const ReviewTime endOfDay = day.endOfDay(now);
    ReviewCounts counts;
    for (const WordState& word : words) {
        if (!word || word->isNew()) {
            ++counts.fresh;
        } else if (isDue(*word, now, endOfDay)) {
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
    const ReviewTime endOfDay = scheduler.learnerDay().endOfDay(now);
    std::vector<Due> due;
    QList<int> fresh;
    for (int i = 0; i < static_cast<int>(words.size()); ++i) {
        const WordState& word = words[i];
        if (!word || word->isNew()) {
            if (fresh.size() < newLimit) {
                fresh.append(i);
            }
        } else if (isDue(*word, now, endOfDay)) {
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

}  // namespace review
