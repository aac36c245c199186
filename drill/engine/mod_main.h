#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "common/settings.h"
#include "common/word_file.h"
#include "drill/engine/missed_entries.h"

namespace platform {
class Platform;
}

namespace drill {

class DrillView;
class RandomSource;

// The drill engine: the question set loaded from a word file and the state of the drill that
// runs over it. It reaches the window only through DrillView, and message boxes and the open
// dialog only through the platform layer.
class modMain {
public:
    modMain(DrillView& view, platform::Platform& platform, RandomSource& random);

    // The question set: the entries of the word file, in drill order once a drill started.
    // Positions are 1-based, as CurrentIndex counts them.
    const QList<common::Entry>& questionSet() const { return entries_; }
    QStringList QuestionTexts() const;
    bool FileLoaded() const { return fileLoaded_; }
    const QString& WordFileName() const { return wordFileName_; }

    bool Drilling() const { return drilling_; }
    int DrillPhase() const { return drillPhase_; }
    int CurrentIndex() const { return currentIndex_; }
    qint64 AnsweredCount() const { return answeredCount_; }
    qint64 CorrectCount() const { return correctCount_; }

    // Where the open dialog starts until a file has been chosen: the path stored in the
    // settings file.
    // Lenient judging also accepts answers that differ from a right one only in blanks around
    // them, letter case and full-width or half-width forms.
    void setLenientJudging(bool lenient) { lenientJudging_ = lenient; }
    bool lenientJudging() const { return lenientJudging_; }

    void setDialogInitialFolder(const QString& folder) { dialogInitialFolder_ = folder; }
    const QString& dialogInitialFolder() const { return dialogInitialFolder_; }

    // reload = false asks for a file in the open dialog (refused during a drill); reload = true
    // reads WordFileName again.
    void OpenWordFile(bool reload);
    // The same as choosing path in the open dialog: from the command line.
    void OpenWordFileAt(const QString& path);
    void ShuffleQuestions();
    // Only with a question set loaded and no drill running.
    void StartDrill();
    // A drill over the given entries only (the missed ones of the last drill); afterwards the
    // question set is the file's again.
    void StartDrillOver(const QList<common::Entry>& entries);
    // The OK button: asks the next question or judges the answer, alternately.
    void ProceedDrill();
    // The Stop command: ends the running drill once the learner confirms.
    void GiveUp();
    void EndDrill();

    // The entries missed in the running or last drill.
    const MissedEntries& missed() const { return missed_; }
    // After a wrong verdict and before the next question, once per question.
    bool canOverrule() const;
    // Turns the wrong verdict on screen into a right one, as if the answer had been right.
    void Overrule();
    DrillPosition position() const { return position_; }

private:
    void beginDrill();
    void AskQuestion();
    void JudgeAnswer();
    void loadWordFile(bool reload);
    void failLoad(const QString& message);
    void updateCount();

    DrillView& view_;
    platform::Platform& platform_;
    RandomSource& random_;

    QList<common::Entry> entries_;
    bool fileLoaded_ = false;
    bool lenientJudging_ = false;
    QString wordFileName_;
    QString dialogInitialFolder_;
    QString dialogFileName_;

    bool drilling_ = false;
    int drillPhase_ = 0;
    int currentIndex_ = 0;
    // Wider than the 16 bits of positions: an Endless drill may count on and on.
    qint64 answeredCount_ = 0;
    qint64 correctCount_ = 0;

    MissedEntries missed_;
    bool overrulable_ = false;
    int judgedIndex_ = 0;
    DrillPosition position_;
    // A drill over missed entries keeps the file's set aside until it ends.
    bool over_ = false;
    QList<common::Entry> fileSet_;
    bool fileSetLoaded_ = false;
};

}  // namespace drill
