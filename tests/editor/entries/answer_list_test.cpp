#include "editor/entries/answer_list.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

struct OpenCase {
    const char* name;
    FormAnswers form;
    QStringList answers;
};

TEST(AnswerListOpening, TakesTheFilledBoxesThenEveryPieceOfTheRest) {
    const QList<OpenCase> cases = {
        {"boxes 1 and 3 only", {{"", "b", "", "d"}, ""}, {"b", "d"}},
        {"four boxes and two more",
         {{"1", "2", "3", "4"}, "5|@2|6"},
         {"1", "2", "3", "4", "5", "6"}},
        {"empty pieces of the rest count", {{"1", "", "", ""}, "|@2|x|@2|"}, {"1", "", "x", ""}},
        {"a blank box is an answer", {{" ", "", "", ""}, ""}, {" "}},
        {"nothing", {}, {}},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(answersOfForm(c.form), c.answers);
    }
}

struct WriteBackCase {
    const char* name;
    QStringList answers;
    FormAnswers form;
};

TEST(AnswerListWriteBack, FirstFourIntoTheBoxesAndTheRestJoined) {
    const QList<WriteBackCase> cases = {
        {"two answers", {"b", "d"}, {{"b", "d", "", ""}, ""}},
        {"five answers: the fifth alone, no separator",
         {"1", "3", "4", "5", "6"},
         {{"1", "3", "4", "5"}, "6"}},
        {"six answers", {"1", "2", "3", "4", "n1", "n2"}, {{"1", "2", "3", "4"}, "n1|@2|n2"}},
        {"exactly four", {"1", "2", "3", "4"}, {{"1", "2", "3", "4"}, ""}},
        {"none", {}, {}},
    };
    for (const WriteBackCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(formOfAnswers(c.answers), c.form);
    }
}

struct RemoveCase {
    const char* name;
    QList<int> positions;
    QStringList kept;
};

TEST(AnswerListRemoval, DropsExactlyTheSelectedPositions) {
    const QStringList six = {"1", "2", "3", "4", "5", "6"};
    const QList<RemoveCase> cases = {
        {"the second", {1}, {"1", "3", "4", "5", "6"}},
        {"any order", {5, 0, 2}, {"2", "4", "5"}},
        {"all", {0, 1, 2, 3, 4, 5}, {}},
        {"none", {}, six},
        {"out of range ignored", {-1, 6}, six},
    };
    for (const RemoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(withoutPositions(six, c.positions), c.kept);
    }
}

}  // namespace
}  // namespace editor
