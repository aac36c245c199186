// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileInfo>
#include <QLineSeries>
#include <QListWidget>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>
#include <QTableView>
#include <QTimeZone>
#include <QTreeWidget>

#include <memory>
#include <vector>

#include "common/ansi_text.h"
#include "drill/history/history_report.h"
#include "drill/history/sqlite_history.h"
#include "drill/window/after_drill.h"
#include "drill/window/frm_history.h"
#include "drill/window/frm_missed.h"
#include "window_fixture.h"

namespace drill::test {
namespace {

using platform::Answer;

const QStringList kWords{"A|@1|a|@1|", "B|@1|b|@2|bee|@1|", "C|@1|c|@1|"};

// The drill window with a history in memory, driven from the keyboard.
class AfterWindow : public WindowTest {
public:
    std::unique_ptr<history::DrillHistory> history =
        std::make_unique<history::SqliteHistory>(":memory:");

    void SetUp() override { createWithHistory(); }
    void TearDown() override {
        WindowTest::TearDown();
        history.reset();
    }
    void createWithHistory() {
        window.reset();
        show(std::make_unique<frmMain>(platform, random, *history));
    }
    // Stop from the menu: the missed-entries window may hold the keyboard.
    void stop() {
        platform.answers({Answer::Yes});
        action("Menu_GiveUp")->trigger();
    }
    // Typed answers are judged with Enter, then Enter asks the next question.
    void play(const QStringList& keys) {
        for (const QString& key : keys) {
            if (text("lblResult") != "") {
                QTest::keyClick(find("txtAnswer"), Qt::Key_Return);
            }
            find<QLineEdit>("txtAnswer")->setText(key);
            QTest::keyClick(find("txtAnswer"), Qt::Key_Return);
        }
    }
    frmMissed* missedWindow() { return window->afterDrill().missedWindow(); }
    QStringList missedRows() {
        QStringList rows;
        auto* list = missedWindow()->findChild<QTreeWidget*>("lstMissed");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < 4; ++c) {
                cells.append(list->topLevelItem(i)->text(c));
            }
            rows.append(cells.join("|"));
        }
        return rows;
    }
    void click(QWidget* dialog, const char* button) {
        dialog->findChild<QPushButton*>(button)->click();
        QApplication::processEvents();
    }
};

TEST_F(AfterWindow, MissedEntriesAreShownSavedAndDrilledAgain) {
    startDrill(kWords);
    play({"x", "b", "", ""});
    ASSERT_NE(missedWindow(), nullptr);
    EXPECT_TRUE(missedWindow()->isVisible());
    EXPECT_EQ(missedRows(), QStringList({"A|a|x|1", "C|c|（空欄）|1"}));

    platform.fileNames({programFile("kept.qvw")});
    click(missedWindow(), "cmdSave");
    ASSERT_FALSE(platform.fileDialogs().empty());
    EXPECT_EQ(platform.fileDialogs().back().kind, platform::FileDialogKind::Save);
    EXPECT_EQ(platform.fileDialogs().back().fileName, programFile("words_間違い.qvw"));
    EXPECT_EQ(kxtest::readBytes(programFile("kept.qvw")),
              common::encodeAnsi(wordFile({"A|@1|a|@1|", "C|@1|c|@1|"})));

    platform.answers({Answer::Ok});  // "Good luck!"
    click(missedWindow(), "cmdAgain");
    EXPECT_FALSE(missedWindow() != nullptr && missedWindow()->isVisible());
    EXPECT_EQ(window->windowTitle(), "Kotobax4 - 1 / 2");
    stop();

    // Every ended drill is recorded. Stopped before any answer: no rate; over the missed
    // entries: said so.
    const QList<history::DrillRecord> records = history->drills().records;
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records.at(1).missed, QStringList({"A", "C"}));
    action("Menu_History")->trigger();
    frmHistory* shown = window->afterDrill().historyWindow();
    ASSERT_NE(shown, nullptr);
    const QAbstractItemModel* table = shown->findChild<QTableView*>("tblDrills")->model();
    EXPECT_EQ(table->index(0, 3).data().toString(), "Normal（もう一度）");
    EXPECT_EQ(table->index(0, 6).data().toString(), "");
    EXPECT_EQ(table->index(1, 3).data().toString(), "Normal");
    EXPECT_EQ(table->index(1, 6).data().toString(), "33 %");

    // Tab leaves the table rather than walking its cells; the CSV button has an access key.
    shown->findChild<QWidget*>("lstFiles")->setFocus();
    QTest::keyClick(shown->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(shown->focusWidget()->objectName(), "tblDrills");
    QTest::keyClick(shown->focusWidget(), Qt::Key_Tab);
    EXPECT_NE(shown->focusWidget()->objectName(), "tblDrills");
    auto* csv = shown->findChild<QPushButton*>("cmdCsv");
    EXPECT_FALSE(QKeySequence::mnemonic(csv->text()).isEmpty());
    platform.fileNames({programFile("history.csv")});
    click(shown, "cmdCsv");
    EXPECT_EQ(kxtest::readBytes(programFile("history.csv")),
              history::historyCsv(records, QTimeZone::systemTimeZone()));
}

