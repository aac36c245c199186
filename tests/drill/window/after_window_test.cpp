#include <gtest/gtest.h>

#include <QScreen>
#include <QTimeZone>
#include <QTreeWidget>

#include <memory>

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
    EXPECT_EQ(platform.fileDialogs().back().kind, platform::FileDialogKind::Save);
    EXPECT_EQ(platform.fileDialogs().back().fileName, programFile("words_間違い.qvw"));
    EXPECT_EQ(kxtest::readBytes(programFile("kept.qvw")),
              common::encodeAnsi(wordFile({"A|@1|a|@1|", "C|@1|c|@1|"})));

    platform.answers({Answer::Ok});  // "Good luck!"
    click(missedWindow(), "cmdAgain");
    EXPECT_FALSE(missedWindow() != nullptr && missedWindow()->isVisible());
    EXPECT_EQ(window->windowTitle(), "Kotobax4 - 1 / 2");
    stop();
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

TEST_F(AfterWindow, EveryEndedDrillIsRecordedAndShownInTheHistoryWindow) {
    startDrill(kWords);
    play({"x", "b", "c"});
    stop();
    const QList<history::DrillRecord> records = history->drills().records;
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.at(0).missed, QStringList{"A"});

    action("Menu_History")->trigger();
    frmHistory* shown = window->afterDrill().historyWindow();
    ASSERT_NE(shown, nullptr);
    platform.fileNames({programFile("history.csv")});
    click(shown, "cmdCsv");
    EXPECT_EQ(kxtest::readBytes(programFile("history.csv")),
              history::historyCsv(records, QTimeZone::systemTimeZone()));
}

TEST_F(AfterWindow, DamagedHistoryWarnsOnceAndTheDrillsGoOn) {
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
    const auto warnings =
        std::count_if(platform.shown().begin(), platform.shown().end(),
                      [](const platform::MessageBox& box) { return box.title == "成績の記録"; });
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(platform.shown().back().icon, platform::Icon::Question) << "the last is Stop's";
}

}  // namespace
}  // namespace drill::test
