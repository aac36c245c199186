#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "common/ansi_text.h"
#include "common/word_file.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>

#include <csignal>
#endif

using namespace Qt::StringLiterals;
using common::Entry;
using common::ReadOutcome;

namespace {

QByteArray sjis(const char* utf8) {
    return common::encodeAnsi(QString::fromUtf8(utf8));
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(WordFile, ReadingOutcomes) {
    const QByteArray entry = "run|@1|" + sjis("走る") + "|@1|ran\r\n";
    const Entry run{u"run"_s, u"走る"_s, u"ran"_s};
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
         "Version 2.00\r\napple|@1|" + sjis("りんご") + "\r\n\r\n" + entry + "|@1|\r\n|@1||@1|\r\n",
         ReadOutcome::Entries,
         {run, {}}},
        {"five pieces keep three",
         "Version 2.00\r\na|@1|b|@1|c|@1|d|@1|e\r\n",
         ReadOutcome::Entries,
         {{u"a"_s, u"b"_s, u"c"_s}}},
        {"empty information",
         "Version 2.00\r\na|@1|b|@1|\r\n",
         ReadOutcome::Entries,
         {{u"a"_s, u"b"_s, {}}}},
        {"bare LF, bare CR, no final end",
         "Version 2.00\na|@1|b|@1|\rc|@1|d|@1|e",
         ReadOutcome::Entries,
         {{u"a"_s, u"b"_s, {}}, {u"c"_s, u"d"_s, u"e"_s}}},
        {"CR CR LF is an empty line between",
         "Version 2.00\r\r\na|@1|b|@1|\r\n",
         ReadOutcome::Entries,
         {{u"a"_s, u"b"_s, {}}}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        const common::ReadResult result = common::parseWordFile(row.bytes);
        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_EQ(result.entries, row.entries);
    }
}

TEST(WordFile, DamagedFilesGiveAnOutcome) {
    QByteArray noise(1 << 16, '\0');
    QRandomGenerator random(2);
    for (char& b : noise) {
        b = char(random.bounded(256));
    }
    const QByteArray line = "a|@1|b|@1|c\r\n";
    const struct {
        const char* name;
        QByteArray bytes;
        ReadOutcome outcome;
        qsizetype entries;
    } table[] = {
        {"NUL bytes", QByteArray("Version 2.00\r\n\0a|@1|\0|@1|\0\r\n\0", 28), ReadOutcome::Entries,
         1},
        {"only NUL bytes", QByteArray(1000, '\0'), ReadOutcome::OldVersion, 0},
        {"broken pair before a separator", "Version 2.00\r\nq\x85|@1|\x86\x9f|@1|\x81",
         ReadOutcome::Entries, 1},
        {"binary after the version line", "VERSION\n" + noise, ReadOutcome::Entries, -1},
        {"a million line ends", "Version 2.00" + QByteArray(1 << 20, '\r'), ReadOutcome::Entries,
         0},
        {"most entries", "Version 2.00\r\n" + line.repeated(common::kMaxEntries),
         ReadOutcome::Entries, common::kMaxEntries},
        {"one too many", "Version 2.00\r\n" + line.repeated(common::kMaxEntries + 1),
         ReadOutcome::TooMany, 0},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        const common::ReadResult result = common::parseWordFile(row.bytes);
        EXPECT_EQ(result.outcome, row.outcome);
        if (row.entries >= 0) {
            EXPECT_EQ(result.entries.size(), row.entries);
        }
    }
}

TEST(WordFile, FilesThatCannotBeRead) {
    QTemporaryDir dir;
    const QString huge = dir.filePath(u"huge.qvw"_s);
    // One line of 50 MB: read whole, with no entry in it.
    writeBytes(huge, "Version 2.00\r\n" + sjis("長い").repeated(50 << 18) + "|@1|");
    const common::ReadResult hugeResult = common::readWordFile(huge);
    EXPECT_EQ(hugeResult.outcome, ReadOutcome::Entries);
    EXPECT_TRUE(hugeResult.entries.isEmpty());
    EXPECT_EQ(common::readWordFile(dir.filePath(u"none.qvw"_s)).outcome, ReadOutcome::NotFound);
    EXPECT_EQ(common::readWordFile(dir.path()).outcome, ReadOutcome::Unreadable);
}

TEST(WordFile, WritesTheTwoEntryExampleByteForByte) {
    const QList<Entry> entries = {{u"apple"_s, u"りんご|@2|林檎"_s, {}},
                                  {u"run"_s, u"走る"_s, u"過去形は ran\\n過去分詞は run"_s}};
    const QByteArray expected = "Version 2.00\r\napple|@1|" + sjis("りんご") + "|@2|" +
                                sjis("林檎") + "|@1|\r\nrun|@1|" + sjis("走る") + "|@1|" +
                                sjis("過去形は") + " ran\\n" + sjis("過去分詞は") + " run\r\n";
    EXPECT_EQ(expected.left(26).toHex(' '),
              "56 65 72 73 69 6f 6e 20 32 2e 30 30 0d 0a 61 70 70 "
              "6c 65 7c 40 31 7c 82 e8 82");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"two.qvw"_s);
    writeBytes(path, "old content that is longer than the new one" + expected);
    const common::WriteResult result = common::writeWordFile(path, entries);
    EXPECT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(common::readWordFile(path).entries, entries);
}

TEST(WordFile, LineBreaksInsideFieldsNeverSplitAnEntry) {
    const QList<Entry> entries = {{u"a\nb"_s, u"c\r\nd"_s, u"e\r\nf\ng"_s}};
    EXPECT_EQ(common::formatWordFile(entries), "Version 2.00\r\na b|@1|c d|@1|e\\nf\\ng\r\n");
}

TEST(WordFile, FailedWriteLeavesTheOldFileAlone) {
    QTemporaryDir dir;
    const QList<Entry> entries = {{u"apple"_s, u"りんご"_s, QString(4096, u'x')}};
    const QString blocker = dir.filePath(u"file"_s);
    writeBytes(blocker, "old");
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.qvw"_s));
    for (const QString& path : {blocker + u"/inside.qvw"_s, dir.filePath(u"folder.qvw"_s)}) {
        const common::WriteResult result = common::writeWordFile(path, entries);
        EXPECT_FALSE(result.ok) << path.toStdString();
        EXPECT_FALSE(result.error.isEmpty());
    }
#ifdef Q_OS_UNIX
    // The disk fills up in the middle of the write.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const common::WriteResult result = common::writeWordFile(blocker, entries);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
#endif
    EXPECT_EQ(readBytes(blocker), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"file"_s});
}

}  // namespace
