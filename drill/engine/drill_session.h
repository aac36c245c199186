// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <utility>

#include "common/outcome.h"
#include "common/settings.h"
#include "common/word_file.h"
#include "drill/engine/answer_check.h"
#include "drill/engine/answer_choices.h"
#include "drill/engine/drill_way.h"
#include "drill/engine/missed_entries.h"
#include "drill/engine/word_key_cache.h"
#include "drill/history/drill_history.h"
#include "review/review_plan.h"
#include "review/way_reviews.h"

namespace review {
class ReviewClock;
}

namespace drill {

class RandomSource;

enum class DrillPhase {
    Idle,       // no drill running
    Answering,  // a question waits for its answer
    Judged,     // a verdict is on screen until the next question
};

struct Question {
    QString text;
    DrillPosition position;
    Choices choices;  // for multiple choice only
};

struct Counts {
    // Wider than the 16 bits of positions: an Endless drill may count on and on.
    qint64 answered = 0;
    qint64 right = 0;
    qint64 left = 0;  // entries still in the set
    friend bool operator==(const Counts&, const Counts&) = default;
};

struct Verdict {
    bool right = false;
    QString mark;
    // Every right answer of the entry, the way it is stored, and split.
    QString joinedRights;
    QStringList rights;
    // The last of the pages of four answers (answerPage); 0 when all fit in one.
    int lastPage = 0;
    QString information;  // ready to display
    // The question that was only spoken, shown with the verdict; empty in the other ways.
    QString revealed;
    // Said only when the lenient rule alone accepted the answer.
    QString lenientNote;
    Counts counts;
    // Not judged and nothing counted: the same question waits for another try (a near miss
    // given one more, or the input method in the wrong mode), with message saying why.
    bool tryAgain = false;
    QString message;
    InputModeSlip inputMode = InputModeSlip::None;
    // The typed answer against the closest right one, after × and after an ○ that only
    // lenient judging or a near miss gave; also with a near miss given another try.
    std::optional<AnswerDifference> difference;
};

// Today's review of a word file: the due words, most overdue first, then the never-drilled ones.
struct ReviewPlan {
    QList<common::Entry> due;
    QList<common::Entry> fresh;
    QList<common::Entry> entries() const { return due + fresh; }
};

// One drill program's question set and the drill that runs over it, without a window: the
// window hands in what the learner typed and shows what comes back.
class DrillSession {
public:
    explicit DrillSession(RandomSource& random);

    // Reads the word file; a failure leaves no set, and its reason is the warning to show.
    // Refused while a drill runs, because its positions refer to the set it started with.
    common::Outcome open(const QString& path);
    // Reads the same file again (after an Overcoming drill emptied the set).
    common::Outcome reload();
    bool fileLoaded() const { return fileLoaded_; }
    const QString& wordFileName() const { return wordFileName_; }
    // The entries of the word file, in drill order once a drill started.
    const QList<common::Entry>& questionSet() const { return entries_; }
    // What the way has typed is mostly Japanese: the answers, or the questions where the way
    // has the question typed.
    bool typesJapanese() const;
    // The set's questions are mostly Japanese, for the voice that would speak them.
    bool questionsAreJapanese() const;

    // How answers are judged: lenient judging, near misses, optional parts. The defaults judge
    // exactly.
    void setCheckOptions(const CheckOptions& options) { checkOptions_ = options; }

    // Multiple choice: the choice picked for the question on screen (-1 for none) is judged.
    Verdict choose(int choice);
    // Cards: the answers and information of the question on screen, before the learner grades
    // himself; nothing is counted.
    Verdict reveal() const;
    // Cards: the learner's own grade is the verdict.
    Verdict grade(bool right);

    // Each judged answer becomes a review of its word in history, timed by clock; until this is
    // called nothing is recorded. The review waits until the next question (or the drill's
    // end), so that an overrule can still change its grade.
    void keepReviews(history::DrillHistory& history, const review::ReviewClock& clock);
    // Empty when reviews can be recorded and planned, else why not.
    QString reviewsUnavailable();
    // Reviews given while the clock was set ahead, kept and not yet counted.
    qint64 reviewsAhead() { return reviewStore_ != nullptr ? reviewStore_->reviewsAhead() : 0; }
    // The open file's due and never-drilled words; none while reviews are unavailable.
    std::optional<review::ReviewCounts> reviewCounts();
    // Today's review of the open file, with at most newLimit never-drilled words a day, and
    // extraNew more past that limit.
    ReviewPlan planReview(int newLimit, int extraNew = 0);
    // Of the ways drilled, those the open file's words were reviewed in, with their counts.
    QList<review::WayCounts> reviewedWays(std::span<const DrillWay> drilled);
    // Of newLimit, the never-drilled words of the open file still to be taken on today.
    int newWordsLeftToday(int newLimit);
    // Why a review could not be recorded; said once, until one is recorded again.
    QString takeReviewFailure() { return std::exchange(reviewFailure_, {}); }

