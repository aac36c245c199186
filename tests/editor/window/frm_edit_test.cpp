#include "editor_window.h"

#include <QMenu>

#include "common/settings.h"

#include <QDir>

namespace {

using namespace Qt::StringLiterals;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

const QByteArray kSecondFile =
    "Version 2.00\r\nrun|@1|a|@2|b|@2|c|@2|d|@2|e|@1|x\\ny\r\nwalk|@1|w|@1|\r\n";

// A window whose document holds one entry added by hand and not yet saved.
struct ModifiedEditor : EditorWindow {
    ModifiedEditor() {
        type(u"apple"_s, {u"りんご"_s});
        press(u"cmdAdd"_s);
    }
};

// Every branch of ConfirmSave under each command that would drop the document. A failed save
// keeps the document and Modified, so nothing is dropped.
TEST(FrmEditLifecycle, ConfirmSaveGuardsNewOpenAndClosing) {
    const platform::MessageBox confirm = question(
        u"編集中のﾌｧｲﾙが変更されています。\r\n保存しますか？"_s, u"変更"_s, Buttons::YesNoCancel);
    enum Save { NoDialog, Saved, DialogCancelled, Fails };
    const std::tuple<const char*, Answer, Save, bool> scripts[] = {
        {"Yes", Answer::Yes, Saved, true},
        {"No", Answer::No, NoDialog, true},
        {"Cancel", Answer::Cancel, NoDialog, false},
        {"Yes, save dialog cancelled", Answer::Yes, DialogCancelled, false},
        {"Yes, save fails", Answer::Yes, Fails, false}};
    for (const QString command : {"File_New", "File_Open", "close"}) {
        for (const auto& [name, answer, save, goesOn] : scripts) {
            SCOPED_TRACE(command.toStdString() + ": " + name);
            ModifiedEditor editor;
            const QString second = editor.writeFile(u"second.qvw"_s, kSecondFile);
            const QString saved = editor.path(save == Fails ? u"no/saved.qvw"_s : u"saved.qvw"_s);
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
                EXPECT_EQ(shown.back().title, u"ﾌｧｲﾙを保存"_s);
                EXPECT_EQ(shown.back().icon, Icon::Warning);
            }
            EXPECT_EQ(QFile::exists(saved), save == Saved);
            EXPECT_EQ(editor.window->isVisible(), command != "close" || !goesOn);
            if (!goesOn) {
                EXPECT_EQ(editor.questions(), QStringList{"apple"});
                EXPECT_TRUE(editor.document().isModified());
            } else if (command != "close") {
                const QStringList opened{"run", "walk"};
                EXPECT_EQ(editor.questions(), command == "File_Open" ? opened : QStringList{});
                EXPECT_FALSE(editor.document().isModified());
            } else {
                EXPECT_EQ(editor.document().isModified(), save != Saved);
            }
        }
    }
}

