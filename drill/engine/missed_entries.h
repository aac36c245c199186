// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "common/drill_way.h"
#include "common/word_file.h"

namespace drill {

// An entry the learner got wrong in this drill, with each wrong answer in the order typed.
struct MissedEntry {
    common::Entry entry;
    QStringList typed;

    qsizetype misses() const { return typed.size(); }
    friend bool operator==(const MissedEntry&, const MissedEntry&) = default;
};

// The entries missed in one drill, each listed once, in the order of their first miss. An
// entry is known by its content: two identical lines of a file are the same word to the learner.
class MissedEntries {
public:
    void clear() { list_.clear(); }
    void add(const common::Entry& entry, const QString& typed);
    // Takes back the latest miss of the entry (an overruled verdict); the entry leaves the list
    // when no miss remains.
    void withdrawLast(const common::Entry& entry);

    const QList<MissedEntry>& list() const { return list_; }
    QList<common::Entry> entries() const;

private:
    QList<MissedEntry> list_;
};

// Where the learner is: the question's place among the questions of this pass, and how many
// the pass holds (0 in Endless mode, which has no passes). place is 0 before the first question.
struct DrillPosition {
    int place = 0;
    int total = 0;
    friend bool operator==(const DrillPosition&, const DrillPosition&) = default;
};

// "Kotobax4 - 12 / 30", "Kotobax4 - 12" in Endless mode, "Kotobax4 - 復習 3 / 12" in today's
// review, "Kotobax4 - 聞き取り 3 / 12" in a way other than the typed one, "Kotobax4" outside a
// drill.
QString drillWindowTitle(bool drilling, DrillPosition position, bool review = false,
                         common::DrillWay way = common::DrillWay::Typed);

// The file proposed for a drill's missed entries: "<name>_間違い.qvw" beside the word file.
QString missedFileName(const QString& wordFile);

}  // namespace drill
