#include "editor/entries/entry_form.h"

#include <gtest/gtest.h>

namespace {

using editor::EntryForm;

// Loading a stored right-answers field into the form, counting it and rebuilding it.
TEST(EntryForm, AnswersLoadCountAndRebuild) {
    struct Case {
        QString stored;
        std::array<QString, 4> boxes;
        QString extra;
        int count;
        QString rebuilt;
    };
    const std::vector<Case> cases = {
        {"a|@2|b|@2|c|@2|d|@2|e|@2|f",
         {"a", "b", "c", "d"},
         "e|@2|f",
         6,
         "a|@2|b|@2|c|@2|d|@2|e|@2|f"},
        {"a|@2||@2|c", {"a", "", "c", ""}, "", 2, "a|@2|c"},
        {"a|@2|b|@2|c|@2|d", {"a", "b", "c", "d"}, "", 4, "a|@2|b|@2|c|@2|d"},
        {"", {"", "", "", ""}, "", 0, ""},
        {" ", {" ", "", "", ""}, "", 1, " "},
        // extra pieces count even when empty, as they are stored
        {"a|@2|b|@2|c|@2|d|@2||@2|f",
         {"a", "b", "c", "d"},
         "|@2|f",
         6,
         "a|@2|b|@2|c|@2|d|@2||@2|f"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        const EntryForm form = editor::formFromEntry({QStringLiteral("q"), c.stored, {}});
        EXPECT_EQ(form.rights, c.boxes);
        EXPECT_EQ(form.extraRights, c.extra);
        EXPECT_EQ(editor::rightCount(form), c.count);
        EXPECT_EQ(editor::formAnswerString(form), c.rebuilt);
    }
}

TEST(EntryForm, AnswerBoxGapsCloseUp) {
    EntryForm form;
    form.rights = {"", "b", "", "d"};
    EXPECT_EQ(editor::formAnswerString(form), QStringLiteral("b|@2|d"));
    EXPECT_EQ(editor::formFromEntry({"q", editor::formAnswerString(form), {}}).rights,
              (std::array<QString, 4>{"b", "d", "", ""}));
}

// The information between its stored form and what the box shows.
TEST(EntryForm, InformationLineBreaks) {
    struct Case {
        QString stored;
        QString shown;
        QString storedAgain;
    };
    const std::vector<Case> cases = {
        {"x\\ny", "x\r\ny", "x\\ny"},
        {"", "", ""},
        {"a\\nb\\nc", "a\r\nb\r\nc", "a\\nb\\nc"},
        {"\\n\\n", "\r\n\r\n", "\\n\\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        EXPECT_EQ(editor::formFromEntry({"q", "r", c.stored}).information, c.shown);
        EXPECT_EQ(editor::formInformationString(c.shown), c.storedAgain);
    }
    // Any line break is stored as the mark: a bare one would split the file's line.
    const std::vector<std::pair<QString, QString>> typed = {
        {"a\nb", "a\\nb"},
        {"a\rb", "a\\nb"},
        {"a\r\n\nb\r", "a\\n\\nb\\n"},
        {"a\\nb", "a\\nb"},
    };
    for (const auto& [shown, stored] : typed) {
        SCOPED_TRACE(shown.toStdString());
        EXPECT_EQ(editor::formInformationString(shown), stored);
    }
}

// The entry check: what it refuses, with which message and title.
TEST(EntryForm, CheckRefusesWhatCannotBeStored) {
    auto form = [](QString question, std::array<QString, 4> rights, QString extra = {},
                   QString information = {}) {
        return EntryForm{question, rights, extra, information};
    };
    const QString noQuestion = QStringLiteral("問題を入力してください。");
    const QString noAnswer = QStringLiteral("解答を 1つ以上入力してください。");
    const QString separator =
        QStringLiteral("「|@1|」は単語ﾌｧｲﾙの区切りに使われるため、入力できません。");
    const QString lineBreak = QStringLiteral("問題と解答には改行を入力できません。");
    const QString lost = QStringLiteral("次の文字は単語ﾌｧｲﾙに保存できません。\r\n");
    struct Case {
        const char* name;
        EntryForm form;
        QString word;
        QString text;  // empty: accepted
    };
    const std::vector<Case> cases = {
        {"complete", form("apple", {"りんご"}), "追加", {}},
        {"question of a space", form(" ", {"a"}), "追加", {}},
        {"answer of a space", form("q", {"", " "}), "更新", {}},
        {"only extra answers", form("q", {}, "e"), "挿入", {}},
        {"empty question", form("", {"a"}), "追加", noQuestion},
        {"empty question, insert", form("", {"a"}), "挿入", noQuestion},
        {"empty question, change", form("", {}), "更新", noQuestion},
        {"no answer", form("q", {}), "追加", noAnswer},
        {"answer separator inside an answer", form("q", {"a|@2|b"}), "追加", {}},
        {"typed backslash-n in information", form("q", {"a"}, {}, "x\\ny"), "追加", {}},
        {"field separator in question", form("a|@1|b", {"a"}), "追加", separator},
        {"field separator in an answer", form("q", {"", "a|@1|"}), "更新", separator},
        {"field separator in extra answers", form("q", {"a"}, "b|@1|c"), "追加", separator},
        {"field separator in information", form("q", {"a"}, {}, "x|@1|y"), "追加", separator},
        {"question ending where a separator starts", form("q|@1", {"a"}), "追加", separator},
        {"answers joining into a separator", form("q", {"a|@1", "b"}), "追加", separator},
        {"line break in question", form("a\nb", {"a"}), "追加", lineBreak},
        {"line break in an answer", form("q", {"a\r\nb"}), "追加", lineBreak},
        {"characters Shift_JIS lacks", form("q😀", {"한", "😀"}, {}, "ok"), "挿入",
         lost + QStringLiteral("「😀」「한」")},
        {"Shift_JIS characters pass", form("ｶﾀｶﾅ", {"漢字"}, {}, "ひらがな ABC"), "追加", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto refusal = editor::checkEntry(c.form, c.word);
        if (c.text.isEmpty()) {
            EXPECT_FALSE(refusal.has_value()) << refusal->text.toStdString();
        } else {
            ASSERT_TRUE(refusal.has_value());
            EXPECT_EQ(refusal->text, c.text);
            EXPECT_EQ(refusal->title, QStringLiteral("問題の") + c.word);
        }
    }
}

}  // namespace
