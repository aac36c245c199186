// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

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
    const std::tuple<common::Entry, QString, int, bool> cases[] = {
        {{"apple pie", "", ""}, "pie", kScanAllFields, true},
        {{"Apple", "", ""}, "apple", kScanAllFields, false},
        {{"アップル", "", ""}, "ｱｯﾌﾟﾙ", kScanAllFields, false},
        {{"q", "red|@2|apple", ""}, "red|@2|app", kScanRights, true},
        {{"q", "a", "line one\\nline two"}, "one\\nline", kScanInformation, true},
        {{"apple", "", ""}, "apple", kScanRights | kScanInformation, false},
        {{"q", "a", "apple"}, "apple", kScanQuestion | kScanRights, false}};
    for (const auto& [entry, text, fields, matches] : cases) {
        SCOPED_TRACE(entry.question.toStdString() + " / " + text.toStdString());
        ListSource source;
        source.entries = {entry};
        EXPECT_EQ(entryMatches(source, 0, text, fields), matches);
    }
}

TEST(SearchStep, WalksOnFromTheCurrentEntryAndWrapsUpToItAfterTheQuestion) {
    // name, one letter per entry, current, text, fields, restart, result, questions asked
    const std::tuple<const char*, QString, int, QString, int, bool, ScanResult, int> cases[] = {
        {"after the current", "abxd", 1, "x", 7, true, {ScanOutcome::Found, 2}, 0},
        {"the current one again", "abxd", 2, "x", 7, true, {ScanOutcome::Found, 2}, 1},
        {"declined", "abxd", 2, "x", 7, false, {ScanOutcome::Declined}, 1},
        {"an earlier one", "xbcd", 3, "x", 7, true, {ScanOutcome::Found, 0}, 1},
        {"none current: nothing after Yes", "abcd", -1, "x", 7, true, {ScanOutcome::Finished}, 1},
        {"no text", "abxd", 1, "", 0, true, {ScanOutcome::NeedText}, 0},
        {"no fields", "abxd", 1, "x", 0, true, {ScanOutcome::NeedFields}, 0},
        {"empty list", "", -1, "x", 7, true, {ScanOutcome::EmptyList}, 0}};
    for (const auto& [name, questions, current, text, fields, restart, result, asked] : cases) {
        SCOPED_TRACE(name);
        ListSource source;
        for (QChar q : questions) {
            source.entries.append({q, "r", "i"});
        }
        FakeDriver driver;
        driver.restart = restart;
        EXPECT_EQ(scanNext(source, current, text, fields, driver), result);
        EXPECT_EQ(driver.questions, asked);
    }
}

}  // namespace
}  // namespace editor
