// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <QVariantList>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/file_identity.h"
#include "drill/history/drill_history.h"
#include "drill/history/merge_cache.h"
#include "drill/history/sync_journal.h"
#include "drill/history/word_state_cache.h"
#include "review/review_clock.h"

class QSqlDatabase;
class QSqlQuery;

namespace drill::history {

class BackgroundReplay;
namespace detail {
struct ReviewTarget;
}

// The history in an SQLite database file, shared by every drill program of the user: WAL mode
// and a short busy timeout let two programs that end a drill at the same moment both record.
// What cannot be recorded now (a lock held elsewhere, a database of a newer program) waits in
// a pending file beside it and is recorded at the next open or drill that can write. A file
// that is not a database is moved aside and a new history started.
class SqliteHistory final : public DrillHistory {
public:
    // ReadOnly is for another program that only looks: it never creates, upgrades, moves aside
    // or writes the file or anything beside it but the renames it is handed, reads only a
    // history of this program's schema and sees what the drill program records meanwhile.
    enum class Access { ReadWrite, ReadOnly };

    // ":memory:" keeps the history in memory, for as long as this object lives. Drills are
    // counted on the days of zone, reviews on the learner's days in zone.
    explicit SqliteHistory(QString path, QTimeZone zone = QTimeZone::systemTimeZone(),
                           Access access = Access::ReadWrite);
    ~SqliteHistory() override;

    SqliteHistory(const SqliteHistory&) = delete;
    SqliteHistory& operator=(const SqliteHistory&) = delete;

    QString record(const DrillRecord& drill) override;
    Drills drills() override;
    QStringList wordFiles() override;
    QList<common::DrillWay> waysDrilled() override;
    QList<DrillRecord> page(const QString& wordFile, qint64 offset, qint64 limit) override;
    QList<DayRate> dailyRates(const QString& wordFile) override;
    QList<MissCount> mostMissed(const QString& wordFile, qsizetype limit) override;
    QList<SlipCount> mostFrequentSlips(const QString& wordFile, qsizetype limit) override;
    QStringList takeNotices() override;

    QString reviewsUnavailable() override;
    void setDesiredRetention(double retention) override;
    void setDayStart(int hour) override;
    void setClock(const review::ReviewClock& clock) override { clock_ = &clock; }
    review::LearnerDay learnerDay() override { return scheduler_.learnerDay(); }
    QString recordReviews(std::span<const review::ReviewRecord> reviews) override;
    QList<review::WordState> wordStates(const QList<QByteArray>& keys) override;
    bool holdsNoWords() override;
    review::ReviewCounts reviewCounts(const QList<QByteArray>& keys,
                                      review::ReviewTime now) override;
    QList<review::ReviewCounts> reviewCountsEach(const QList<QList<QByteArray>>& lists,
                                                 review::ReviewTime now) override;
    int newToday(const QList<QByteArray>& keys, review::ReviewTime now) override;
    QList<review::FileReviews> reviewFiles(review::ReviewTime now) override;
    QString removeReviewFile(const QString& wordFile) override;
    QList<int> forecast(review::ReviewTime now, int days, const QString& wordFile) override;
    QList<int> forecastOf(review::ReviewTime now, int days, const QList<QByteArray>& keys) override;
    review::MeasuredRetention measuredRetention(const QString& wordFile) override;
    review::MeasuredRetention measuredRetentionOf(const QString& wordFile,
                                                  const QList<QByteArray>& keys) override;
    review::WordReviews wordReviews(const QByteArray& key) override;
    qint64 reviewsAhead() override;
    QString putReviewsAheadAside() override;
    // On this thread, to the end.
    QString replayReviews() override;
    review::ReplayProgress replayProgress() override;
    // Returns once the replay going on beside this object has ended; for tools and tests.
    void waitForReplay();
    // The longest a step of the replay beside this object held the write lock; for the benchmark.
    std::chrono::nanoseconds longestReplayStep() const;
    // Into the renames file beside the history, taken in by the next program that can write.
    // A word the reader finds no reviews of follows the renames still waiting there.
    QString renameWords(std::span<const review::WordRename> renames) override;

    // Other machines' journals taken in (sqlite_sync.cpp): where the reading of each file stands
    // and each machine's last record taken in. Empty before the first.
    SyncState syncState();
    // What the history lacks of records, read from the journal file name up to position, is
    // added in one transaction with the new position; a machine's record is taken once by its
    // sequence number, and a drill or review the history holds (the same word, instant and
    // grade) is not added again. The states of the words are replayed, at once or, for many,
    // beside the window.
    Merged mergeJournal(std::span<const JournalRecord> records, const QString& name,
                        const JournalPosition& position, qint64 now);
    // The replay the merged journals asked for, on this thread, in short steps, each with a
    // shorter pause after it than the replay beside the window takes: the window's answers get
    // in between. Ends early once stop is set (the history's marker keeps the rest for the next
    // replay); empty when finished or stopped, else why not.
    QString replayMerged(const std::atomic<bool>& stop);
    // The whole history as one journal written by machine, for a backup or a move: every drill,
    // review and edited word, oldest first. Empty when written, else why not. Once stop is set it
    // ends at the next row, writing nothing.
    QString writeJournal(const QString& path, const QString& machine,
                         const std::atomic<bool>& stop = std::atomic<bool>(false));
    // Told of every drill and review this object is given, before it is recorded (a kill between
    // the two leaves it in the journal, from which this history takes what it lacks), and of the
    // edited words it takes in.
    void setRecorded(std::function<void(std::span<const JournalContent>)> recorded) {
        recorded_ = std::move(recorded);
    }

