#include "editor_window.h"

#include "common/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>

namespace {

using platform::Answer;
using platform::Icon;

const QByteArray kSecondFile =
    "Version 2.00\r\nrun|@1|a|@2|b|@2|c|@2|d|@2|e|@1|x\\ny\r\nwalk|@1|w|@1|\r\n";
const QString kOpenTitle = QStringLiteral("ﾌｧｲﾙを開く");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A window whose document holds one entry added by hand and not yet saved.
struct ModifiedEditor : EditorWindow {
    ModifiedEditor() {
        type(QStringLiteral("apple"), {QStringLiteral("りんご")});
        press(QStringLiteral("cmdAdd"));
    }
};

// Every branch of ConfirmSave under each command that would drop the document.
TEST(FrmEditLifecycle, ConfirmSaveGuardsNewOpenAndClosing) {
    const platform::MessageBox confirm{
        QStringLiteral("編集中のﾌｧｲﾙが変更されています。\r\n保存しますか？"),
        QStringLiteral("変更"),
        Icon::Question,
        platform::Buttons::YesNoCancel,
        Answer::Yes,
        std::nullopt};
    enum Save { NoDialog, Saved, DialogCancelled, Fails };
    const std::vector<std::tuple<const char*, Answer, Save, bool>> scripts = {
        {"Yes", Answer::Yes, Saved, true},
        {"No", Answer::No, NoDialog, true},
        {"Cancel", Answer::Cancel, NoDialog, false},
        {"Yes, save dialog cancelled", Answer::Yes, DialogCancelled, false},
        {"Yes, save fails", Answer::Yes, Fails, false},
    };
    for (const QString command : {"File_New", "File_Open", "close"}) {
        for (const auto& [name, answer, save, goesOn] : scripts) {
            SCOPED_TRACE(command.toStdString() + ": " + name);
            ModifiedEditor editor;
            const QString second = editor.writeFile(QStringLiteral("second.qvw"), kSecondFile);
            const QString saved = editor.path(save == Fails ? "no/saved.qvw" : "saved.qvw");
            editor.platform.answers({answer});
            if (save == Fails) {
                editor.platform.answers({Answer::Ok});
            }
            if (save != NoDialog) {
                editor.platform.fileNames(
                    {save == DialogCancelled ? std::nullopt : std::optional(saved)});
            }
            if (command == "File_Open") {
                editor.platform.fileNames({second});
            }
            command == "close" ? void(editor.window->close()) : editor.trigger(command);

            const auto& shown = editor.platform.shown();
            ASSERT_EQ(shown.size(), save == Fails ? 2u : 1u);
            EXPECT_EQ(shown.front(), confirm);
            if (save == Fails) {
                EXPECT_EQ(shown.back().title, QStringLiteral("ﾌｧｲﾙを保存"));
                EXPECT_EQ(shown.back().icon, Icon::Warning);
            }
            EXPECT_EQ(QFile::exists(saved), save == Saved);
            EXPECT_EQ(editor.window->isVisible(), command != "close" || !goesOn);
            if (!goesOn) {
                EXPECT_EQ(editor.questions(), QStringList{"apple"});
                EXPECT_TRUE(editor.document().isModified());
            } else if (command != "close") {
                const QStringList expected =
                    command == "File_Open" ? QStringList{"run", "walk"} : QStringList{};
                EXPECT_EQ(editor.questions(), expected);
                EXPECT_FALSE(editor.document().isModified());
            }
            EXPECT_THAT(editor.platform.unexpected(), testing::IsEmpty());
        }
    }
}

// What Open does with files it cannot use: a message, and the document as it was.
TEST(FrmEditLifecycle, OpenReportsFilesItCannotUse) {
    const platform::MessageBox oldVersion{
        QStringLiteral("このﾌｧｲﾙは古いﾊﾞｰｼﾞｮﾝのものです。\r\n新しいﾊﾞｰｼﾞｮﾝに変換しますか？"),
        kOpenTitle,
        Icon::Question,
        platform::Buttons::YesNo,
        Answer::Yes,
        60};
    QByteArray tooMany = "Version 2.00\r\n";
    for (int i = 0; i <= common::kMaxEntries; ++i) {
        tooMany += "q|@1|r|@1|\r\n";
    }
    // file content (null: a folder), answers after No to saving, converter present, warning
    const std::vector<std::tuple<QByteArray, std::vector<Answer>, bool, QString>> cases = {
        {"", {Answer::Ok}, false, QStringLiteral("不正なﾌｧｲﾙです。")},
        {"apple|@1|a|@1|\r\n", {Answer::No}, true, {}},
        {"Ver 2.00\r\n", {Answer::Yes}, true, {}},
        {"Ver 2.00\r\n",
         {Answer::Yes, Answer::Ok},
         false,
         QStringLiteral("変換ﾌﾟﾛｸﾞﾗﾑが見つからないか、起動できません。\r\n")},
        {QByteArray(), {Answer::Ok}, false, QStringLiteral("ﾌｧｲﾙを読み込めませんでした。\r\n")},
        {tooMany,
         {Answer::Ok},
         false,
         QStringLiteral("項目が多すぎるため、このﾌｧｲﾙは開けません。\r\n"
                        "1つのﾌｧｲﾙに入る項目は 32767個までです。")},
    };
    for (const auto& [bytes, answers, converterPresent, warning] : cases) {
        SCOPED_TRACE(bytes.left(20).toStdString() + warning.toStdString());
        ModifiedEditor editor;
        const QString converter = platform::executableName(QStringLiteral("Renoval"));
        if (converterPresent) {
            editor.writeFile(converter, "");
        }
        QString file = editor.path(QStringLiteral("folder.qvw"));
        bytes.isNull() ? void(QDir().mkpath(file))
                       : void(file = editor.writeFile(QStringLiteral("w.qvw"), bytes));
        editor.platform.clearRecords();
        editor.platform.answers({Answer::No});
        for (Answer a : answers) {
            editor.platform.answers({a});
        }
        editor.open(file);

        const auto& shown = editor.platform.shown();
        ASSERT_EQ(shown.size(), answers.size() + 1);
        if (!bytes.startsWith("Version") && !bytes.isEmpty()) {
            EXPECT_EQ(shown.at(1), oldVersion);
        }
        if (!warning.isEmpty()) {
            EXPECT_TRUE(shown.back().text.startsWith(warning)) << shown.back().text.toStdString();
            EXPECT_EQ(shown.back().title, kOpenTitle);
            EXPECT_EQ(shown.back().icon, Icon::Warning);
        }
        const auto& started = editor.platform.programsStarted();
        ASSERT_EQ(started.size(), answers.front() == Answer::Yes ? 1u : 0u);
        if (!started.empty()) {
            EXPECT_EQ(started.front(), (platform::ScriptedPlatform::ProgramStart{
                                           editor.path(converter), {file}, converterPresent}));
        }
        EXPECT_EQ(editor.questions(), QStringList{"apple"});
        EXPECT_TRUE(editor.document().isModified());
    }
}

// A second file replaces every entry; the one file dialog remembers the name chosen last.
TEST(FrmEditLifecycle, OpenReplacesAndSaveProposesTheName) {
    EditorWindow editor;
    const QString second = editor.writeFile(QStringLiteral("second.qvw"), kSecondFile);
    const QString saved = editor.path(QStringLiteral("saved.qvw"));
    const QString first =
        editor.writeFile(QStringLiteral("first.qvw"), "Version 2.00\r\na|@1|x|@1|i\r\n");
    editor.open(first);
    editor.clickEntry(0);
    editor.open(second);
    EXPECT_EQ(editor.entryButtons(), (std::array<bool, 4>{}));
    EXPECT_EQ(editor.form().contents(), editor::EntryForm{});
    EXPECT_FALSE(editor.list().currentPosition() || editor.list().hasSelection());
    editor.clickEntry(0);
    EXPECT_EQ(editor.form().contents(),
              (editor::EntryForm{"run", {"a", "b", "c", "d"}, "e", "x\r\ny"}));
    EXPECT_EQ(editor.form().lblRightCount()->text(), QStringLiteral("5"));

    editor.platform.fileNames({saved, saved});
    editor.trigger(QStringLiteral("File_Save"));
    editor.trigger(QStringLiteral("File_Save"));
    const auto& dialogs = editor.platform.fileDialogs();
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(QDir::cleanPath(dialogs[0].initialFolder), QDir::cleanPath(editor.path({})));
    EXPECT_EQ(dialogs[0].fileName, QString());
    EXPECT_EQ(dialogs[1].fileName, first);
    EXPECT_EQ(dialogs[2].kind, platform::FileDialogKind::Save);
    EXPECT_EQ(dialogs[2].fileName, second);
    EXPECT_EQ(dialogs[2].initialFolder, QString());
    EXPECT_EQ(dialogs[3].fileName, saved);
    EXPECT_EQ(readAll(saved), kSecondFile);
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{0});  // saving leaves the list
}

