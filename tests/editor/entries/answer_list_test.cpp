#include "editor/entries/answer_list.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

// The form as the dialog opens it, the list after removing some positions, and the form that
// OK writes back.
TEST(AnswerList, OpensEditsAndWritesBackTheFormsAnswers) {
    struct Case {
        const char* name;
        FormAnswers form;
        QStringList opened;
        QList<int> removed;
        FormAnswers written;
    };
    const FormAnswers six{{"1", "2", "3", "4"}, "5|@2|6"};
    const std::vector<Case> cases = {
        {"boxes 1 and 3 only", {{"", "b", "", "d"}, ""}, {"b", "d"}, {}, {{"b", "d", "", ""}, ""}},
        {"six, the second removed",
         six,
         {"1", "2", "3", "4", "5", "6"},
         {1},
         {{"1", "3", "4", "5"}, "6"}},
        {"six, removed in any order",
         six,
         {"1", "2", "3", "4", "5", "6"},
         {5, 0, 9},
         {{"2", "3", "4", "5"}, ""}},
        {"all removed", six, {"1", "2", "3", "4", "5", "6"}, {0, 1, 2, 3, 4, 5}, {}},
        {"empty pieces of the rest count",
         {{"1", "", "", ""}, "|@2|x|@2|"},
         {"1", "", "x", ""},
         {},
         {{"1", "", "x", ""}, ""}},
        {"a blank box is an answer", {{" ", "", "", ""}, ""}, {" "}, {}, {{" ", "", "", ""}, ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList opened = answersOfForm(c.form);
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(formOfAnswers(withoutPositions(opened, c.removed)), c.written);
    }
}

}  // namespace
}  // namespace editor
