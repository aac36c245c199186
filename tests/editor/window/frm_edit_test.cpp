// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor_window.h"

#include "common/ansi_text.h"
#include "common/settings.h"
#include "settings_damage.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

using namespace Qt::StringLiterals;
using platform::Answer;

const QByteArray kSecondFile =
    "Version 2.00\r\nrun|@1|a|@2|b|@2|c|@2|d|@2|e|@1|x\\ny\r\nwalk|@1|w|@1|\r\n";

// A window whose document holds one entry added by hand and not yet saved.
struct ModifiedEditor : EditorWindow {
    ModifiedEditor() {
        type(u"apple"_s, {u"りんご"_s});
        press(u"cmdAdd"_s);
    }
};

// Every branch of the save question under each command that would drop the document (a failed save:
// FailedSaveLosesNothing).
TEST(FrmEditLifecycle, SaveQuestionGuardsNewOpenAndClosing) {
    enum Save { NoDialog, Saved, DialogCancelled };
    const std::tuple<Answer, Save, bool> scripts[] = {{Answer::Yes, Saved, true},
                                                      {Answer::No, NoDialog, true},
                                                      {Answer::Cancel, NoDialog, false},
                                                      {Answer::Yes, DialogCancelled, false}};
    for (const QString command : {"File_New", "File_Open", "close"}) {
        for (const auto& [answer, save, goesOn] : scripts) {
            SCOPED_TRACE(command.toStdString() + std::to_string(int(answer) * 10 + save));
            ModifiedEditor editor;
            const QString second = editor.writeFile(u"second.qvw"_s, kSecondFile);
            const QString saved = editor.path(u"saved.qvw"_s);
            editor.platform.answers({answer});
            if (save != NoDialog) {
                editor.platform.fileNames(
                    {save == DialogCancelled ? std::nullopt : std::optional(saved)});
            }
            if (command == "File_Open") {
                editor.platform.fileNames({second});
            }
            command == "close" ? void(editor.window->close()) : editor.trigger(command);

            EXPECT_EQ(editor.platform.shown(), std::vector<platform::MessageBox>{saveQuestion()});
            EXPECT_EQ(QDir().exists(saved), save == Saved);
            EXPECT_EQ(editor.window->isVisible(), command != "close" || !goesOn);
            if (!goesOn) {
                EXPECT_EQ(editor.questions(), QStringList{"apple"});
                EXPECT_TRUE(editor.document().isModified());
            } else if (command == "File_Open") {
                EXPECT_EQ(editor.questions(), (QStringList{"run", "walk"}));
            }
        }
    }
}

// What Open tells of files it cannot use. An old file is offered to the converter, if it can
// be started.
TEST(FrmEditLifecycle, OpenReportsFilesItCannotUse) {
    const QString oldVersion =
        u"このﾌｧｲﾙは古いﾊﾞｰｼﾞｮﾝのものです。\r\n新しいﾊﾞｰｼﾞｮﾝに変換しますか？"_s;
    const struct {
        QByteArray bytes;  // null: a folder
        bool converterPresent;
        QString shown;  // what the last box begins with
    } table[] = {{"Version 2.00\r\nq|@1|r\r\n", false, u"不正なﾌｧｲﾙです。"_s},
                 {"Ver 2.00\r\n", true, oldVersion},
                 {"Ver 2.00\r\n", false, u"変換ﾌﾟﾛｸﾞﾗﾑが見つからないか、起動できません。\r\n"_s},
                 {QByteArray(), false, u"ﾌｧｲﾙを読み込めませんでした。\r\n"_s}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.shown.toStdString());
        ModifiedEditor editor;
        const QString converter = editor.path(platform::executableName(u"Renoval"_s));
        if (row.converterPresent) {
            editor.writeFile(converter.mid(editor.path({}).size()), "");
        }
        QString file = editor.path(u"folder.qvw"_s);
        row.bytes.isNull() ? void(QDir().mkpath(file))
                           : void(file = editor.writeFile(u"w.qvw"_s, row.bytes));
        const bool old = row.bytes.startsWith("Ver ");
        editor.platform.clearRecords();
        editor.platform.answers({Answer::No, old ? Answer::Yes : Answer::Ok, Answer::Ok});
        editor.open(file);

        const auto& shown = editor.platform.shown();
        ASSERT_FALSE(shown.empty());
        EXPECT_TRUE(shown.back().text.startsWith(row.shown)) << shown.back().text.toStdString();
        EXPECT_EQ(shown.back().title, u"ﾌｧｲﾙを開く"_s);
        using Start = platform::ScriptedPlatform::ProgramStart;
        const std::vector<Start> started{{converter, {file}, row.converterPresent}};
        EXPECT_EQ(editor.platform.programsStarted(), old ? started : std::vector<Start>{});
    }
}

