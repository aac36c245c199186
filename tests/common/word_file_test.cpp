#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "common/ansi_text.h"
#include "common/entry_text.h"
#include "common/word_file.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>

#include <csignal>
#endif

using namespace Qt::StringLiterals;
using common::Entry;
using common::ReadOutcome;

namespace {

QByteArray sjis(const QString& text) {
    return common::encodeAnsi(text);
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

TEST(WordFile, ReadingOutcomes) {
    const QByteArray entry = "run|@1|" + sjis(u"走る"_s) + "|@1|ran\r\n";
    const QByteArray line = "a|@1|b|@1|c\r\n";
    const Entry run{u"run"_s, u"走る"_s, u"ran"_s}, abc{u"a"_s, u"b"_s, u"c"_s};
    const struct {
        const char* name;
        QByteArray bytes;
        ReadOutcome outcome;
        QList<Entry> entries;
    } table[] = {
        {"empty file", "", ReadOutcome::Invalid, {}},
        {"version line only", "Version 2.00\r\n", ReadOutcome::Entries, {}},
        {"lower case", "version 2.00\r\n" + entry, ReadOutcome::Entries, {run}},
        {"word alone, no line end", "VERSION", ReadOutcome::Entries, {}},
        {"other number", "Version 3\r\n" + entry, ReadOutcome::Entries, {run}},
        {"short word", "Ver 2.00\r\n" + entry, ReadOutcome::OldVersion, {}},
        {"word cut", "VERSIO 2.00\r\n" + entry, ReadOutcome::OldVersion, {}},
        {"empty first line", "\r\nVersion 2.00\r\n" + entry, ReadOutcome::OldVersion, {}},
        {"entry first", entry + entry, ReadOutcome::OldVersion, {}},
        {"short and empty lines skipped",
         "Version 2.00\r\napple|@1|" + sjis(u"りんご"_s) + "\r\n\r\n" + entry + "|@1||@1|\r\n",
         ReadOutcome::Entries,
         {run, {}}},
        {"five pieces keep three",
         "Version 2.00\r\na|@1|b|@1|c|@1|d|@1|e\r\n",
         ReadOutcome::Entries,
         {abc}},
        {"bare LF, CR CR LF, bare CR, no final end",
         "Version 2.00\na|@1|b|@1|\r\r\nrun|@1|" + sjis(u"走る"_s) + "|@1|ran\ra|@1|b|@1|c",
         ReadOutcome::Entries,
         {{u"a"_s, u"b"_s, {}}, run, abc}},
        {"NUL bytes kept",
         QByteArray("Version 2.00\r\n\0|@1|\0|@1|\0\r\n\0", 28),
         ReadOutcome::Entries,
         {{u"\0"_s, u"\0"_s, u"\0"_s}}},
        {"only NUL bytes", QByteArray(1000, '\0'), ReadOutcome::OldVersion, {}},
        {"broken pairs",
         "Version 2.00\r\nq\x85|@1|\x86\x9f|@1|\x81",
         ReadOutcome::Entries,
         {{u"q\uFFFD"_s, u"\uFFFD"_s, u"\uFFFD"_s}}},
        {"a million line ends",
         "Version 2.00" + QByteArray(1 << 20, '\r'),
         ReadOutcome::Entries,
         {}},
        {"most entries", "Version 2.00\r\n" + line.repeated(common::kMaxEntries),
         ReadOutcome::Entries, QList<Entry>(common::kMaxEntries, abc)},
        {"one too many",
         "Version 2.00\r\n" + line.repeated(common::kMaxEntries + 1),
         ReadOutcome::TooMany,
         {}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        const common::ReadResult result = common::parseWordFile(row.bytes);
        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_TRUE(result.entries == row.entries);
    }
}

TEST(WordFile, DamagedFilesStillGiveAnOutcome) {
    QByteArray noise(1 << 16, '\0');
    QRandomGenerator random(2);
    for (char& b : noise) {
        b = char(random.bounded(256));
    }
    EXPECT_EQ(common::parseWordFile("VERSION\n" + noise).outcome, ReadOutcome::Entries);
    QTemporaryDir dir;
    const QString huge = dir.filePath(u"huge.qvw"_s);  // one line of 50 MB
    writeBytes(huge, "Version 2.00\r\n" + sjis(u"長い"_s).repeated(50 << 18) + "|@1|");
    const common::ReadResult hugeResult = common::readWordFile(huge);
    EXPECT_EQ(hugeResult.outcome, ReadOutcome::Entries);
    EXPECT_TRUE(hugeResult.entries.isEmpty());
    EXPECT_EQ(common::readWordFile(dir.filePath(u"none.qvw"_s)).outcome, ReadOutcome::NotFound);
    EXPECT_EQ(common::readWordFile(dir.path()).outcome, ReadOutcome::Unreadable);
#ifdef Q_OS_LINUX
    EXPECT_EQ(common::readWordFile(u"/dev/zero"_s).outcome, ReadOutcome::Unreadable);  // endless
#endif
}

TEST(WordFile, WritesTheTwoEntryExampleByteForByte) {
    const QList<Entry> entries = {{u"apple"_s, u"りんご|@2|林檎"_s, {}},
                                  {u"run"_s, u"走る"_s, u"過去形は ran\\n過去分詞は run"_s}};
    const QByteArray expected =
        "Version 2.00\r\napple|@1|\x82\xE8\x82\xF1\x82\xB2|@2|\x97\xD1\x8C\xE7|@1|\r\nrun|@1|" +
        sjis(u"走る|@1|過去形は ran\\n過去分詞は run"_s) + "\r\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(u"two.qvw"_s);
    writeBytes(path, "an older and longer file" + expected);
    const common::WriteResult result = common::writeWordFile(path, entries);
    EXPECT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(common::readWordFile(path).entries, entries);
    // A line break inside a field would split the entry in two.
    EXPECT_EQ(common::formatWordFile({{u"a\nb"_s, u"c\r\nd"_s, u"e\r\nf\ng"_s}}),
              "Version 2.00\r\na b|@1|c d|@1|e\\nf\\ng\r\n");
}

TEST(WordFile, FailedWriteLeavesTheOldFileAlone) {
    QTemporaryDir dir;
    const QList<Entry> entries = {{u"apple"_s, u"りんご"_s, QString(4096, u'x')}};
    const QString old = dir.filePath(u"old.qvw"_s);
    writeBytes(old, "old");
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.qvw"_s));
    for (const QString& path : {old + u"/inside.qvw"_s, dir.filePath(u"folder.qvw"_s)}) {
        const common::WriteResult result = common::writeWordFile(path, entries);
        EXPECT_FALSE(result.ok || result.error.isEmpty()) << path.toStdString();
    }
#ifdef Q_OS_UNIX
    // The disk fills up in the middle of the write.
    struct rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit unlimited = limit;
    limit.rlim_cur = 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const common::WriteResult result = common::writeWordFile(old, entries);
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(result.ok || result.error.isEmpty());
#endif
    EXPECT_EQ(readBytes(old), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"old.qvw"_s});
}

TEST(WordFile, SampleFileHoldsAnswersAndTwoLineInformation) {
    const common::ReadResult sample = common::readWordFile(KX_SOURCE_DIR "/examples/sample.qvw");
    ASSERT_EQ(sample.outcome, ReadOutcome::Entries);
    EXPECT_EQ(sample.entries.size(), 30);
    EXPECT_EQ(common::formatWordFile(sample.entries),
              readBytes(KX_SOURCE_DIR "/examples/sample.qvw"));
    qsizetype most = 0;
    for (const Entry& entry : sample.entries) {
        most = qMax(most, common::splitRights(entry.rights).size());
    }
    EXPECT_EQ(most, 6);
}

}  // namespace