// What Open does with files it cannot use: a message, and the document as it was.
TEST(FrmEditLifecycle, OpenReportsFilesItCannotUse) {
    const platform::MessageBox oldVersion =
        question(u"このﾌｧｲﾙは古いﾊﾞｰｼﾞｮﾝのものです。\r\n新しいﾊﾞｰｼﾞｮﾝに変換しますか？"_s,
                 u"ﾌｧｲﾙを開く"_s, Buttons::YesNo, 60);
    const QByteArray tooMany = "Version 2.00\r\n" + QByteArray("q|@1|r|@1|\r\n").repeated(32768);
    const QString noConverter = u"変換ﾌﾟﾛｸﾞﾗﾑが見つからないか、起動できません。\r\n"_s;
    const QString tooManyText =
        u"項目が多すぎるため、このﾌｧｲﾙは開けません。\r\n"
        u"1つのﾌｧｲﾙに入る項目は 32767個までです。"_s;
    const struct {
        QByteArray bytes;             // null: a folder
        std::vector<Answer> answers;  // after No to saving
        bool converterPresent;
        QString warning;
    } table[] = {{"Version 2.00\r\nq|@1|r\r\n", {Answer::Ok}, false, u"不正なﾌｧｲﾙです。"_s},
                 {"apple|@1|a|@1|\r\n", {Answer::No}, true, {}},
                 {"Ver 2.00\r\n", {Answer::Yes}, true, {}},
                 {"Ver 2.00\r\n", {Answer::Yes, Answer::Ok}, false, noConverter},
                 {QByteArray(), {Answer::Ok}, false, u"ﾌｧｲﾙを読み込めませんでした。\r\n"_s},
                 {tooMany, {Answer::Ok}, false, tooManyText}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.bytes.left(20).toStdString() + row.warning.toStdString());
        ModifiedEditor editor;
        const QString converter = editor.path(platform::executableName(u"Renoval"_s));
        if (row.converterPresent) {
            editor.writeFile(converter.mid(editor.path({}).size()), "");
        }
        QString file = editor.path(u"folder.qvw"_s);
        row.bytes.isNull() ? void(QDir().mkpath(file))
                           : void(file = editor.writeFile(u"w.qvw"_s, row.bytes));
        editor.platform.clearRecords();
        editor.platform.answers({Answer::No});
        for (Answer a : row.answers) {
            editor.platform.answers({a});
        }
        editor.open(file);

        const auto& shown = editor.platform.shown();
        ASSERT_EQ(shown.size(), row.answers.size() + 1);
        if (!row.bytes.startsWith("Version") && !row.bytes.isEmpty()) {
            EXPECT_EQ(shown.at(1), oldVersion);
        }
        if (!row.warning.isEmpty()) {
            EXPECT_TRUE(shown.back().text.startsWith(row.warning))
                << shown.back().text.toStdString();
            EXPECT_EQ(shown.back().title, oldVersion.title);
            EXPECT_EQ(shown.back().icon, Icon::Warning);
        }
        using Start = platform::ScriptedPlatform::ProgramStart;
        const bool converts = row.answers.front() == Answer::Yes;
        const std::vector<Start> started{{converter, {file}, row.converterPresent}};
        EXPECT_EQ(editor.platform.programsStarted(), converts ? started : std::vector<Start>{});
        EXPECT_EQ(editor.questions(), QStringList{"apple"});
        EXPECT_TRUE(editor.document().isModified());
    }
}

// A second file replaces every entry; the one file dialog remembers the name chosen last.
// Saving writes the document as it is, also an empty one.
TEST(FrmEditLifecycle, OpenReplacesAndSaveProposesTheName) {
    EditorWindow editor;
    const QString second = editor.writeFile(u"second.qvw"_s, kSecondFile);
    const QString saved = editor.path(u"saved.qvw"_s);
    const QString first = editor.writeFile(u"first.qvw"_s, "Version 2.00\r\na|@1|x|@1|i\r\n");
    editor.open(first);
    editor.clickEntry(0);
    editor.open(second);
    EXPECT_EQ(editor.entryButtons(), (std::array<bool, 4>{}));
    EXPECT_EQ(editor.form().contents(), editor::EntryForm{});
    EXPECT_FALSE(editor.list().currentPosition() || editor.list().hasSelection());
    editor.clickEntry(0);
    EXPECT_EQ(editor.form().contents(),
              (editor::EntryForm{"run", {"a", "b", "c", "d"}, "e", "x\r\ny"}));
    EXPECT_EQ(editor.form().lblRightCount()->text(), u"5 (+1)"_s);  // the hidden one shows

    editor.platform.fileNames({saved, saved});
    editor.trigger(u"File_Save"_s);
    editor.trigger(u"File_Save"_s);
    const auto& dialogs = editor.platform.fileDialogs();
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(QDir::cleanPath(dialogs[0].initialFolder), QDir::cleanPath(editor.path({})));
    EXPECT_EQ(dialogs[1].fileName, first);
    EXPECT_EQ(dialogs[2].fileName, second);
    EXPECT_EQ(dialogs[3].fileName, saved);
    EXPECT_EQ(readAll(saved), kSecondFile);
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{0});  // saving leaves the list

    editor.trigger(u"File_New"_s);  // an empty document saves as the version line alone
    editor.platform.fileNames({saved});
    editor.trigger(u"File_Save"_s);
    EXPECT_EQ(readAll(saved), "Version 2.00\r\n");
}

