// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/word_file.h"

#include <QList>
#include <QString>
#include <QStringView>

// New entries that ask the selected ones the other way round.
namespace editor {

// The right answers joined by " | ", for reading as one question.
QString reverseQuestion(QStringView rights);

// The answers become the question; the question becomes the only answer; the information
// stays as it is.
common::Entry reverseEntry(const common::Entry& entry);

enum class ReverseOutcome {
    NothingSelected,  // nothing to do; the selection stays as it is
    TooMany,          // the document would pass the largest number of entries
    Ready,
};

struct ReversePlan {
    ReverseOutcome outcome = ReverseOutcome::NothingSelected;
    int first = -1;                // the position the first new entry takes
    QList<common::Entry> entries;  // to be appended in this order
};

// Selected positions as a pass over the list visits them: ascending, each once.
QList<int> inListOrder(QList<int> positions);

// `selected` holds the selected entries in list order. Nothing is changed here, so a refusal
// leaves the document as it was.
ReversePlan planReverse(int entryCount, const QList<common::Entry>& selected,
                        int maxEntries = common::kMaxEntries);

}  // namespace editor
