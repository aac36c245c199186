// What the disk and damaged files can do to the editor's user: saves that fail and settings
// files of any kind. Nothing typed is lost on the way.
#include "editor_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/settings.h"
#include "common/word_file.h"
#include "settings_damage.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>

#include <csignal>
#endif

namespace {

using platform::Answer;

#ifdef Q_OS_UNIX
// The disk fills up: files of this process cannot grow beyond `bytes` while it lives.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        struct rlimit small = old_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    struct rlimit old_ {};
    void (*oldHandler_)(int);
};
#endif

// A save that fails tells why, keeps the document modified and the old file whole, and leaves
// nothing behind; the user can then save elsewhere.
TEST(EditorDamagedFiles, FailedSaveLosesNothing) {
    const std::vector<std::pair<const char*, bool>> failures{
        {"folder.qvw", false},  // a folder at the path
#ifdef Q_OS_UNIX
        {"old.qvw", true},  // the disk fills up in the middle
#endif
    };
    const QByteArray old = "Version 2.00\r\n" + QByteArray("q|@1|a|@1|i\r\n").repeated(200);
    for (const auto& [name, fillDisk] : failures) {
        SCOPED_TRACE(name);
        EditorWindow editor;
        editor.open(editor.writeFile(QStringLiteral("old.qvw"), old));
        editor.type(QStringLiteral("new"), {QStringLiteral("entry")});
        editor.press(QStringLiteral("cmdAdd"));
        const QString target = editor.path(name);
        QDir().mkpath(editor.path("folder.qvw"));
        const QStringList before = QDir(editor.path({})).entryList(QDir::AllEntries | QDir::Hidden);
        editor.platform.clearRecords();
        editor.platform.fileNames({target});
        editor.platform.answers({Answer::Ok});
        {
#ifdef Q_OS_UNIX
            std::optional<FullDisk> full;
            if (fillDisk) {
                full.emplace(1024);
            }
#endif
            editor.trigger(QStringLiteral("File_Save"));
        }
        ASSERT_EQ(editor.platform.shown().size(), 1u);
        const platform::MessageBox& told = editor.platform.shown().front();
        EXPECT_TRUE(told.text.startsWith("ﾌｧｲﾙを保存できませんでした。\r\n" + target));
        EXPECT_EQ(told.title, QStringLiteral("ﾌｧｲﾙを保存"));
        EXPECT_EQ(told.icon, platform::Icon::Warning);
        EXPECT_TRUE(editor.document().isModified());
        EXPECT_EQ(readAll(editor.path("old.qvw")), old);
        EXPECT_EQ(QDir(editor.path({})).entryList(QDir::AllEntries | QDir::Hidden), before);

        editor.platform.fileNames({editor.path("elsewhere.qvw")});
        editor.trigger(QStringLiteral("File_Save"));
        EXPECT_FALSE(editor.document().isModified());
        EXPECT_EQ(common::readWordFile(editor.path("elsewhere.qvw")).entries.size(), 201);
    }
}

// Whatever the settings file is, the editor starts with what it can use and keeps the bytes
// behind its record; a record it could not write is reported at closing.
TEST(EditorDamagedFiles, AnySettingsFileStartsWithDefaultsAndClosesKeepingTheRest) {
    for (const hardening::SettingsDamage& damage : hardening::settingsDamages()) {
        SCOPED_TRACE(damage.name);
        QTemporaryDir scratch;
        const QString folder = scratch.path() + QLatin1Char('/');
        hardening::placeSettings(damage, folder);
        EditorWindow editor;
        editor.window.reset();
        editor.platform.setProgramFolder(folder);
        editor.start();
        EXPECT_EQ(editor.checked(QStringLiteral("Option_Focus")), damage.editorFocusSelect);
        if (damage.bytes.isNull()) {
            editor.platform.answers({Answer::Ok});  // the warning
        }
        EXPECT_TRUE(editor.window->close());
        hardening::expectClosingMessages(damage, editor.platform.shown());
        hardening::expectSettingsKept(damage, folder, common::kEditorRecordLength);
    }
}

}  // namespace
