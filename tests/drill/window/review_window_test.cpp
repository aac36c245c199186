// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QTreeWidget>

#include <memory>
#include <semaphore>
#include <vector>

#include "common/preferences.h"
#include "drill/history/history_sync.h"
#include "drill/history/sqlite_history.h"
#include "drill/history/sync_merge.h"
#include "drill/window/frm_review.h"
#include "drill_support.h"
#include "review/review_plan.h"
#include "review/word_key.h"

namespace drill::test {
namespace {

using namespace std::chrono_literals;

const review::ReviewTime kDayZero{std::chrono::days(20000) + 9h};

QByteArray key(const QString& question) {
    return review::wordKey({question, "r", ""});
}

class ReviewWindow : public DrillTest {
public:
    history::SqliteHistory store{":memory:", QTimeZone::utc()};

    void review(const QString& file, const QString& question, review::Grade grade,
                review::ReviewTime at, common::DrillWay way = common::DrillWay::Typed) {
        ASSERT_EQ(store.recordReview({at, review::wayKey(key(question), way), grade, 1000, file}),
                  QString());
    }
    // With a file's rows for each way under it.
    static QStringList rows(const QTreeWidget* list) {
        QStringList shown;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            shown.append(item->text(0) + " " + item->text(1) + " " + item->text(2));
            for (int way = 0; way < item->childCount(); ++way) {
                const QTreeWidgetItem* w = item->child(way);
                shown.append("- " + w->text(0) + " " + w->text(1) + " " + w->text(2));
            }
        }
        return shown;
    }
    static QList<qreal> bars(const frmReview& window) {
        const auto* view = window.findChild<QChartView*>("chtForecast");
        const auto* series = qobject_cast<QBarSeries*>(view->chart()->series().value(0));
        QList<qreal> values;
        const QBarSet* set = series != nullptr ? series->barSets().value(0) : nullptr;
        for (int day = 0; set != nullptr && day < set->count(); ++day) {
            values.append(set->at(day));
        }
        return values;
    }
};

// Each file with its due and new words (one no longer there, shown so and removed; a word held
// twice counted once; files of one name told apart by their folders), the chosen file's
// forecast, the retention saved, and 開始 by keyboard.
TEST_F(ReviewWindow, CountsForecastRetentionAndStart) {
    QDir(platform.programFolder()).mkpath("中1");
    const QString one = writeFile(
        "中1/one.qvw", wordFile({"a|@1|r|@1|", "b|@1|r|@1|", "c|@1|r|@1|", "a|@1|r|@1|"}));
    const QString two = writeFile("two.qvw", wordFile({"d|@1|r|@1|", "e|@1|r|@1|", "f|@1|r|@1|"}));
    const QString gone = programFile("中2/one.qvw");
    review(one, "a", review::Grade::Again, kDayZero);
    review(one, "z", review::Grade::Again, kDayZero + 5min);  // since edited out of the file
    review(one, "b", review::Grade::Good, kDayZero);
    review(one, "b", review::Grade::Good, kDayZero + 10min);  // out of its same-day steps
    review(two, "d", review::Grade::Good, kDayZero + 11min);
    review(gone, "x", review::Grade::Again, kDayZero + 12min);

    frmReview window(store, kDayZero + 1h, platform, nullptr);
    QSignalSpy started(&window, &frmReview::startReview);
    window.show();
    auto* list = window.findChild<QTreeWidget*>("lstFiles");
    EXPECT_EQ(rows(list), QStringList({"one.qvw — 中2 (見つかりません) 1 語 —", "two.qvw 1 語 2 語",
                                       "one.qvw — 中1 1 語 1 語"}));
    EXPECT_FALSE(window.findChild<QPushButton*>("cmdStart")->isEnabled());
    EXPECT_EQ(bars(window).value(0), 1);

    QTest::mouseClick(window.findChild<QPushButton*>("cmdRemove"), Qt::LeftButton);
    EXPECT_EQ(rows(list).size(), 2);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->currentItem()->text(0), "one.qvw") << "alone with its name now";
    const QList<qreal> forecast = bars(window);
    ASSERT_EQ(forecast.size(), frmReview::kForecastDays);
    EXPECT_EQ(forecast[0], 1) << "a, missed an hour ago; not z, no longer in the file";
    EXPECT_EQ(std::accumulate(forecast.begin() + 1, forecast.begin() + 7, 0.0), 1)
        << "b within the week";
    EXPECT_TRUE(window.findChild<QLabel*>("lblForecast")->text().startsWith("今日: 1 語"));

