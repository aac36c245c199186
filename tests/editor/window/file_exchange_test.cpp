// Import, export and printing through the editor's File menu, and a word file opened at start.
#include "editor_window.h"

#include "common/ansi_text.h"
#include "modal_dialog.h"

#include <QPrintPreviewWidget>
#include <QRadioButton>
#include <QUndoStack>

namespace {

using namespace Qt::StringLiterals;
using platform::Answer;

// Appended as one step, in sight and selected, the form's typing left alone; one undo takes
// it all back to the clean state.
TEST(EditorFileMenu, ImportAppendsOneStep) {
    QStringList many;
    for (int i = 0; i < common::kMaxEntries - 1; ++i) {
        many.append(QString::number(i));
    }
    const std::tuple<int, bool, QStringList> cases[] = {
        {200, true, {"x", "y"}},                  // below a long list
        {1, false, {}},                           // cancelled preview
        {common::kMaxEntries - 1, true, {}}};     // past the entry limit
    for (const auto& [count, agreed, appended] : cases) {
        SCOPED_TRACE(count);
        const QStringList existing = many.mid(0, count);
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
        ASSERT_EQ(editor.window->undoStack().count(), appended.isEmpty() ? 0 : 1);
        if (!appended.isEmpty()) {
            EXPECT_EQ(editor.list().selectedPositions(), (QList<int>{count, count + 1}));
            EXPECT_TRUE(editor.list().viewport()->rect().contains(editor.centreOf(count)));
            editor.trigger(u"Edit_Undo"_s);
            EXPECT_EQ(editor.questions(), existing);
            EXPECT_FALSE(editor.document().isModified());
        }
    }
}

// Named after the opened word file, with its entries; PDF shares the print path.
TEST(EditorFileMenu, ExportAndPrintTheOpenedEntries) {
    EditorWindow editor;
    editor.open(editor.writeFile(
        u"words.qvw"_s,
        common::encodeAnsi(u"Version 2.00\r\napple|@1|りんご|@1|\r\ncat|@1|猫|@2|ねこ|@1|\r\n"_s)));
    const QString csv = editor.path(u"out.csv"_s);
    editor.platform.fileNames({csv});
    editor.trigger(u"File_Export"_s);
    EXPECT_EQ(editor.platform.fileDialogs().back().fileName, editor.path(u"words.txt"_s));
    EXPECT_TRUE(QString::fromUtf8(readBytes(csv)).contains(u"cat,猫; ねこ"_s));

    int pages = 0;
    std::unique_ptr<QTimer> preview;
    const auto watch = onModal("frmPrintOptions", [&](QDialog& options) {
        options.findChild<QRadioButton*>(u"optTest"_s)->setChecked(true);
        options.findChild<QPushButton*>(u"cmdOK"_s)->click();
        preview = onModal("QPrintPreviewDialog", [&](QDialog& p) {
            pages = p.findChild<QPrintPreviewWidget*>()->pageCount();
        });
    });
    editor.trigger(u"File_Print"_s);
    EXPECT_EQ(pages, 2);  // the questions, then the answers
}

// A word file given at start opens as File -> Open opens it, and Save proposes it.
TEST(EditorFileMenu, WordFileAtStartOpensAsFileOpen) {
    const std::pair<QString, QString> cases[] = {{u"apple|@1|りんご|@1|\r\n"_s, {}},
                                                 {u"hello\r\n"_s, u"不正なﾌｧｲﾙです。"_s}};
    for (const auto& [body, message] : cases) {
        SCOPED_TRACE(body.toStdString());
        EditorWindow editor;
        const QString path =
            editor.writeFile(u"words.qvw"_s, common::encodeAnsi(u"Version 2.00\r\n"_s + body));
        editor.platform.answers({Answer::Ok});
        editor.window->openWordFile(path);
        EXPECT_EQ(editor.questions(), message.isEmpty() ? QStringList{"apple"} : QStringList{});
        ASSERT_EQ(editor.platform.shown().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            EXPECT_TRUE(editor.platform.shown().front().text.startsWith(message));
        }
        editor.platform.fileNames({std::nullopt});
        editor.trigger(u"File_Save"_s);
        EXPECT_EQ(editor.platform.fileDialogs().back().fileName, path);
    }
}

}  // namespace
