#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>

#include "drill/window/frm_main.h"
#include "window_fixture.h"

namespace drill::test {
namespace {

class CommandLine : public WindowTest {
public:
    void SetUp() override { create(); }
};

// A file named on the command line opens as if chosen in the open dialog.
TEST_F(CommandLine, OpensTheFileAsOpenWould) {
    const struct {
        const char* name;
        QString content;  // empty: no such file
        QString box;      // the warning shown, empty for none
        bool startable;
    } cases[] = {
        {"a word file", wordFile({"apple|@1|りんご|@1|"}), "", true},
        {"no such file", "", "ﾌｧｲﾙが見つかりません。", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path =
            c.content.isEmpty() ? programFile("none.qvw") : writeFile("words.qvw", c.content);
        const size_t before = platform.shown().size();
        if (!c.box.isEmpty()) {
            platform.answers({platform::Answer::Ok});
        }
        window->openWordFile(path);
        EXPECT_EQ(platform.shown().size(), before + (c.box.isEmpty() ? 0 : 1));
        if (!c.box.isEmpty()) {
            EXPECT_EQ(platform.shown().back().text, c.box);
        }
        EXPECT_EQ(action("Menu_Start")->isEnabled(), c.startable);
        EXPECT_EQ(text("txtInformation").contains(u"words.qvw"), c.startable);
        EXPECT_TRUE(platform.fileDialogs().empty());
    }
    // The open dialog then starts from the file given.
    platform.fileNames({std::nullopt});
    action("Menu_Open")->trigger();
    EXPECT_EQ(platform.fileDialogs().back().fileName, programFile("none.qvw"));
}

}  // namespace
}  // namespace drill::test
