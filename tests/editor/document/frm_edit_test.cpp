#include "editor_window.h"

#include "common/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>

namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::MessageBox;

const QByteArray kSecondFile =
    "Version 2.00\r\nrun|@1|a|@2|b|@2|c|@2|d|@2|e|@1|x\\ny\r\nwalk|@1|w|@1|\r\n";

const MessageBox kConfirmSave{QStringLiteral("編集中のﾌｧｲﾙが変更されています。\r\n保存しますか？"),
                              QStringLiteral("変更"),
                              Icon::Question,
                              Buttons::YesNoCancel,
                              Answer::Yes,
                              std::nullopt};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A window whose document holds one entry added by hand and not yet saved.
struct ModifiedEditor : EditorWindow {
    ModifiedEditor() {
        type(QStringLiteral("apple"), {QStringLiteral("りんご")});
        press(QStringLiteral("cmdAdd"));
        platform.clearRecords();
    }
};

// Every branch of ConfirmSave under each command that would drop the document.
TEST(FrmEditLifecycle, ConfirmSaveGuardsNewOpenAndClosing) {
    struct Script {
        const char* name;
        std::vector<Answer> answers;
        bool saveDialog;       // Yes: the save dialog is shown
        bool dialogCancelled;  // ... and cancelled
        bool saveFails;        // ... or the chosen file cannot be written
        bool goesOn;
    };
    const std::vector<Script> scripts = {
        {"Yes", {Answer::Yes}, true, false, false, true},
        {"No", {Answer::No}, false, false, false, true},
        {"Cancel", {Answer::Cancel}, false, false, false, false},
        {"Yes, save dialog cancelled", {Answer::Yes}, true, true, false, false},
        {"Yes, save fails", {Answer::Yes, Answer::Ok}, true, false, true, false},
    };
    for (const QString command : {"File_New", "File_Open", "close"}) {
        for (const Script& s : scripts) {
            SCOPED_TRACE(command.toStdString() + ": " + s.name);
            ModifiedEditor editor;
            const QString second = editor.writeFile(QStringLiteral("second.qvw"), kSecondFile);
            const QString saved = s.saveFails ? editor.path(QStringLiteral("no/such/saved.qvw"))
                                              : editor.path(QStringLiteral("saved.qvw"));
            for (Answer a : s.answers) {
                editor.platform.answers({a});
            }
            if (s.saveDialog) {
                editor.platform.fileNames({s.dialogCancelled ? std::optional<QString>() : saved});
            }
            if (command == QStringLiteral("File_Open")) {
                editor.platform.fileNames({second});
            }
            if (command == QStringLiteral("close")) {
                editor.window->close();
            } else {
                editor.trigger(command);
            }

            ASSERT_FALSE(editor.platform.shown().empty());
            EXPECT_EQ(editor.platform.shown().front(), kConfirmSave);
            if (s.saveFails) {
                ASSERT_EQ(editor.platform.shown().size(), 2u);
                EXPECT_EQ(editor.platform.shown().at(1).title, QStringLiteral("ﾌｧｲﾙを保存"));
                EXPECT_EQ(editor.platform.shown().at(1).icon, Icon::Warning);
            }
            const bool written = s.saveDialog && !s.dialogCancelled && !s.saveFails;
            EXPECT_EQ(QFile::exists(saved), written);
            if (s.goesOn) {
                const QStringList expected = command == QStringLiteral("File_Open")
                                                 ? QStringList{"run", "walk"}
                                                 : QStringList{};
                if (command != QStringLiteral("close")) {
                    EXPECT_EQ(editor.questions(), expected);
                }
                EXPECT_FALSE(editor.document().isModified());
            } else {
                EXPECT_EQ(editor.questions(), QStringList{"apple"});
                EXPECT_TRUE(editor.document().isModified());
            }
            EXPECT_EQ(editor.window->isVisible(), command != QStringLiteral("close") || !s.goesOn);
            EXPECT_THAT(editor.platform.unexpected(), testing::IsEmpty());
        }
    }
}

