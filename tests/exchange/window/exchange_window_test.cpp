#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

#include "common/ansi_text.h"
#include "exchange/logic/table.h"
#include "exchange/window/exchange_commands.h"
#include "exchange/window/import_dialog.h"
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

void choose(QDialog& dialog, const char* box, const QString& item) {
    auto* combo = child<QComboBox>(dialog, box);
    const int index = combo->findText(item, Qt::MatchStartsWith);
    ASSERT_GE(index, 0) << item.toStdString();
    combo->setCurrentIndex(index);
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

const QByteArray kKvtml = R"(<?xml version="1.0" encoding="UTF-8"?>
<kvtml version="2.0"><identifiers>
 <identifier id="0"><name>English</name></identifier>
 <identifier id="1"><name>日本語</name></identifier></identifiers>
<entries><entry id="0"><translation id="0"><text>dog</text><comment>animal</comment></translation>
<translation id="1"><text>犬</text></translation></entry></entries></kvtml>)";

// With KX_SCREENSHOTS set to a folder, the README's pictures of the preview and of a printed
// test sheet are taken there.
QString screenshotFolder() {
    return qEnvironmentVariable("KX_SCREENSHOTS");
}

TEST_F(ExchangeWindow, Screenshots) {
    if (screenshotFolder().isEmpty()) {
        GTEST_SKIP() << "KX_SCREENSHOTS not set";
    }
    const QString csv = file(
        "words.csv",
        common::encodeAnsi(
            u"英語,日本語,メモ\r\napple,りんご; 林檎,赤い果物\r\nborrow,借りる,反対語は lend\r\n"
            u"library,図書館,\r\n,本,\r\nweather,天気,\"発音に注意\r\nwhether と同じ\"\r\n"
            u"mountain,山; 山岳,\r\nteacher,,\r\n"));
    platform.fileNames({csv});
    const auto watch = onModal([](QDialog& d) {
        child<QCheckBox>(d, "chkHeader")->setChecked(true);
        d.grab().save(screenshotFolder() + "/import.png");
    });
    exchange::runImport(nullptr, platform, 0);

    const QString pdf = dir.filePath("sheet.pdf");
    const exchange::PrintJob job{exchange::PrintKind::TestSheet,
                                 "単語テスト 第1回",
                                 {{"apple", "りんご|@2|林檎", ""},
                                  {"borrow", "借りる", ""},
                                  {"library", "図書館", ""},
                                  {"weather", "天気", ""},
                                  {"mountain", "山|@2|山岳", ""},
                                  {"teacher", "先生", ""}}};
    ASSERT_TRUE(exchange::writePdf(pdf, job, exchange::Paper::A4).ok);
    QProcess render;
    render.start("pdftoppm", {"-png", "-r", "60", "-f", "1", "-l", "1", "-singlefile", pdf,
                              screenshotFolder() + "/testsheet"});
    ASSERT_TRUE(render.waitForFinished());
}

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
        {"the bad row skipped when agreed",
         "words.csv",
         csv,
         0,
         [](QDialog& d) {
             auto* preview = child<QTableWidget>(d, "tblPreview");
             EXPECT_EQ(preview->item(0, 1)->text(), "りんご; 林檎");
             EXPECT_EQ(preview->verticalHeaderItem(2)->text(), "4");  // after a two-line cell
             EXPECT_EQ(child<QListWidget>(d, "lstProblems")->count(), 1);
             EXPECT_EQ(child<QListWidget>(d, "lstProblems")->item(0)->text(),
                       "3 行目: 問題がありません");
             agree(d);
         },
         {Answer::Yes},
         QList<Entry>{{"apple", "りんご|@2|林檎", "赤い\\n果物"}, {"cat", "猫", ""}},
         "1 行は単語にできません。"},
        {"nothing when not agreed",
         "words.csv",
         csv,
         0,
         agree,
         {Answer::No},
         std::nullopt,
         "1 行は単語にできません。"},
        {"over the limit refused",
         "words.csv",
         csv,
         common::kMaxEntries - 1,
         agree,
         {Answer::Ok},
         std::nullopt,
         "単語帳に入る単語は 32767 件までです。"},
        {"kvtml languages swapped",
         "words.kvtml",
         kKvtml,
         0,
         [](QDialog& d) {
             choose(d, "cboQuestion", "日本語");
             choose(d, "cboAnswers", "English");
             agree(d);
         },
         {},
         QList<Entry>{{"犬", "dog", "animal"}},
         ""},
        {"one answer per column",
         "words.tsv",
         "run\t走る\t駆ける\n",
         0,
         [](QDialog& d) {
             choose(d, "cboSeparator", "1列に1つ");
             choose(d, "cboInformation", "なし");
             agree(d);
         },
         {},
         QList<Entry>{{"run", "走る|@2|駆ける", ""}},
         ""},
        {"a broken kvtml never reaches the preview",
         "bad.kvtml",
         "<kvtml version=\"1\"/>",
         0,
         [](QDialog&) { ADD_FAILURE() << "no preview expected"; },
         {Answer::Ok},
         std::nullopt,
         "読み込めないファイルです。"},
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
        EXPECT_EQ(platform.shown().size(), boxes + c.answers.size());
        if (!c.lastBox.isEmpty()) {
            EXPECT_TRUE(platform.shown().back().text.startsWith(c.lastBox))
                << platform.shown().back().text.toStdString();
        }
    }
    EXPECT_EQ(platform.fileDialogs().front().title, "インポート");
}