    window.findChild<QSpinBox*>("spnRetention")->setValue(80);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0][0].toString(), one);
    EXPECT_EQ(common::PreferencesFile(platform.preferencesFile()).load().desiredRetention, 0.8)
        << "saved when the window closes";
}

// The words of the files listed are kept for the next window, which still shows each file as it
// is then: grown, gone or back.
TEST_F(ReviewWindow, AWindowOpenedAgainCountsEachFileAsItIsNow) {
    const QString one = programFile("one.qvw");
    review(one, "a", review::Grade::Again, kDayZero);
    const struct {
        const char* name;
        QStringList lines;  // none: removed
        const char* row;
    } steps[] = {
        {"first read", {"a|@1|r|@1|", "b|@1|r|@1|"}, "one.qvw 1 語 1 語"},
        {"unchanged", {"a|@1|r|@1|", "b|@1|r|@1|"}, "one.qvw 1 語 1 語"},
        {"a word added", {"a|@1|r|@1|", "b|@1|r|@1|", "c|@1|r|@1|"}, "one.qvw 1 語 2 語"},
        {"removed", {}, "one.qvw (見つかりません) 1 語 —"},
        {"back with a word less", {"a|@1|r|@1|"}, "one.qvw 1 語 0 語"},
    };
    WordFileKeys kept;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.lines.isEmpty()) {
            QFile::remove(one);
        } else {
            writeFile("one.qvw", wordFile(step.lines));
        }
        frmReview window(store, kDayZero + 1h, platform, nullptr, &kept);
        EXPECT_EQ(rows(window.findChild<QTreeWidget*>("lstFiles")), QStringList{step.row});
    }
}

// A file reviewed in other ways than typed shows a row for each, typed first, under its sums,
// with its measured retention; which ways today's review asks is kept in the preferences.
TEST_F(ReviewWindow, CountsShowPerWay) {
    const QString one = writeFile("one.qvw", wordFile({"a|@1|r|@1|", "b|@1|r|@1|", "c|@1|r|@1|"}));
    const QString two = writeFile("two.qvw", wordFile({"d|@1|r|@1|", "e|@1|r|@1|"}));
    review(two, "d", review::Grade::Again, kDayZero);
    review(one, "a", review::Grade::Again, kDayZero);
    // By choice: a new and missed, b learned and missed when due yesterday.
    const auto choice = common::DrillWay::Choice;
    const review::ReviewTime learned = kDayZero - std::chrono::days(40);
    review(one, "a", review::Grade::Again, kDayZero, choice);
    review(one, "b", review::Grade::Good, learned, choice);
    review(one, "b", review::Grade::Good, learned + 10min, choice);
    review(one, "b", review::Grade::Again, kDayZero - std::chrono::days(1), choice);
    ASSERT_EQ(
        store.record({QDateTime::currentDateTimeUtc(), 0, one, common::kNormalMode, false, choice}),
        QString());
    frmReview window(store, kDayZero + 1h, platform, nullptr);
    window.show();
    auto* list = window.findChild<QTreeWidget*>("lstFiles");
    EXPECT_EQ(rows(list), QStringList({"one.qvw 3 語 3 語", "- 問題→答え 1 語 2 語",
                                       "- 選択式 2 語 1 語", "two.qvw 1 語 1 語"}));
    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_TRUE(
        window.findChild<QLabel*>("lblRetention")
            ->text()
            .endsWith("\n向きごと: 問題→答え まだありません　選択式 0 % (期日の復習 1 回)"));
    auto* typed = window.findChild<QCheckBox*>("chkReviewWay0");
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(window.findChildren<QCheckBox*>().size(), 2) << "typed and choice";
    QTest::keyClick(typed, Qt::Key_Space);
    EXPECT_FALSE(typed->isChecked());
    EXPECT_EQ(common::PreferencesFile(platform.preferencesFile()).load().reviewWaysLeftOut,
              QList{common::DrillWay::Typed});

    // A way's row stands for its file.
    list->setCurrentItem(list->topLevelItem(0)->child(1));
    QSignalSpy started(&window, &frmReview::startReview);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0][0].toString(), one);
}

