// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/drill_session.h"

#include <QDateTime>

#include <algorithm>
#include <utility>

#include "common/entry_text.h"
#include "common/text_script.h"
#include "drill/engine/asked_entry.h"
#include "drill/engine/drill_texts.h"
#include "drill/engine/judging.h"
#include "drill/engine/question_order.h"
#include "drill/engine/random_source.h"
#include "drill/engine/right_pages.h"
#include "drill/engine/slip_codes.h"
#include "review/review_clock.h"
#include "review/word_key.h"

namespace drill {

namespace {

// The reason of a failed read in the drill's words.
common::Outcome outcomeOf(const common::Outcome& read) {
    switch (read.kind) {
        case common::OutcomeKind::Ok:
            return read;
        case common::OutcomeKind::NotFound:
            return common::Outcome::failure(read.kind, kFileNotFound);
        case common::OutcomeKind::OldVersion:
            return common::Outcome::failure(read.kind, kOldVersion);
        case common::OutcomeKind::TooMany:
            return common::Outcome::failure(read.kind, kTooManyEntries);
        default:
            return common::Outcome::failure(read.kind, kInvalidFile);
    }
}

}  // namespace

DrillSession::DrillSession(RandomSource& random) : random_(random) {}

common::Outcome DrillSession::open(const QString& path) {
    if (drilling()) {
        return common::Outcome::failure(common::OutcomeKind::Cancelled);  // nothing was read
    }
    wordFileName_ = path;
    return reload();
}

common::Outcome DrillSession::reload() {
    reloadDue_ = false;
    fileLoaded_ = false;
    entries_.clear();
    common::ReadResult read = common::readWordFile(wordFileName_);
    fileAnswers_ = {};
    fileAnswersWay_ = DrillWay::Typed;
    fileChoices_ = {};
    if (read.ok()) {
        entries_ = std::move(read.entries);
        fileLoaded_ = true;
        fileAnswers_ = OtherAnswers::ofEntries(entries_);
        fileChoices_ = AnswerChoices(entries_);
    }
    return outcomeOf(read.outcome);
}

void DrillSession::shuffle() {
    const std::vector<int> order = drawOrder(static_cast<int>(entries_.size()), random_);
    QList<common::Entry> source = std::exchange(entries_, {});
    entries_.reserve(source.size());
    for (const int position : order) {
        entries_.append(std::move(source[position]));
    }
}

bool DrillSession::setWay(DrillWay way) {
    if (drilling()) {
        return false;
    }
    way_ = way;
    return true;
}

bool DrillSession::start(common::DrillModeValue mode) {
    if (!fileLoaded_ || drilling()) {
        return false;
    }
    return begin(mode, true);
}

bool DrillSession::startOver(common::DrillModeValue mode, const QList<common::Entry>& entries) {
    if (!beginOver(mode, entries, true)) {
        return false;
    }
    again_ = true;
    return true;
}

bool DrillSession::startReview(const QList<common::Entry>& entries) {
    if (!beginOver(common::kNormalMode, entries, false)) {
        return false;
    }
    reviewing_ = true;
    return true;
}

bool DrillSession::beginOver(common::DrillModeValue mode, const QList<common::Entry>& entries,
                             bool shuffled) {
    if (drilling() || entries.isEmpty()) {
        return false;
    }
    over_ = true;
    fileSet_ = std::exchange(entries_, entries);
    fileSetLoaded_ = fileLoaded_;
    return begin(mode, shuffled);
}

bool DrillSession::begin(common::DrillModeValue mode, bool shuffled) {
    if (way_ != fileAnswersWay_) {
        // Another entry's text the way judges against, from the whole file.
        fileAnswers_ = OtherAnswers::ofEntries(judgedTexts(over_ ? fileSet_ : entries_, way_));
        fileAnswersWay_ = way_;
    }
    if (shuffled) {
        shuffle();
    }
    mode_ = mode;
    phase_ = DrillPhase::Judged;
    currentIndex_ = 0;
    answered_ = 0;
    right_ = 0;
    missed_.clear();
    slips_.clear();
    retried_ = false;
    overrulable_ = false;
    reloadDue_ = false;
    position_ = {0, static_cast<int>(entries_.size())};
    repeats_.clear();
    reviewClosing_.clear();
    return true;
}

std::optional<Question> DrillSession::next() {
    if (phase_ != DrillPhase::Judged) {
        return std::nullopt;
    }
    const bool recorded = recordPendingReview();
    if (reviewing_) {
        repeatSoonDue(recorded);
    }
    const int count = static_cast<int>(entries_.size());
    switch (mode_) {
        case common::kEndlessMode:
            if (count == 0) {
                end();
                return std::nullopt;
            }
            currentIndex_ = drawPosition(random_.next(), count);
            position_ = {position_.place + 1, 0};
            break;
        case common::kOvercomingMode:
            if (count == 0) {
                end();
                return std::nullopt;
            }
            if (currentIndex_ == 0) {
                currentIndex_ = 1;
            }
            if (currentIndex_ > count) {
                shuffle();
                currentIndex_ = 1;
                position_ = {0, count};
            }
            ++position_.place;
            break;
        case common::kNormalMode:
        default:
            if (currentIndex_ >= count && !(reviewing_ && askRepeat())) {
                if (reviewing_) {
                    reviewClosing_ = closingLine();
                }
                end();
                return std::nullopt;
            }
            ++currentIndex_;
            position_ = {currentIndex_, static_cast<int>(entries_.size())};
            break;
    }
    overrulable_ = false;
    retried_ = false;
    phase_ = DrillPhase::Answering;
    if (clock_ != nullptr) {
        askedAt_ = clock_->now();
    }
    const common::Entry& entry = entries_.at(currentIndex_ - 1);
    choices_ = way_ == DrillWay::Choice
                   ? fileChoices_.draw(entry.question, common::splitRights(entry.rights), random_)
                   : Choices{};
    return Question{askedEntry(entry, way_).question, position_, choices_};
}

Verdict DrillSession::judge(const QString& typed) {
    if (phase_ != DrillPhase::Answering) {
        return {};
    }
    const common::Entry entry = entries_.at(currentIndex_ - 1);
    const AskedEntry asked = askedEntry(entry, way_);
    const QStringList& rights = asked.judged;
    CheckOptions options = checkOptions_;
    if (retried_ && options.nearMiss == NearMissRule::Retry) {
        options.nearMiss = NearMissRule::Off;  // one more try, not more
    }
    const AnswerCheck check = checkAnswer(typed, rights, fileAnswers_, options);
    const bool shown = !typed.isEmpty() && !rights.isEmpty();
    Verdict verdict;
    if (check.inputMode != InputModeSlip::None || check.retry) {
        // Not judged: nothing is counted, and the question waits for the next try.
        verdict.tryAgain = true;
        verdict.inputMode = check.inputMode;
        if (check.retry) {
            verdict.message = kTryAgain;
            retried_ = true;
            slips_ += slipCodes(check.slips);
            if (shown) {
                verdict.difference = check.difference;
            }
        } else {
            verdict.message =
                check.inputMode == InputModeSlip::KanaOn ? kKanaSeemsOn : kKanaSeemsOff;
        }
        verdict.counts = counts();
        return verdict;
    }
    verdict = answersOf(entry);
    const Judgement& judged = check.judgement;
    if (!judged.right || check.nearMiss) {
        slips_ += slipCodes(check.slips);
    }
    if (shown && (!judged.right || judged.lenient || check.nearMiss)) {
        verdict.difference = check.difference;
    }
    if (judged.right && judged.lenient) {
        verdict.lenientNote = lenientNote(judged.rightAnswer);
    }
    // A near miss accepted, or right only at the second try, was hard to recall.
    settle(verdict, entry, judged.right, judged.right && (check.nearMiss || retried_), typed);
    return verdict;
}

Verdict DrillSession::choose(int choice) {
    if (phase_ != DrillPhase::Answering || way_ != DrillWay::Choice) {
        return {};
    }
    const common::Entry entry = entries_.at(currentIndex_ - 1);
    Verdict verdict = answersOf(entry);
    settle(verdict, entry, choice >= 0 && choice == choices_.right, false,
           choices_.texts.value(choice));
    return verdict;
}

Verdict DrillSession::reveal() const {
    if (phase_ != DrillPhase::Answering || way_ != DrillWay::Card) {
        return {};
    }
    return answersOf(entries_.at(currentIndex_ - 1));
}

Verdict DrillSession::grade(bool right) {
    if (phase_ != DrillPhase::Answering || way_ != DrillWay::Card) {
        return {};
    }
    const common::Entry entry = entries_.at(currentIndex_ - 1);
    Verdict verdict = answersOf(entry);
    settle(verdict, entry, right, false, {});
    return verdict;
}

Verdict DrillSession::answersOf(const common::Entry& entry) const {
    Verdict verdict;
    verdict.joinedRights = askedEntry(entry, way_).shownRights;
    verdict.rights = common::splitRights(verdict.joinedRights);
    verdict.lastPage =
        static_cast<int>((std::max<qsizetype>(verdict.rights.size(), 1) - 1) / kAnswersPerPage);
    verdict.information = common::informationToDisplay(entry.information);
    if (way_ == DrillWay::Listening) {
        verdict.revealed = entry.question;
    }
    return verdict;
}

void DrillSession::settle(Verdict& verdict, const common::Entry& entry, bool right, bool hard,
                          const QString& answer) {
    ++answered_;
    if (clock_ != nullptr) {
        const review::ReviewTime now = clock_->now();
        pendingReview_ =
            review::ReviewRecord{now, reviewKey(entry), review::gradeFromVerdict(right, hard),
                                 std::max<qint64>((now - askedAt_).count(), 0), wordFileName_};
    }
    verdict.right = right;
    verdict.mark = right ? kRightMark : kWrongMark;
    overrulable_ = !right;
    if (right) {
        ++right_;
        if (mode_ == common::kOvercomingMode) {
            entries_.removeAt(currentIndex_ - 1);
            --currentIndex_;
        }
    } else {
        missed_.add(entry, answer);
        judgedIndex_ = currentIndex_;
    }
    if (mode_ == common::kOvercomingMode) {
        ++currentIndex_;
    }
    phase_ = DrillPhase::Judged;
    verdict.counts = counts();
}

bool DrillSession::canOverrule() const {
    return phase_ == DrillPhase::Judged && overrulable_;
}

Counts DrillSession::overrule() {
    if (canOverrule()) {
        overrulable_ = false;
        missed_.withdrawLast(entries_.at(judgedIndex_ - 1));
        ++right_;
        if (pendingReview_) {
            pendingReview_->grade = review::gradeFromVerdict(true, true);
        }
        if (mode_ == common::kOvercomingMode) {
            // Mastered after all: out of the set, and the next position is the entry that moved
            // up.
            entries_.removeAt(judgedIndex_ - 1);
            currentIndex_ = judgedIndex_;
        }
    }
    return counts();
}

void DrillSession::stop() {
    if (drilling()) {
        end();
    }
}

void DrillSession::end() {
    recordPendingReview();
    phase_ = DrillPhase::Idle;
    overrulable_ = false;
}

void DrillSession::keepReviews(history::DrillHistory& history, const review::ReviewClock& clock) {
    reviewStore_ = &history;
    clock_ = &clock;
    history.setClock(clock);
}

bool DrillSession::recordPendingReview() {
    if (!pendingReview_ || reviewStore_ == nullptr) {
        return false;
    }
    const review::ReviewRecord review = *std::exchange(pendingReview_, std::nullopt);
    // A store that cannot take reviews must not hold up the drill: the review is skipped.
    const QString reason = reviewStore_->recordReview(review);
    if (reason.isEmpty()) {
        reviewFailing_ = false;
        return true;
    }
    if (!reviewFailing_) {
        reviewFailing_ = true;
        reviewFailure_ = reason;
    }
    return false;
}

void DrillSession::repeatSoonDue(bool recorded) {
    // A review the store refused leaves the word's state as it was: asking it again would
    // repeat it without end.
    if (!recorded || currentIndex_ < 1) {
        return;
    }
    const common::Entry& entry = entries_.at(currentIndex_ - 1);
    const QList<review::WordState> states = reviewStore_->wordStates({reviewKey(entry)});
    const review::WordState state = states.value(0);
    if (state && !state->isNew() && state->due <= clock_->now() + review::kLearnAheadLimit) {
        repeats_.append({entry, state->due});
    }
}

bool DrillSession::askRepeat() {
    if (repeats_.isEmpty()) {
        return false;
    }
    // Nothing else is left, so the soonest one is asked at once, even before it is due.
    const auto soonest =
        std::min_element(repeats_.begin(), repeats_.end(),
                         [](const Repeat& a, const Repeat& b) { return a.due < b.due; });
    entries_.append(soonest->entry);
    repeats_.erase(soonest);
    return true;
}

QString DrillSession::closingLine() {
    const QList<QByteArray> keys = wordKeysOf(fileSet_, way_).keys;
    const review::ReviewTime now = clock_->now();
    std::optional<std::chrono::minutes> next;
    for (const review::WordState& state : reviewStore_->wordStates(keys)) {
        if (state && !state->isNew() && state->due > now) {
            const auto after = std::chrono::ceil<std::chrono::minutes>(state->due - now);
            next = next ? std::min(*next, after) : after;
        }
    }
    const QList<int> days = reviewStore_->forecastOf(now, 2, keys);
    const int today = days.value(0);
    return reviewClosingText(today > 0 ? next : std::nullopt, today, days.value(1));
}

QString DrillSession::reviewsUnavailable() {
    if (reviewStore_ == nullptr) {
        return QStringLiteral("no review store");
    }
    return reviewStore_->reviewsUnavailable();
}

std::optional<review::ReviewCounts> DrillSession::reviewCounts() {
    if (!fileLoaded_ || !reviewsUnavailable().isEmpty()) {
        return std::nullopt;
    }
    // Before the first review every word is new: the file's words are counted, not keyed (a
    // full file takes milliseconds to key, as it opens).
    if (reviewStore_->holdsNoWords()) {
        return review::ReviewCounts{0, distinctWords(entries_)};
    }
    return reviewStore_->reviewCounts(keyCache_.of(entries_, way_).keys, clock_->now());
}

QList<review::WayCounts> DrillSession::reviewedWays(std::span<const DrillWay> drilled) {
    if (!fileLoaded_ || !reviewsUnavailable().isEmpty()) {
        return {};
    }
    return review::countsByWay(*reviewStore_, keyCache_.of(entries_, DrillWay::Typed).keys, drilled,
                               clock_->now());
}

int DrillSession::newWordsLeftToday(int newLimit) {
    if (!fileLoaded_ || reviewStore_ == nullptr) {
        return 0;
    }
    if (reviewStore_->holdsNoWords()) {
        return std::max(newLimit, 0);  // no word taken on yet, today or ever
    }
    return std::max(
        newLimit - reviewStore_->newToday(keyCache_.of(entries_, way_).keys, clock_->now()), 0);
}

ReviewPlan DrillSession::planReview(int newLimit, int extraNew) {
    ReviewPlan plan;
    if (!fileLoaded_ || drilling() || reviewStore_ == nullptr) {
        return plan;
    }
    const WordKeys& words = keyCache_.of(entries_, way_);
    const QList<QByteArray>& keys = words.keys;
    const QList<review::WordState> states = reviewStore_->wordStates(keys);
    const review::ReviewTime now = clock_->now();
    // The day's new words, less those taken on earlier today. A word first answered today was
    // last answered today, so only those are asked about: seldom more than a few dozen.
    const review::LearnerDay& day = reviewStore_->learnerDay();
    const review::ReviewTime dayStart = day.start(day.date(now));
    QList<QByteArray> answeredToday;
    Q_ASSERT(states.size() == keys.size());
    for (qsizetype i = 0; i < states.size(); ++i) {
        if (states.at(i) && states.at(i)->lastReview >= dayStart) {
            answeredToday.append(keys.at(i));
        }
    }
    const int newLeft =
        std::max(newLimit - reviewStore_->newToday(answeredToday, now), 0) + extraNew;
    // Retrievability depends on the memory state alone, not on the desired retention.
    const review::FsrsScheduler scheduler(review::FsrsScheduler::kDefaultRetention,
                                          reviewStore_->learnerDay());
    for (const int position : review::reviewOrder(states, now, scheduler, newLeft)) {
        const review::WordState& state = states.at(position);
        (state && !state->isNew() ? plan.due : plan.fresh)
            .append(entries_.at(words.positions.at(position)));
    }
    return plan;
}

history::DrillRecord DrillSession::finish(qint64 seconds) {
    end();
    history::DrillRecord record;
    record.started = QDateTime::currentDateTimeUtc().addSecs(-seconds);
    record.seconds = seconds;
    record.wordFile = wordFileName_;
    record.mode = mode_;
    record.again = again_;
    record.way = way_;
    record.asked = answered_;
    record.right = right_;
    record.rate = history::rateOf(right_, answered_);
    for (const MissedEntry& missed : missed_.list()) {
        record.missed.append(missed.entry.question);
    }
    record.slips = slips_;
    again_ = false;
    reviewing_ = false;
    if (over_) {
        over_ = false;
        entries_ = std::exchange(fileSet_, {});
        fileLoaded_ = fileSetLoaded_;
    } else if (mode_ == common::kOvercomingMode) {
        reloadDue_ = true;
    }
    return record;
}

QByteArray DrillSession::reviewKey(const common::Entry& entry) const {
    return review::wayKey(review::wordKey(entry), way_);
}

bool DrillSession::typesJapanese() const {
    return common::answersAreJapanese(judgedTexts(entries_, way_));
}

bool DrillSession::questionsAreJapanese() const {
    return common::answersAreJapanese(judgedTexts(entries_, DrillWay::Listening));
}

Counts DrillSession::counts() const {
    return {answered_, right_, entries_.size()};
}

QString DrillSession::countText() const {
    // Until the first verdict every mode counts as Normal mode does: "0 / 0".
    return drill::countText(answered_ == 0 ? common::kNormalMode : mode_, right_, answered_,
                            entries_.size());
}

QString DrillSession::resultsLine() const {
    return drill::resultsLine(mode_, right_, answered_, way_);
}

QString DrillSession::windowTitle() const {
    return drillWindowTitle(drilling(), position_, reviewing_, way_);
}

}  // namespace drill
