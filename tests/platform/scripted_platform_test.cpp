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