    // How the next drill asks; refused while a drill runs. Typed until set.
    bool setWay(DrillWay way);
    DrillWay way() const { return way_; }

    // Over the file's set; refused without one or while a drill runs.
    bool start(common::DrillModeValue mode);
    // Over the given entries only (the missed ones of a drill before); the file's set comes back
    // when it ends.
    bool startOver(common::DrillModeValue mode, const QList<common::Entry>& entries);
    // The next question; none when the drill has run out of them and ended.
    std::optional<Question> next();
    Verdict judge(const QString& typed);
    // After a wrong verdict and before the next question, once per question.
    bool canOverrule() const;
    // Turns the last wrong verdict into a right one, as if the answer had been right.
    Counts overrule();
    // A Normal-mode drill over the given entries in the order given (today's review); the
    // file's set comes back when it ends.
    bool startReview(const QList<common::Entry>& entries);
    bool reviewing() const { return reviewing_; }
    // After a review that ran out of words: when its words are due next. Empty after a stop or
    // another drill.
    const QString& reviewClosing() const { return reviewClosing_; }
    // Ends a running drill (Stop); next() also ends it when no question is left.
    void stop();
    // The record of the drill that ended, which started seconds ago; the file's set comes back
    // after a drill over missed entries.
    history::DrillRecord finish(qint64 seconds);
    // An ended Overcoming drill has spent the file's set: it is read again.
    bool reloadDue() const { return reloadDue_; }

    bool drilling() const { return phase_ != DrillPhase::Idle; }
    DrillPhase phase() const { return phase_; }
    common::DrillModeValue mode() const { return mode_; }
    Counts counts() const;
    QString countText() const;
    // The line that shows the results of the drill that ended.
    QString resultsLine() const;
    // The window's title: the place in the drill, and its way when not the typed one.
    QString windowTitle() const;
    DrillPosition position() const { return position_; }
    // The entries missed in the running or last drill.
    const MissedEntries& missed() const { return missed_; }

    // Draws a new order of the set.
    void shuffle();

private:
    bool begin(common::DrillModeValue mode, bool shuffled);
    // Keeps the file's set aside for a drill over the given entries.
    bool beginOver(common::DrillModeValue mode, const QList<common::Entry>& entries, bool shuffled);
    void end();
    // The entry's answers as the way shows them, and its information, ready to show.
    Verdict answersOf(const common::Entry& entry) const;
    // Counts and records the verdict on the question on screen, answered as given.
    void settle(Verdict& verdict, const common::Entry& entry, bool right, bool hard,
                const QString& answer);
    // False when there was nothing to record or the store refused it.
    bool recordPendingReview();
    // In a review, the word just judged comes back at the end when it is due again soon.
    void repeatSoonDue(bool recorded);
    // Today's review ran out: the next repeat, asked at once; false when none is left.
    bool askRepeat();
    QString closingLine();
    // The key under which the way's reviews of the entry are kept.
    QByteArray reviewKey(const common::Entry& entry) const;

    RandomSource& random_;
    QList<common::Entry> entries_;
    bool fileLoaded_ = false;
    CheckOptions checkOptions_;
    // The right answers of the file, each once, for telling a near miss from another word: the
    // texts the way of fileAnswersWay_ judges against.
    OtherAnswers fileAnswers_;
    DrillWay fileAnswersWay_ = DrillWay::Typed;
    // The question on screen was given one more try after a near miss.
    bool retried_ = false;
    // Codes of the slips found in this drill's answers (slipCode).
    QStringList slips_;
    QString wordFileName_;
    AnswerChoices fileChoices_;
    Choices choices_;  // of the question on screen

    DrillPhase phase_ = DrillPhase::Idle;
    common::DrillModeValue mode_ = common::kNormalMode;
    DrillWay way_ = DrillWay::Typed;
    int currentIndex_ = 0;  // 1-based
    qint64 answered_ = 0;
    qint64 right_ = 0;
    MissedEntries missed_;
    bool overrulable_ = false;
    int judgedIndex_ = 0;
    DrillPosition position_;
    bool reloadDue_ = false;
    // A drill over some entries only keeps the file's set aside until it ends.
    bool over_ = false;
    bool again_ = false;  // over the missed entries of the drill before
    bool reviewing_ = false;
    struct Repeat {
        common::Entry entry;
        review::ReviewTime due;
    };
    QList<Repeat> repeats_;
    QString reviewClosing_;
    QList<common::Entry> fileSet_;
    bool fileSetLoaded_ = false;

    history::DrillHistory* reviewStore_ = nullptr;
    const review::ReviewClock* clock_ = nullptr;
    review::ReviewTime askedAt_{};
    std::optional<review::ReviewRecord> pendingReview_;
    QString reviewFailure_;
    bool reviewFailing_ = false;
    WordKeyCache keyCache_;
};

}  // namespace drill
