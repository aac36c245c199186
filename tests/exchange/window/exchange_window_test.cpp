// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <functional>

#include <sys/stat.h>

#include "common/ansi_text.h"
#include "exchange/logic/table.h"
#include "exchange/window/exchange_commands.h"
#include "exchange/window/import_progress.h"
#include "file_bytes.h"
#include "modal_dialog.h"
#include "platform/scripted_platform.h"

namespace {

using common::Entry;
using platform::Answer;

template <typename T>
T* child(QDialog& dialog, const char* name) {
    T* found = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class ExchangeWindow : public ::testing::Test {
public:
    QTemporaryDir dir;
    platform::ScriptedPlatform platform;

    QString file(const QString& name, const QByteArray& bytes) {
        kxtest::writeBytes(dir.filePath(name), bytes);
        return dir.filePath(name);
    }
};

void agree(QDialog& preview) {
    child<QPushButton>(preview, "cmdImport")->click();
}

// What the preview lets through, as the user maps and answers.
TEST_F(ExchangeWindow, ImportPreviewImportsOnlyWhatTheUserAgreesTo) {
    const QByteArray csv = common::encodeAnsi(
        u"apple,\"りんご; 林檎\",\"赤い\r\n果物\"\r\n,no question\r\ncat,猫\r\n");
    const struct {
        const char* name;
        QString fileName;
        QByteArray bytes;
        int existing;
        std::function<void(QDialog&)> user;
        std::vector<Answer> answers;  // to the boxes the dialog shows
        std::optional<QList<Entry>> result;
        QString lastBox;  // the last box's text starts with this
    } cases[] = {
        // clang-format off
        {"the bad row skipped when agreed", "words.csv", csv, 0, [](QDialog& d) {
             // Numbered by the file line a row starts on, as an editor shows it.
             EXPECT_EQ(child<QTableWidget>(d, "tblPreview")->verticalHeaderItem(2)->text(), "4");
             EXPECT_EQ(child<QListWidget>(d, "lstProblems")->item(0)->text(),
                       "3 行目: 問題がありません");
             agree(d);
         }, {Answer::Yes}, QList<Entry>{{"apple", "りんご|@2|林檎", "赤い\\n果物"}, {"cat", "猫", ""}},
         "1 行は単語にできません。"},
        {"nothing when not agreed", "words.csv", csv, 0, agree, {Answer::No}, std::nullopt,
         "1 行は単語にできません。"},
        {"over the limit refused", "words.csv", csv, common::kMaxEntries - 1, agree, {Answer::Ok},
         std::nullopt, "単語帳に入る単語は 32767 件までです。"},
        {"a tab-separated .csv with a header row needs no choice", "list.csv",
         "English\tJapanese\r\nrun\t走る\r\n", 0, [](QDialog& d) {
             EXPECT_EQ(child<QComboBox>(d, "cboFieldSeparator")->currentText(), "タブ");
             EXPECT_TRUE(child<QCheckBox>(d, "chkHeader")->isChecked());
             EXPECT_EQ(child<QComboBox>(d, "cboQuestion")->currentText(), "English");
             agree(d);
         }, {}, QList<Entry>{{"run", "走る", ""}}, {}},
        {"another separator read again", "list.csv", "walk:歩く,歩む\n", 0, [](QDialog& d) {
             auto* separator = child<QComboBox>(d, "cboFieldSeparator");
             separator->setCurrentIndex(separator->findText("その他"));
             QTest::keyClicks(child<QLineEdit>(d, "txtFieldSeparator"), ":");
             auto* answers = child<QComboBox>(d, "cboSeparator");
             answers->setCurrentIndex(answers->findText("「,」半角カンマ"));
             agree(d);
         }, {}, QList<Entry>{{"walk", "歩く|@2|歩む", ""}}, {}},
        {"a separator that would make too many cells refused", "list.csv",
         "a,b\n" + QByteArray(1'100'000, 'x') + "\n", 0, [](QDialog& d) {
             auto* separator = child<QComboBox>(d, "cboFieldSeparator");
             separator->setCurrentIndex(separator->findText("その他"));
             QTest::keyClicks(child<QLineEdit>(d, "txtFieldSeparator"), "x");
             EXPECT_EQ(separator->currentText(), "カンマ");
             agree(d);
         }, {Answer::Ok, Answer::Yes}, QList<Entry>{{"a", "b", ""}}, "1 行は単語にできません。"},
        {"Anki's tags column never offered", "deck.csv",
         "#deck:英単語\n#separator:Comma\n#tags column:3\nrun,走る,verb\n", 0, [](QDialog& d) {
             EXPECT_EQ(child<QComboBox>(d, "cboInformation")->count(), 3);
             EXPECT_TRUE(child<QLabel>(d, "lblNotes")->text().contains("#deck:英単語"));
             agree(d);
         }, {}, QList<Entry>{{"run", "走る", ""}}, {}},
        {"Anki meanings on lines: split at the line breaks", "deck.txt",
         "#separator:tab\n#html:true\nabandon\t<div>見捨てる</div><div>放棄する</div>\nacquire\t習得する<br>獲得する\n",
         0, [](QDialog& d) {
             EXPECT_EQ(child<QComboBox>(d, "cboSeparator")->currentText(), "改行");
             EXPECT_EQ(child<QTableWidget>(d, "tblPreview")->item(0, 1)->text(), "見捨てる｜放棄する");
             agree(d);
         }, {}, QList<Entry>{{"abandon", "見捨てる|@2|放棄する", ""}, {"acquire", "習得する|@2|獲得する", ""}}, {}},
        {"a separator of the user's own, shown as it splits", "list.csv", "walk,歩く・歩む\n", 0, [](QDialog& d) {
             auto* answers = child<QComboBox>(d, "cboSeparator");
             EXPECT_EQ(answers->currentText(), "「; 」セミコロン");
             answers->setCurrentIndex(answers->findText("その他"));
             QInputMethodEvent typed;  // as an input method commits it
             typed.setCommitString("・");
             QApplication::sendEvent(child<QLineEdit>(d, "txtSeparator"), &typed);
             EXPECT_EQ(child<QTableWidget>(d, "tblPreview")->item(0, 1)->text(), "歩く｜歩む");
             agree(d);
         }, {}, QList<Entry>{{"walk", "歩く|@2|歩む", ""}}, {}},
        {"kvtml rows counted by entry, no header row offered", "words.kvtml",
         "<kvtml version=\"2.0\">\n<entries>\n<entry><translation id=\"1\"><text>犬</text></translation></entry>\n"
         "<entry><translation id=\"0\"><text>cat</text></translation><translation id=\"1\"><text>猫</text>"
         "</translation></entry>\n</entries>\n</kvtml>\n", 0, [](QDialog& d) {
             EXPECT_EQ(child<QTableWidget>(d, "tblPreview")->verticalHeaderItem(1)->text(), "2");
             EXPECT_EQ(child<QListWidget>(d, "lstProblems")->item(0)->text(),
                       "1 番目の単語: 問題がありません");
             EXPECT_TRUE(child<QCheckBox>(d, "chkHeader")->isHidden());
             agree(d);
         }, {Answer::Yes}, QList<Entry>{{"cat", "猫", ""}}, "1 個の項目は単語にできません。"},
        {"a broken kvtml never reaches the preview", "bad.kvtml", "<kvtml version=\"2\"><e>", 0,
         [](QDialog&) { ADD_FAILURE() << "no preview expected"; }, {Answer::Ok}, std::nullopt,
         "読み込めないファイルです。"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t boxes = platform.shown().size();
        platform.fileNames({file(c.fileName, c.bytes)});
        for (const Answer answer : c.answers) {
            platform.answers({answer});
        }
        const auto watch = onModal(c.user);
        EXPECT_EQ(exchange::runImport(nullptr, platform, c.existing), c.result);
        ASSERT_EQ(platform.shown().size(), boxes + c.answers.size());
        if (!c.lastBox.isEmpty()) {
            EXPECT_TRUE(platform.shown().back().text.startsWith(c.lastBox))
                << platform.shown().back().text.toStdString();
        }
    }
}

// Files made to hurt are refused with a reason or previewed within bounds, never hang.
TEST_F(ExchangeWindow, HostileImportsAreRefusedOrBounded) {
    const auto fifo = [this] {
        const QString path = dir.filePath("pipe.csv");
        EXPECT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    };
    const auto sparse = [this] {
        QFile big(dir.filePath("big.csv"));
        EXPECT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(100 << 20));
        return big.fileName();
    };
    const auto written = [this](const char* name, const QByteArray& bytes) {
        return [=, this] { return file(name, bytes); };
    };
    const QByteArray deep = "<kvtml version=\"2.0\"><entries><entry><translation id=\"0\"><text>" +
                            QByteArray("<b>").repeated(60000);
    const QByteArray wide = "q," + QByteArray("a,").repeated(100000) + "\nq,a\n";
    const QByteArray bad = "q,a\nq," + QByteArray(40000, 'x') + QByteArray("\nq,a\0b\n", 7);
    const QStringList badProblems = {"2 行目: 32767 文字を超える欄があります (q)",
                                     "3 行目: NUL 文字があります (q)"};
    const struct {
        const char* name;
        std::function<QString()> make;
        QString refusal;  // the box's text, or empty for a preview
        int columns;
        QStringList problems;
    } cases[] = {
        // clang-format off
        {"a pipe", fifo, "読み込めないファイルです。\r\n通常のファイルではありません。", 0, {}},
        {"100 MB", sparse, "読み込めないファイルです。\r\nファイルが大きすぎます (16 MB まで)。", 0, {}},
        {"300,000 rows", written("rows.csv", QByteArray("a,b\n").repeated(300000)),
         "読み込めないファイルです。\r\n行や列が多すぎます", 0, {}},
        {"130,000 rows ending in CR LF, each one row", written("crlf.csv", QByteArray("a,b\r\n").repeated(130000)),
         {}, 2, {}},
        {"60,000 nested elements", written("deep.kvtml", deep),
         "読み込めないファイルです。\r\n1 行目: 要素の入れ子が深すぎます。", 0, {}},
        {"100,000 columns", written("wide.csv", wide), {}, 100, {}},
        {"a long field and a NUL", written("bad.csv", bad), {}, 2, badProblems},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform.fileNames({c.make()});
        if (!c.refusal.isEmpty()) {
            platform.answers({Answer::Ok});
        }
        bool previewed = false;
        const auto watch = onModal("frmImport", [&](QDialog& d) {
            previewed = true;
            EXPECT_EQ(child<QTableWidget>(d, "tblPreview")->columnCount(), c.columns);
            QStringList problems;
            const auto* list = child<QListWidget>(d, "lstProblems");
            for (int i = 0; i < list->count(); ++i) {
                problems.append(list->item(i)->text());
            }
            EXPECT_EQ(problems, c.problems);
        });
        EXPECT_EQ(exchange::runImport(nullptr, platform, 0), std::nullopt);
        EXPECT_EQ(previewed, c.refusal.isEmpty());
        if (!c.refusal.isEmpty()) {
            ASSERT_FALSE(platform.shown().empty());
            EXPECT_TRUE(platform.shown().back().text.startsWith(c.refusal))
                << platform.shown().back().text.toStdString();
        }
    }
}

// Reading runs beside the window: a progress window shows after half a second, and each way
// of leaving it (or the window) stops the reading.
TEST_F(ExchangeWindow, ReadingOffTheWindowsThreadShowsProgressAndStops) {
    QWidget editor;
    QPushButton button(&editor);
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] { ++clicks; });
    const struct {
        const char* name;
        bool endless;  // the reading runs until asked to stop
        std::function<void(QDialog&)> user;
        bool progress;  // the progress window showed
        bool done;
    } cases[] = {
        // clang-format off
        {"a short reading shows nothing", false, {}, false, true},
        {"キャンセル", true, [](QDialog& d) { child<QPushButton>(d, "")->click(); }, true, false},
        {"the progress window's close box", true, [](QDialog& d) { d.close(); }, true, false},
        {"the editor's close box, its clicks kept from it meanwhile", true, [&](QDialog& d) {
             QTest::mouseClick(&button, Qt::LeftButton);
             EXPECT_EQ(clicks, 0);
             // Qt withholds the desktop's close from a window that a modal one blocks.
             EXPECT_EQ(d.windowModality(), Qt::NonModal);
             editor.close();
         }, true, false},
        {"the editor's window closed before any progress", true, {}, false, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        editor.show();
        bool shown = false;
        const auto watch = onModal("frmImportProgress", [&](QDialog& d) {
            shown = true;
            if (c.user) {
                c.user(d);
            }
        });
        if (!c.user && c.endless) {
            QTimer::singleShot(exchange::kProgressAfterMs / 5, &editor, &QWidget::close);
        }
        std::atomic_bool stopped = false;
        const bool done =
            exchange::runOffThread(&editor, "読んでいます", [&](std::stop_token stop) {
                while (c.endless && !stop.stop_requested()) {
                    QThread::msleep(5);
                }
                stopped = stop.stop_requested();
            });
        EXPECT_EQ(done, c.done);
        EXPECT_EQ(stopped, !c.done);
        EXPECT_EQ(shown, c.progress);
    }
}

// The type chosen in the dialog decides; a name with another type's extension asks which is
// meant. Types: 0 Anki text, 1 CSV, 2 kvtml.
TEST_F(ExchangeWindow, ExportWritesTheTypeChosen) {
    const QList<Entry> entries = {{"apple", "りんご|@2|林檎", "a\\nb"}};
    const QByteArray anki = "#separator:tab",
                     csv =
                         "\xEF\xBB\xBF"
                         "apple,",
                     kvtml = "<?xml";
    const struct {
        const char* name;
        int type;
        const char* typed;
        std::vector<Answer> answers;
        const char* written;  // nullptr: nothing
        QByteArray starts;
    } cases[] = {
        {"no extension: the type's", 1, "out", {}, "out.csv", csv},
        {"kvtml chosen", 2, "words", {}, "words.kvtml", kvtml},
        {"the extension agrees", 0, "deck.txt", {}, "deck.txt", anki},
        {"another type's extension, meant", 1, "list.kvtml", {Answer::Yes}, "list.kvtml", kvtml},
        {"the type meant", 2, "new.csv", {Answer::No}, "new.kvtml", kvtml},
        {"the type meant, not over a file", 2, "list.csv", {Answer::No, Answer::No}, nullptr, {}},
        {"which one, cancelled", 0, "x.csv", {Answer::Cancel}, nullptr, {}},
        {"an extension we do not write", 0, "out.doc", {Answer::Ok}, nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        platform.fileNames({dir.filePath(c.typed)});
        platform.fileTypes({c.type});
        for (const Answer answer : c.answers) {
            platform.answers({answer});
        }
        EXPECT_EQ(exchange::runExport(nullptr, platform, entries, dir.filePath("words.qvw")),
                  c.written != nullptr);
        EXPECT_EQ(platform.answersLeft(), 0u);
        QStringList now = QDir(dir.path()).entryList(QDir::Files);
        if (c.written != nullptr) {
            EXPECT_TRUE(kxtest::readBytes(dir.filePath(c.written)).startsWith(c.starts));
            now.removeOne(c.written);
        }
        EXPECT_EQ(now, before);
    }
    EXPECT_TRUE(platform.unexpected().empty());
}

// The text of a PDF file as laid out, its pages apart.
QStringList pdfPages(const QString& pdf) {
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(text.waitForFinished());
    return QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
}

// A test sheet holds the questions, then the answers on a page of their own; printed to a PDF
// file through the print dialog, 𠮟 copies out as from "PDF に書き出す".
TEST_F(ExchangeWindow, PdfsHoldTheTextAsPrinted) {
    const QList<Entry> entries = {{"apple", "りんご", ""}, {"cat", "猫", ""}};
    const QString pdf = dir.filePath("words.pdf");
    platform.fileNames({pdf});
    const auto watch = onModal([](QDialog& d) {
        child<QRadioButton>(d, "optTest")->setChecked(true);
        child<QPushButton>(d, "cmdOK")->click();
    });
    ASSERT_TRUE(exchange::runPdfExport(nullptr, platform, entries, dir.filePath("words.qvw")));
    const QStringList pages = pdfPages(pdf);
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("words") && pages[0].contains("2. cat"));
    EXPECT_FALSE(pages[0].contains("猫"));
    EXPECT_TRUE(pages[1].contains("1. りんご"));

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("printed.pdf"));
    ASSERT_TRUE(exchange::printJob(printer,
                                   {exchange::PrintKind::WordList, "単語", {{"scold", "𠮟る", ""}}})
                    .ok());
    EXPECT_TRUE(pdfPages(printer.outputFileName()).join("").contains("𠮟る"));
}

}  // namespace