// Wherever the drill window stands, the missed entries open on the screen and off its counts and
// time (also run at larger scales, see CMakeLists.txt).
TEST_F(AfterWindow, MissedEntriesLeaveTheResultsLineInSight) {
    const QRect area = window->screen()->availableGeometry();
    const struct {
        const char* where;
        double across;  // of the room the window leaves free
        double down;
    } places[] = {{"top left", 0, 0}, {"centre", 0.5, 0.5}, {"bottom right", 1, 1}};
    for (const auto& place : places) {
        SCOPED_TRACE(place.where);
        const QSize free = area.size() - window->frameGeometry().size();
        window->move(area.topLeft() +
                     QPoint(int(free.width() * place.across), int(free.height() * place.down)));
        startDrill(kWords);
        play({"x", "b", "", ""});
        ASSERT_NE(missedWindow(), nullptr);
        const QRect missed = missedWindow()->frameGeometry();
        EXPECT_TRUE(area.contains(missed))
            << missed.x() << "," << missed.y() << " " << missed.width() << "x" << missed.height();
        for (const char* label : {"lblCount", "lblTime"}) {
            const QWidget* shown = find(label);
            EXPECT_FALSE(missed.intersects(QRect(shown->mapToGlobal(QPoint(0, 0)), shown->size())))
                << label;
        }
        missedWindow()->close();
    }
}

// CSV export starts in the open word file's folder, else where the last CSV went (in this run or
// an earlier one), else in the documents folder.
TEST_F(AfterWindow, HistoryCsvStartsInTheWordFilesFolder) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    struct Row {
        bool fileOpen;
        QStringList initialFolders;  // of two exports in a row
    };
    startDrill(kWords);
    stop();
    const QString wordFolder = QFileInfo(window->session().wordFileName()).absolutePath();
    const QString elsewhere = QFileInfo(programFile("out/x.csv")).absolutePath();
    QDir().mkpath(elsewhere);
    const std::vector<Row> rows{
        {false, {documents, elsewhere}},
        {true, {wordFolder, wordFolder}},
        {false, {elsewhere, elsewhere}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fileOpen);
        auto* shown = new frmHistory(*history, row.fileOpen ? window->session().wordFileName() : "",
                                     platform, window.get());
        shown->setAttribute(Qt::WA_DeleteOnClose);
        const std::size_t before = platform.fileDialogs().size();
        platform.fileNames({programFile("out/x.csv"), programFile("out/x.csv")});
        click(shown, "cmdCsv");
        click(shown, "cmdCsv");
        ASSERT_EQ(platform.fileDialogs().size(), before + 2);
        EXPECT_EQ(platform.fileDialogs().at(before).initialFolder, row.initialFolders.at(0));
        EXPECT_EQ(platform.fileDialogs().at(before + 1).initialFolder, row.initialFolders.at(1));
        shown->close();
    }
}