// The chosen file's measured retention, every file's beside it; every percentage drops its
// fraction, as the results line and the history do: 7 of 8 is 87 %.
TEST_F(ReviewWindow, MeasuredRetentionOfTheChosenFileAndOfAll) {
    const QString file = writeFile("w.qvw", wordFile({"w0|@1|r|@1|"}));
    // Eight due answers here, seven of them right; three in another file, two of them right.
    for (int i = 0; i < 11; ++i) {
        const bool other = i >= 8;
        const QByteArray word = key(QString("w%1").arg(i));
        for (const auto& [at, grade] : std::vector<std::pair<review::ReviewTime, review::Grade>>{
                 {kDayZero - std::chrono::days(40), review::Grade::Good},
                 {kDayZero - std::chrono::days(40) + 10min, review::Grade::Good},
                 {kDayZero - std::chrono::days(other ? 20 : 10),
                  (other ? i % 2 == 0 : i < 7) ? review::Grade::Good : review::Grade::Again}}) {
            ASSERT_EQ(
                store.recordReview({at, word, grade, 1000, other ? programFile("x.qvw") : file}),
                QString());
        }
    }
    frmReview window(store, kDayZero, platform, nullptr);
    EXPECT_EQ(window.findChild<QLabel*>("lblRetention")->text(),
              "「w.qvw」の実際の記憶率: 87 % (期日の復習 8 回・正解 7 回)　目標 90 %\n"
              "すべての単語ファイル: 81 % (期日の復習 11 回)");
}

// The history on disk, as the program keeps it, with the sync that merges into it, and a folder
// another machine's journal lies in.
class SyncWindow : public DrillTest {
public:
    const QString path = programFile("history.sqlite");
    const QString one = writeFile("one.qvw", wordFile({"a|@1|r|@1|", "b|@1|r|@1|", "c|@1|r|@1|"}));
    history::SqliteHistory store{path, QTimeZone::utc()};
    history::HistorySync sync{store, path, platform.preferencesFile()};
    QTemporaryDir folder;

    // word missed here (seq 0), or the other machine's seq-th record, appended to its journal.
    void missed(const QString& word, qint64 seq = 0) {
        const review::ReviewRecord review{kDayZero + std::chrono::minutes(seq), key(word),
                                          review::Grade::Again, 900, one};
        const QString other = "0f6d2c1a-5b7e-4c4f-9d1e-3a2b1c0d9e8f";
        QFile journal(folder.filePath(history::journalFileName(other)));
        ASSERT_TRUE(seq == 0 ? store.recordReview(review).isEmpty()
                             : journal.open(QIODevice::Append) &&
                                   journal.write(history::journalLine({other, seq, review})) > 0);
    }
    // By keyboard; waits for the merge it starts, if any.
    void press(QWidget& window, const char* name, bool merges = false) {
        auto* button = window.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr);
        QSignalSpy merged(&sync, &history::HistorySync::merged);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        EXPECT_FALSE(merges && button->isEnabled()) << "while the merge runs";
        ASSERT_TRUE(!merges || merged.count() > 0 || merged.wait(20000));
    }
    QVariant storedFolder() const {
        return QSettings(platform.preferencesFile(), QSettings::IniFormat).value("sync/folder");
    }
};

