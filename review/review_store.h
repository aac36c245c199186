// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <span>

#include "review/fsrs.h"
#include "review/learner_day.h"
#include "review/review_plan.h"
#include "review/word_renames.h"

namespace review {

class ReviewClock;

// One judged answer of a word.
struct ReviewRecord {
    ReviewTime time;
    QByteArray wordKey;  // wordKey
    Grade grade = Grade::Good;
    qint64 answerMilliseconds = 0;
    QString wordFile;  // full path; the word keeps its progress in every file
};

// A word file as the review window lists it.
struct FileReviews {
    QString wordFile;
    int reviewed = 0;  // words of it reviewed so far
    int due = 0;       // of those, due at the time asked
    ReviewTime lastReview{};
    friend bool operator==(const FileReviews&, const FileReviews&) = default;
};

// Answers to words that were due after an interval, and the right ones among them.
struct MeasuredRetention {
    qint64 due = 0;
    qint64 right = 0;
    bool measured() const { return due > 0; }
    double rate() const { return due > 0 ? double(right) / double(due) : 0; }
};

// A rebuild of every word's state under way: done of total steps of the way. Total is 0 when
// none is under way. Upgrading: the store's older records are brought up to date first.
struct ReplayProgress {
    qint64 done = 0;
    qint64 total = 0;
    bool upgrading = false;
    bool underWay() const { return total > 0; }
    int percent() const { return total > 0 ? static_cast<int>(done * 100 / total) : 100; }
};

// What the editor says of one word.
struct WordReviews {
    WordState state;
    int reviews = 0;
    int missed = 0;
    QString error;  // why nothing could be read; empty when all is well
};

// Where the reviews of words are kept. A failure is reported as its reason, never thrown: a
// store that cannot be written must not stop a drill. An empty word file means every word file.
class ReviewStore {
public:
    virtual ~ReviewStore() = default;

    // Every instant is handed in; the states follow the scheduler of the desired
    // retention and are rebuilt from the reviews whenever it changes.

    // Empty when reviews can be recorded now, else why not.
    virtual QString reviewsUnavailable() { return QStringLiteral("no review store"); }
    virtual void setDesiredRetention(double retention) { Q_UNUSED(retention) }
    // The clock that tells a review given while the clock was set ahead (kAheadOfTheClock):
    // such a review is kept but counts for nothing until its time comes.
    virtual void setClock(const ReviewClock& clock) { Q_UNUSED(clock) }
    // The hour of local time the learner's day starts at (0..23).
    virtual void setDayStart(int hour) { Q_UNUSED(hour) }
    // The days "today", "tomorrow" and the scheduler's day counts are counted on.
    virtual LearnerDay learnerDay() { return {}; }
    // Empty when recorded, else why the review was skipped.
    virtual QString recordReview(const ReviewRecord& review) { return recordReviews({&review, 1}); }
    // All or none, in one transaction.
    virtual QString recordReviews(std::span<const ReviewRecord> reviews) {
        Q_UNUSED(reviews)
        return reviewsUnavailable();
    }
    // One state per key, in the order given.
    virtual QList<WordState> wordStates(const QList<QByteArray>& keys) {
        return QList<WordState>(keys.size());
    }
    // Whether no word has a state yet: until the first review every word is new, and a word
    // file's counts need its words told apart, not keyed.
    virtual bool holdsNoWords() { return false; }
    virtual ReviewCounts reviewCounts(const QList<QByteArray>& keys, ReviewTime now) {
        Q_UNUSED(now)
        return {0, static_cast<int>(keys.size())};
    }
    // The counts of several lists of words, in their order: the review window's files, asked
    // together so that the store looks for changes once.
    virtual QList<ReviewCounts> reviewCountsEach(const QList<QList<QByteArray>>& lists,
                                                 ReviewTime now) {
        QList<ReviewCounts> counts;
        for (const QList<QByteArray>& keys : lists) {
            counts.append(reviewCounts(keys, now));
        }
        return counts;
    }
    // Of the given words, those first reviewed on now's learner's day: the new
    // words the learner has taken on today.
    virtual int newToday(const QList<QByteArray>& keys, ReviewTime now) {
        Q_UNUSED(keys)
        Q_UNUSED(now)
        return 0;
    }
    // The word files reviewed and not removed from the list, the most recent first.
    virtual QList<FileReviews> reviewFiles(ReviewTime now) {
        Q_UNUSED(now)
        return {};
    }
    // Off the list until it is reviewed again; its words keep their reviews.
    virtual QString removeReviewFile(const QString& wordFile) {
        Q_UNUSED(wordFile)
        return reviewsUnavailable();
    }
    // Words due on each of the next learner's days, today first (with the overdue
    // ones); of one word file, or of every word when empty.
    virtual QList<int> forecast(ReviewTime now, int days, const QString& wordFile) {
        Q_UNUSED(now)
        Q_UNUSED(wordFile)
        return QList<int>(days, 0);
    }
    // The same for the given words: a word file as it is now, whose edited words are no longer
    // its own.
    virtual QList<int> forecastOf(ReviewTime now, int days, const QList<QByteArray>& keys) {
        Q_UNUSED(now)
        Q_UNUSED(keys)
        return QList<int>(days, 0);
    }
    virtual MeasuredRetention measuredRetention(const QString& wordFile) {
        Q_UNUSED(wordFile)
        return {};
    }
    // Of the due reviews given in wordFile, those of the words keyed: one way's (wayKey).
    virtual MeasuredRetention measuredRetentionOf(const QString& wordFile,
                                                  const QList<QByteArray>& keys) {
        Q_UNUSED(wordFile)
        Q_UNUSED(keys)
        return {};
    }
    virtual WordReviews wordReviews(const QByteArray& key) {
        Q_UNUSED(key)
        return {{}, 0, 0, reviewsUnavailable()};
    }
    // Edited words of a saved word file: their reviews follow them to their new text there.
    // Empty when taken in (now or, waiting beside the store, later), else why not.
    virtual QString renameWords(std::span<const WordRename> renames) {
        Q_UNUSED(renames)
        return reviewsUnavailable();
    }
    // The reviews dated ahead of the clock, kept and not counted.
    virtual qint64 reviewsAhead() { return 0; }
    // Those reviews moved out of the reviews into a table of their own, where they are kept.
    // Empty when done, else why not.
    virtual QString putReviewsAheadAside() { return reviewsUnavailable(); }
    // Every state rebuilt from the reviews. Empty when done, else why not.
    virtual QString replayReviews() { return reviewsUnavailable(); }
    // The rebuild that a change of the retention or the day start set going in the background.
    virtual ReplayProgress replayProgress() { return {}; }
};

// The user's own store, the one the drill program records in, opened only to read: nothing is
// created, upgraded, moved or written. Defined where the store is kept (the drill history), so
// that a program that only reads reviews names no more than this interface.
std::unique_ptr<ReviewStore> openUsersReviewsReadOnly();

}  // namespace review
