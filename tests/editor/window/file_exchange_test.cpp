// Import, export, printing and PDF through the editor's File menu, and a word file opened at
// start as File -> Open opens it.
#include "editor_window.h"

#include "common/ansi_text.h"
#include "modal_dialog.h"

#include <QDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRadioButton>
#include <QUndoStack>

namespace {

using namespace Qt::StringLiterals;
using platform::Answer;

void importClicked(QDialog& preview) {
    preview.findChild<QPushButton*>(u"cmdImport"_s)->click();
}

QString wordFile(const QString& body) {
    return u"Version 2.00\r\n"_s + body;
}

// What arrives, where it goes, and that one undo takes it all and one redo brings it back.
TEST(EditorFileMenu, ImportAppendsOneStep) {
    const auto numbers = [](int count) {
        QStringList questions;
        for (int i = 0; i < count; ++i) {
            questions.append(QString::number(i));
        }
        return questions;
    };
    const QStringList full = numbers(common::kMaxEntries - 1);
    const struct {
        const char* name;
        QStringList existing;
        QByteArray csv;
        std::function<void(QDialog&)> user;
        std::vector<Answer> answers;
        QStringList appended;
    } cases[] = {
        {"three rows after the entries",
         {"a", "b"},
         "x,1\ny,2\nz,3\n",
         importClicked,
         {},
         {"x", "y", "z"}},
        {"a bad row left out when agreed",
         {"a"},
         "x,1\n,2\nz,3\n",
         importClicked,
         {Answer::Yes},
         {"x", "z"}},
        {"below a long list", numbers(200), "x,1\n", importClicked, {}, {"x"}},
        {"cancelled preview", {"a"}, "x,1\n", [](QDialog&) {}, {}, {}},
        {"past the entry limit", full, "x,1\ny,2\n", importClicked, {Answer::Ok}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditorWindow editor(c.existing);
        editor.clickEntry(0);
        editor.typeText(editor.form().txtInformation(), u"typed"_s);
        const common::Entry typed = editor.shown();
        editor.platform.fileNames({editor.writeFile(u"words.csv"_s, c.csv)});
        for (const Answer answer : c.answers) {
            editor.platform.answers({answer});
        }
        const auto watch = onModal("frmImport", c.user);
        editor.trigger(u"File_Import"_s);
        EXPECT_EQ(editor.platform.shown().size(), c.answers.size());
        EXPECT_EQ(editor.questions(), c.existing + c.appended);
        // The typing is not replaced, so nothing is asked about it.
        EXPECT_EQ(editor.shown(), typed);
        QUndoStack& history = editor.window->undoStack();
        ASSERT_EQ(history.count(), c.appended.isEmpty() ? 0 : 1);
        if (c.appended.isEmpty()) {
            EXPECT_FALSE(editor.document().isModified());
            continue;
        }
        EXPECT_TRUE(editor.document().isModified());
        QList<int> arrived;
        for (int i = 0; i < c.appended.size(); ++i) {
            arrived.append(int(c.existing.size()) + i);
        }
        EXPECT_EQ(editor.list().selectedPositions(), arrived);
        EXPECT_TRUE(editor.list().viewport()->rect().contains(editor.centreOf(arrived.front())));
        EXPECT_EQ(editor.list().currentPosition(), 0);
        editor.trigger(u"Edit_Undo"_s);
        EXPECT_EQ(editor.questions(), c.existing);
        EXPECT_FALSE(editor.document().isModified());
        editor.trigger(u"Edit_Redo"_s);
        EXPECT_EQ(editor.questions(), c.existing + c.appended);
        EXPECT_TRUE(editor.document().isModified());
    }
}

// Export, printing and PDF have something to act on only while the document holds entries.
TEST(EditorFileMenu, ExportAndPrintNeedEntries) {
    EditorWindow editor;
    const QString words =
        editor.writeFile(u"words.qvw"_s, common::encodeAnsi(wordFile(u"q|@1|a|@1|\r\n"_s)));
    const struct {
        const char* step;
        std::function<void()> act;
        bool enabled;
    } steps[] = {
        {"empty at start", [] {}, false},
        {"an entry added",
         [&] {
             editor.type(u"x"_s, {"1"});
             editor.press(u"cmdAdd"_s);
         },
         true},
        {"the add undone", [&] { editor.trigger(u"Edit_Undo"_s); }, false},
        {"a file opened", [&] { editor.open(words); }, true},
        {"new", [&] { editor.trigger(u"File_New"_s); }, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.act();
        for (const QString item : {"File_Export", "File_Print", "File_Pdf"}) {
            EXPECT_EQ(editor.find<QAction>(item)->isEnabled(), s.enabled) << item.toStdString();
        }
        EXPECT_TRUE(editor.find<QAction>(u"File_Import"_s)->isEnabled());
    }
}

// The opened word file names what is written, and what is written holds its entries.
TEST(EditorFileMenu, ExportAndPdfWriteTheOpenedEntries) {
    EditorWindow editor;
    editor.open(editor.writeFile(
        u"words.qvw"_s,
        common::encodeAnsi(wordFile(u"apple|@1|りんご|@1|\r\ncat|@1|猫|@2|ねこ|@1|\r\n"_s))));

    const QString csv = editor.path(u"out.csv"_s);
    editor.platform.fileNames({csv});
    editor.trigger(u"File_Export"_s);
    EXPECT_EQ(editor.platform.fileDialogs().back().fileName, editor.path(u"words.txt"_s));
    EXPECT_TRUE(readAll(csv).startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(QString::fromUtf8(readAll(csv)).contains(u"cat,猫; ねこ"_s))
        << readAll(csv).toStdString();

    const QString pdf = editor.path(u"out.pdf"_s);
    editor.platform.fileNames({pdf});
    const auto watch = onModal("frmPrintOptions", [](QDialog& d) {
        d.findChild<QRadioButton*>(u"optTest"_s)->setChecked(true);
        d.findChild<QPushButton*>(u"cmdOK"_s)->click();
    });
    editor.trigger(u"File_Pdf"_s);
    EXPECT_EQ(editor.platform.fileDialogs().back().fileName, editor.path(u"words.pdf"_s));
    QProcess text;
    text.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    ASSERT_TRUE(text.waitForFinished());
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(u"words"_s) && pages[0].contains(u"2. cat"_s))
        << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains(u"猫"_s)) << pages[1].toStdString();
    EXPECT_TRUE(editor.platform.unexpected().empty());
}

TEST(EditorFileMenu, PrintShowsThePreviewOfTheEntries) {
    EditorWindow editor({"apple", "cat"});
    int pages = 0;
    std::unique_ptr<QTimer> preview;
    const auto options = onModal("frmPrintOptions", [&](QDialog& d) {
        d.findChild<QRadioButton*>(u"optTest"_s)->setChecked(true);
        d.findChild<QPushButton*>(u"cmdOK"_s)->click();
        preview = onModal("QPrintPreviewDialog", [&](QDialog& p) {
            pages = p.findChild<QPrintPreviewWidget*>()->pageCount();
        });
    });
    editor.trigger(u"File_Print"_s);
    EXPECT_EQ(pages, 2);  // the questions, then the answers
}

// A word file named at start gives what File -> Open gives for it: the same entries, the same
// messages, and Save proposes it.
TEST(EditorFileMenu, WordFileAtStartOpensAsFileOpen) {
    const struct {
        const char* name;
        std::optional<QString> contents;  // none: no such file
        QStringList questions;
        QString message;
    } cases[] = {
        {"entries", wordFile(u"apple|@1|りんご|@1|\r\n"_s), {"apple"}, {}},
        {"no such file", std::nullopt, {}, u"ﾌｧｲﾙを読み込めませんでした。\r\n"_s},
        {"not a word file", wordFile(u"hello\r\n"_s), {}, u"不正なﾌｧｲﾙです。"_s},
    };
    for (const auto& c : cases) {
        for (const bool atStart : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (atStart ? " at start" : " with File -> Open"));
            EditorWindow editor;
            QString path = editor.path(u"words.qvw"_s);
            if (c.contents) {
                editor.writeFile(u"words.qvw"_s, common::encodeAnsi(*c.contents));
            }
            if (!c.message.isEmpty()) {
                editor.platform.answers({Answer::Ok});
            }
            if (atStart) {
                editor.window->openWordFile(path);
            } else {
                editor.open(path);
            }
            EXPECT_EQ(editor.questions(), c.questions);
            ASSERT_EQ(editor.platform.shown().size(), c.message.isEmpty() ? 0 : 1);
            if (!c.message.isEmpty()) {
                EXPECT_TRUE(editor.platform.shown().front().text.startsWith(c.message));
                EXPECT_EQ(editor.platform.shown().front().title, u"ﾌｧｲﾙを開く"_s);
            }
            EXPECT_FALSE(editor.document().isModified());
            editor.platform.fileNames({std::nullopt});
            editor.trigger(u"File_Save"_s);
            EXPECT_EQ(editor.platform.fileDialogs().back().fileName, path);
        }
    }
}

}  // namespace
