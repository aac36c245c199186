// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/answer_list.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

// The form as the dialog opens it, the list after removing some positions, and the form that
// OK writes back.
TEST(AnswerList, OpensEditsAndWritesBackTheFormsAnswers) {
    struct Case {
        FormAnswers form;
        QStringList opened;
        QList<int> removed;
        FormAnswers written;
    };
    const FormAnswers six{{"1", "2", "3", "4"}, "5|@2|6"};
    const QStringList all{"1", "2", "3", "4", "5", "6"};
    const Case cases[] = {
        {{{"", "b", "", "d"}, ""}, {"b", "d"}, {}, {{"b", "d", "", ""}, ""}},  // boxes 1 and 3
        {six, all, {5, 0, 9}, {{"2", "3", "4", "5"}, ""}},                     // any order
        {six, all, {0, 1, 2, 3, 4, 5}, {}},
        {{{" ", "", "", ""}, "|@2|x|@2|"}, {" ", "", "x", ""}, {}, {{" ", "", "x", ""}, ""}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opened.join(u',').toStdString());
        const QStringList opened = answersOfForm(c.form);
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(formOfAnswers(withoutPositions(opened, c.removed)), c.written);
    }
}

}  // namespace
}  // namespace editor
