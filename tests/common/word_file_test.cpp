// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/ansi_text.h"
#include "common/word_file.h"
#include "file_bytes.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

using namespace Qt::StringLiterals;
using common::encodeAnsi;
using common::Entry;
using common::OutcomeKind;
using kxtest::readBytes;
using kxtest::writeBytes;

namespace {

TEST(WordFile, ReadingOutcomes) {
    const QByteArray entry = "run|@1|" + encodeAnsi(u"走る"_s) + "|@1|ran\r\n",
                     line = "a|@1|b|@1|c\r\n";
    const Entry run{u"run"_s, u"走る"_s, u"ran"_s}, abc{u"a"_s, u"b"_s, u"c"_s};
    const OutcomeKind ok = OutcomeKind::Ok, old = OutcomeKind::OldVersion;
    const QByteArray v2 = "Version 2.00\r\n",
                     utf8Run = "run|@1|\xE8\xB5\xB0\xE3\x82\x8B|@1|ran\r\n";
    const struct {
        const char* name;
        QByteArray bytes;
        OutcomeKind outcome;
        QList<Entry> entries;
    } table[] = {
        // clang-format off
        {"empty file", "", OutcomeKind::Invalid, {}},
        {"any case, any number", "vERSION 3\r\n" + entry, ok, {run}},
        {"word cut", "VERSIO 2.00\r\n" + entry, old, {}},
        {"skipped lines", v2 + "a|@1|b\r\n\r\n" + entry + "|@1||@1|", ok, {run, {}}},
        // Read as the Windows programs read it: what follows a third separator is no field.
        {"a fourth field", v2 + "q|@1|r|@1|i|@1|x\r\n", ok, {{u"q"_s, u"r"_s, u"i"_s}}},
        {"only lines that give no entry", v2 + "a|@1|b\r\n\r\nc\r\n", OutcomeKind::Invalid, {}},
        {"UTF-8", v2 + line + utf8Run + "a|@1|b|@1|\xE3\x82\x8A\r\n", ok,
         {abc, run, {u"a"_s, u"b"_s, u"り"_s}}},
        // Valid Shift_JIS too ("襍ｰ繧..."), but the mark decides.
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + v2 + utf8Run, ok, {run}},
        // Valid Shift_JIS too, where "みず" would swallow the next '|'.
        {"valid in both reads as UTF-8", kxtest::kWaterFireTree, ok,
         {{u"water"_s, u"水|@2|みず"_s, {}}, {u"fire"_s, u"火"_s, u"ひ"_s}, {u"tree"_s, u"木"_s, {}}}},
        {"LF, CR CR LF, CR, none at the end",
         "Version 2.00\na|@1|b|@1|\r\r\n" + entry.chopped(1) + "a|@1|b|@1|c", ok,
         {{u"a"_s, u"b"_s, {}}, run, abc}},
        {"one too many", v2 + line.repeated(common::kMaxEntries + 1), OutcomeKind::TooMany, {}},
        // clang-format on
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        const common::ReadResult result = common::parseWordFile(row.bytes);
        EXPECT_EQ(result.outcome.kind, row.outcome);
        EXPECT_TRUE(result.entries == row.entries);
        // Each field ends in a null, as every string's own storage does, for whoever hands its
        // characters to a C interface.
        for (const Entry& entry : result.entries) {
            for (const QString* field : {&entry.question, &entry.rights, &entry.information}) {
                EXPECT_EQ(field->utf16()[field->size()], 0) << field->toStdString();
            }
        }
    }
}

TEST(WordFile, DamagedFilesStillGiveAnOutcome) {
    QTemporaryDir dir;
    const QString huge = dir.filePath(u"huge.qvw"_s);  // one line of 50 MB
    writeBytes(huge, "Version 2.00\r\n" + encodeAnsi(u"長い"_s).repeated(50 << 18) + "|@1|");
    const common::ReadResult hugeResult = common::readWordFile(huge);
    EXPECT_TRUE(hugeResult.outcome.kind == OutcomeKind::Invalid && hugeResult.entries.isEmpty());
    EXPECT_EQ(common::readWordFile(dir.filePath(u"none.qvw"_s)).outcome.kind,
              OutcomeKind::NotFound);
    EXPECT_EQ(common::readWordFile(dir.path()).outcome.kind, OutcomeKind::Unreadable);
}

TEST(WordFile, WritesTheTwoEntryExampleByteForByte) {
    const QList<Entry> entries = {{u"apple"_s, u"りんご|@2|林檎"_s, {}},
                                  {u"run"_s, u"走る"_s, u"過去形は ran\\n過去分詞は run"_s}};
    const QByteArray expected =
        "Version 2.00\r\napple|@1|\x82\xE8\x82\xF1\x82\xB2|@2|\x97\xD1\x8C\xE7|@1|\r\nrun|@1|" +
        encodeAnsi(u"走る|@1|過去形は ran\\n過去分詞は run"_s) + "\r\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(u"two.qvw"_s);
    writeBytes(path, "an older and longer file" + expected);
    const common::Outcome result = common::writeWordFile(path, entries);
    EXPECT_TRUE(result.ok()) << result.reason.toStdString();
    EXPECT_EQ(readBytes(path), expected);
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
    QStringList targets = {old + u"/inside.qvw"_s, dir.filePath(u"folder.qvw"_s)};
#ifdef Q_OS_UNIX
    // A pipe chosen as the target stays a pipe.
    const QString pipe = dir.filePath(u"pipe.qvw"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    targets.append(pipe);
#endif
    for (const QString& path : targets) {
        const common::Outcome result = common::writeWordFile(path, entries);
        EXPECT_FALSE(result.ok() || result.reason.isEmpty()) << path.toStdString();
    }
#ifdef Q_OS_UNIX
    struct stat pipeStatus {};
    EXPECT_TRUE(::stat(QFile::encodeName(pipe).constData(), &pipeStatus) == 0 &&
                S_ISFIFO(pipeStatus.st_mode));
    // The disk fills up in the middle of the write.
    struct rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit unlimited = limit;
    limit.rlim_cur = 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const common::Outcome result = common::writeWordFile(old, entries);
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(result.ok() || result.reason.isEmpty());
#endif
    EXPECT_EQ(readBytes(old), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"old.qvw"_s});
}

#ifdef Q_OS_UNIX
// Root may replace a read-only file; it stays read-only.
TEST(WordFile, ReplacingKeepsTheFilesMode) {
    QTemporaryDir dir;
    for (const mode_t mode : {mode_t(0444), mode_t(0640)}) {
        SCOPED_TRACE(mode);
        const QString path = dir.filePath(QString::number(mode) + u".qvw"_s);
        writeBytes(path, "old");
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        const common::Outcome result = common::writeWordFile(path, {});
        struct stat status {};
        ::stat(QFile::encodeName(path).constData(), &status);
        EXPECT_EQ(readBytes(path) == "old", !result.ok());
        EXPECT_EQ(status.st_mode & 0777, mode);
    }
}
#endif

}  // namespace
