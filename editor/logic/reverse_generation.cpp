// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/reverse_generation.h"

#include <algorithm>

#include "common/entry_text.h"

namespace editor {

QString reverseQuestion(QStringView rights) {
    return common::rightsOnOneLine(rights);
}

common::Entry reverseEntry(const common::Entry& entry) {
    return {reverseQuestion(entry.rights), entry.question, entry.information};
}

QList<int> inListOrder(QList<int> positions) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

ReversePlan planReverse(int entryCount, const QList<common::Entry>& selected, int maxEntries) {
    ReversePlan plan;
    if (selected.isEmpty()) {
        return plan;
    }
    if (selected.size() > maxEntries - entryCount) {
        plan.outcome = ReverseOutcome::TooMany;
        return plan;
    }
    plan.outcome = ReverseOutcome::Ready;
    plan.first = entryCount;
    plan.entries.reserve(selected.size());
    for (const common::Entry& entry : selected) {
        plan.entries.append(reverseEntry(entry));
    }
    return plan;
}

}  // namespace editor
