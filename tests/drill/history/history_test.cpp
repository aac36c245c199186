#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>

#include "drill/history/history_report.h"
#include "drill/history/sqlite_history.h"

namespace drill::history {
namespace {

DrillRecord drill(const QString& file, int minute, int right, int asked,
                  const QStringList& missed = {}) {
    DrillRecord record;
    record.started = QDateTime(QDate(2026, 12, 7), QTime(9, minute, 5, 250), Qt::UTC);
    record.seconds = 61;
    record.wordFile = file;
    record.mode = common::kNormalMode;
    record.asked = asked;
    record.right = right;
    record.rate = rateOf(right, asked);
    record.missed = missed;
    return record;
}

TEST(History, RecordsComeBackNewestFirstAsWritten) {
    SqliteHistory history(QStringLiteral(":memory:"));
    DrillRecord endless = drill("/w/b.qvw", 3, 9, 12, {"two", "", "三, \"quoted\"\nline"});
    endless.mode = common::kEndlessMode;
    const QList<DrillRecord> written{drill("/w/a.qvw", 1, 3, 4, {"apple"}), endless,
                                     drill("/w/a.qvw", 2, 0, 0)};
    for (const DrillRecord& record : written) {
        ASSERT_EQ(history.record(record), QString());
    }
    const Drills read = history.drills();
    EXPECT_EQ(read.error, QString());
    EXPECT_EQ(read.records, (QList<DrillRecord>{written[1], written[2], written[0]}));
}

TEST(History, RateDropsTheFraction) {
    const std::vector<std::tuple<qint64, qint64, int>> cases{
        {3, 4, 75}, {2, 3, 66}, {29, 100, 29}, {0, 0, 0}, {5, 5, 100}};
    for (const auto& [right, asked, rate] : cases) {
        EXPECT_EQ(rateOf(right, asked), rate) << right << "/" << asked;
    }
}

TEST(History, MostMissedCountsEachQuestionOncePerDrill) {
    const QList<DrillRecord> records{drill("/a", 1, 0, 3, {"x", "y", "x"}),
                                     drill("/a", 2, 0, 2, {"y", "z"}), drill("/a", 3, 0, 1, {"w"})};
    const std::vector<std::pair<qsizetype, QList<MissCount>>> cases{
        {10, {{"y", 2}, {"w", 1}, {"x", 1}, {"z", 1}}},
        {2, {{"y", 2}, {"w", 1}}},
        {0, {}},
    };
    for (const auto& [limit, expected] : cases) {
        EXPECT_EQ(mostMissed(records, limit), expected) << limit;
    }
}

TEST(History, FilesAreListedByLastUseAndFilterTheRecords) {
    const QList<DrillRecord> records{drill("/b", 3, 1, 1), drill("/a", 2, 1, 1),
                                     drill("/b", 1, 1, 1)};
    EXPECT_EQ(wordFilesOf(records), QStringList({"/b", "/a"}));
    const std::vector<std::pair<QString, int>> cases{{"/b", 2}, {"/a", 1}, {"", 3}, {"/c", 0}};
    for (const auto& [file, count] : cases) {
        EXPECT_EQ(recordsOf(records, file).size(), count) << file.toStdString();
    }
}

TEST(History, CsvIsUtf8WithAByteOrderMarkQuotedAndSafeForSpreadsheets) {
    DrillRecord overcoming = drill("/w/a,b.qvw", 4, 2, 3, {"=1+2", "say \"hi\""});
    overcoming.mode = common::kOvercomingMode;
    const QByteArray csv =
        historyCsv({overcoming, drill("/w/単語.qvw", 5, 1, 1)}, QTimeZone(9 * 3600));
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "開始日時,時間 (秒),単語ファイル,モード,問題数,正解数,正解率 (%),間違えた問題\r\n"
        "2026-12-07 18:04:05,61,\"/w/a,b.qvw\",Overcoming,3,2,66,\"'=1+2 / say \"\"hi\"\"\"\r\n"
        "2026-12-07 18:05:05,61,/w/単語.qvw,Normal,1,1,100,\r\n";
    EXPECT_EQ(QString::fromUtf8(csv), QString::fromUtf8(expected));
}

TEST(History, FileThatIsNotADatabaseGivesAReasonAndNoRecord) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    QFile garbage(path);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, '\x5a'));
    garbage.close();
    SqliteHistory history(path);
    EXPECT_NE(history.record(drill("/a", 1, 1, 1)), QString());
    EXPECT_NE(history.drills().error, QString());
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray(8192, '\x5a')) << "the file is left alone";
}

TEST(History, TwoProgramsRecordingAtOnceBothLand) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/history.sqlite");
    constexpr int kEach = 200;
    QProcess first;
    QProcess second;
    first.start(KX_HISTORY_WRITER, {path, "/first", QString::number(kEach)});
    second.start(KX_HISTORY_WRITER, {path, "/second", QString::number(kEach)});
    for (QProcess* process : {&first, &second}) {
        ASSERT_TRUE(process->waitForFinished(60000));
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
    }
    SqliteHistory history(path);
    const QList<DrillRecord> records = history.drills().records;
    EXPECT_EQ(recordsOf(records, "/first").size(), kEach);
    EXPECT_EQ(recordsOf(records, "/second").size(), kEach);
    for (const DrillRecord& record : records) {
        ASSERT_EQ(record.missed, QStringList{QStringLiteral("q%1").arg(record.asked)});
    }
}

}  // namespace
}  // namespace drill::history
