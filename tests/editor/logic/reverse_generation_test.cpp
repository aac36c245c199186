// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/reverse_generation.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

TEST(ReverseEntry, AnswersBecomeTheQuestionAndTheQuestionTheOnlyAnswer) {
    const common::Entry apple{"apple", "りんご|@2|林檎", "fruit\\nred"};
    const std::vector<std::pair<common::Entry, common::Entry>> cases = {
        {apple, {"りんご | 林檎", "apple", "fruit\\nred"}},
        // Generated twice: the joined answers stay one answer.
        {reverseEntry(apple), {"apple", "りんご | 林檎", "fruit\\nred"}},
        {{"q", "a|@2||@2|b", "i"}, {"a |  | b", "q", "i"}},
        {{"q", "a|@3|b|@2", ""}, {"a|@3|b|@2", "q", ""}}};
    for (const auto& [entry, expected] : cases) {
        SCOPED_TRACE(entry.rights.toStdString());
        EXPECT_EQ(reverseEntry(entry), expected);
    }
}

// Two selected entries fit while the document stays within the largest number of entries.
TEST(PlanReverse, RefusesOnlyWhatWouldPassTheLimit) {
    const QList<common::Entry> two(2, {"q", "a", ""});
    const struct {
        int count;
        QList<common::Entry> selected;
        ReverseOutcome outcome;
    } table[] = {{common::kMaxEntries - 2, two, ReverseOutcome::Ready},
                 {common::kMaxEntries - 1, two, ReverseOutcome::TooMany},
                 {common::kMaxEntries, {}, ReverseOutcome::NothingSelected}};
    for (const auto& row : table) {
        const ReversePlan plan = planReverse(row.count, row.selected);
        const bool ready = row.outcome == ReverseOutcome::Ready;
        EXPECT_EQ(plan.outcome, row.outcome) << row.count;
        EXPECT_EQ(plan.entries.size(), ready ? 2 : 0);
        EXPECT_EQ(plan.first, ready ? row.count : -1);
    }
}

}  // namespace
}  // namespace editor
