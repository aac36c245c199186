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

TEST(History, FilesByLastUseAndMissesCountedOncePerDrill) {
    const QList<DrillRecord> records{drill("/b", 3, 0, 3, {"x", "y", "x"}),
                                     drill("/a", 2, 0, 2, {"y", "z"}), drill("/b", 1, 0, 1, {"w"})};
    EXPECT_EQ(wordFilesOf(records), QStringList({"/b", "/a"}));
    EXPECT_EQ(recordsOf(records, "/b").size(), 2);
    EXPECT_EQ(recordsOf(records, "").size(), 3) << "no file: all";
    EXPECT_EQ(mostMissed(records, 10), (QList<MissCount>{{"y", 2}, {"w", 1}, {"x", 1}, {"z", 1}}));
    EXPECT_EQ(mostMissed(records, 1), (QList<MissCount>{{"y", 2}}));
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
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(8192, 'Z')) > 0);
    garbage.close();
    SqliteHistory history(path);
    EXPECT_NE(history.record(drill("/a", 1, 1, 1)), QString());
    EXPECT_NE(history.drills().error, QString());
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray(8192, 'Z')) << "the file is left alone";
}

// Two drill programs ending at the same moment both record.
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
    const QList<DrillRecord> records = SqliteHistory(path).drills().records;
    EXPECT_EQ(recordsOf(records, "/first").size(), kEach);
    EXPECT_EQ(recordsOf(records, "/second").size(), kEach);
}

}  // namespace
}  // namespace drill::history
