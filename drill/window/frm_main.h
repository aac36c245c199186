// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>
#include <QMainWindow>
#include <QSet>
#include <QString>

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "common/settings.h"
#include "common/zoom.h"
#include "drill/engine/drill_session.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace platform {
class Platform;
}

namespace review {
class ReviewClock;
}

namespace drill {

class AfterDrill;
class CardButtons;
class ChoiceButtons;
class DifferenceView;
class DrillClock;
class DrillOptions;
class DrillWays;
class RandomSource;
class ReplayLine;
class ReviewCommands;

namespace history {
class DrillHistory;
class HistorySync;
}  // namespace history

// The drill program's one window. It holds no drill logic: its commands hand what the learner
// did to the session and show what comes back.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    frmMain(platform::Platform& platform, RandomSource& random, QWidget* parent = nullptr);
    // Ended drills are recorded in history, and every judged answer as a review of its word.
    frmMain(platform::Platform& platform, RandomSource& random, history::DrillHistory& history,
            QWidget* parent = nullptr);
    // Reviews are timed by clock rather than the system's.
    frmMain(platform::Platform& platform, RandomSource& random, history::DrillHistory& history,
            const review::ReviewClock& clock, QWidget* parent = nullptr);
    ~frmMain() override;

    DrillSession& session() { return session_; }
    AfterDrill& afterDrill() { return *after_; }
    ReviewCommands& reviewCommands() { return *reviews_; }
    DrillClock& clock() { return *TIM; }

    // The version shown by "&Version"; the release's own unless a test sets another.
    void setVersion(int major, int minor);

    // A word file named on the command line, opened as Open would.
    void openWordFile(const QString& path);
    // Folders offered renaming of names in the Windows code page this run.
    QSet<QString>& namesOffered() { return namesOffered_; }
    // The sync folder's merges: the review window shows them, and a merge that ends while the
    // information line still says what the open said tells the file's counts again.
    void setSync(history::HistorySync* sync);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct HistoryChoice {
        history::DrillHistory* history;
        const review::ReviewClock* clock;
    };
    frmMain(platform::Platform& platform, RandomSource& random, HistoryChoice history,
            QWidget* parent);
    void createControls();
    void createMenus();
    // Each box as tall as the fonts that draw its text need; everything below moves down.
    // Gives the client area's size.
    QSize applyLayout(int zoomPercent);
    // The largest step up to wanted at which the window fits the screen; gives it.
    int zoomTo(int wanted);
    bool fitsAt(int percent);    // leaves the layout at percent
    bool zoomFits(int percent);  // leaves the layout as it was
    void Form_Load();
    void Form_Unload();
    void updateAvailability();
    void checkMode(common::DrillModeValue mode);
    void reloadWordFile();
    void showReadOutcome(const common::Outcome& outcome, bool opened);
    // The file's name and its review counts, as an open leaves them.
    void showLoadedInformation();
    void refreshLoadedCounts();
    void drillStarted();
    void askNext();
    void showVerdict(const Verdict& verdict);
    // The entry's answers and information, after a verdict or on a card turned over.
    void showAnswers(const Verdict& verdict);
    // The answer was not judged: why, and the box ready for another try.
    void showTryAgain(const Verdict& verdict);
    void endDrill();

    void Menu_Open_Click();
    void Menu_Start_Click();
    void Menu_GiveUp_Click();
    void Menu_Overrule_Click();
    void Menu_Version_Click();
    void Menu_Help_Click();
    void Option_Edit_Click();
    void cmdOK_Click();
    void framTime_Click();
    void vsRight_Change();
    void optVisibility_Click(int index);

    // Multiple choice and cards: their own controls in place of the answer box.
    void createWayControls(QWidget* client);
    void showWayControls(const Question& question);
    void hideWayControls();
    // Typed into, or read-only and skipped by Tab while choices or a card answer.
    void setAnswerTyped(bool typed);
    void choose(int choice);
    void revealCard();
    void gradeCard(bool right);

    void setQuestionText(const QString& text);
    void setRightText(int box, const QString& text);
    // All answers of the judged entry, joined as stored, for paging four at a time from the
    // first page; lastPage is the 0-based number of the last page.
    void showRightPages(const QString& joinedRights, int lastPage);
    void setInformationText(const QString& text);
    // The verdict mark; its tool tip goes back to the usual one.
    void setResultText(const QString& text);
    // A tool tip for the verdict just set.
    void setResultToolTip(const QString& text);
    // Empties the boxes of the question before.
    void clearAnswerBoxes();

    std::unique_ptr<history::DrillHistory> noHistory_;
    std::unique_ptr<review::ReviewClock> systemClock_;
    platform::Platform& platform_;
    DrillSession session_;
    // The mode the Option menu checks, for the next drill.
    common::DrillModeValue mode_ = common::kNormalMode;
    common::SettingsRecord settings_;
    QString helpFile_;
    int versionMajor_;
    int versionMinor_;
    bool unloaded_ = false;
    QSet<QString> namesOffered_;

    QPlainTextEdit* txtQuestion0 = nullptr;  // with a horizontal scroll bar
    QLineEdit* txtQuestion1 = nullptr;       // single line
    std::array<QRadioButton*, 2> optVisibility{};
    std::array<QLineEdit*, 4> txtRight{};
    QScrollBar* vsRight = nullptr;
    QString vsRightTag_;
    QPlainTextEdit* txtInformation = nullptr;
    QLineEdit* txtAnswer = nullptr;
    DifferenceView* lblDifference = nullptr;
    QFont differenceFont_;  // at the normal size
    QPushButton* cmdOK = nullptr;
    QLabel* lblResult = nullptr;
    QFrame* framTime = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblCount = nullptr;
    ReplayLine* lblReplay = nullptr;  // beside the menus, while the history works beside the window
    DrillClock* TIM = nullptr;
    bool framePressed_ = false;
    // An input-method conversion is under way in txtAnswer: its Enter is not the OK button's.
    bool composing_ = false;
    // The word file's answers are Japanese: the answer box switches the input method on.
    bool japaneseAnswers_ = false;
    bool loadedShown_ = false;  // the information line still says what the open said
    // A wrong input mode was caught and the box's mode switched for this question.
    bool imeSwitched_ = false;
    DrillOptions* options_ = nullptr;
    ChoiceButtons* choices_ = nullptr;
    CardButtons* card_ = nullptr;
    DrillWays* ways_ = nullptr;
    int zoom_ = common::kZoomNormal;
    // Each control's font at the normal size, scaled by the zoom.
    std::vector<std::pair<QWidget*, QFont>> normalFonts_;

    QMenu* Menu_Top = nullptr;
    QAction* Menu_Open = nullptr;
    QAction* Menu_Start = nullptr;
    QAction* Menu_GiveUp = nullptr;
    QAction* Menu_Overrule = nullptr;
    QAction* Menu_History = nullptr;
    AfterDrill* after_ = nullptr;
    ReviewCommands* reviews_ = nullptr;
    QAction* Menu_Review = nullptr;
    QAction* Menu_ReviewPlan = nullptr;
    QAction* Menu_Version = nullptr;
    QAction* Menu_Help = nullptr;
    QAction* Menu_Exit = nullptr;
    QMenu* Option_Top = nullptr;
    QAction* Option_Normal = nullptr;
    QAction* Option_Endless = nullptr;
    QAction* Option_Conquering = nullptr;
    QAction* Option_Edit = nullptr;
};

}  // namespace drill
