#include "platform/scripted_platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using platform::Answer;
using platform::Buttons;
using platform::FileDialog;
using platform::FileDialogKind;
using platform::Icon;
using platform::MessageBox;
using platform::ScriptedPlatform;
using testing::IsEmpty;
using testing::SizeIs;

TEST(ScriptedPlatform, AnswersBoxesInOrderAndRecordsThem) {
    ScriptedPlatform platform;
    platform.answers({Answer::Yes, Answer::Cancel});
    std::vector<QString> seenWhileOpen;
    platform.setOnMessage([&](const MessageBox& box) { seenWhileOpen.push_back(box.title); });
    const MessageBox stop{QStringLiteral("終了しますか？"), QStringLiteral("Stop"), Icon::Question,
                          Buttons::YesNo, Answer::No};
    const MessageBox save{QStringLiteral("保存しますか？"),
                          QStringLiteral("Brelmi"),
                          Icon::Question,
                          Buttons::YesNoCancel,
                          Answer::Yes,
                          60};

    EXPECT_EQ(platform.showMessage(nullptr, stop), Answer::Yes);
    EXPECT_EQ(platform.showMessage(nullptr, save), Answer::Cancel);

    EXPECT_EQ(platform.shown(), (std::vector<MessageBox>{stop, save}));
    EXPECT_EQ(seenWhileOpen, (std::vector<QString>{stop.title, save.title}));
    EXPECT_EQ(platform.answersLeft(), 0u);
    EXPECT_THAT(platform.unexpected(), IsEmpty());
}

// A box shown with nothing queued is answered as by its close box. That, and scripts that a
// real box could not follow, are reported rather than silently accepted.
TEST(ScriptedPlatform, OffScriptBoxesAreReported) {
    const struct {
        const char* what;
        Buttons buttons;
        Answer defaultButton;
        std::optional<Answer> queued;
        Answer expected;
        bool reported;
    } cases[] = {
        {"answer among the buttons", Buttons::YesNo, Answer::Yes, Answer::No, Answer::No, false},
        {"nothing queued, OK", Buttons::Ok, Answer::Ok, {}, Answer::Ok, true},
        {"nothing queued, Yes/No", Buttons::YesNo, Answer::Yes, {}, Answer::No, true},
        {"nothing queued, Yes/No/Cancel",
         Buttons::YesNoCancel,
         Answer::Yes,
         {},
         Answer::Cancel,
         true},
        {"Cancel on a Yes/No box", Buttons::YesNo, Answer::Yes, Answer::Cancel, Answer::Cancel,
         true},
        {"default the box lacks", Buttons::YesNo, Answer::Cancel, Answer::Yes, Answer::Yes, true},
    };
    for (const auto& c : cases) {
        ScriptedPlatform platform;
        if (c.queued) {
            platform.answers({*c.queued});
        }
        const MessageBox box{QStringLiteral("t"), QStringLiteral("t"), Icon::None, c.buttons,
                             c.defaultButton};
        EXPECT_EQ(platform.showMessage(nullptr, box), c.expected) << c.what;
        EXPECT_EQ(platform.unexpected().empty(), !c.reported) << c.what;
    }
}

TEST(ScriptedPlatform, FileDialogsTakeQueuedNamesAndCancels) {
    ScriptedPlatform platform;
    platform.fileNames({QStringLiteral("/words/a.qvw"), ScriptedPlatform::cancel});
    FileDialog open;
    open.initialFolder = QStringLiteral("/words/last.qvw");
    FileDialog save;
    save.kind = FileDialogKind::Save;
    save.fileName = QStringLiteral("/words/a.qvw");

    EXPECT_EQ(platform.askFileName(nullptr, open), QStringLiteral("/words/a.qvw"));
    EXPECT_EQ(platform.askFileName(nullptr, save), std::nullopt);
    EXPECT_THAT(platform.unexpected(), IsEmpty());
    EXPECT_EQ(platform.askFileName(nullptr, open), std::nullopt);  // nothing queued

    EXPECT_EQ(platform.fileDialogs(), (std::vector<FileDialog>{open, save, open}));
    EXPECT_THAT(platform.unexpected(), SizeIs(1));
}

TEST(ScriptedPlatform, ProgramsStartWhenTheirFileExistsUnlessTheTestDecides) {
    ScriptedPlatform platform;
    const QString folder = platform.programFolder();
    ASSERT_TRUE(folder.endsWith(QDir::separator()));
    QFile editor(folder + QStringLiteral("Brelmi"));
    ASSERT_TRUE(editor.open(QIODevice::WriteOnly));
    editor.close();

    const QString converter = folder + QStringLiteral("Renoval");
    EXPECT_TRUE(platform.startProgram(editor.fileName(), {}));
    EXPECT_FALSE(platform.startProgram(converter, {QStringLiteral("old.qvw")}));
    platform.setStartResult(converter, true);
    platform.setStartResult(editor.fileName(), false);
    EXPECT_TRUE(platform.startProgram(converter, {}));
    EXPECT_FALSE(platform.startProgram(editor.fileName(), {}));

    using Start = ScriptedPlatform::ProgramStart;
    EXPECT_EQ(platform.programsStarted(),
              (std::vector<Start>{{editor.fileName(), {}, true},
                                  {converter, {QStringLiteral("old.qvw")}, false},
                                  {converter, {}, true},
                                  {editor.fileName(), {}, false}}));
}

TEST(ScriptedPlatform, BusyGuardsNestAndMayOutliveThePlatform) {
    std::shared_ptr<void> outer;
    {
        ScriptedPlatform platform;
        outer = platform.busy();
        {
            const auto inner = platform.busy();
            EXPECT_TRUE(platform.isBusy());
        }
        EXPECT_TRUE(platform.isBusy());
        outer.reset();
        EXPECT_FALSE(platform.isBusy());
        EXPECT_EQ(platform.busyCount(), 2);
        outer = platform.busy();
    }
    outer.reset();  // must not touch the platform that is gone
}