// A UTF-8 file may hold what Shift_JIS cannot store: saving it names the first such entries
// and writes nothing, instead of turning them into '?'.
TEST(FrmEditLifecycle, SaveRefusesEntriesShiftJisCannotStore) {
    const QString refusal = u"次の項目には単語ﾌｧｲﾙに保存できない文字があるため、保存できません。"_s;
    // Each file ends its first entry in "ん" before the line end, which Shift_JIS cannot read.
    const QByteArray cafe = "caf\xC3\xA9|@1|a|@1|\xE2\x82\xAC 5\r\n";
    const QString cafeLine = u"café  「é」「€」"_s;
    const std::pair<QByteArray, QString> table[] = {
        {"ok|@1|\xE3\x81\x82|@1|\xE3\x82\x93\r\n" + cafe, "\r\n2: " + cafeLine},
        {"q|@1|\xF0\x9F\x8D\x8E|@1|\xE3\x82\x93\r\n" + cafe.repeated(6),
         u"\r\n1: q  「🍎」"_s + ("\r\n%1: " + cafeLine).arg(2) + ("\r\n%1: " + cafeLine).arg(3) +
             ("\r\n%1: " + cafeLine).arg(4) + ("\r\n%1: " + cafeLine).arg(5) + "\r\n..."},
    };
    for (const auto& [entries, lines] : table) {
        SCOPED_TRACE(lines.toStdString());
        EditorWindow editor;
        const QString file = editor.writeFile(u"utf8.qvw"_s, "Version 2.00\r\n" + entries);
        editor.open(file);
        editor.platform.clearRecords();
        editor.platform.answers({Answer::Ok});
        editor.trigger(u"File_Save"_s);
        EXPECT_EQ(
            editor.platform.shown(),
            (std::vector<platform::MessageBox>{{refusal + lines, u"ﾌｧｲﾙを保存"_s, Icon::Warning}}));
        EXPECT_TRUE(editor.platform.fileDialogs().empty());
        EXPECT_EQ(readAll(file), "Version 2.00\r\n" + entries);
    }
}

// The settings are written on every close request, also a cancelled one, keeping what the
// drill program stored meanwhile; the options chosen come back with the next start.
TEST(FrmEditLifecycle, ClosingWritesTheSettings) {
    EditorWindow editor;
    const QString settings = common::settingsFilePath(editor.platform.programFolder());
    common::SettingsRecord stored;
    stored.setLastPath(u"/words/old.qvw"_s);
    stored.scanFields = 2;
    stored.imeQuestion = 1;
    stored.imeRight = 2;
    stored.imeInformation = 7;  // meaningless: read as "none"
    ASSERT_TRUE(common::writeSettings(settings, stored, common::kEditorRecordLength));
    editor.start();
    EXPECT_TRUE(editor.checked(u"Option_IME_Q_Mode1"_s) &&
                editor.checked(u"Option_IME_R_Mode2"_s) && editor.checked(u"Option_IME_I_Mode0"_s));
    editor.trigger(u"Option_Focus"_s);
    editor.trigger(u"Option_IME_Q_Mode0"_s);
    editor.trigger(u"Option_IME_R_Mode2"_s);  // choosing the checked item keeps it
    const QString opened = editor.writeFile(u"second.qvw"_s, kSecondFile);
    editor.open(opened);
    EXPECT_EQ(editor.platform.fileDialogs().at(0).initialFolder, u"/words/old.qvw"_s);
    editor.type(u"q"_s, {u"a"_s});
    editor.press(u"cmdAdd"_s);
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
    expected.focusSelect = -1;
    expected.imeQuestion = 0;
    expected.imeInformation = 0;
    EXPECT_EQ(common::SettingsRecord::fromBytes(bytes), expected);
    editor.start();
    for (const char* item : {"Option_Focus", "Option_IME_Q_Mode0", "Option_IME_R_Mode2"}) {
        EXPECT_TRUE(editor.checked(item)) << item;
    }
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
        editor.expectHelpOpened(topic);
        QTest::keyClick(focused, Qt::Key_Tab);
    }
}

// F1 on a highlighted menu item opens that item's topic.
TEST(FrmEditLifecycle, HelpTopicsOfMenuItems) {
    EditorWindow editor({"q"});
    const struct {
        const char* menu;
        const char* item;
        int topic;
    } items[] = {{"Edit_Top", "Edit_Undo", 16},
                 {"File_Top", "File_Pdf", 17},
                 {"Option_Zoom", "Option_ZoomIn", 70},  // a submenu's item
                 {"Option_Top", "Option_Speak", 70}};
    for (const auto& row : items) {
        SCOPED_TRACE(row.item);
        auto* menu = editor.find<QMenu>(QLatin1String(row.menu));
        menu->popup({});
        editor.find<QAction>(QLatin1String(row.item))->setEnabled(true);
        menu->setActiveAction(editor.find<QAction>(QLatin1String(row.item)));
        editor.platform.clearRecords();
        QTest::keyClick(menu, Qt::Key_F1);
        editor.expectHelpOpened(row.topic);
        menu->hide();
    }
}

}  // namespace
