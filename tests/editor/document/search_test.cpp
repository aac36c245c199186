#include "editor/document/search.h"

#include <gtest/gtest.h>

#include <QList>
#include <QStringList>

#include <deque>

namespace editor {
namespace {

struct StoredEntry {
    QString question;
    QString rights;
    QString information;
};

class ListSource : public ScanSource {
public:
    explicit ListSource(QList<StoredEntry> entries) : entries_(std::move(entries)) {}
    int entryCount() const override { return int(entries_.size()); }
    QString question(int p) const override { return entries_.at(p).question; }
    QString rights(int p) const override { return entries_.at(p).rights; }
    QString information(int p) const override { return entries_.at(p).information; }

private:
    QList<StoredEntry> entries_;
};

// Answers the restart question from a queue and stops the walk after a number of entries.
class FakeDriver : public ScanDriver {
public:
    std::deque<bool> restartAnswers;
    int stopAfter = -1;  // keepScanning() calls before it answers false; -1: never
    int questions = 0;
    int steps = 0;

    bool askRestart() override {
        ++questions;
        if (restartAnswers.empty()) {
            ADD_FAILURE() << "unexpected restart question";
            return false;
        }
        const bool answer = restartAnswers.front();
        restartAnswers.pop_front();
        return answer;
    }
    bool keepScanning() override { return stopAfter < 0 || steps++ < stopAfter; }
};

struct MatchCase {
    const char* name;
    StoredEntry entry;
    QString text;
    int fields;
    bool matches;
};

TEST(SearchMatching, ExactSubstringInTheChosenStoredFields) {
    const QList<MatchCase> cases = {
        {"question", {"apple pie", "", ""}, "pie", kScanAllFields, true},
        {"case differs", {"Apple", "", ""}, "apple", kScanAllFields, false},
        {"half-width does not find full-width",
         {"ａｐｐｌｅ", "", ""},
         "apple",
         kScanAllFields,
         false},
        {"half-width kana does not find full-width kana",
         {"アップル", "", ""},
         "ｱｯﾌﾟﾙ",
         kScanAllFields,
         false},
        {"hiragana does not find katakana", {"リンゴ", "", ""}, "りんご", kScanAllFields, false},
        {"later answer, answers only", {"q", "a|@2|りんご", ""}, "りんご", kScanRights, true},
        {"across two answers", {"q", "red|@2|apple", ""}, "red|@2|app", kScanRights, true},
        {"across the stored line break",
         {"q", "a", "line one\\nline two"},
         "one\\nline",
         kScanInformation,
         true},
        {"question not chosen", {"apple", "", ""}, "apple", kScanRights | kScanInformation, false},
        {"answers not chosen", {"q", "apple", "apple"}, "apple", kScanQuestion, false},
        {"information not chosen",
         {"q", "a", "apple"},
         "apple",
         kScanQuestion | kScanRights,
         false},
    };
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ListSource source({c.entry});
        EXPECT_EQ(entryMatches(source, 0, c.text, c.fields), c.matches);
    }
}

struct StepCase {
    const char* name;
    QStringList questions;  // a match is any question holding "x"
    int current;
    QString text;
    int fields;
    std::deque<bool> restartAnswers;
    ScanResult expected;
    int questionsAsked;
};

TEST(SearchStep, WalksFromTheCurrentEntryAndWrapsAfterTheQuestion) {
    const QStringList abcd = {"A", "B", "Cx", "D"};
    const QList<StepCase> cases = {
        {"next match after the current",
         abcd,
         1,
         "x",
         kScanAllFields,
         {},
         {ScanOutcome::Found, 2},
         0},
        {"second pass reaches the current entry",
         abcd,
         2,
         "x",
         kScanAllFields,
         {true},
         {ScanOutcome::Found, 2},
         1},
        {"second pass declined", abcd, 2, "x", kScanAllFields, {false}, {ScanOutcome::Declined}, 1},
        {"second pass finds an earlier entry",
         {"Ax", "B", "C", "D"},
         3,
         "x",
         kScanAllFields,
         {true},
         {ScanOutcome::Found, 0},
         1},
        {"no current entry: first pass from the top",
         {"Ax", "B"},
         -1,
         "x",
         kScanAllFields,
         {},
         {ScanOutcome::Found, 0},
         0},
        {"no current entry: second pass tests nothing",
         abcd,
         -1,
         "y",
         kScanAllFields,
         {true},
         {ScanOutcome::Finished},
         1},
        {"nothing anywhere", abcd, 1, "y", kScanAllFields, {true}, {ScanOutcome::Finished}, 1},
        {"a current position past the end counts as none",
         {"Ax"},
         5,
         "x",
         kScanAllFields,
         {},
         {ScanOutcome::Found, 0},
         0},
        {"no text", abcd, 1, "", kScanAllFields, {}, {ScanOutcome::NeedText}, 0},
        {"no text comes before no fields", abcd, 1, "", 0, {}, {ScanOutcome::NeedText}, 0},
        {"no fields", abcd, 1, "x", 0, {}, {ScanOutcome::NeedFields}, 0},
        {"only unknown field bits", abcd, 1, "x", 8, {}, {ScanOutcome::NeedFields}, 0},
        {"empty list", {}, -1, "x", kScanAllFields, {}, {ScanOutcome::EmptyList}, 0},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        QList<StoredEntry> entries;
        for (const QString& q : c.questions) {
            entries.append({q, "r", "i"});
        }
        const ListSource source(entries);
        FakeDriver driver;
        driver.restartAnswers = c.restartAnswers;
        EXPECT_EQ(scanNext(source, c.current, c.text, c.fields, driver), c.expected);
        EXPECT_EQ(driver.questions, c.questionsAsked);
    }
}

struct InterruptCase {
    const char* name;
    int current;
    int stopAfter;
    int questionsAsked;
};

TEST(SearchStep, StopsAtOnceWhenTheDocumentChanges) {
    const ListSource source({{"A", "", ""}, {"B", "", ""}, {"C", "", ""}, {"Dx", "", ""}});
    const QList<InterruptCase> cases = {
        {"during the first pass", -1, 1, 0},
        {"while the question was shown", 3, 0, 1},
        {"during the second pass", 3, 2, 1},
    };
    for (const InterruptCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDriver driver;
        driver.restartAnswers = {true};
        driver.stopAfter = c.stopAfter;
        EXPECT_EQ(scanNext(source, c.current, "x", kScanAllFields, driver),
                  ScanResult{ScanOutcome::Interrupted});
        EXPECT_EQ(driver.questions, c.questionsAsked);
    }
}

}  // namespace
}  // namespace editor
