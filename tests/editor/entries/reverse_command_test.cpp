#include "editor/entries/reverse_command.h"
#include "platform/scripted_platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace editor {
namespace {

using common::Entry;
using platform::Answer;

class FakeHost : public ReverseHost {
public:
    QList<Entry> entries;
    QList<int> selected;
    bool busyWhileAppending = false;
    platform::ScriptedPlatform* platform = nullptr;

    int entryCount() const override { return int(entries.size()); }
    QList<int> selectedPositions() const override { return selected; }
    Entry entryAt(int p) const override { return entries.at(p); }
    void appendEntries(const QList<Entry>& added) override {
        busyWhileAppending = platform->isBusy();
        entries.append(added);
    }
    void selectOnly(int first, int last) override {
        selected.clear();
        for (int p = first; p <= last; ++p) {
            selected.append(p);
        }
    }
};

QList<Entry> numbered(int count) {
    QList<Entry> entries;
    for (int i = 0; i < count; ++i) {
        entries.append({QString::number(i), QStringLiteral("r%1|@2|s%1").arg(i), "i"});
    }
    return entries;
}

TEST(MakeReverseQuestions, AppendsAfterTheConfirmationAndSelectsExactlyTheNewEntries) {
    const platform::MessageBox confirm{"逆問題の生成を行います。\r\nよろしいですか？",
                                       "逆問題",
                                       platform::Icon::Question,
                                       platform::Buttons::YesNo,
                                       Answer::Yes,
                                       12};
    const platform::MessageBox refuse{"項目の数が 32767 を超えるため、逆問題を生成できません。",
                                      "逆問題",
                                      platform::Icon::Warning,
                                      platform::Buttons::Ok,
                                      Answer::Ok,
                                      {}};
    struct Case {
        const char* name;
        int count;
        QList<int> selected;
        std::vector<Answer> answers;
        std::vector<platform::MessageBox> messages;
        QList<Entry> appended;
        QList<int> selectedAfter;
    };
    const QList<Case> cases = {
        {"second and fourth of five",
         5,
         {3, 1},
         {Answer::Yes},
         {confirm},
         {{"r1 | s1", "1", "i"}, {"r3 | s3", "3", "i"}},
         {5, 6}},
        {"No changes nothing", 5, {1}, {Answer::No}, {confirm}, {}, {1}},
        {"nothing selected", 5, {}, {}, {}, {}, {}},
        {"past the largest document",
         common::kMaxEntries - 1,
         {0, 1},
         {Answer::Ok},
         {refuse},
         {},
         {0, 1}},
        {"up to the largest document",
         common::kMaxEntries - 1,
         {0},
         {Answer::Yes},
         {confirm},
         {{"r0 | s0", "0", "i"}},
         {common::kMaxEntries - 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ScriptedPlatform platform;
        for (Answer a : c.answers) {
            platform.answers({a});
        }
        FakeHost host;
        host.platform = &platform;
        host.entries = numbered(c.count);
        host.selected = c.selected;
        makeReverseQuestions(nullptr, platform, host);
        EXPECT_EQ(platform.shown(), c.messages);
        EXPECT_THAT(platform.unexpected(), testing::IsEmpty());
        EXPECT_EQ(host.entries.mid(c.count), c.appended);
        EXPECT_EQ(host.entries.mid(0, c.count), numbered(c.count));
        EXPECT_EQ(host.selected, c.selectedAfter);
        EXPECT_EQ(host.busyWhileAppending, !c.appended.isEmpty());
        EXPECT_FALSE(platform.isBusy());
    }
}

TEST(EditMenu, ItemsFollowTheListAndItsSelection) {
    struct Case {
        int count;
        bool anySelected;
        EditMenuState expected;
    };
    const QList<Case> cases = {
        {0, false, {false, false, false}},
        {0, true, {false, false, false}},
        {3, false, {true, true, false}},
        {3, true, {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << c.anySelected);
        EXPECT_EQ(editMenuState(c.count, c.anySelected), c.expected);
    }
}

}  // namespace
}  // namespace editor