TEST(FrmEditLifecycle, ACleanDocumentIsDroppedWithoutAsking) {
    EditorWindow editor;
    editor.open(editor.writeFile(QStringLiteral("second.qvw"), kSecondFile));
    editor.trigger(QStringLiteral("File_New"));
    editor.window->close();
    EXPECT_TRUE(editor.platform.shown().empty());
    EXPECT_FALSE(editor.window->isVisible());
}

// Removing entries does not make the document modified, so closing asks nothing.
TEST(FrmEditLifecycle, RemovingFromACleanDocumentLeavesItClean) {
    EditorWindow editor;
    editor.open(editor.writeFile(QStringLiteral("second.qvw"), kSecondFile));
    editor.clickEntry(0);
    editor.platform.answers({Answer::Yes});
    editor.press(QStringLiteral("cmdRemove"));
    editor.platform.clearRecords();
    editor.window->close();
    EXPECT_TRUE(editor.platform.shown().empty());
}

// What Open does with each kind of file; the document stays as it was unless it was read.
TEST(FrmEditLifecycle, OpenReportsFilesItCannotUse) {
    const QString title = QStringLiteral("ﾌｧｲﾙを開く");
    const MessageBox oldVersion{
        QStringLiteral("このﾌｧｲﾙは古いﾊﾞｰｼﾞｮﾝのものです。\r\n新しいﾊﾞｰｼﾞｮﾝに変換しますか？"),
        title,
        Icon::Question,
        Buttons::YesNo,
        Answer::Yes,
        60};
    QByteArray tooMany = "Version 2.00\r\n";
    for (int i = 0; i <= common::kMaxEntries; ++i) {
        tooMany += "q|@1|r|@1|\r\n";
    }
    struct Case {
        const char* name;
        QByteArray bytes;  // empty name: the path is a folder
        std::vector<Answer> answers;
        bool converterPresent;
        QString warning;  // starts the expected warning's text
        bool converterStarted;
    };
    const std::vector<Case> cases = {
        {"empty file", "", {Answer::Ok}, false, QStringLiteral("不正なﾌｧｲﾙです。"), false},
        {"old version, No", "apple|@1|a|@1|\r\n", {Answer::No}, true, {}, false},
        {"old version, Yes", "Ver 2.00\r\n", {Answer::Yes}, true, {}, true},
        {"old version, Yes, no converter",
         "Ver 2.00\r\n",
         {Answer::Yes, Answer::Ok},
         false,
         QStringLiteral("変換ﾌﾟﾛｸﾞﾗﾑが見つからないか、起動できません。\r\n"),
         false},
        {"a folder",
         {},
         {Answer::Ok},
         false,
         QStringLiteral("ﾌｧｲﾙを読み込めませんでした。\r\n"),
         false},
        {"too many entries",
         tooMany,
         {Answer::Ok},
         false,
         QStringLiteral("項目が多すぎるため、このﾌｧｲﾙは開けません。\r\n"
                        "1つのﾌｧｲﾙに入る項目は 32767個までです。"),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModifiedEditor editor;
        const QString converter = editor.path(platform::executableName(QStringLiteral("Renoval")));
        if (c.converterPresent) {
            editor.writeFile(platform::executableName(QStringLiteral("Renoval")), "");
        }
        QString file = editor.path(QStringLiteral("folder.qvw"));
        if (c.name == std::string("a folder")) {
            ASSERT_TRUE(QDir().mkpath(file));
        } else {
            file = editor.writeFile(QStringLiteral("word.qvw"), c.bytes);
        }
        for (Answer a : c.answers) {
            editor.platform.answers({a});
        }
        editor.open(file);

        const auto& shown = editor.platform.shown();
        if (c.bytes.startsWith("Ver 2") || c.bytes.startsWith("apple")) {
            ASSERT_FALSE(shown.empty());
            EXPECT_EQ(shown.front(), oldVersion);
        }
        if (!c.warning.isEmpty()) {
            ASSERT_FALSE(shown.empty());
            EXPECT_TRUE(shown.back().text.startsWith(c.warning)) << shown.back().text.toStdString();
            EXPECT_EQ(shown.back().title, title);
            EXPECT_EQ(shown.back().icon, Icon::Warning);
        }
        const auto& started = editor.platform.programsStarted();
        if (c.converterStarted) {
            ASSERT_EQ(started.size(), 1u);
            EXPECT_EQ(started.front().program, converter);
            EXPECT_EQ(started.front().arguments, QStringList{file});
        }
        EXPECT_EQ(editor.questions(), QStringList{"apple"});
        EXPECT_TRUE(editor.document().isModified());
        EXPECT_THAT(editor.platform.unexpected(), testing::IsEmpty());
    }
}

// A second file replaces every entry with its own answers and information.
TEST(FrmEditLifecycle, OpeningASecondFileReplacesEverything) {
    EditorWindow editor;
    editor.open(editor.writeFile(QStringLiteral("first.qvw"),
                                 "Version 2.00\r\napple|@1|x|@1|info\r\nb|@1|y|@1|\r\n"));
    editor.clickEntry(1);
    editor.open(editor.writeFile(QStringLiteral("second.qvw"), kSecondFile));
    EXPECT_EQ(editor.entryButtons(), (std::array<bool, 4>{false, false, false, false}));
    EXPECT_EQ(editor.form().txtQuestion()->text(), QString());
    EXPECT_FALSE(editor.list().currentPosition().has_value());
    EXPECT_FALSE(editor.list().hasSelection());

    editor.clickEntry(0);
    EXPECT_EQ(editor.form().txtQuestion()->text(), QStringLiteral("run"));
    EXPECT_EQ(editor.answerBoxes(), (std::array<QString, 4>{"a", "b", "c", "d"}));
    EXPECT_EQ(editor.form().extraRights(), QStringLiteral("e"));
    EXPECT_EQ(editor.count(), QStringLiteral("5"));
    EXPECT_EQ(editor.form().information(), QStringLiteral("x\r\ny"));
}

// The one file dialog remembers the name chosen last, in Open and in Save.
TEST(FrmEditLifecycle, SaveAsksForTheNameEveryTime) {
    EditorWindow editor;
    const QString opened = editor.writeFile(QStringLiteral("second.qvw"), kSecondFile);
    const QString saved = editor.path(QStringLiteral("saved.qvw"));
    editor.open(opened);
    editor.clickEntry(1, Qt::ControlModifier);
    editor.platform.fileNames({saved, saved});
    editor.trigger(QStringLiteral("File_Save"));
    editor.trigger(QStringLiteral("File_Save"));

    const auto& dialogs = editor.platform.fileDialogs();
    ASSERT_EQ(dialogs.size(), 3u);
    QString folder = editor.platform.programFolder();
    folder.chop(1);
    EXPECT_EQ(dialogs[0].kind, platform::FileDialogKind::Open);
    EXPECT_EQ(dialogs[0].fileName, QString());
    EXPECT_EQ(QDir::fromNativeSeparators(dialogs[0].initialFolder),
              QDir::fromNativeSeparators(folder));
    EXPECT_EQ(dialogs[1].kind, platform::FileDialogKind::Save);
    EXPECT_EQ(dialogs[1].fileName, opened);
    EXPECT_EQ(dialogs[1].initialFolder, QString());
    EXPECT_EQ(dialogs[2].fileName, saved);
    EXPECT_EQ(readAll(saved), kSecondFile);
    // Saving leaves the list and its selection as they were.
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{1});
    EXPECT_EQ(editor.list().currentPosition(), 1);
}

