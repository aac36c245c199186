// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Import and export through the editor's File menu.
#include "editor_window.h"

#include "common/ansi_text.h"
#include "modal_dialog.h"

#include <QDir>
#include <QStandardPaths>
#include <QUndoStack>

namespace {

using namespace Qt::StringLiterals;
using platform::Answer;

// Appended as one step, in sight and selected, the form's typing left alone; one undo takes
// it all back to the clean state.
TEST(EditorFileMenu, ImportAppendsOneStep) {
    const std::tuple<int, bool, QStringList> cases[] = {
        {200, true, {"x", "y"}},               // below a long list
        {common::kMaxEntries - 1, true, {}}};  // past the entry limit
    for (const auto& [count, agreed, appended] : cases) {
        SCOPED_TRACE(count);
        const QStringList existing(count, u"e"_s);
        EditorWindow editor(existing);
        editor.clickEntry(0);
        editor.typeText(editor.form().txtInformation(), u"typed"_s);
        const common::Entry typed = editor.shown();
        editor.platform.fileNames({editor.writeFile(u"words.csv"_s, "x,1\ny,2\n")});
        editor.platform.answers({Answer::Ok});  // the limit's message
        const auto watch = onModal("frmImport", [&, agreed = agreed](QDialog& preview) {
            if (agreed) {
                preview.findChild<QPushButton*>(u"cmdImport"_s)->click();
            }
        });
        editor.trigger(u"File_Import"_s);
        EXPECT_EQ(editor.questions(), existing + appended);
        EXPECT_EQ(editor.shown(), typed);
        ASSERT_EQ(editor.window->session().undoStack().count(), appended.isEmpty() ? 0 : 1);
        if (!appended.isEmpty()) {
            EXPECT_EQ(editor.list().selectedPositions(), (QList<int>{count, count + 1}));
            EXPECT_TRUE(editor.list().viewport()->rect().contains(editor.centreOf(count)));
            editor.trigger(u"Edit_Undo"_s);
            EXPECT_EQ(editor.questions(), existing);
            EXPECT_FALSE(editor.document().isModified());
        }
    }
}

// Named after the opened word file, with its entries (printing: the exchange window tests).
TEST(EditorFileMenu, ExportTheOpenedEntries) {
    EditorWindow editor;
    editor.open(editor.writeFile(
        u"words.qvw"_s,
        common::encodeAnsi(u"Version 2.00\r\napple|@1|りんご|@1|\r\ncat|@1|猫|@2|ねこ|@1|\r\n"_s)));
    const QString csv = editor.path(u"out.csv"_s);
    editor.platform.fileNames({csv});
    editor.platform.fileTypes({1});  // CSV
    editor.trigger(u"File_Export"_s);
    ASSERT_FALSE(editor.platform.fileDialogs().empty());
    EXPECT_EQ(editor.platform.fileDialogs().back().fileName, editor.path(u"words.txt"_s));
    EXPECT_TRUE(QString::fromUtf8(readBytes(csv)).contains(u"cat,\"猫; ねこ\""_s));
}

// Import and export start in the open word file's folder, else the folder last chosen in one of
// them, else the documents folder: never the program's, read-only once installed.
TEST(EditorFileMenu, ExchangeDialogsStartInTheWordFilesOrTheLastOrTheDocumentsFolder) {
    EditorWindow editor;
    ASSERT_TRUE(QDir().mkpath(editor.path(u"lists"_s)) && QDir().mkpath(editor.path(u"words"_s)));
    const QString csv = editor.writeFile(u"lists/new.csv"_s, "x,1\n");
    const QString words = editor.writeFile(
        u"words/w.qvw"_s, common::encodeAnsi(u"Version 2.00\r\napple|@1|りんご|@1|\r\n"_s));
    const auto watch = onModal("frmImport", [](QDialog& preview) {
        preview.findChild<QPushButton*>(u"cmdImport"_s)->click();
    });
    const struct {
        const char* item;
        std::optional<QString> chosen;
        QString startFolder;
    } steps[] = {
        {"File_Import", csv, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)},
        {"File_Export", std::nullopt, editor.path(u"lists"_s)},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.item);
        editor.platform.fileNames({step.chosen});
        editor.trigger(QString::fromLatin1(step.item));
        ASSERT_FALSE(editor.platform.fileDialogs().empty());
        EXPECT_EQ(QDir(editor.platform.fileDialogs().back().initialFolder), QDir(step.startFolder));
    }
    editor.platform.answers({Answer::No});  // the imported entries are not saved
    editor.open(words);
    editor.platform.fileNames({std::nullopt});
    editor.trigger(u"File_Import"_s);
    EXPECT_EQ(QDir(editor.platform.fileDialogs().back().initialFolder),
              QDir(editor.path(u"words"_s)));
}

}  // namespace
