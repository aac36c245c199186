// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/sequence_ranges.h"

#include <iterator>
#include <utility>

namespace drill::history {

bool SequenceRanges::contains(qint64 sequence) const {
    auto after = runs_.upper_bound(sequence);
    return after != runs_.begin() && sequence <= std::prev(after)->second;
}

bool SequenceRanges::add(qint64 sequence) {
    const auto after = runs_.upper_bound(sequence);
    const auto before = after == runs_.begin() ? runs_.end() : std::prev(after);
    if (before != runs_.end() && sequence <= before->second) {
        return false;
    }
    // Neither sum overflows: before ends below sequence, after starts above it.
    const bool joinsBefore = before != runs_.end() && before->second + 1 == sequence;
    const bool joinsAfter = after != runs_.end() && after->first - 1 == sequence;
    qint64 last = sequence;
    if (joinsAfter) {
        last = after->second;
        changes_.gone.insert(after->first);
        runs_.erase(after);
    }
    if (joinsBefore) {
        before->second = last;
        changes_.changed.insert(before->first);
    } else {
        runs_.emplace(sequence, last);
        changes_.changed.insert(sequence);
    }
    return true;
}

SequenceRanges::Changes SequenceRanges::takeChanges() {
    return std::exchange(changes_, {});
}

}  // namespace drill::history