TEST_F(ExchangeWindow, ExportWritesTheFormatTheExtensionNames) {
    const QList<Entry> entries = {{"apple", "りんご|@2|林檎", "a\\nb"}};
    platform.fileNames({dir.filePath("out.kvtml")});
    ASSERT_TRUE(exchange::runExport(nullptr, platform, entries, dir.filePath("words.qvw")));
    EXPECT_EQ(platform.fileDialogs().back().fileName, dir.filePath("words.txt"));
    const exchange::Table table = exchange::readKvtml(kxtest::readBytes(dir.filePath("out.kvtml")));
    EXPECT_EQ(table.rows, (QList<QStringList>{{"apple", "りんご; 林檎", "a\nb"}}));

    platform.fileNames({dir.filePath("out.doc")});
    platform.answers({Answer::Ok});
    EXPECT_FALSE(exchange::runExport(nullptr, platform, entries, QString()));
    EXPECT_EQ(platform.shown().back().title, "エクスポート");
    EXPECT_FALSE(QFile::exists(dir.filePath("out.doc")));
}

TEST_F(ExchangeWindow, PdfOfATestSheetHoldsTheQuestionsThenTheAnswers) {
    const QList<Entry> entries = {{"apple", "りんご", ""}, {"cat", "猫", ""}};
    const QString pdf = dir.filePath("words.pdf");
    platform.fileNames({pdf});
    const auto watch = onModal([](QDialog& d) {
        child<QRadioButton>(d, "optTest")->setChecked(true);
        child<QRadioButton>(d, "optLetter")->setChecked(true);
        child<QPushButton>(d, "cmdOK")->click();
    });
    ASSERT_TRUE(exchange::runPdfExport(nullptr, platform, entries, dir.filePath("words.qvw")));
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished());
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("words") && pages[0].contains("2. cat"));
    EXPECT_FALSE(pages[0].contains("猫"));
    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished());
    EXPECT_TRUE(info.readAllStandardOutput().contains("612 x 792 pts (letter)"));
}

// A short list fits one page; a test sheet puts its answers on a second.
TEST_F(ExchangeWindow, PrintPreviewShowsTheChosenLayout) {
    const struct {
        const char* option;
        int pages;
    } cases[] = {{"optList", 1}, {"optTest", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        int pages = 0;
        const auto options = onModal([&](QDialog& d) {
            child<QRadioButton>(d, c.option)->setChecked(true);
            child<QPushButton>(d, "cmdOK")->click();
        });
        std::unique_ptr<QTimer> preview;
        options->callOnTimeout([&] {
            if (!preview && !options->isActive()) {
                preview = onModal([&](QDialog& d) {
                    if (auto* view = d.findChild<QPrintPreviewWidget*>()) {
                        pages = view->pageCount();
                    }
                });
            }
        });
        exchange::runPrint(nullptr, {{"apple", "りんご", "赤い"}, {"cat", "猫", ""}}, "words");
        EXPECT_EQ(pages, c.pages);
    }
}

}  // namespace
