#include "editor/logic/search.h"

#include "common/word_file.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

class ListSource : public ScanSource {
public:
    QList<common::Entry> entries;
    int entryCount() const override { return int(entries.size()); }
    QString question(int p) const override { return entries.at(p).question; }
    QString rights(int p) const override { return entries.at(p).rights; }
    QString information(int p) const override { return entries.at(p).information; }
};

// Answers the restart question with `restart`, counting the questions.
class FakeDriver : public ScanDriver {
public:
    bool restart = true;
    int questions = 0;
    bool askRestart() override { return ++questions, restart; }
    bool keepScanning() override { return true; }
};

TEST(SearchMatching, ExactSubstringInTheChosenStoredFields) {
    struct Case {
        common::Entry entry;
        QString text;
        int fields;
        bool matches;
    };
    const std::vector<Case> cases = {
        {{"apple pie", "", ""}, "pie", kScanAllFields, true},
        {{"Apple", "", ""}, "apple", kScanAllFields, false},
        {{"ａｐｐｌｅ", "", ""}, "apple", kScanAllFields, false},
        {{"アップル", "", ""}, "ｱｯﾌﾟﾙ", kScanAllFields, false},
        {{"リンゴ", "", ""}, "りんご", kScanAllFields, false},
        {{"q", "a|@2|りんご", ""}, "りんご", kScanRights, true},
        {{"q", "red|@2|apple", ""}, "red|@2|app", kScanRights, true},
        {{"q", "a", "line one\\nline two"}, "one\\nline", kScanInformation, true},
        {{"apple", "", ""}, "apple", kScanRights | kScanInformation, false},
        {{"q", "apple", "apple"}, "apple", kScanQuestion, false},
        {{"q", "a", "apple"}, "apple", kScanQuestion | kScanRights, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry.question.toStdString() + " / " + c.text.toStdString());
        ListSource source;
        source.entries = {c.entry};
        EXPECT_EQ(entryMatches(source, 0, c.text, c.fields), c.matches);
    }
}

TEST(SearchStep, WalksOnFromTheCurrentEntryAndWrapsUpToItAfterTheQuestion) {
    struct Case {
        const char* name;
        QString questions;  // one letter per entry; an entry matches when it is "x"
        int current;
        QString text;
        int fields;
        bool restart;
        ScanResult expected;
        int questionsAsked;
    };
    const std::vector<Case> cases = {
        {"after the current", "abxd", 1, "x", 7, true, {ScanOutcome::Found, 2}, 0},
        {"the current one again", "abxd", 2, "x", 7, true, {ScanOutcome::Found, 2}, 1},
        {"declined", "abxd", 2, "x", 7, false, {ScanOutcome::Declined}, 1},
        {"an earlier one", "xbcd", 3, "x", 7, true, {ScanOutcome::Found, 0}, 1},
        {"none current: from the top", "xb", -1, "x", 7, true, {ScanOutcome::Found, 0}, 0},
        {"none current: nothing after Yes", "abcd", -1, "x", 7, true, {ScanOutcome::Finished}, 1},
        {"a current past the end counts as none", "x", 5, "x", 7, true, {ScanOutcome::Found, 0}, 0},
        {"no text", "abxd", 1, "", 0, true, {ScanOutcome::NeedText}, 0},
        {"no fields", "abxd", 1, "x", 0, true, {ScanOutcome::NeedFields}, 0},
        {"only unknown field bits", "abxd", 1, "x", 8, true, {ScanOutcome::NeedFields}, 0},
        {"empty list", "", -1, "x", 7, true, {ScanOutcome::EmptyList}, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListSource source;
        for (QChar q : c.questions) {
            source.entries.append({q, "r", "i"});
        }
        FakeDriver driver;
        driver.restart = c.restart;
        EXPECT_EQ(scanNext(source, c.current, c.text, c.fields, driver), c.expected);
        EXPECT_EQ(driver.questions, c.questionsAsked);
    }
}

}  // namespace
}  // namespace editor
