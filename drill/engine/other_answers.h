// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

#include "common/word_file.h"
#include "drill/engine/edit_distance.h"

namespace drill {

// How often each character key occurs, the keys folded into 32 counts (at most 255 each): the
// counts of two texts differ by no more than the edits between them.
using KeyCounts = std::array<quint8, 32>;
KeyCounts keyCounts(const CharKeys& keys);

// The right answers of a word file's other entries, ready to be asked whether one of them is
// close to a typed answer. Building splits every answer into its characters, which for a full
// file costs several times its reading, so a file's entries are split only when a near miss
// first needs them. Compared in the lenient form (case and width folded), whatever the options.
// Not safe to share between threads: the first question builds.
class OtherAnswers {
public:
    OtherAnswers() = default;
    // Implicit, so that a plain list may be passed where only a few answers are at stake.
    OtherAnswers(const QStringList& answers);  // NOLINT(google-explicit-constructor)
    // The right answers of these entries, split when first asked.
    static OtherAnswers ofEntries(const QList<common::Entry>& entries);

    // True when an answer other than those in except (lenient forms) is within limit edits of
    // the lenient form that typed is measured from.
    bool anyWithin(const DistanceFrom& typed, int limit, const QStringList& except) const;

    bool isEmpty() const { return unsplit_.isEmpty() && answers_.isEmpty(); }

private:
    struct Answer {
        QString form;
        CharKeys keys;
        KeyCounts counts;
    };
    void split() const;
    void add(QStringView answer, QSet<QString>& seen) const;
    void sortByLength() const;

    mutable QList<common::Entry> unsplit_;
    mutable QList<Answer> answers_;  // by number of characters
};

}  // namespace drill
