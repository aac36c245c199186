// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

#include <map>
#include <set>

namespace drill::history {

// The sequence numbers of one machine's records taken in, as runs of consecutive numbers. A
// number is held only once it was added itself: a gap stays open until its record arrives.
class SequenceRanges {
public:
    // A run as stored, with no check against the others (they never overlap).
    void load(qint64 first, qint64 last) { runs_.emplace(first, last); }
    bool contains(qint64 sequence) const;
    // False when it was held already.
    bool add(qint64 sequence);

    // first -> last of every run.
    const std::map<qint64, qint64>& runs() const { return runs_; }
    // What changed since the last call: the firsts of runs gone (joined to the run before) and
    // of runs new or grown.
    struct Changes {
        std::set<qint64> gone;
        std::set<qint64> changed;
    };
    Changes takeChanges();

private:
    std::map<qint64, qint64> runs_;
    Changes changes_;
};

}  // namespace drill::history