    // The schema version this program reads and writes (PRAGMA user_version).
    static int schemaVersion();
    // The user's history file in the drill program's data folder, whichever program asks.
    static QString defaultPath();
    QString pendingPath() const { return path_ + QStringLiteral(".pending"); }
    // For tests: called between the commit of the pending drills and the removal of their file.
    static inline void (*pendingCommitted)() = nullptr;
    // For tests: called with half of a drill's line appended to the pending file.
    static inline void (*pendingHalfWritten)() = nullptr;
    QString renamesPath() const { return path_ + QStringLiteral(".renames"); }
    // For tests: called between a replay step's reading, without the lock, and its writing.
    static inline void (*replayStepRead)() = nullptr;
    // For tests: called after each step of an upgrade's filling in that left drills to fill.
    static inline void (*fillStepCommitted)() = nullptr;

private:
    template <typename Record>
    void tellRecorded(std::span<const Record> records);
    void tellRecorded(const DrillRecord& drill) { tellRecorded(std::span(&drill, 1)); }
    QString open();
    // Nothing of the history is there yet: this object has not opened it, and no file, journal,
    // pending drill or rename lies at its place. It is created by its first record; until then
    // it holds no word, and a look at its folder tells whether it could be written.
    bool notYetCreated() const;
    // Empty when the file could be created in its folder (or in the nearest folder above that
    // is there), else why not.
    QString creationRefused() const;
    bool fileReplaced();
    QString connect(bool& damaged);
    QString connectReadOnly();
    QString upgrade(int version);
    QString moveAside();
    void close();
    QSqlDatabase database() const;
    bool inMemory() const;
    QString insert(const DrillRecord& drill);
    QString insertSlips(const QVariant& drillId, const QStringList& slips);
    QString keepPending(const DrillRecord& drill);
    void recordPending();
    void readFailed(const QString& reason);
    review::MeasuredRetention retentionOf(const QString& sql, const QVariantList& values);
    template <typename Count>
    QList<Count> counted(const QString& select, const QString& fileColumn, const QString& wordFile,
                         qsizetype limit);
    QString openReviews();
    // visit(i, state) for each of the keys whose word has a state, from the states at hand; a
    // history that cannot be read is reported and visits none.
    template <typename Visit>
    void eachState(const QList<QByteArray>& keys, Visit visit);
    // The states read or kept, before questions are answered from them; false when the history
    // cannot be read (reported).
    bool statesAtHand();
    // eachState once the states are at hand.
    template <typename Visit>
    void eachKnownState(const QList<QByteArray>& keys, Visit visit);
    review::ReviewCounts countKnown(const QList<QByteArray>& keys, review::ReviewTime now);
    QString checkStates();
    QString settleReviewsAhead();
    QString writeAhead();
    review::ReviewTime horizon() const { return clock_->now() + review::kAheadOfTheClock; }
    QString insertReview(const review::ReviewRecord& review);
    QString replayWord(qint64 wordId);
    // The states and replays the merge's parts left to its end, in short steps under the marker
    // they set, which the last step removes. Anything else that changed the history meanwhile
    // leaves them to the replay from the marker.
    QString settleMerged(const std::atomic<bool>& stop);
    QString followTarget(bool inTransaction);
    bool followedBy(const detail::ReviewTarget& target) const;
    void continueReplay();
    void leaveCheckpointsToReplay(bool replaying);
    QString writeTarget();
    QString flagDueAnswers();
    void applyRenames();
    QByteArray renamedFrom(const QByteArray& key);
    // The ends of today and the days after it, in ms, days in all.
    std::vector<qint64> dayEnds(review::ReviewTime now, int days) const;
    // The words the query selects, counted on the day they are due; the query takes the end
    // of the last day as its last value.
    QList<int> dueByDay(review::ReviewTime now, int days, const QString& select,
                        const QVariantList& values);

    QString path_;
    QTimeZone zone_;
    QString connection_;
    Access access_;
    bool ready_ = false;
    bool readOnly_ = false;
    common::FileIdentity identity_;  // of the file opened, to notice another put in its place
    QStringList notices_;
    QString lastReadFailure_;
    review::FsrsScheduler scheduler_{
        review::FsrsScheduler::kDefaultRetention,
        review::LearnerDay(zone_, review::LearnerDay::kDefaultStartHour)};
    int dayStart_ = review::LearnerDay::kDefaultStartHour;
    bool settingsChanged_ = false;  // here, since the states last followed the history's
    bool replaying_ = false;        // the history's replay marker, as last read
    bool filling_ = false;          // an upgrade may have left drills to fill in
    bool checkpointsLeft_ = false;  // to the replay, while one is under way
    std::unique_ptr<BackgroundReplay> replay_;
    review::SystemReviewClock systemClock_;
    const review::ReviewClock* clock_ = &systemClock_;
    // The earliest review dated beyond the horizon, left out of the states; also in review_meta.
    std::optional<review::ReviewTime> aheadFrom_;
    // The clock when the states were last matched to it in this program.
    std::optional<review::ReviewTime> settledAt_;
    detail::WordStateCache stateCache_;
    std::function<void(std::span<const JournalContent>)> recorded_;
    MergeCache mergeCache_;
};

}  // namespace drill::history
