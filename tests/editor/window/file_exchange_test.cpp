// Import, export, printing and PDF through the editor's File menu, and a word file opened at
// start as File -> Open opens it.
#include "editor_window.h"

#include "common/ansi_text.h"
#include "modal_dialog.h"

#include <QPrintPreviewWidget>
#include <QRadioButton>
#include <QUndoStack>

namespace {

using namespace Qt::StringLiterals;
using platform::Answer;

QStringList numbers(int count) {
    QStringList questions;
    for (int i = 0; i < count; ++i) {
        questions.append(QString::number(i));
    }
    return questions;
}

// Appended as one step, in sight and selected, the form's typing left alone; one undo takes
// it all back to the clean state, one redo brings it back.
TEST(EditorFileMenu, ImportAppendsOneStep) {
    const struct {
        const char* name;
        QStringList existing;
        bool agreed;
        QStringList appended;
    } cases[] = {
        {"after the entries", {"a", "b"}, true, {"x", "y"}},
        {"below a long list", numbers(200), true, {"x", "y"}},
        {"cancelled preview", {"a"}, false, {}},
        {"past the entry limit", numbers(common::kMaxEntries - 1), true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditorWindow editor(c.existing);
        editor.clickEntry(0);
        editor.typeText(editor.form().txtInformation(), u"typed"_s);
        const common::Entry typed = editor.shown();
        editor.platform.fileNames({editor.writeFile(u"words.csv"_s, "x,1\ny,2\n")});
        editor.platform.answers({Answer::Ok});  // the limit's message
        const auto watch = onModal("frmImport", [&](QDialog& preview) {
            if (c.agreed) {
                preview.findChild<QPushButton*>(u"cmdImport"_s)->click();
            }
        });
        editor.trigger(u"File_Import"_s);
        EXPECT_EQ(editor.questions(), c.existing + c.appended);
        EXPECT_EQ(editor.shown(), typed);
        ASSERT_EQ(editor.window->undoStack().count(), c.appended.isEmpty() ? 0 : 1);
        if (c.appended.isEmpty()) {
            continue;
        }
        const QList<int> arrived = {int(c.existing.size()), int(c.existing.size()) + 1};
        EXPECT_EQ(editor.list().selectedPositions(), arrived);
        EXPECT_TRUE(editor.list().viewport()->rect().contains(editor.centreOf(arrived[0])));
        editor.trigger(u"Edit_Undo"_s);
        EXPECT_EQ(editor.questions(), c.existing);
        EXPECT_FALSE(editor.document().isModified());
        editor.trigger(u"Edit_Redo"_s);
        EXPECT_EQ(editor.questions(), c.existing + c.appended);
        EXPECT_TRUE(editor.document().isModified());
    }
}

// Named after the opened word file, with its entries; export and printing only with entries.
TEST(EditorFileMenu, ExportPdfAndPrintTheOpenedEntries) {
    EditorWindow editor;
    const auto needEntries = [&](bool enabled) {
        for (const QString item : {"File_Export", "File_Print", "File_Pdf"}) {
            EXPECT_EQ(editor.find<QAction>(item)->isEnabled(), enabled) << item.toStdString();
        }
    };
    needEntries(false);
    editor.open(editor.writeFile(
        u"words.qvw"_s,
        common::encodeAnsi(u"Version 2.00\r\napple|@1|りんご|@1|\r\ncat|@1|猫|@2|ねこ|@1|\r\n"_s)));
    needEntries(true);

    const QString csv = editor.path(u"out.csv"_s);
    editor.platform.fileNames({csv});
    editor.trigger(u"File_Export"_s);
    EXPECT_EQ(editor.platform.fileDialogs().back().fileName, editor.path(u"words.txt"_s));
    EXPECT_TRUE(QString::fromUtf8(readAll(csv)).contains(u"cat,猫; ねこ"_s));

    const QString pdf = editor.path(u"out.pdf"_s);
    editor.platform.fileNames({pdf});
    int pages = 0;
    std::unique_ptr<QTimer> preview;
    const auto testSheet = [&](QDialog& options) {
        options.findChild<QRadioButton*>(u"optTest"_s)->setChecked(true);
        options.findChild<QPushButton*>(u"cmdOK"_s)->click();
        preview = onModal("QPrintPreviewDialog", [&](QDialog& p) {
            pages = p.findChild<QPrintPreviewWidget*>()->pageCount();
        });
    };
    auto watch = onModal("frmPrintOptions", testSheet);
    editor.trigger(u"File_Pdf"_s);
    EXPECT_EQ(editor.platform.fileDialogs().back().fileName, editor.path(u"words.pdf"_s));
    EXPECT_TRUE(QFile::exists(pdf));  // its pages are the exchange window test's

    watch = onModal("frmPrintOptions", testSheet);
    editor.trigger(u"File_Print"_s);
    EXPECT_EQ(pages, 2);  // the questions, then the answers
    editor.trigger(u"File_New"_s);
    needEntries(false);
}

// The same entries and messages as File -> Open gives, and Save proposes the file.
TEST(EditorFileMenu, WordFileAtStartOpensAsFileOpen) {
    const struct {
        const char* name;
        std::optional<QString> body;  // none: no such file
        QStringList questions;
        QString message;
    } cases[] = {
        {"entries", u"apple|@1|りんご|@1|\r\n"_s, {"apple"}, {}},
        {"no such file", std::nullopt, {}, u"ﾌｧｲﾙを読み込めませんでした。\r\n"_s},
        {"not a word file", u"hello\r\n"_s, {}, u"不正なﾌｧｲﾙです。"_s},
    };
    for (const auto& c : cases) {
        for (const bool atStart : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (atStart ? " at start" : " by File -> Open"));
            EditorWindow editor;
            const QString path = editor.path(u"words.qvw"_s);
            if (c.body) {
                editor.writeFile(u"words.qvw"_s,
                                 common::encodeAnsi(u"Version 2.00\r\n"_s + *c.body));
            }
            editor.platform.answers({Answer::Ok});
            atStart ? editor.window->openWordFile(path) : editor.open(path);
            EXPECT_EQ(editor.questions(), c.questions);
            ASSERT_EQ(editor.platform.shown().size(), c.message.isEmpty() ? 0 : 1);
            if (!c.message.isEmpty()) {
                EXPECT_TRUE(editor.platform.shown().front().text.startsWith(c.message));
            }
            editor.platform.fileNames({std::nullopt});
            editor.trigger(u"File_Save"_s);
            EXPECT_EQ(editor.platform.fileDialogs().back().fileName, path);
        }
    }
}

}  // namespace
