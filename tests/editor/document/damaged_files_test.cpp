// What the disk and damaged files can do to the editor's user: saves that fail, settings files
// of any kind, and word files at and beyond the limits. Nothing typed is lost on the way.
#include "editor_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <functional>

#include "common/settings.h"
#include "common/word_file.h"
#include "settings_damage.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>

#include <csignal>
#endif

namespace {

using platform::Answer;
using platform::Icon;

const QString kSaveTitle = QStringLiteral("ﾌｧｲﾙを保存");

QByteArray entries(int count, const QByteArray& information = "i") {
    return "Version 2.00\r\n" + QByteArray("q|@1|a|@1|" + information + "\r\n").repeated(count);
}

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
    struct Failure {
        const char* name;
        std::function<QString(EditorWindow&)> target;
        bool fillDisk;
    };
    const std::vector<Failure> failures{
        {"folder that cannot hold files",
         [](EditorWindow& e) {
             return e.writeFile(QStringLiteral("plain"), "not a folder") + "/words.qvw";
         },
         false},
        {"a folder at the path",
         [](EditorWindow& e) {
             QDir().mkpath(e.path(QStringLiteral("folder.qvw")));
             return e.path(QStringLiteral("folder.qvw"));
         },
         false},
#ifdef Q_OS_UNIX
        {"disk full in the middle", [](EditorWindow& e) { return e.path("old.qvw"); }, true},
#endif
    };
    const QByteArray old = entries(200);  // larger than the full disk takes
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.name);
        EditorWindow editor;
        editor.open(editor.writeFile(QStringLiteral("old.qvw"), old));
        editor.type(QStringLiteral("new"), {QStringLiteral("entry")});
        editor.press(QStringLiteral("cmdAdd"));
        const QString target = failure.target(editor);
        const QStringList before = QDir(editor.path({})).entryList(QDir::AllEntries | QDir::Hidden);
        editor.platform.clearRecords();
        editor.platform.fileNames({target});
        editor.platform.answers({Answer::Ok});
        {
#ifdef Q_OS_UNIX
            std::optional<FullDisk> full;
            if (failure.fillDisk) {
                full.emplace(1024);
            }
#endif
            editor.trigger(QStringLiteral("File_Save"));
        }
        ASSERT_EQ(editor.platform.shown().size(), 1u);
        const platform::MessageBox& told = editor.platform.shown().front();
        EXPECT_THAT(
            told.text.toStdString(),
            testing::StartsWith(("ﾌｧｲﾙを保存できませんでした。\r\n" + target).toStdString()));
        EXPECT_EQ(told.title, kSaveTitle);
        EXPECT_EQ(told.icon, Icon::Warning);
        EXPECT_TRUE(editor.document().isModified());
        EXPECT_EQ(editor.document().count(), 201);
        EXPECT_EQ(hardening::readAll(editor.path("old.qvw")), old);
        EXPECT_EQ(QDir(editor.path({})).entryList(QDir::AllEntries | QDir::Hidden), before);

        editor.platform.fileNames({editor.path("elsewhere.qvw")});
        editor.trigger(QStringLiteral("File_Save"));
        EXPECT_FALSE(editor.document().isModified());
        EXPECT_EQ(common::readWordFile(editor.path("elsewhere.qvw")).entries.size(), 201);
        EXPECT_THAT(editor.platform.unexpected(), testing::IsEmpty());
    }
}

// Whatever the settings file is, the editor starts with its defaults and closes quietly,
// keeping the bytes behind its record.
TEST(EditorDamagedFiles, AnySettingsFileStartsWithDefaultsAndClosesQuietly) {
    for (const hardening::SettingsDamage& damage : hardening::settingsDamages()) {
        SCOPED_TRACE(damage.name);
        QTemporaryDir scratch;
        const QString folder = hardening::placeSettings(damage, scratch.path());
        EditorWindow editor;
        editor.window.reset();
        editor.platform.setProgramFolder(folder);
        editor.start();
        EXPECT_EQ(editor.find<QAction>(QStringLiteral("Option_Focus"))->isChecked(),
                  damage.editorFocusSelect);
        editor.platform.fileNames({platform::ScriptedPlatform::cancel});
        editor.trigger(QStringLiteral("File_Open"));
        EXPECT_TRUE(editor.window->close());
        EXPECT_TRUE(editor.platform.shown().empty());
        EXPECT_THAT(editor.platform.unexpected(), testing::IsEmpty());
        hardening::expectSettingsKept(damage, folder, common::kEditorRecordLength);
    }
}

// Files at and beyond the limits: what opens is saved again byte for byte; what cannot be
// held is refused with a message and the document stays as it was.
TEST(EditorDamagedFiles, FilesAtTheLimitsOpenOrAreRefused) {
    const std::vector<std::tuple<const char*, QByteArray, QString, int>> files{
        {"32,767 entries", entries(common::kMaxEntries), {}, common::kMaxEntries},
        {"32,768 entries", entries(common::kMaxEntries + 1), QStringLiteral("項目が多すぎるため"),
         0},
        {"one line of 50 MB", "Version 2.00\r\n" + QByteArray(50 << 20, 'x') + "\r\n", {}, 0},
        {"NUL bytes", QByteArray("Version 2.00\r\n\0q|@1|\0|@1|\0\r\n", 28), {}, 1},
    };
    for (const auto& [name, bytes, refusal, count] : files) {
        SCOPED_TRACE(name);
        EditorWindow editor;
        const QString file = editor.writeFile(QStringLiteral("limits.qvw"), bytes);
        if (!refusal.isEmpty()) {
            editor.platform.answers({Answer::Ok});
        }
        editor.open(file);
        if (!refusal.isEmpty()) {
            ASSERT_EQ(editor.platform.shown().size(), 1u);
            EXPECT_TRUE(editor.platform.shown().front().text.startsWith(refusal));
            EXPECT_EQ(editor.document().count(), 0);
            continue;
        }
        EXPECT_TRUE(editor.platform.shown().empty());
        ASSERT_EQ(editor.document().count(), count);
        if (count == 0) {
            continue;  // a line without separators is no entry, and saving would drop it
        }
        editor.platform.fileNames({editor.path("saved.qvw")});
        editor.trigger(QStringLiteral("File_Save"));
        EXPECT_EQ(hardening::readAll(editor.path("saved.qvw")), bytes);
    }
}

}  // namespace