// Chosen (never the folder the history lies in, which a sync program would copy): kept in the
// preferences file, merged at once beside the window, the counts and the line on the other
// machine brought up to date; 今すぐ同期 takes what came since; a journal that cannot be written
// is said, and answers are kept all the same; turned off, the key is gone.
TEST_F(SyncWindow, ChosenMergedNowAndTurnedOff) {
    sync.configure();
    missed("a");
    missed("b", 1);
    frmReview window(store, kDayZero + 1h, platform, nullptr, nullptr, &sync);
    const auto* list = window.findChild<QTreeWidget*>("lstFiles");
    const auto* now = window.findChild<QPushButton*>("cmdSyncNow");
    EXPECT_EQ(ReviewWindow::rows(list), QStringList{"one.qvw 1 語 2 語"});
    EXPECT_FALSE(now->isEnabled()) << "off by default";

    platform.fileNames({platform.programFolder(), folder.path()});
    platform.answers({platform::Answer::Ok});
    press(window, "cmdSyncFolder");
    EXPECT_EQ(platform.shown().size(), 1u);
    EXPECT_FALSE(storedFolder().isValid());
    press(window, "cmdSyncFolder", true);
    ASSERT_EQ(platform.fileDialogs().size(), 2u);
    EXPECT_EQ(platform.fileDialogs()[1].kind, platform::FileDialogKind::Folder);
    EXPECT_EQ(storedFolder(), folder.path());
    EXPECT_EQ(ReviewWindow::rows(list), QStringList{"one.qvw 2 語 1 語"}) << "b, missed there";
    const auto* machines = window.findChild<QLabel*>("lblSyncMachines");
    EXPECT_TRUE(machines->text().startsWith("最後に取り込んだ日時: 0f6d2c1a "));

    missed("c", 2);
    ASSERT_TRUE(QDir().mkpath(sync.journalPath()));
    missed("a");
    press(window, "cmdSyncNow", true);
    EXPECT_EQ(ReviewWindow::rows(list), QStringList{"one.qvw 3 語 0 語"});
    EXPECT_TRUE(
        window.findChild<QLabel*>("lblSyncProblem")->text().contains("書き込めませんでした"));
    EXPECT_TRUE(now->isEnabled());
    // A record whose keeping failed goes with the next merge.
    const QString outbox = path + ".journal.outbox";
    ASSERT_TRUE(QDir().mkpath(outbox));
    missed("b");
    ASSERT_TRUE(QDir().rmdir(outbox) && QDir().rmdir(sync.journalPath()));
    press(window, "cmdSyncNow", true);
    EXPECT_EQ(history::readJournal(sync.journalPath(), 0).records.size(), 2);

    press(window, "cmdSyncOff");
    EXPECT_FALSE(storedFolder().isValid());
    EXPECT_FALSE(now->isEnabled());
}

