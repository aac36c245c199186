// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/scripted_platform.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using platform::Answer;
using platform::Buttons;
using platform::MessageBox;
using platform::ScriptedPlatform;

// Window tests trust an empty unexpected(): a box shown with nothing queued is answered as by
// its close box, and that, like a script that a real box could not follow, is reported.
TEST(ScriptedPlatform, AnswersFromTheQueueAndReportsWhatGoesOffScript) {
    const struct {
        Buttons buttons;
        Answer defaultButton;
        std::optional<Answer> queued;
        Answer expected;
        bool reported;
    } table[] = {
        {Buttons::YesNo, Answer::Yes, Answer::No, Answer::No, false},
        {Buttons::YesNoCancel, Answer::Yes, {}, Answer::Cancel, true},
        {Buttons::YesNo, Answer::Yes, Answer::Cancel, Answer::Cancel, true},  // not a button
    };
    for (const auto& row : table) {
        ScriptedPlatform platform;
        if (row.queued) {
            platform.answers({*row.queued});
        }
        const MessageBox box{u"t"_s, u"t"_s, platform::Icon::None, row.buttons, row.defaultButton};
        EXPECT_EQ(platform.showMessage(nullptr, box), row.expected) << testing::PrintToString(box);
        EXPECT_EQ(platform.unexpected().empty(), !row.reported) << testing::PrintToString(box);
    }
}

// Every window's warnings go through warn(); the reason of a failed read or write follows the
// caller's line, and a bare lead stays bare rather than ending in a blank line.
TEST(ScriptedPlatform, WarnShowsOneWarningBox) {
    using common::Outcome;
    using common::OutcomeKind;
    const struct {
        Outcome outcome;
        QString text;
    } table[] = {
        {Outcome::failure(OutcomeKind::Unwritable, u"disk full"_s), u"lead\r\ndisk full"_s},
        {Outcome::failure(OutcomeKind::Invalid), u"lead"_s},
    };
    for (const auto& row : table) {
        ScriptedPlatform platform;
        platform.answers({Answer::Ok});
        platform.warn(nullptr, u"lead"_s, row.outcome, u"title"_s);
        ASSERT_EQ(platform.shown().size(), 1u);
        EXPECT_EQ(platform.shown().front(),
                  (MessageBox{row.text, u"title"_s, platform::Icon::Warning, Buttons::Ok,
                              Answer::Ok, std::nullopt}));
        EXPECT_TRUE(platform.unexpected().empty());
    }
}
