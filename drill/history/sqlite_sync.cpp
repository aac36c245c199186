// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Other machines' journals taken into the SQLite history. Reviews go in as they are, and the
// states of their words are those of all their reviews in time order, so that they equal those
// of a history where every answer was given on one machine: followed review by review for a word
// new to the history whose reviews come in order, replayed from them afterwards for any other.
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "common/atomic_file.h"
#include "drill/history/due_flags.h"
#include "drill/history/review_replay.h"
#include "drill/history/sequence_ranges.h"
#include "drill/history/sqlite_detail.h"
#include "drill/history/sqlite_history.h"
#include "drill/history/sqlite_statement.h"

namespace drill::history {

using detail::failure;
using detail::Transaction;

namespace {

qint64 millis(review::ReviewTime time) {
    return time.time_since_epoch().count();
}

// More words than this are left to the end of the merge.
constexpr qsizetype kWordsReplayedAtOnce = 200;

constexpr const char* kWriteState =
    "UPDATE words SET phase = ?1, stability = ?2, difficulty = ?3, due = ?4, last_review = ?5,"
    " elapsed_days = ?6, scheduled_days = ?7, learning_step = ?8, reps = ?9, lapses = ?10"
    " WHERE id = ?11";

// Empty when written, else why not.
QString writeState(detail::Statement& update, qint64 word, const review::CardState& card) {
    update.bind(1, qint64(card.phase))
        .bindReal(2, card.stability)
        .bindReal(3, card.difficulty)
        .bind(4, millis(card.due))
        .bind(5, millis(card.lastReview))
        .bind(6, qint64(card.elapsedDays))
        .bind(7, qint64(card.scheduledDays))
        .bind(8, qint64(card.learningStep))
        .bind(9, qint64(card.reps))
        .bind(10, qint64(card.lapses))
        .bind(11, word)
        .step();
    return update.error();
}

// A word a merge added reviews of: its state as known, or replayed from its reviews.
QString settle(const QSqlDatabase& db, detail::Statement& update,
               const review::FsrsScheduler& scheduler, review::ReviewTime until,
               const MergeCache::Word& word) {
    return word.known ? writeState(update, word.id, word.state)
                      : detail::replayWord(db, scheduler, until, word.id);
}

constexpr int kMostReplayFailures = 20;
constexpr unsigned long kReplayRetryMilliseconds = 50;

// The statements a merge repeats for every review, prepared once and run on the connection
// under Qt's driver: a million reviews are taken in within seconds.
struct MergeStatements {
    explicit MergeStatements(sqlite3* db)
        : word(db, "SELECT id FROM words WHERE word_key = ?1"),
          latest(db, "SELECT MAX(at) FROM reviews WHERE word_id = ?1"),
          newWord(db, QByteArray("INSERT INTO words (word_key, ")
                          .append(detail::kStateColumns)
                          .append(") VALUES (?1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)")
                          .constData()),
          // Apart from the insert: an insert that selects from its own table goes through a
          // temporary table each time.
          held(db, "SELECT 1 FROM reviews WHERE word_id = ?1 AND at = ?2 AND grade = ?3"),
          review(db,
                 "INSERT INTO reviews (at, word_id, grade, answer_ms, file_id, was_due)"
                 " VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
          fileWord(db, "INSERT OR IGNORE INTO file_words VALUES (?1, ?2)"),
          state(db, kWriteState) {}
    // Why one could not be prepared; empty when all were.
    QString error() const {
        for (const detail::Statement* statement :
             {&word, &latest, &newWord, &held, &review, &fileWord, &state}) {
            if (!statement->error().isEmpty()) {
                return statement->error();
            }
        }
        return {};
    }
    detail::Statement word, latest, newWord, held, review, fileWord, state;
};

// For one part of a merge, set outside its transaction: foreign keys go unchecked, every id the
// part writes coming from its own look-ups in the same transaction, and the journal is copied
// back into the file after several parts rather than after each, which copies a page that each
// part changes (the reviews' index) once instead of every time.
class PartSettings {
public:
    PartSettings(const QSqlDatabase& db, int checkpointPages) : db_(db), pages_(checkpointPages) {
        QSqlQuery query(db_);
        query.exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
        query.exec(QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(kMergeCheckpointPages));
    }
    ~PartSettings() {
        QSqlQuery query(db_);
        query.exec(QStringLiteral("PRAGMA foreign_keys=ON"));
        query.exec(QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(pages_));
    }
    PartSettings(const PartSettings&) = delete;
    PartSettings& operator=(const PartSettings&) = delete;

private:
    static constexpr int kMergeCheckpointPages = 8 * detail::kCheckpointPages;
    QSqlDatabase db_;
    int pages_;
};

// The runs of a machine's numbers that changed, written over those stored.
QString writeRuns(const QSqlDatabase& db, qint64 machine, SequenceRanges& taken) {
    const SequenceRanges::Changes changes = taken.takeChanges();
    QSqlQuery gone(db);
    gone.prepare(QStringLiteral("DELETE FROM sync_ranges WHERE machine_id = ? AND first = ?"));
    for (const qint64 first : changes.gone) {
        gone.addBindValue(machine);
        gone.addBindValue(first);
        if (!gone.exec()) {
            return failure(gone);
        }
    }
    QSqlQuery changed(db);
    changed.prepare(QStringLiteral("INSERT OR REPLACE INTO sync_ranges VALUES (?, ?, ?)"));
    for (const qint64 first : changes.changed) {
        // Joined to the run before after it changed: gone, written with that run.
        const auto run = taken.runs().find(first);
        if (run == taken.runs().end()) {
            continue;
        }
        changed.addBindValue(machine);
        changed.addBindValue(first);
        changed.addBindValue(run->second);
        if (!changed.exec()) {
            return failure(changed);
        }
    }
    return {};
}

}  // namespace

template <typename Record>
void SqliteHistory::tellRecorded(std::span<const Record> records) {
    if (recorded_) {
        recorded_(std::vector<JournalContent>(records.begin(), records.end()));
    }
}
template void SqliteHistory::tellRecorded(std::span<const DrillRecord>);
template void SqliteHistory::tellRecorded(std::span<const review::ReviewRecord>);
template void SqliteHistory::tellRecorded(std::span<const review::WordRename>);

SyncState SqliteHistory::syncState() {
    SyncState state;
    if (QString reason = open(); !reason.isEmpty()) {
        state.error = std::move(reason);
        return state;
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    // Unreadable: every journal is read from its start, which takes nothing twice.
    if (!query.exec(QStringLiteral("SELECT name, position, tail FROM sync_files"))) {
        return state;
    }
    while (query.next()) {
        state.files.insert(query.value(0).toString(),
                           {query.value(1).toLongLong(), query.value(2).toByteArray()});
    }
    if (!query.exec(
            QStringLiteral("SELECT machine, seq, merged_at FROM sync_machines ORDER BY machine"))) {
        state.error = failure(query);
        return state;
    }
    while (query.next()) {
        state.machines.append(
            {query.value(0).toString(), query.value(1).toLongLong(), query.value(2).toLongLong()});
    }
    return state;
}

Merged SqliteHistory::mergeJournal(std::span<const JournalRecord> records, const QString& name,
                                   const JournalPosition& position, qint64 now) {
    Merged merged;
    // Opened without setting the replay going: it waits for the last part.
    if (merged.error = open(); !merged.error.isEmpty()) {
        return merged;
    }
    if (readOnly_) {
        merged.error = reviewsUnavailable();
        return merged;
    }
    std::optional<PartSettings> settings(std::in_place, database(),
                                         checkpointsLeft_ ? 0 : detail::kCheckpointPages);
    Transaction transaction(database());
    if (merged.error = transaction.reason(); !merged.error.isEmpty()) {
        return merged;
    }
    // The states follow what the history says, whichever program changed it last.
    if (merged.error = followTarget(true); !merged.error.isEmpty()) {
        return merged;
    }
    // What the parts before looked up holds while nothing else changed the history; from here it
    // holds again only once this part commits.
    sqlite3* const db = detail::handleOf(database());
    if (const auto stamp = detail::changeMarksOf(database());
        !stamp || stamp != mergeCache_.stamp) {
        mergeCache_ = {};
    }
    mergeCache_.stamp.reset();
    QSqlQuery query(database());
    // A replay marker there before (that of a new history covers no word).
    const bool markedBefore =
        replaying_ &&
        (!query.exec(QStringLiteral("SELECT 1 FROM review_meta WHERE name = 'replay_from' AND"
                                    " value <= (SELECT MAX(id) FROM words)")) ||
         query.next());
    query.finish();
    // Each machine's id here, its highest sequence number taken in, whether it changed, and the
    // numbers taken in: a copy of a journal may hold them in any order.
    struct Machine {
        qint64 id = 0;
        qint64 highest = 0;
        bool merged = false;
        SequenceRanges taken = {};
    };
    QHash<QString, Machine> machines;
    if (!query.exec(
            QStringLiteral("SELECT m.machine, m.id, m.seq, r.first, r.last FROM"
                           " sync_machines m LEFT JOIN sync_ranges r ON r.machine_id = m.id"))) {
        merged.error = failure(query);
        return merged;
    }
    while (query.next()) {
        auto machine = machines.find(query.value(0).toString());
        if (machine == machines.end()) {
            machine = machines.insert(query.value(0).toString(),
                                      {query.value(1).toLongLong(), query.value(2).toLongLong()});
        }
        if (!query.isNull(3)) {
            machine->taken.load(query.value(3).toLongLong(), query.value(4).toLongLong());
        }
    }
    // Run for each file when first met, with no answers to add, and once at the end with those
    // of the part.
    QSqlQuery fileUpsert(database());
    fileUpsert.prepare(
        QStringLiteral("INSERT INTO review_files (word_file, last_review, due_reviews, due_right)"
                       " VALUES (?, ?, ?, ?) ON CONFLICT(word_file) DO UPDATE SET hidden = 0,"
                       " last_review = max(last_review, excluded.last_review),"
                       " due_reviews = due_reviews + excluded.due_reviews,"
                       " due_right = due_right + excluded.due_right"));
    QSqlQuery fileId(database());
    fileId.prepare(QStringLiteral("SELECT id FROM review_files WHERE word_file = ?"));
    MergeStatements q(db);
    if (merged.error = q.error(); !merged.error.isEmpty()) {
        return merged;
    }
    QHash<QString, qint64>& files = mergeCache_.files;
    // Each file's latest review and the due answers added to it, written once.
    struct FileSums {
        qint64 latest = 0;
        qint64 due = 0;
        qint64 right = 0;
    };
    QHash<QString, FileSums> sums;
    // A review of a word whose state is followed is flagged as it is taken in; that of any other
    // when its word is replayed.
    detail::DueCheck dueCheck(scheduler_.learnerDay());
    std::vector<MergeCache::Word>& words = mergeCache_.words;
    QSet<std::pair<qint64, qint64>>& fileWords = mergeCache_.fileWords;
    const review::ReviewTime until = horizon();
    const qint32 part = ++mergeCache_.parts;
    std::vector<qint32> touched;  // in words
    QList<review::WordRename> renames;
    std::optional<review::ReviewTime> ahead;
    const auto fail = [&merged](const QSqlQuery& failed) {
        merged.error = failure(failed);
        return merged;
    };
    const auto failed = [&merged](const detail::Statement& statement) {
        merged.error = statement.error();
        return !merged.error.isEmpty();
    };
    // Those of the record before, which the next mostly shares; looked up again when it does not
    // (an insert may move the values of a hash).
    const QString* machineName = nullptr;
    Machine* machine = nullptr;
    const QString* fileName = nullptr;
    qint64 file = 0;
    FileSums* fileSums = nullptr;
    for (const JournalRecord& record : records) {
        if (machineName == nullptr || record.machine != *machineName) {
            auto found = machines.find(record.machine);
            if (found == machines.end()) {
                query.prepare(
                    QStringLiteral("INSERT INTO sync_machines (machine, seq, merged_at)"
                                   " VALUES (?, 0, 0)"));
                query.addBindValue(record.machine);
                if (!query.exec()) {
                    return fail(query);
                }
                found = machines.insert(record.machine, {query.lastInsertId().toLongLong()});
            }
            machineName = &record.machine;
            machine = &*found;
        }
        if (!machine->taken.add(record.sequence)) {
            continue;
        }
        machine->highest = std::max(machine->highest, record.sequence);
        machine->merged = true;
        if (const auto* drill = std::get_if<DrillRecord>(&record.content)) {
            query.prepare(
                QStringLiteral("SELECT 1 FROM drills WHERE word_file = ? AND started = ? LIMIT 1"));
            query.addBindValue(drill->wordFile);
            query.addBindValue(drill->started.toUTC().toString(Qt::ISODateWithMs));
            if (!query.exec()) {
                return fail(query);
            }
            const bool held = query.next();
            query.finish();
            if (!held) {
                if (merged.error = insert(*drill); !merged.error.isEmpty()) {
                    return merged;
                }
                ++merged.added;
            }
        } else if (const auto* rename = std::get_if<review::WordRename>(&record.content)) {
            // Taken in once, by the table that remembers them, which a history that never took
            // in an edited word lacks.
            query.prepare(
                QStringLiteral("SELECT 1 FROM word_renames WHERE word_file = ? AND"
                               " old_key = ? AND new_key = ? AND at = ?"));
            query.addBindValue(rename->wordFile);
            query.addBindValue(QString::fromLatin1(rename->oldKey.toHex()));
            query.addBindValue(QString::fromLatin1(rename->newKey.toHex()));
            query.addBindValue(millis(rename->time));
            if (!query.exec() || !query.next()) {
                renames.append(*rename);
                ++merged.added;
            }
            query.finish();
        } else if (const auto* review = std::get_if<review::ReviewRecord>(&record.content)) {
            const qint64 at = millis(review->time);
            if (fileName == nullptr || review->wordFile != *fileName) {
                auto found = files.constFind(review->wordFile);
                if (found == files.cend()) {
                    fileUpsert.addBindValue(review->wordFile);
                    fileUpsert.addBindValue(at);
                    fileUpsert.addBindValue(0);
                    fileUpsert.addBindValue(0);
                    if (!fileUpsert.exec()) {
                        return fail(fileUpsert);
                    }
                    fileId.addBindValue(review->wordFile);
                    if (!fileId.exec() || !fileId.next()) {
                        return fail(fileId);
                    }
                    found = files.insert(review->wordFile, fileId.value(0).toLongLong());
                    fileId.finish();
                }
                fileName = &review->wordFile;
                file = *found;
                fileSums = &sums[review->wordFile];
            }
            fileSums->latest = std::max(fileSums->latest, at);
            auto slot = mergeCache_.wordAt.constFind(review->wordKey);
            if (slot == mergeCache_.wordAt.cend()) {
                const QByteArray key = review->wordKey.toHex();
                MergeCache::Word added;
                if (q.word.bind(1, key).step()) {
                    // NULL, read as 0, where it has none: only reviews from before 1970 are
                    // looked for then.
                    added.id = q.word.first();
                    if (q.latest.bind(1, added.id).step(); failed(q.latest)) {
                        return merged;
                    }
                    added.latest = q.latest.first();
                } else if (failed(q.word)) {
                    return merged;
                } else if (q.newWord.bind(1, key).step(); failed(q.newWord)) {
                    return merged;
                } else {
                    added.id = q.newWord.lastInsertId();
                    added.latest = std::numeric_limits<qint64>::min();
                    added.known = true;
                }
                slot = mergeCache_.wordAt.insert(review->wordKey, qint32(words.size()));
                words.push_back(added);
            }
            MergeCache::Word* const word = &words[*slot];
            // One the history holds (this machine's own, a backup taken in again) is not added;
            // one later than all the word's reviews cannot be held.
            const int grade = static_cast<int>(review->grade);
            if (at <= word->latest) {
                if (q.held.bind(1, word->id).bind(2, at).bind(3, grade).step()) {
                    continue;
                }
                if (failed(q.held)) {
                    return merged;
                }
            }
            word->known = word->known && at >= word->latest && review->time <= until;
            const bool due = word->known && dueCheck(word->state, review->time);
            if (word->known) {
                word->state = scheduler_.review(word->state, review->time, review->grade);
            }
            if (due) {
                ++fileSums->due;
                fileSums->right += review->grade != review::Grade::Again ? 1 : 0;
            }
            word->latest = std::max(word->latest, at);
            q.review.bind(1, at)
                .bind(2, word->id)
                .bind(3, grade)
                .bind(4, review->answerMilliseconds)
                .bind(5, file)
                .bind(6, qint64(due ? 1 : 0))
                .step();
            if (failed(q.review)) {
                return merged;
            }
            if (!fileWords.contains({file, word->id})) {
                fileWords.insert({file, word->id});
                if (q.fileWord.bind(1, file).bind(2, word->id).step(); failed(q.fileWord)) {
                    return merged;
                }
            }
            if (word->touchedIn != part) {
                word->touchedIn = part;
                touched.push_back(*slot);
            }
            if (review->time > until && (!ahead || review->time < *ahead)) {
                ahead = review->time;
            }
            ++merged.added;
        }
    }
    for (auto file = sums.cbegin(); file != sums.cend(); ++file) {
        fileUpsert.addBindValue(file.key());
        fileUpsert.addBindValue(file->latest);
        fileUpsert.addBindValue(file->due);
        fileUpsert.addBindValue(file->right);
        if (!fileUpsert.exec()) {
            return fail(fileUpsert);
        }
    }
    for (Machine& machine : machines) {
        if (!machine.merged) {
            continue;
        }
        query.prepare(
            QStringLiteral("UPDATE sync_machines SET seq = ?, merged_at = ? WHERE id = ?"));
        query.addBindValue(machine.highest);
        query.addBindValue(now);
        query.addBindValue(machine.id);
        if (!query.exec()) {
            return fail(query);
        }
        if (merged.error = writeRuns(database(), machine.id, machine.taken);
            !merged.error.isEmpty()) {
            return merged;
        }
    }
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO sync_files VALUES (?, ?, ?)"));
    query.addBindValue(name);
    query.addBindValue(position.end);
    query.addBindValue(position.tail);
    if (!query.exec()) {
        return fail(query);
    }
    if (ahead && (!aheadFrom_ || *ahead < *aheadFrom_)) {
        aheadFrom_ = ahead;
        if (merged.error = writeAhead(); !merged.error.isEmpty()) {
            return merged;
        }
    }
    stateCache_.forget();
    const bool leftToTheEnd = mergeCache_.unsettled > 0;
    if (!leftToTheEnd && qsizetype(touched.size()) <= kWordsReplayedAtOnce) {
        for (const qint32 slot : touched) {
            if (merged.error = settle(database(), q.state, scheduler_, horizon(), words[slot]);
                !merged.error.isEmpty()) {
                return merged;
            }
        }
    } else if (!touched.empty()) {
        // Every word from the first changed on is replayed, in short steps, by whichever program
        // has the history open, unless this merge settles them at its end; a kill leaves the
        // marker for the next.
        query.prepare(
            QStringLiteral("INSERT INTO review_meta VALUES ('replay_from', ?) ON CONFLICT(name)"
                           " DO UPDATE SET value = min(value, excluded.value)"));
        const auto idOf = [&words](qint32 slot) { return words[slot].id; };
        query.addBindValue(idOf(std::ranges::min(touched, {}, idOf)));
        if (!query.exec()) {
            return fail(query);
        }
        replaying_ = true;
        if (leftToTheEnd || !markedBefore) {
            for (const qint32 slot : touched) {
                mergeCache_.unsettled += words[slot].unsettled ? 0 : 1;
                words[slot].unsettled = true;
            }
        }
    }
    if (merged.error = transaction.commit(); !merged.error.isEmpty()) {
        merged.added = 0;
        return merged;
    }
    mergeCache_.stamp = detail::changeMarksOf(database());
    settings.reset();
    if (!renames.isEmpty()) {
        // Each taken in once, by the table that remembers them.
        merged.error = detail::renameStep(database(), zone_, scheduler_, horizon(), renames, 0,
                                          std::chrono::milliseconds::max())
                           .reason;
    }
    return merged;
}

QString SqliteHistory::settleMerged(const std::atomic<bool>& stop) {
    MergeCache& cache = mergeCache_;
    // What is left, and what a step rolled back, is the replay's.
    const auto leaveToTheReplay = [&cache] {
        for (MergeCache::Word& word : cache.words) {
            word.unsettled = false;
        }
        cache.unsettled = 0;
    };
    int failures = 0;
    while (cache.unsettled > 0 && !stop) {
        QElapsedTimer spent;
        spent.start();
        Transaction transaction(database());
        if (!transaction.reason().isEmpty()) {
            if (!transaction.busy() && ++failures >= kMostReplayFailures) {
                return transaction.reason();
            }
            QThread::msleep(kReplayRetryMilliseconds);
            continue;
        }
        // Another connection's commit, or another change here, may have touched these words.
        if (!cache.stamp || detail::changeMarksOf(database()) != cache.stamp) {
            leaveToTheReplay();
            break;
        }
        detail::Statement update(detail::handleOf(database()), kWriteState);
        QString reason = update.error();
        const auto withinBudget = [&] {
            return reason.isEmpty() && spent.elapsed() < detail::kReplayStepBudget.count();
        };
        for (auto word = cache.words.begin(); word != cache.words.end() && withinBudget(); ++word) {
            if (word->unsettled) {
                reason = settle(database(), update, scheduler_, horizon(), *word);
                word->unsettled = false;
                --cache.unsettled;
            }
        }
        QSqlQuery done(database());
        if (cache.unsettled == 0 && reason.isEmpty() &&
            !done.exec(QStringLiteral("DELETE FROM review_meta WHERE name = 'replay_from'"))) {
            reason = failure(done);
        }
        if (!reason.isEmpty() || !transaction.commit().isEmpty()) {
            leaveToTheReplay();
            break;
        }
        cache.stamp = detail::changeMarksOf(database());
        QThread::usleep(static_cast<unsigned long>(spent.nsecsElapsed() / 4000));
    }
    return {};
}

QString SqliteHistory::replayMerged(const std::atomic<bool>& stop) {
    if (QString reason = open(); !reason.isEmpty()) {
        return reason;
    }
    if (QString reason = settleMerged(stop); !reason.isEmpty()) {
        return reason;
    }
    int failures = 0;
    while (!stop) {
        QElapsedTimer spent;
        spent.start();
        const detail::ReplayStep step =
            detail::replayStep(database(), zone_, horizon(), detail::kReplayStepBudget);
        if (!step.reason.isEmpty()) {
            // Busy: another program's step, or its replay of the same marker.
            if (!step.busy && ++failures >= kMostReplayFailures) {
                return step.reason;
            }
            QThread::msleep(kReplayRetryMilliseconds);
            continue;
        }
        if (step.finished) {
            replaying_ = false;
            stateCache_.forget();
            return {};
        }
        QThread::usleep(static_cast<unsigned long>(spent.nsecsElapsed() / 4000));
    }
    stateCache_.forget();
    return {};
}

QString SqliteHistory::writeJournal(const QString& path, const QString& machine,
                                    const std::atomic<bool>& stop) {
    if (QString reason = openReviews(); !reason.isEmpty()) {
        return reason;
    }
    QByteArray lines;
    qint64 sequence = 0;
    const auto add = [&](JournalContent content) {
        lines += journalLine({machine, ++sequence, std::move(content)});
    };
    const QList<DrillRecord> drills = page(QString(), 0, -1);
    for (auto drill = drills.rbegin(); drill != drills.rend(); ++drill) {
        add(*drill);
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT r.at, w.word_key, r.grade, r.answer_ms, f.word_file FROM reviews r"
            " JOIN words w ON w.id = r.word_id JOIN review_files f ON f.id = r.file_id"
            " ORDER BY r.at, r.id"))) {
        return failure(query);
    }
    while (query.next()) {
        if (stop) {
            break;
        }
        add(review::ReviewRecord{
            review::ReviewTime(std::chrono::milliseconds(query.value(0).toLongLong())),
            QByteArray::fromHex(query.value(1).toString().toLatin1()),
            static_cast<review::Grade>(query.value(2).toInt()), query.value(3).toLongLong(),
            query.value(4).toString()});
    }
    // Absent from a history that never took in an edited word.
    if (query.exec(QStringLiteral(
            "SELECT at, word_file, old_key, new_key FROM word_renames ORDER BY at"))) {
        while (query.next()) {
            add(review::WordRename{
                review::ReviewTime(std::chrono::milliseconds(query.value(0).toLongLong())),
                query.value(1).toString(),
                QByteArray::fromHex(query.value(2).toString().toLatin1()),
                QByteArray::fromHex(query.value(3).toString().toLatin1())});
        }
    }
    if (stop) {
        return QStringLiteral("stopped");
    }
    const common::Outcome written = common::writeFileAtomically(path, lines);
    return written.ok() ? QString() : written.reason;
}

}  // namespace drill::history