// A second file, chosen in File -> Open or given at start, replaces every entry; the one file
// dialog remembers the name opened last. Saving writes the document as it is, also an empty one.
TEST(FrmEditLifecycle, OpenReplacesAndSaveProposesTheName) {
    const struct {
        const char* name;
        std::function<void(EditorWindow&, const QString&)> open;
    } ways[] = {{"File_Open", [](EditorWindow& e, const QString& file) { e.open(file); }},
                {"at start", [](EditorWindow& e, const QString& file) {
                     e.window->fileCommands().openFile(file);
                 }}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        EditorWindow editor;
        const QString second = editor.writeFile(u"second.qvw"_s, kSecondFile);
        const QString saved = editor.path(u"saved.qvw"_s);
        way.open(editor, second);
        editor.clickEntry(0);
        EXPECT_EQ(editor.form().contents(),
                  (editor::EntryForm{"run", {"a", "b", "c", "d"}, "e", "x\r\ny", {}}));

        editor.platform.fileNames({saved});
        editor.trigger(u"File_Save"_s);
        ASSERT_FALSE(editor.platform.fileDialogs().empty());
        EXPECT_EQ(editor.platform.fileDialogs().back().fileName, second);
        EXPECT_EQ(readBytes(saved), kSecondFile);

        editor.trigger(u"File_New"_s);  // an empty document saves as the version line alone
        editor.platform.fileNames({saved});
        editor.trigger(u"File_Save"_s);
        EXPECT_EQ(readBytes(saved), "Version 2.00\r\n");
    }
}

// The settings are written on every close request, also a cancelled one, keeping what the
// drill program stored meanwhile.
TEST(FrmEditLifecycle, ClosingWritesTheSettings) {
    EditorWindow editor;
    const QString settings = common::settingsFilePath(editor.platform.programFolder());
    common::SettingsRecord stored;
    stored.setLastPath(u"/words/old.qvw"_s);
    stored.scanFields = 2;
    ASSERT_TRUE(common::writeSettings(settings, stored, common::kEditorRecordLength).ok());
    editor.start();
    editor.trigger(u"Option_Focus"_s);
    const QString opened = editor.writeFile(u"second.qvw"_s, kSecondFile);
    editor.open(opened);
    ASSERT_FALSE(editor.platform.fileDialogs().empty());
    EXPECT_EQ(editor.platform.fileDialogs().at(0).initialFolder, u"/words/old.qvw"_s);
    editor.type(u"q"_s, {u"a"_s});
    editor.press(u"cmdAdd"_s);
    common::SettingsRecord drill = common::readSettings(settings, common::kEditorRecordLength);
    drill.drillMode = 2;
    ASSERT_TRUE(common::writeSettings(settings, drill, common::kDrillRecordLength).ok());

    editor.platform.answers({Answer::Cancel});
    editor.window->close();
    common::SettingsRecord expected = stored;
    expected.setLastPath(opened);
    expected.drillMode = 2;
    expected.focusSelect = -1;
    const QByteArray bytes = readBytes(settings);
    EXPECT_EQ(bytes.size(), common::kEditorRecordLength);
    EXPECT_EQ(common::SettingsRecord::fromBytes(bytes), expected);
}

// F1 opens the topic of the focused control; Tab visits the controls in order.
TEST(FrmEditLifecycle, HelpTopicsAndTabOrder) {
    EditorWindow editor({"q"});
    editor.clickEntry(0);  // enables every button
    const std::pair<QString, int> order[] = {
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
                      {editor.path(u"Kotobax.hlp"_s), topic}}));
        QTest::keyClick(focused, Qt::Key_Tab);
    }
}

// A save that fails tells why and keeps the document modified (that it leaves nothing behind,
// also on a full disk mid-write, is the word file's own test).
TEST(EditorDamagedFiles, FailedSaveLosesNothing) {
    const QByteArray old = "Version 2.00\r\nq|@1|a|@1|i\r\n";
    EditorWindow editor;
    editor.open(editor.writeFile(QStringLiteral("old.qvw"), old));
    editor.type(QStringLiteral("new"), {QStringLiteral("entry")});
    editor.press(QStringLiteral("cmdAdd"));
    const QString target = editor.path("folder.qvw");  // a folder at the path
    QDir().mkpath(target);
    editor.platform.clearRecords();
    editor.platform.fileNames({target});
    editor.platform.answers({Answer::Ok});
    editor.trigger(QStringLiteral("File_Save"));
    ASSERT_EQ(editor.platform.shown().size(), 1u);
    const platform::MessageBox& told = editor.platform.shown().front();
    EXPECT_TRUE(told.text.startsWith("ﾌｧｲﾙを保存できませんでした。\r\n" + target));
    EXPECT_TRUE(editor.document().isModified());
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
        EXPECT_EQ(editor.find<QAction>("Option_Focus")->isChecked(), damage.editorFocusSelect);
        if (damage.bytes.isNull()) {
            editor.platform.answers({Answer::Ok});  // the warning
        }
        EXPECT_TRUE(editor.window->close());
        hardening::expectClosingMessages(damage, editor.platform.shown());
        hardening::expectSettingsKept(damage, folder, common::kEditorRecordLength);
    }
}

}  // namespace