// The settings file is written on every close request, also when it is cancelled; what the
// other program stored meanwhile is kept.
TEST(FrmEditLifecycle, ClosingWritesTheSettings) {
    EditorWindow editor;
    const QString settings = common::settingsFilePath(editor.platform.programFolder());
    common::SettingsRecord stored;
    stored.setLastPath(QStringLiteral("/words/old.qvw"));
    stored.scanFields = 2;
    stored.drillMode = 3;
    stored.focusSelect = -1;
    stored.imeQuestion = 1;
    stored.imeRight = 2;
    stored.imeInformation = 7;  // meaningless: read as "none"
    ASSERT_TRUE(common::writeSettings(settings, stored, common::kEditorRecordLength));
    editor.start();
    EXPECT_TRUE(editor.action(QStringLiteral("Option_Focus"))->isChecked());
    EXPECT_TRUE(editor.action(QStringLiteral("Option_IME_Q_Mode1"))->isChecked());
    EXPECT_TRUE(editor.action(QStringLiteral("Option_IME_R_Mode2"))->isChecked());
    EXPECT_TRUE(editor.action(QStringLiteral("Option_IME_I_Mode0"))->isChecked());

    const QString opened = editor.writeFile(QStringLiteral("second.qvw"), kSecondFile);
    editor.open(opened);
    EXPECT_EQ(editor.platform.fileDialogs().at(0).initialFolder, QStringLiteral("/words/old.qvw"));
    editor.type(QStringLiteral("q"), {QStringLiteral("a")});
    editor.press(QStringLiteral("cmdAdd"));
    // Meanwhile the drill program closes with another mode.
    common::SettingsRecord drill = common::readSettings(settings, common::kEditorRecordLength);
    drill.drillMode = 2;
    ASSERT_TRUE(common::writeSettings(settings, drill, common::kDrillRecordLength));

    editor.platform.answers({Answer::Cancel});
    editor.window->close();
    EXPECT_TRUE(editor.window->isVisible());
    const QByteArray bytes = readAll(settings);
    ASSERT_EQ(bytes.size(), common::kEditorRecordLength);
    common::SettingsRecord expected = stored;
    expected.setLastPath(opened);
    expected.drillMode = 2;
    expected.imeInformation = 0;
    EXPECT_EQ(common::SettingsRecord::fromBytes(bytes), expected);
}