// The settings are written on every close request, also a cancelled one, keeping what the
// drill program stored meanwhile.
TEST(FrmEditLifecycle, ClosingWritesTheSettings) {
    EditorWindow editor;
    const QString settings = common::settingsFilePath(editor.platform.programFolder());
    common::SettingsRecord stored;
    stored.setLastPath(QStringLiteral("/words/old.qvw"));
    stored.scanFields = 2;
    stored.focusSelect = -1;
    stored.imeQuestion = 1;
    stored.imeRight = 2;
    stored.imeInformation = 7;  // meaningless: read as "none"
    ASSERT_TRUE(common::writeSettings(settings, stored, common::kEditorRecordLength));
    editor.start();
    for (const char* checked :
         {"Option_Focus", "Option_IME_Q_Mode1", "Option_IME_R_Mode2", "Option_IME_I_Mode0"}) {
        EXPECT_TRUE(editor.find<QAction>(QLatin1String(checked))->isChecked()) << checked;
    }
    const QString opened = editor.writeFile(QStringLiteral("second.qvw"), kSecondFile);
    editor.open(opened);
    EXPECT_EQ(editor.platform.fileDialogs().at(0).initialFolder, QStringLiteral("/words/old.qvw"));
    editor.type(QStringLiteral("q"), {QStringLiteral("a")});
    editor.press(QStringLiteral("cmdAdd"));
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

// F1 opens the topic of the focused control; Tab visits the controls in order.
TEST(FrmEditLifecycle, HelpTopicsAndTabOrder) {
    EditorWindow editor;
    editor.document().replaceAll({{"q", "r", ""}});
    editor.clickEntry(0);  // enables every button
    const std::vector<std::pair<QString, int>> order = {
        {"lstQuestion", 35}, {"txtQuestion", 15}, {"txtRight0", 15},    {"txtRight1", 15},
        {"txtRight2", 15},   {"txtRight3", 15},   {"cmdMoreRight", 15}, {"txtInformation", 15},
        {"cmdAdd", 13},      {"cmdInsert", 13},   {"cmdChange", 13},    {"cmdReverse", 12},
        {"cmdRemove", 12},   {"lstQuestion", 35}};
    editor.list().setFocus();
    for (const auto& [name, topic] : order) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_EQ(focused->objectName(), name);
        editor.platform.clearRecords();
        QTest::keyClick(focused, Qt::Key_F1);
        EXPECT_EQ(editor.platform.helpRequests(),
                  (std::vector<platform::ScriptedPlatform::HelpRequest>{
                      {editor.path(QStringLiteral("Kotobax.hlp")), topic}}));
        QTest::keyClick(focused, Qt::Key_Tab);
    }
}

}  // namespace