// Merged as the window opens. 書き出す… writes the whole history as one journal beside the window
// (a failure told with its reason), never in place of this machine's own journal, starting in the
// documents folder and then where the last went; a fresh history merges it into the same counts.
// Closed while it writes, the window waits for nothing, and nothing is put under the name.
TEST_F(SyncWindow, ExportedHistoryGivesAFreshOneTheSameCounts) {
    ASSERT_TRUE(sync.setFolder(folder.path()));
    missed("a");
    missed("b");
    missed("c", 1);
    QTemporaryDir moved;
    QSignalSpy merged(&sync, &history::HistorySync::merged);
    auto window =
        std::make_unique<frmReview>(store, kDayZero + 1h, platform, nullptr, nullptr, &sync);
    ASSERT_TRUE(merged.wait(20000)) << "as it opens";
    platform.fileNames(
        {sync.journalPath(), moved.filePath("gone/all"), moved.filePath("all.kxjournal")});
    platform.answers({platform::Answer::Ok, platform::Answer::Ok});
    press(*window, "cmdExportJournal");
    QSignalSpy exported(&sync, &history::HistorySync::exported);
    for (int i = 0; i < 2; ++i) {
        press(*window, "cmdExportJournal");
        EXPECT_FALSE(window->findChild<QPushButton*>("cmdSyncNow")->isEnabled()) << "writing";
        ASSERT_TRUE(exported.wait(20000));
    }
    ASSERT_EQ(platform.shown().size(), 2u);
    EXPECT_TRUE(platform.shown()[0].text.contains("同じ名前には書き出せません"));
    ASSERT_EQ(exported.size(), 2);
    EXPECT_EQ(exported[1][0].toString(), QString());
    EXPECT_EQ(platform.shown()[1].text,
              "記録を書き出せませんでした。\r\n" + exported[0][0].toString());
    ASSERT_EQ(platform.fileDialogs().size(), 3u);
    EXPECT_EQ(platform.fileDialogs()[0].initialFolder,
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    EXPECT_EQ(platform.fileDialogs()[1].initialFolder, folder.path());

    history::SqliteHistory fresh(moved.filePath("history.sqlite"), QTimeZone::utc());
    EXPECT_EQ(history::mergeFolder(fresh, moved.path(), 0).added, 3);
    frmReview copy(fresh, kDayZero + 1h, platform, nullptr);
    EXPECT_EQ(ReviewWindow::rows(copy.findChild<QTreeWidget*>("lstFiles")),
              ReviewWindow::rows(window->findChild<QTreeWidget*>("lstFiles")));

    std::binary_semaphore closed(0);
    history::HistorySync::exportStarted = [&closed] { closed.acquire(); };
    const auto unhook = qScopeGuard([] { history::HistorySync::exportStarted = nullptr; });
    // One begun while the dialog was open is told, not dropped unsaid.
    ASSERT_TRUE(sync.exportJournal(moved.filePath("first.kxjournal")));
    platform.fileNames({moved.filePath("second.kxjournal")});
    platform.answers({platform::Answer::Ok});
    press(*window, "cmdExportJournal");
    ASSERT_EQ(platform.shown().size(), 3u);
    EXPECT_TRUE(platform.shown()[2].text.contains("終わってから"));
    closed.release();
    ASSERT_TRUE(exported.wait(20000));
    EXPECT_FALSE(QFile::exists(moved.filePath("second.kxjournal")));
    platform.fileNames({moved.filePath("closed.kxjournal")});
    press(*window, "cmdExportJournal");
    window.reset();
    closed.release();
    sync.wait();
    EXPECT_FALSE(QFile::exists(moved.filePath("closed.kxjournal")));
}

// What stands in the way of sharing is told in the sync row's line.
TEST_F(SyncWindow, ToldWhatStandsInTheWay) {
    const struct {
        const char* name;
        QString folder;
        const char* said;
    } rows[]{{"an offline folder", folder.filePath("gone"), "同期フォルダを読めませんでした ("},
             {"a newer version", folder.path(), "新しい版の Kotobax が書いた記録が 1 行あり"}};
    QFile journal(folder.filePath(history::journalFileName("b")));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly) &&
                journal.write(R"({"v":2,"machine":"b","seq":1,"type":"note"})"
                              "\n") > 0);
    journal.close();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(sync.setFolder(row.folder));
        QSignalSpy ended(&sync, &history::HistorySync::merged);
        frmReview window(store, kDayZero, platform, nullptr, nullptr, &sync);
        ASSERT_TRUE(ended.wait(20000));
        const QString said = window.findChild<QLabel*>("lblSyncProblem")->text();
        EXPECT_TRUE(said.contains(row.said)) << said.toStdString();
    }
}

}  // namespace
}  // namespace drill::test
