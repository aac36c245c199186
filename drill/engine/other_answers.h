// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

#include "drill/engine/edit_distance.h"

namespace drill {

// How often each character key occurs, the keys folded into 32 counts (at most 255 each): the
// counts of two texts differ by no more than the edits between them.
using KeyCounts = std::array<quint8, 32>;
KeyCounts keyCounts(const CharKeys& keys);

// The right answers of a word file's other entries, ready to be asked whether one of them is
// close to a typed answer. Build it once per file: building splits every answer into its
// characters. Compared in the lenient form (case and width folded), whatever the options.
class OtherAnswers {
public:
    OtherAnswers() = default;
    // Implicit, so that a plain list may be passed where only a few answers are at stake.
    OtherAnswers(const QStringList& answers);  // NOLINT(google-explicit-constructor)

    // True when an answer other than those in except (lenient forms) is within limit edits of
    // the lenient form that typed is measured from.
    bool anyWithin(const DistanceFrom& typed, int limit, const QStringList& except) const;

    qsizetype size() const { return answers_.size(); }

private:
    struct Answer {
        QString form;
        CharKeys keys;
        KeyCounts counts;
    };
    QList<Answer> answers_;  // by number of characters
};

}  // namespace drill
