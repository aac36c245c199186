// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <semaphore>
#include <tuple>

#include "common/preferences.h"
#include "drill/history/journal_sender.h"
#include "drill/history/journal_writer.h"
#include "drill/history/sequence_ranges.h"
#include "drill/history/sqlite_history.h"
#include "drill/history/sync_merge.h"

namespace drill::history {
namespace {

constexpr qint64 kNow = 1'800'000'000'000;  // UTC ms, ahead of every review below
constexpr qint64 kHour = 3'600'000;

review::ReviewRecord answer(qint64 hours, const char* word, review::Grade grade) {
    return {review::ReviewTime(std::chrono::milliseconds(1'700'000'000'000 + hours * kHour)), word,
            grade, 900, QStringLiteral("/w/list.kwf")};
}

QByteArray line(const char* machine, qint64 sequence, JournalContent content) {
    return journalLine({QString::fromLatin1(machine), sequence, std::move(content)});
}

// Machine a's i-th answer to "apple" or "bird", and b's, an hour after each of a's.
std::vector<review::ReviewRecord> aAnswers(int from, int to) {
    std::vector<review::ReviewRecord> all;
    for (int i = from; i <= to; ++i) {
        all.push_back(answer(2 * i, i % 2 ? "apple" : "bird", review::Grade::Good));
    }
    return all;
}
std::vector<review::ReviewRecord> bAnswers(int from, int to, qint64 clockOffset = 0) {
    std::vector<review::ReviewRecord> all;
    for (int i = from; i <= to; ++i) {
        all.push_back(answer(2 * i + 1 + clockOffset, i % 3 ? "apple" : "bird",
                             i % 2 ? review::Grade::Again : review::Grade::Good));
    }
    return all;
}
// Those answers as the machine journals them, the first numbered from.
QByteArray linesOf(const char* machine, int from, const std::vector<review::ReviewRecord>& all) {
    QByteArray lines;
    for (const review::ReviewRecord& review : all) {
        lines += line(machine, from++, review);
    }
    return lines;
}
QByteArray aLines(int from, int to) {
    return linesOf("a", from, aAnswers(from, to));
}
QByteArray bLines(int from, int to, qint64 clockOffset = 0) {
    return linesOf("b", from, bAnswers(from, to, clockOffset));
}

struct FileStep {
    QString name;
    QByteArray bytes;  // appended; a null array removes the file
    bool replace = false;
};

// The answers the merged history must hold, each once, in any order: the states must equal
// those of one history that was given them in time order.
struct SyncCase {
    const char* name;
    std::vector<std::vector<FileStep>> merges;  // the files before each merge
    std::vector<review::ReviewRecord> expected;
    int newer = 0;
    qint64 drills = 0;
    qint64 renames = 0;
    std::vector<review::ReviewRecord> local = {};  // recorded before the first merge
    // Recorded before the second merge, by this program or by another one.
    std::vector<review::ReviewRecord> between = {};
    bool elsewhere = false;
    // The list's answers to due words and the right ones among them, where the row says.
    std::optional<std::pair<qint64, qint64>> retention = std::nullopt;
};

std::vector<review::ReviewRecord> operator+(std::vector<review::ReviewRecord> a,
                                            const std::vector<review::ReviewRecord>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// What a word's state is compared by.
std::optional<std::tuple<review::ReviewTime, double, int, int>> stateOf(SqliteHistory& history,
                                                                        const char* word) {
    const std::optional<review::CardState> state = history.wordReviews(word).state;
    if (!state) {
        return std::nullopt;
    }
    return std::tuple(state->due, state->stability, state->reps, state->lapses);
}

// The list's due answers and the right ones: those of the keys, or the file's sums without.
std::pair<qint64, qint64> retention(SqliteHistory& history, const QList<QByteArray>& keys) {
    const QString list = QStringLiteral("/w/list.kwf");
    const review::MeasuredRetention measured =
        keys.isEmpty() ? history.measuredRetention(list) : history.measuredRetentionOf(list, keys);
    return {measured.due, measured.right};
}

// Answers another machine gave before this one's: apple's then is due, bird's the same day's not.
const std::vector<review::ReviewRecord> kMine{answer(720, "apple", review::Grade::Good),
                                              answer(0, "bird", review::Grade::Good),
                                              answer(4800, "bird", review::Grade::Good)};
const std::vector<review::ReviewRecord> kBefore{answer(0, "apple", review::Grade::Good),
                                                answer(4790, "bird", review::Grade::Good)};

const QString kA = QStringLiteral("a.kxjournal");
const QString kB = QStringLiteral("b.kxjournal");

TEST(SyncMerge, TakesEveryRecordOnceWithTheStatesOfOneMachine) {
    const QByteArray aHalf = aLines(3, 3);
    const QByteArray rename =
        line("a", 4,
             review::WordRename{answer(9, "", review::Grade::Good).time,
                                QStringLiteral("/w/list.kwf"), "apple", "apples"});
    std::vector<review::ReviewRecord> many;
    for (int i = 0; i < 300; ++i) {
        many.push_back(answer(i, ("w" + QByteArray::number(i)).constData(), review::Grade::Good));
    }
    std::vector<review::ReviewRecord> elsewhere = bAnswers(1, 2);
    for (review::ReviewRecord& review : elsewhere) {
        review.wordFile = QStringLiteral("/w/other.kwf");
    }
    // Apple due at each answer after its first (the fourth early on the day it is due at 11400)
    // but the last, given again the same day.
    const auto good = review::Grade::Good;
    const std::vector<review::ReviewRecord> dueEarly{
        answer(0, "apple", good), answer(720, "apple", good), answer(4800, "apple", good)};
    const std::vector<review::ReviewRecord> dueLate{answer(11383, "apple", review::Grade::Again),
                                                    answer(11384, "apple", good)};
    DrillRecord drill;
    drill.started = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, QTimeZone::utc());
    drill.wordFile = QStringLiteral("/w/list.kwf");
    drill.asked = 3;
    const std::vector<SyncCase> cases{
        {"interleaved machines, merged twice",
         {{{kA, aLines(1, 4)}, {kB, bLines(1, 4)}}, {{kA, aLines(5, 6)}}},
         aAnswers(1, 6) + bAnswers(1, 4)},
        {"records appended twice after a kill",
         {{{kA, aLines(1, 3) + rename + aLines(2, 3) + rename}}},
         aAnswers(1, 3),
         0,
         0,
         1},
        {"conflict copies of a journal",
         {{{kA, aLines(1, 3)},
           {QStringLiteral("a.sync-conflict-20261208-101500-XYZ.kxjournal"), aLines(1, 5)},
           {QStringLiteral("a (conflicted copy 2026-12-08).kxjournal"), aLines(2, 6)}}},
         aAnswers(1, 6)},
        {"a line still arriving is read once whole",
         {{{kA, aLines(1, 2) + aHalf.first(10)}}, {{kA, aHalf.sliced(10) + aLines(4, 4)}}},
         aAnswers(1, 4)},
        {"a line cut short for ever is passed over",
         {{{kA, aLines(1, 2) + aHalf.first(10) + "\n" + aLines(4, 4)}}},
         aAnswers(1, 2) + aAnswers(4, 4)},
        {"clocks five hours apart",
         {{{kA, aLines(1, 4)}, {kB, bLines(1, 4, -5)}}},
         aAnswers(1, 4) + bAnswers(1, 4, -5)},
        {"a newer version: what is understood is taken",
         {{{kA, aLines(1, 1) +
                    R"({"v":2,"machine":"a","seq":2,"type":"note","text":"x"})"
                    "\n" +
                    aLines(3, 3).replace(R"("v":1)", R"("v":2,"mood":"ok")")}}},
         aAnswers(1, 1) + aAnswers(3, 3),
         2},
        {"a journal that disappears keeps what was taken",
         {{{kA, aLines(1, 3)}}, {{kA, {}}}},
         aAnswers(1, 3)},
        {"a journal replaced by another is read from its start",
         {{{kA, aLines(1, 4)}}, {{kA, bLines(1, 2) + aLines(1, 6), true}}},
         aAnswers(1, 6) + bAnswers(1, 2)},
        {"this machine's own journal gives what its history lacks",
         {{{QStringLiteral("me.kxjournal"),
            line("me", 1, answer(0, "apple", review::Grade::Good)) +
                line("me", 2, answer(1, "apple", review::Grade::Again))}}},
         {answer(0, "apple", review::Grade::Good), answer(1, "apple", review::Grade::Again)},
         0,
         0,
         0,
         {answer(0, "apple", review::Grade::Good)}},
        {.name = "an answer recorded between merges, also in the journal",
         .merges = {{{kA, aLines(1, 2)}}, {{kA, aLines(3, 4)}}},
         .expected = aAnswers(1, 4),
         .between = aAnswers(3, 3)},
        {.name = "the same, by another program",
         .merges = {{{kA, aLines(1, 2)}}, {{kA, aLines(3, 4)}}},
         .expected = aAnswers(1, 4),
         .between = aAnswers(3, 3),
         .elsewhere = true},
        {"two machines and two files in one journal",
         {{{kA, aLines(1, 2) + linesOf("b", 1, elsewhere) + aLines(3, 3)}}},
         aAnswers(1, 3) + elsewhere},
        {"more words than are replayed at once",
         {{{kA, aLines(1, 4) + linesOf("a", 5, many)}}},
         aAnswers(1, 4) + many},
        {"a review ahead of the clock decides nothing yet",
         {{{kA, aLines(1, 3) + line("a", 4, answer(100'000, "apple", review::Grade::Again))}}},
         aAnswers(1, 3) + std::vector{answer(100'000, "apple", review::Grade::Again)}},
        {.name = "merged answers to due words",
         .merges = {{{kA, linesOf("a", 1, dueEarly)}, {kB, linesOf("b", 1, dueLate)}}},
         .expected = dueEarly + dueLate,
         .retention = std::pair(3, 2)},
        {.name = "earlier answers merged change whether later ones were due",
         .merges = {{{kA, linesOf("a", 1, kBefore)}}},
         .expected = kMine + kBefore,
         .local = kMine,
         .retention = std::pair(2, 2)},
        {.name = "the same, with more words than are replayed at once",
         .merges = {{{kA, linesOf("a", 1, kBefore + many)}}},
         .expected = kMine + kBefore + many,
         .local = kMine,
         .retention = std::pair(2, 2)},
        {"drills, each once",
         {{{kA, line("a", 1, drill) + line("a", 2, drill)}, {kB, line("b", 1, drill)}}},
         {},
         0,
         1},
    };
    for (const SyncCase& row : cases) {
        SCOPED_TRACE(row.name);
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("sync"));
        ASSERT_TRUE(QDir().mkpath(folder));
        SqliteHistory history(home.filePath(QStringLiteral("history.sqlite")), QTimeZone::utc());
        ASSERT_EQ(history.recordReviews(row.local), QString());
        SyncReport report;
        int newer = 0;
        qint64 added = 0;
        for (const std::vector<FileStep>& files : row.merges) {
            if (!row.between.empty() && &files == &row.merges.back()) {
                SqliteHistory other(home.filePath(QStringLiteral("history.sqlite")),
                                    QTimeZone::utc());
                ASSERT_EQ((row.elsewhere ? other : history).recordReviews(row.between), QString());
            }
            for (const FileStep& file : files) {
                QFile out(QDir(folder).filePath(file.name));
                if (file.bytes.isNull()) {
                    ASSERT_TRUE(out.remove());
                    continue;
                }
                ASSERT_TRUE(out.open(file.replace ? QIODevice::WriteOnly
                                                  : QIODevice::WriteOnly | QIODevice::Append));
                out.write(file.bytes);
            }
            report = mergeFolder(history, folder, kNow);
            ASSERT_EQ(report.error, QString());
            newer += report.newer;
            added += report.added;
        }
        EXPECT_EQ(added, qint64(row.expected.size() - row.local.size() - row.between.size()) +
                             row.drills + row.renames);
        // Merging again adds nothing.
        EXPECT_EQ(mergeFolder(history, folder, kNow).added, 0);
        EXPECT_EQ(newer, row.newer);
        EXPECT_EQ(history.drills().records.size(), row.drills);

        std::vector<review::ReviewRecord> inOrder = row.expected;
        std::ranges::stable_sort(inOrder, {}, &review::ReviewRecord::time);
        SqliteHistory oneMachine(QStringLiteral(":memory:"), QTimeZone::utc());
        ASSERT_EQ(oneMachine.recordReviews(inOrder), QString());
        const review::ReviewTime now{std::chrono::milliseconds(kNow)};
        EXPECT_EQ(history.reviewFiles(now), oneMachine.reviewFiles(now));
        EXPECT_EQ(retention(history, {}), retention(oneMachine, {}));
        if (row.retention) {
            EXPECT_EQ(retention(history, {}), *row.retention);
        }
        for (const char* word : {"apple", "bird"}) {
            SCOPED_TRACE(word);
            EXPECT_EQ(history.wordReviews(word).reviews, oneMachine.wordReviews(word).reviews);
            EXPECT_EQ(stateOf(history, word), stateOf(oneMachine, word));
            EXPECT_EQ(retention(history, {word}), retention(oneMachine, {word}));
        }
        // As a program from before due flags left it: flagged by the next open. (A rename's copies
        // of answers stored not due would be counted with them.)
        if (row.renames > 0) {
            continue;
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "older");
            db.setDatabaseName(home.filePath(QStringLiteral("history.sqlite")));
            ASSERT_TRUE(db.open());
            for (const char* older : {"UPDATE reviews SET was_due = 0",
                                      "UPDATE review_files SET due_reviews = 0, due_right = 0",
                                      "DELETE FROM review_meta WHERE name = 'due_flags'"}) {
                EXPECT_TRUE(QSqlQuery(db).exec(QString::fromLatin1(older))) << older;
            }
        }
        QSqlDatabase::removeDatabase("older");
        SqliteHistory reopened(home.filePath(QStringLiteral("history.sqlite")), QTimeZone::utc());
        ASSERT_EQ(reopened.reviewsUnavailable(), QString());
        reopened.waitForReplay();
        EXPECT_EQ(retention(reopened, {}), retention(oneMachine, {}));
    }
}

// The numbers taken in, as runs: each held once, and none that was never added.
TEST(SequenceRanges, HoldsWhatWasAddedAsRuns) {
    const struct {
        const char* name;
        std::vector<qint64> added;
        std::map<qint64, qint64> runs;
        int heldAgain;
    } table[] = {
        {"in order", {1, 2, 3}, {{1, 3}}, 0},
        {"a gap stays open", {1, 3, 6}, {{1, 1}, {3, 3}, {6, 6}}, 0},
        {"a gap filled joins its neighbours", {1, 3, 2, 5, 4}, {{1, 5}}, 0},
        {"twice, also inside a run", {4, 5, 6, 5, 4, 6}, {{4, 6}}, 3},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        SequenceRanges ranges;
        int heldAgain = 0;
        for (const qint64 sequence : row.added) {
            heldAgain += ranges.add(sequence) ? 0 : 1;
        }
        EXPECT_EQ(ranges.runs(), row.runs);
        EXPECT_EQ(heldAgain, row.heldAgain);
        for (qint64 sequence = 0; sequence <= 7; ++sequence) {
            EXPECT_EQ(ranges.contains(sequence), std::ranges::count(row.added, sequence) > 0)
                << sequence;
        }
    }
}

// Lines of any shape read as JSON reads them, however they are read.
TEST(JournalLine, ReadsAsJsonDoes) {
    const QByteArray written = line("a", 7, answer(1, "apple", review::Grade::Good)).chopped(1);
    const std::vector<std::pair<const char*, QByteArray>> cases{
        {"as written", written},
        {"blanks", QByteArray(written).replace(",", ", ")},
        {"an escape", QByteArray(written).replace("/w/", "\\/w\\u0041/")},
        {"a fraction", QByteArray(written).replace(R"("grade":3)", R"("grade":3.0)")},
        {"a leading zero", QByteArray(written).replace(R"("seq":7)", R"("seq":07)")},
        {"a name twice", QByteArray(written).replace(R"("seq":7)", R"("seq":7,"seq":8)")},
        {"an int too large", QByteArray(written).replace(R"("grade":3)", R"("grade":4294967299)")},
        {"a number too long",
         QByteArray(written).replace(R"("seq":7)", R"("seq":12345678901234567890)")},
        {"a string for a number", QByteArray(written).replace(R"("seq":7)", R"("seq":"7")")},
        {"no UTF-8", QByteArray(written).replace("list", "l\xffst")},
        {"cut short", written.chopped(1)},
        {"a later version", QByteArray(written).replace(R"("v":1)", R"("v":2)")},
    };
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        const ParsedLine parsed = parseJournalLine(text);
        const ParsedLine json = parseJournalLineAsJson(text);
        EXPECT_EQ(parsed.newer, json.newer);
        ASSERT_EQ(parsed.record.has_value(), json.record.has_value());
        if (json.record) {
            EXPECT_EQ(journalLine(*parsed.record), journalLine(*json.record));
        }
    }
}

// Many words at once are replayed beside the window, and a word edited on one machine keeps its
// reviews on the other.
TEST(SyncMerge, ReplaysManyWordsAndFollowsRenames) {
    QTemporaryDir home;
    const QString folder = home.path();
    QByteArray lines;
    qint64 sequence = 0;
    for (int word = 0; word < 500; ++word) {
        const QByteArray key = "w" + QByteArray::number(word);
        lines += line("a", ++sequence, answer(word, key.constData(), review::Grade::Good));
        lines += line("a", ++sequence, answer(word + 30, key.constData(), review::Grade::Again));
    }
    lines += linesOf("a", sequence + 1, kBefore);
    sequence += qint64(kBefore.size());
    QFile out(QDir(folder).filePath(kA));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(lines);
    out.flush();
    SqliteHistory history(home.filePath(QStringLiteral("history.sqlite")), QTimeZone::utc());
    // A retention changed just before: a word the merge does not touch is replayed as well.
    const std::vector old =
        std::vector{answer(0, "old", review::Grade::Good), answer(30, "old", review::Grade::Good)} +
        kMine;
    ASSERT_EQ(history.recordReviews(old), QString());
    history.setDesiredRetention(0.8);
    EXPECT_EQ(mergeFolder(history, folder, kNow).added, sequence);
    out.write(line("a", ++sequence,
                   review::WordRename{answer(600, "", review::Grade::Good).time,
                                      QStringLiteral("/w/list.kwf"), "w7", "seven"}));
    out.close();
    const SyncReport report = mergeFolder(history, folder, kNow);
    ASSERT_EQ(report.error, QString());
    ASSERT_EQ(report.machines.size(), 1);
    EXPECT_EQ(report.machines[0], (MachineMerged{QStringLiteral("a"), sequence, kNow}));
    SqliteHistory oneMachine(QStringLiteral(":memory:"), QTimeZone::utc());
    oneMachine.setDesiredRetention(0.8);
    ASSERT_EQ(oneMachine.recordReviews(old), QString());
    EXPECT_EQ(stateOf(history, "old"), stateOf(oneMachine, "old"));
    std::vector<review::ReviewRecord> inOrder = kMine + kBefore;
    std::ranges::stable_sort(inOrder, {}, &review::ReviewRecord::time);
    SqliteHistory flagged(QStringLiteral(":memory:"), QTimeZone::utc());
    flagged.setDesiredRetention(0.8);
    ASSERT_EQ(flagged.recordReviews(inOrder), QString());
    EXPECT_EQ(retention(history, {"apple", "bird"}), retention(flagged, {"apple", "bird"}))
        << "the answers given here, replayed after those merged";
    for (const auto& [word, hour] : {std::pair("w0", 0), std::pair("w499", 499)}) {
        ASSERT_EQ(
            oneMachine.recordReviews(std::vector{answer(hour, word, review::Grade::Good),
                                                 answer(hour + 30, word, review::Grade::Again)}),
            QString());
        EXPECT_EQ(history.wordReviews(word).state->due, oneMachine.wordReviews(word).state->due);
    }
    EXPECT_EQ(history.wordReviews("seven").reviews, 2);

    // Written out whole, it gives a new machine the same history, and its own nothing new.
    QTemporaryDir backup;
    ASSERT_EQ(history.writeJournal(backup.filePath(QStringLiteral("all.kxjournal")),
                                   QStringLiteral("backup")),
              QString());
    EXPECT_EQ(mergeFolder(history, backup.path(), kNow).added, 0);
    SqliteHistory moved(backup.filePath(QStringLiteral("history.sqlite")), QTimeZone::utc());
    moved.setDesiredRetention(0.8);
    EXPECT_EQ(mergeFolder(moved, backup.path(), kNow).added, 1000 + 2 + 2 + 1 + 5)
        << "the reviews, those of the edited word and its rename, and those answered here";
    for (const char* word : {"w0", "w499", "seven"}) {
        EXPECT_EQ(moved.wordReviews(word).reviews, history.wordReviews(word).reviews);
        EXPECT_EQ(moved.wordReviews(word).state->due, history.wordReviews(word).state->due);
    }
}

// A merge stopped (the program closing) keeps the parts it committed; the next goes on from
// there, replays the words and adds nothing twice.
TEST(SyncMerge, StoppedMergeGoesOnNextTime) {
    QTemporaryDir home;
    QByteArray lines;
    constexpr int kAnswers = 12'000;
    for (int i = 0; i < kAnswers; ++i) {
        const QByteArray key = "w" + QByteArray::number(i % 600);
        lines += line("a", i + 1, answer(i, key.constData(), review::Grade::Good));
    }
    QFile out(home.filePath(kA));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(lines);
    out.close();
    SqliteHistory history(home.filePath(QStringLiteral("history.sqlite")), QTimeZone::utc());
    const std::atomic<bool> stop(true);
    const SyncReport stopped = mergeFolder(history, home.path(), kNow, stop);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_GT(stopped.added, 0);
    EXPECT_LT(stopped.added, kAnswers);
    // Another program answers before the words the stopped merge took in are settled: their
    // states are replayed, not written as that merge knew them.
    std::vector<review::ReviewRecord> w0;
    for (qint64 i = 0; i < stopped.added; i += 600) {
        w0.push_back(answer(i, "w0", review::Grade::Good));
    }
    w0.push_back(answer(kAnswers, "w0", review::Grade::Good));
    ASSERT_EQ(SqliteHistory(home.filePath(QStringLiteral("history.sqlite")), QTimeZone::utc())
                  .recordReviews(std::span(w0).last(1)),
              QString());
    ASSERT_EQ(history.replayMerged(std::atomic<bool>(false)), QString());
    SqliteHistory oneMachine(QStringLiteral(":memory:"), QTimeZone::utc());
    ASSERT_EQ(oneMachine.recordReviews(w0), QString());
    EXPECT_EQ(stateOf(history, "w0"), stateOf(oneMachine, "w0"));
    const SyncReport rest = mergeFolder(history, home.path(), kNow);
    EXPECT_FALSE(rest.stopped);
    EXPECT_EQ(stopped.added + rest.added, kAnswers);
    for (qint64 i = (stopped.added + 599) / 600 * 600; i < kAnswers; i += 600) {
        w0.push_back(answer(i, "w0", review::Grade::Good));
    }
    SqliteHistory all(QStringLiteral(":memory:"), QTimeZone::utc());
    ASSERT_EQ(all.recordReviews(w0), QString());
    EXPECT_EQ(history.wordReviews("w0").reviews, kAnswers / 600 + 1);
    EXPECT_EQ(stateOf(history, "w0"), stateOf(all, "w0"));
}

// What could not be written to the folder waits beside the history and goes once the folder is
// back, each record with its own number, none lost.
TEST(JournalWriter, KeepsWhatTheFolderCouldNotTake) {
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("sync"));
    JournalWriter writer(folder, QStringLiteral("me"), home.filePath(QStringLiteral("journal")));
    const std::vector<JournalContent> one{answer(1, "apple", review::Grade::Good)};
    EXPECT_NE(writer.append(one), QString()) << "the folder is offline";
    // A folder in the journal's place stands for one that cannot be written (the tests may run
    // as root, whom no permission stops).
    ASSERT_TRUE(QDir().mkpath(writer.journalPath()));
    EXPECT_NE(writer.append(one), QString()) << "the journal cannot be written";
    ASSERT_TRUE(QDir().rmdir(writer.journalPath()));
    QFile::remove(home.filePath(QStringLiteral("journal.seq")));  // the count lost
    EXPECT_EQ(writer.append(one), QString());
    EXPECT_EQ(writer.append(one), QString());
    // Killed while sending, with the count lost: what was being sent goes first, and no number is
    // given twice.
    QFile sending(home.filePath(QStringLiteral("journal.sending")));
    ASSERT_TRUE(sending.open(QIODevice::WriteOnly));
    sending.write(line("me", 5, one[0]));
    sending.close();
    QFile::remove(home.filePath(QStringLiteral("journal.seq")));
    // A record whose keeping failed goes with the next one, before it.
    const QString outbox = home.filePath(QStringLiteral("journal.outbox"));
    ASSERT_TRUE(QDir().mkpath(outbox));
    const std::vector<JournalContent> missed{answer(2, "bird", review::Grade::Again)};
    EXPECT_NE(writer.keep(missed), QString());
    ASSERT_TRUE(QDir().rmdir(outbox));
    EXPECT_EQ(writer.keep(one), QString());
    EXPECT_EQ(readJournal(writer.journalPath(), 0).records.size(), 4) << "kept, not yet sent";
    EXPECT_EQ(writer.flush(), QString());
    const JournalPart part = readJournal(writer.journalPath(), 0);
    std::vector<qint64> sequences;
    for (const JournalRecord& record : part.records) {
        sequences.push_back(record.sequence);
    }
    EXPECT_EQ(sequences, (std::vector<qint64>{1, 2, 3, 4, 5, 7, 8})) << "6 given to the failure";
}

// A folder that hangs holds the close no longer than the sender's wait (without a bound, this
// never ends); its write ends alone.
TEST(JournalSender, CloseWaitsBoundedForAHungFolder) {
    const auto started = std::make_shared<std::binary_semaphore>(0);
    const auto hung = std::make_shared<std::binary_semaphore>(0);
    auto sender = std::make_unique<JournalSender>(
        [started, hung] { return started->release(), hung->acquire(), QString(); },
        std::chrono::milliseconds(20));
    sender->send();
    started->acquire();
    sender.reset();
    hung->release();
}

// Two homes drill at once and are killed at random moments, again and again; once each has
// merged, both hold every answer either gave exactly once, with the same states.
TEST(HistorySync, TwoHomesKilledAtRandomEndWithOneHistory) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("sync"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QStringList homes{dir.filePath(QStringLiteral("a")), dir.filePath(QStringLiteral("b"))};
    for (const QString& home : homes) {
        ASSERT_TRUE(common::PreferencesFile(home + QStringLiteral("/preferences.ini"))
                        .update([&folder](common::Preferences& p) { p.syncFolder = folder; }));
    }
    QRandomGenerator random(30);
    QProcess running[2];
    for (int kills = 0; kills < 100; ++kills) {
        for (int machine = 0; machine < 2; ++machine) {
            if (running[machine].state() == QProcess::NotRunning) {
                running[machine].start(QStringLiteral(KX_SYNC_HOME),
                                       {homes[machine], QString::number(machine)});
                ASSERT_TRUE(running[machine].waitForStarted());
            }
        }
        QThread::msleep(random.bounded(30, 200));
        QProcess& killed = running[random.bounded(2)];
        killed.kill();
        killed.waitForFinished();
        ASSERT_NE(killed.exitCode(), 1) << killed.readAllStandardError().constData();
    }
    for (QProcess& process : running) {
        process.kill();
        process.waitForFinished();
    }
    // Each sends what a kill left waiting, then each merges.
    QByteArray outcomes[2];
    for (int machine : {0, 1, 0, 1}) {
        QProcess final;
        final.start(QStringLiteral(KX_SYNC_HOME),
                    {homes[machine], QString::number(machine), QStringLiteral("--final")});
        ASSERT_TRUE(final.waitForFinished(60'000));
        outcomes[machine] = final.readAllStandardOutput();
    }
    EXPECT_EQ(outcomes[0].toStdString(), outcomes[1].toStdString());
    const QList<QByteArray> all = outcomes[0].trimmed().split('\n').last().split(' ');
    ASSERT_EQ(all.size(), 4) << outcomes[0].constData();
    EXPECT_EQ(all[1], all[3]) << "answers held, of those given";
    EXPECT_GT(all[1].toInt(), 100);
}

}  // namespace
}  // namespace drill::history