// F1 opens the help topic of the control that has the focus.
TEST(FrmEditLifecycle, F1OpensTheTopicOfTheFocusedControl) {
    EditorWindow editor;
    const std::vector<std::pair<QString, int>> topics = {
        {"lstQuestion", 35},    {"txtQuestion", 15},  {"txtRight0", 15},  {"txtRight3", 15},
        {"txtInformation", 15}, {"cmdMoreRight", 15}, {"cmdAdd", 13},     {"cmdInsert", 13},
        {"cmdChange", 13},      {"cmdRemove", 12},    {"cmdReverse", 12},
    };
    editor.document().replaceAll({{"q", "r", ""}});
    editor.clickEntry(0);  // enables every button, so that each can take the focus
    for (const auto& [name, topic] : topics) {
        SCOPED_TRACE(name.toStdString());
        editor.platform.clearRecords();
        QWidget* control = editor.find<QWidget>(name);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1);
        ASSERT_EQ(editor.platform.helpRequests().size(), 1u);
        EXPECT_EQ(editor.platform.helpRequests().front().topic, topic);
        EXPECT_EQ(editor.platform.helpRequests().front().helpFile,
                  editor.platform.programFolder() + QStringLiteral("Kotobax.hlp"));
    }
}

TEST(FrmEditLifecycle, TabGoesThroughTheWindowInOrder) {
    EditorWindow editor;
    editor.document().replaceAll({{"q", "r", ""}});
    editor.clickEntry(0);
    const QStringList order = {"lstQuestion", "txtQuestion", "txtRight0",    "txtRight1",
                               "txtRight2",   "txtRight3",   "cmdMoreRight", "txtInformation",
                               "cmdAdd",      "cmdInsert",   "cmdChange",    "cmdReverse",
                               "cmdRemove"};
    editor.list().setFocus();
    for (const QString& name : order) {
        EXPECT_EQ(QApplication::focusWidget()->objectName(), name);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

}  // namespace
