// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/entry_form.h"
#include "editor/logic/answer_list.h"

#include <gtest/gtest.h>

namespace {

using editor::EntryForm;
using editor::FormAnswers;
using Boxes = std::array<QString, 4>;

// A stored right-answers field loaded into the form, counted (the hidden ones shown apart),
// and rebuilt.
TEST(EntryForm, AnswersLoadCountAndRebuild) {
    const QString six = "a|@2|b|@2|c|@2|d|@2|e|@2|f";
    const QString gap = "a|@2|b|@2|c|@2|d|@2||@2|f";
    const Boxes abcd{"a", "b", "c", "d"};
    const std::tuple<QString, Boxes, QString, QString, QString> cases[] = {
        {six, abcd, "e|@2|f", "6 (+2)", six},
        {"a|@2||@2|c", {"a", "", "c", ""}, "", "2", "a|@2|c"},
        {"", {}, "", "0", ""},
        {" ", {" "}, "", "1", " "},
        {gap, abcd, "|@2|f", "6 (+2)", gap}};
    for (const auto& [stored, boxes, extra, count, rebuilt] : cases) {
        SCOPED_TRACE(stored.toStdString());
        const EntryForm form = editor::formFromEntry({QStringLiteral("q"), stored, {}});
        EXPECT_EQ(form.rights, boxes);
        EXPECT_EQ(form.extraRights, extra);
        EXPECT_EQ(editor::rightCountText(form), count);
        EXPECT_EQ(editor::formAnswerString(form), rebuilt);
    }
    // The information goes both ways through the file's line-break mark.
    EXPECT_EQ(editor::formFromEntry({"q", "r", "a\\nb"}).information, QStringLiteral("a\r\nb"));
    EXPECT_EQ(editor::formInformationString(u"a\rb"), QStringLiteral("a\\nb"));
}

// Information longer than the box shows is cut without splitting a line break or a character;
// the rest comes back unchanged.
TEST(EntryForm, LongInformationIsShownInPartAndStoredWhole) {
    const QString head(editor::kShownInformation - 1, u'a');
    const struct {
        const char* name;
        QString stored;
        qsizetype shown;
    } table[] = {
        {"a line break at the cut", head + QStringLiteral("\\nb"), head.size()},
        {"a surrogate pair at the cut", head + QStringLiteral("\U00020BB7b"), head.size()},
        {"one character too many", head + QStringLiteral("bc"), editor::kShownInformation},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        const editor::EntryForm form = editor::formFromEntry({"q", "r", row.stored});
        EXPECT_EQ(form.information.size(), row.shown);
        EXPECT_EQ(editor::formInformationString(form.information) + form.informationRest,
                  row.stored);
    }
}

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
        const QStringList opened = editor::answersOfForm(c.form);
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(editor::formOfAnswers(editor::withoutPositions(opened, c.removed)), c.written);
    }
}

// The entry check: what it refuses, with which message and title.
TEST(EntryForm, CheckRefusesWhatCannotBeStored) {
    const QString noQuestion = QStringLiteral("問題を入力してください。");
    const QString noAnswer = QStringLiteral("解答を 1つ以上入力してください。");
    const QString separator =
        QStringLiteral("「|@1|」は単語ﾌｧｲﾙの区切りに使われるため、入力できません。");
    const QString lineBreak = QStringLiteral("問題と解答には改行を入力できません。");
    const QString lost = QStringLiteral("次の文字は単語ﾌｧｲﾙに保存できません。\r\n");
    // question, answer boxes, extra answers, information, command word, message (empty: accepted)
    const std::vector<std::tuple<QString, Boxes, QString, QString, QString, QString>> cases = {
        {"apple", {"りんご"}, "", "", "追加", ""},
        {"q", {}, "e", "", "挿入", ""},
        {"", {"a"}, "", "", "追加", noQuestion},
        {"q", {}, "", "", "追加", noAnswer},
        {"a|@1|b", {"a"}, "", "", "追加", separator},
        {"q", {"a"}, "b|@1|c", "", "追加", separator},
        {"a\nb", {"a"}, "", "", "追加", lineBreak},
        {"q😀", {"한", "😀"}, "", "ok", "挿入", lost + QStringLiteral("「😀」「한」")}};
    for (const auto& [question, boxes, extra, information, word, message] : cases) {
        SCOPED_TRACE((question + word + message).toStdString());
        const auto refusal = editor::checkEntry({question, boxes, extra, information, {}}, word);
        if (message.isEmpty()) {
            EXPECT_FALSE(refusal.has_value()) << refusal->text.toStdString();
        } else {
            EXPECT_EQ(refusal, (editor::Refusal{message, QStringLiteral("問題の") + word}));
        }
    }
}

}  // namespace
