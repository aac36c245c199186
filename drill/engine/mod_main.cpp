#include "drill/engine/mod_main.h"

#include <QDir>

#include <algorithm>
#include <utility>

#include "common/ansi_text.h"
#include "common/entry_text.h"
#include "drill/engine/drill_texts.h"
#include "drill/engine/drill_view.h"
#include "drill/engine/judging.h"
#include "drill/engine/question_order.h"
#include "drill/engine/random_source.h"
#include "platform/platform.h"

namespace drill {

namespace {

constexpr int kAsk = 2;
constexpr int kJudge = 1;
constexpr int kRightBoxes = 4;

}  // namespace

modMain::modMain(DrillView& view, platform::Platform& platform, RandomSource& random)
    : view_(view), platform_(platform), random_(random) {}

QStringList modMain::QuestionTexts() const {
    QStringList questions;
    questions.reserve(entries_.size());
    for (const common::Entry& entry : entries_) {
        questions.append(entry.question);
    }
    return questions;
}

void modMain::OpenWordFile(bool reload) {
    if (!reload) {
        // A running drill's positions refer to the set it started with.
        if (drilling_) {
            return;
        }
        platform::FileDialog dialog;
        dialog.kind = platform::FileDialogKind::Open;
        dialog.fileName = dialogFileName_;
        dialog.initialFolder = dialogInitialFolder_;
        const std::optional<QString> chosen = platform_.askFileName(view_.dialogParent(), dialog);
        if (!chosen || chosen->isEmpty()) {
            return;
        }
        OpenWordFileAt(*chosen);
        return;
    }
    loadWordFile(reload);
}

void modMain::OpenWordFileAt(const QString& path) {
    if (drilling_) {
        return;
    }
    dialogInitialFolder_.clear();
    dialogFileName_ = path;
    wordFileName_ = path;
    loadWordFile(false);
}

void modMain::loadWordFile(bool reload) {
    view_.setInformationText(reload ? kReloading : kOpening);

    fileLoaded_ = false;
    entries_.clear();

    common::ReadResult read;
    {
        const auto busy = platform_.busy();
        read = common::readWordFile(wordFileName_);
    }
    switch (read.outcome.kind) {
        case common::OutcomeKind::NotFound:
            failLoad(kFileNotFound);
            return;
        case common::OutcomeKind::OldVersion:
            failLoad(kOldVersion);
            return;
        case common::OutcomeKind::TooMany:
            failLoad(kTooManyEntries);
            return;
        case common::OutcomeKind::Ok:
            break;
        default:
            failLoad(kInvalidFile);
            return;
    }
    entries_ = std::move(read.entries);
    dialogInitialFolder_.clear();
    fileLoaded_ = true;
    view_.setInformationText(reload ? QString()
                                    : kLoaded + kCrLf + QDir::toNativeSeparators(wordFileName_));
}

void modMain::failLoad(const QString& message) {
    platform_.warn(view_.dialogParent(), message, kOpenTitle);
    view_.setInformationText(QString());
}

void modMain::ShuffleQuestions() {
    view_.setInformationText(kShuffling);
    const std::vector<int> order = drawOrder(static_cast<int>(entries_.size()), random_);
    QList<common::Entry> source = std::exchange(entries_, {});
    entries_.reserve(source.size());
    for (const int position : order) {
        entries_.append(std::move(source[position]));
    }
    view_.setInformationText(QString());
}

void modMain::StartDrill() {
    if (!fileLoaded_ || drilling_) {
        return;
    }
    beginDrill();
}

void modMain::StartDrillOver(const QList<common::Entry>& entries) {
    if (drilling_ || entries.isEmpty()) {
        return;
    }
    over_ = true;
    fileSet_ = std::exchange(entries_, entries);
    fileSetLoaded_ = fileLoaded_;
    beginDrill();
}

void modMain::beginDrill() {
    ShuffleQuestions();
    view_.resetClock();
    view_.setOkEnabled(true);

    platform::MessageBox box;
    box.text = kGoodLuck;
    box.title = kStartTitle;
    platform_.showMessage(view_.dialogParent(), box);

    view_.startClock();
    drilling_ = true;
    drillPhase_ = kAsk;
    currentIndex_ = 0;
    answeredCount_ = 0;
    correctCount_ = 0;
    missed_.clear();
    overrulable_ = false;
    position_ = {0, static_cast<int>(entries_.size())};
    view_.setTimeText(elapsedText(0));
    view_.setCountText(countText(common::kNormalMode, 0, 0, 0));
    ProceedDrill();
}

void modMain::ProceedDrill() {
    if (!drilling_) {
        return;
    }
    if (drillPhase_ == kAsk) {
        AskQuestion();
    } else if (drillPhase_ == kJudge) {
        JudgeAnswer();
    }
}

void modMain::AskQuestion() {
    const int count = static_cast<int>(entries_.size());
    switch (view_.drillMode()) {
        case common::kEndlessMode:
            if (count == 0) {
                EndDrill();
                return;
            }
            currentIndex_ = drawPosition(random_.next(), count);
            position_ = {position_.place + 1, 0};
            break;
        case common::kOvercomingMode:
            if (currentIndex_ == 0) {
                currentIndex_ = 1;
            }
            if (count == 0) {
                EndDrill();
                return;
            }
            if (currentIndex_ > count) {
                ShuffleQuestions();
                currentIndex_ = 1;
                position_ = {0, count};
            }
            ++position_.place;
            break;
        case common::kNormalMode:
        default:
            if (currentIndex_ >= count) {
                EndDrill();
                return;
            }
            ++currentIndex_;
            position_ = {currentIndex_, count};
            break;
    }
    overrulable_ = false;

    for (int box = 0; box < kRightBoxes; ++box) {
        view_.setRightText(box, QString());
    }
    view_.hideRightPages();
    view_.setInformationText(QString());
    view_.setAnswerText(QString());
    view_.setResultText(QString());
    view_.setQuestionText(entries_.at(currentIndex_ - 1).question);
    view_.focusAnswer();
    drillPhase_ = kJudge;
}

void modMain::JudgeAnswer() {
    const common::DrillModeValue mode = view_.drillMode();
    const common::Entry entry = entries_.at(currentIndex_ - 1);
    const QStringList rights = common::splitRights(entry.rights);

    for (int box = 0; box < kRightBoxes && box < rights.size(); ++box) {
        view_.setRightText(box, rights.at(box));
    }
    ++answeredCount_;
    view_.setInformationText(common::informationToDisplay(entry.information));
    if (rights.size() > kRightBoxes) {
        view_.showRightPages(entry.rights, static_cast<int>((rights.size() - 1) / kRightBoxes));
    }

    view_.setResultText(kWrongMark);
    const Judgement judged = judgeAnswer(view_.answerText(), rights, lenientJudging_);
    overrulable_ = !judged.right;
    if (judged.right) {
        view_.setResultText(kRightMark);
        if (judged.lenient) {
            view_.setResultToolTip(lenientNote(judged.rightAnswer));
        }
        ++correctCount_;
        if (mode == common::kOvercomingMode) {
            entries_.removeAt(currentIndex_ - 1);
            --currentIndex_;
        }
    }
    if (overrulable_) {
        missed_.add(entry, view_.answerText());
        judgedIndex_ = currentIndex_;
    }
    if (mode == common::kOvercomingMode) {
        ++currentIndex_;
    }
    drillPhase_ = kAsk;
    updateCount();
}

bool modMain::canOverrule() const {
    return drilling_ && drillPhase_ == kAsk && overrulable_;
}

void modMain::Overrule() {
    if (!canOverrule()) {
        return;
    }
    overrulable_ = false;
    missed_.withdrawLast(entries_.at(judgedIndex_ - 1));
    ++correctCount_;
    view_.setResultText(kRightMark);
    if (view_.drillMode() == common::kOvercomingMode) {
        // Mastered after all: out of the set, and the next position is the entry that moved up.
        entries_.removeAt(judgedIndex_ - 1);
        currentIndex_ = judgedIndex_;
    }
    updateCount();
}

void modMain::updateCount() {
    view_.setCountText(
        countText(view_.drillMode(), correctCount_, answeredCount_, entries_.size()));
}

void modMain::GiveUp() {
    if (!drilling_) {
        return;
    }
    platform::MessageBox box;
    box.text = kStopQuestion;
    box.title = kStopTitle;
    box.icon = platform::Icon::Question;
    box.buttons = platform::Buttons::YesNo;
    box.defaultButton = platform::Answer::No;
    if (platform_.showMessage(view_.dialogParent(), box) == platform::Answer::Yes) {
        EndDrill();
    }
}

void modMain::EndDrill() {
    if (!drilling_) {
        return;
    }
    drilling_ = false;
    view_.stopClock();
    view_.setOkEnabled(false);
    for (int box = 0; box < kRightBoxes; ++box) {
        view_.setRightText(box, QString());
    }
    view_.setInformationText(QString());
    view_.setAnswerText(QString());
    view_.setResultText(QString());

    const common::DrillModeValue mode = view_.drillMode();
    view_.setQuestionText(resultsLine(mode, correctCount_, answeredCount_));
    overrulable_ = false;
    if (over_) {
        over_ = false;
        entries_ = std::exchange(fileSet_, {});
        fileLoaded_ = fileSetLoaded_;
    } else if (mode == common::kOvercomingMode) {
        OpenWordFile(true);
    }
    view_.drillEnded();
}

}  // namespace drill
