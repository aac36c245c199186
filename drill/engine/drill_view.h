#pragma once

#include <QString>

#include "common/settings.h"

class QWidget;

namespace drill {

// What the drill engine reads from and writes to its window, and nothing more.
class DrillView {
public:
    virtual ~DrillView() = default;

    // The mode whose menu item carries the check mark.
    virtual common::DrillModeValue drillMode() const = 0;

    virtual QString answerText() const = 0;
    virtual void setAnswerText(const QString& text) = 0;
    virtual void focusAnswer() = 0;

    // Both question boxes always show the same text.
    virtual void setQuestionText(const QString& text) = 0;

    // box 0..3
    virtual void setRightText(int box, const QString& text) = 0;
    // All answers of the judged entry, joined as stored, for paging four at a time from the
    // first page; lastPage is the 0-based number of the last page.
    virtual void showRightPages(const QString& joinedRights, int lastPage) = 0;
    virtual void hideRightPages() = 0;

    virtual void setInformationText(const QString& text) = 0;
    // The verdict mark; its tool tip goes back to the usual one.
    virtual void setResultText(const QString& text) = 0;
    // A tool tip for the verdict just set.
    virtual void setResultToolTip(const QString& text) = 0;
    virtual void setCountText(const QString& text) = 0;
    virtual void setTimeText(const QString& text) = 0;

    // The elapsed-time count: back to zero, running, stopped.
    virtual void resetClock() = 0;
    virtual void startClock() = 0;
    virtual void stopClock() = 0;

    virtual void setOkEnabled(bool enabled) = 0;

    // A drill has ended and its results are on screen.
    virtual void drillEnded() {}

    // The owner of the engine's message boxes and dialogs.
    virtual QWidget* dialogParent() = 0;
};

}  // namespace drill
