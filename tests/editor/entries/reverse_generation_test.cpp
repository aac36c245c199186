#include "editor/entries/reverse_generation.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

using common::Entry;

struct ReverseEntryCase {
    const char* name;
    Entry entry;
    Entry expected;
};

TEST(ReverseEntry, AnswersBecomeTheQuestionAndTheQuestionTheOnlyAnswer) {
    const Entry apple{"apple", "りんご|@2|林檎", "fruit\\nred"};
    const QList<ReverseEntryCase> cases = {
        {"two answers", apple, {"りんご | 林檎", "apple", "fruit\\nred"}},
        {"a single answer", {"dog", "犬", ""}, {"犬", "dog", ""}},
        {"generated twice: the joined answers stay one answer",
         reverseEntry(apple),
         {"apple", "りんご | 林檎", "fruit\\nred"}},
        {"an empty piece keeps its place", {"q", "a|@2||@2|b", "i"}, {"a |  | b", "q", "i"}},
        {"only the exact separator", {"q", "a|@3|b|@2", ""}, {"a|@3|b|@2", "q", ""}},
    };
    for (const ReverseEntryCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(reverseEntry(c.entry), c.expected);
    }
}

struct PlanCase {
    const char* name;
    int entryCount;
    QList<Entry> selected;
    ReverseOutcome outcome;
    int first;
    QList<Entry> entries;
};

TEST(ReversePlanning, AppendsInListOrderAndRefusesPastTheLimit) {
    const Entry second{"B", "b1|@2|b2", "ib"};
    const Entry fourth{"D", "d", "id"};
    const QList<PlanCase> cases = {
        {"second and fourth of five",
         5,
         {second, fourth},
         ReverseOutcome::Ready,
         5,
         {{"b1 | b2", "B", "ib"}, {"d", "D", "id"}}},
        {"nothing selected", 5, {}, ReverseOutcome::NothingSelected, -1, {}},
        {"fills the document exactly",
         common::kMaxEntries - 2,
         {second, fourth},
         ReverseOutcome::Ready,
         common::kMaxEntries - 2,
         {{"b1 | b2", "B", "ib"}, {"d", "D", "id"}}},
        {"one past the limit",
         common::kMaxEntries - 1,
         {second, fourth},
         ReverseOutcome::TooMany,
         -1,
         {}},
        {"already full", common::kMaxEntries, {second}, ReverseOutcome::TooMany, -1, {}},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ReversePlan plan = planReverse(c.entryCount, c.selected);
        EXPECT_EQ(plan.outcome, c.outcome);
        EXPECT_EQ(plan.first, c.first);
        EXPECT_EQ(plan.entries, c.entries);
    }
    EXPECT_EQ(inListOrder({3, 1, 3, 0}), (QList<int>{0, 1, 3}));
}

}  // namespace
}  // namespace editor