// Hundreds of drills over years: one point a day, the year in the labels; misses per drill;
// slips summed by kind; files of one name told apart.
TEST_F(AfterWindow, ChartHasOnePointADayAndYearsWhenItSpansThem) {
    const QDate days[] = {QDate(2025, 12, 30), QDate(2025, 12, 30), QDate(2026, 1, 2)};
    for (const QDate& day : days) {
        const history::DrillRecord drill{.started = QDateTime(day, QTime(12, 0)),
                                         .wordFile = "/英語/中1/w.qvw",
                                         .asked = 4,
                                         .right = 2,
                                         .rate = 50,
                                         .missed = {"x", "x"},
                                         .slips = {"bv", "lr", "bv"}};
        ASSERT_EQ(history->record(drill), QString());
    }
    const history::DrillRecord other{.started = QDateTime(QDate(2025, 6, 1), QTime(12, 0)),
                                     .wordFile = "/英語/中2/w.qvw"};
    ASSERT_EQ(history->record(other), QString());
    action("Menu_History")->trigger();
    frmHistory* shown = window->afterDrill().historyWindow();
    QChart* chart = shown->findChild<QChartView*>("chtRate")->chart();
    auto* line = qobject_cast<QLineSeries*>(chart->series().value(0));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->count(), 2);
    auto* axis = qobject_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal).value(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_TRUE(axis->format().contains("yyyy")) << axis->format().toStdString();
    EXPECT_EQ(shown->findChild<QListWidget*>("lstMostMissed")->item(0)->text(),
              "x  (3 回の練習で)");
    auto* slips = shown->findChild<QListWidget*>("lstSlips");
    ASSERT_EQ(slips->count(), 2);
    EXPECT_EQ(slips->item(0)->text() + ", " + slips->item(1)->text(), "b と v: 6 回, l と r: 3 回");
    // Files of one name, told apart by their folders in the list and the table.
    const auto* files = shown->findChild<QListWidget*>("lstFiles");
    ASSERT_EQ(files->count(), 3);
    EXPECT_EQ(QSet<QString>({files->item(1)->text(), files->item(2)->text()}),
              QSet<QString>({"w.qvw — 中1", "w.qvw — 中2"}));
    const QAbstractItemModel* table = shown->findChild<QTableView*>("tblDrills")->model();
    EXPECT_EQ(table->index(0, 2).data().toString(), "w.qvw — 中1");
}

// A damaged file is moved aside with one message, and no drill is lost.
TEST_F(AfterWindow, DamagedHistoryIsMovedAsideOnceAndTheDrillsGoOn) {
    const QString path = programFile("history.sqlite");
    kxtest::writeBytes(path, QByteArray(4096, 'x'));
    history = std::make_unique<history::SqliteHistory>(path);
    createWithHistory();
    for (int drill = 0; drill < 2; ++drill) {
        startDrill(kWords, "Option_Endless");
        play({"a"});
        // Yes to Stop, then OK to the warning after the first drill only.
        platform.answers({Answer::Yes});
        if (drill == 0) {
            platform.answers({Answer::Ok});
        }
        action("Menu_GiveUp")->trigger();
        EXPECT_EQ(text("txtQuestion1"), "回答数 : 1  正解数 : 1");
    }
    QStringList warnings;
    for (const platform::MessageBox& box : platform.shown()) {
        if (box.title == "成績の記録") {
            warnings.append(box.text);
        }
    }
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QDir::toNativeSeparators(path + ".damaged-")))
        << warnings[0].toStdString();
    EXPECT_EQ(platform.shown().back().icon, platform::Icon::Question) << "the last is Stop's";
    EXPECT_EQ(history->drills().records.size(), 2);
}

}  // namespace
}  // namespace drill::test
