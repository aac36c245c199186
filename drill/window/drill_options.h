// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "common/preferences.h"
#include "platform/platform.h"
#include "platform/zoom_items.h"

class QAction;
class QMenu;

namespace platform {
class Platform;
}

namespace drill {

class DrillSession;

// The Option menu's items that "qrvwr.dat" has no room for, kept in the preferences file:
// spoken questions (and F5 to hear the question again, Shift+F5 slowly), the judging rules and
// the zoom.
class DrillOptions : public QObject {
public:
    // zoomTo sizes the window at the step wanted, or the largest below it that fits the
    // screen, and gives the step it took; fits tells whether the window fits at a step.
    DrillOptions(platform::Platform& platform, DrillSession& session, QMenu* optionMenu,
                 std::function<int(int)> zoomTo, const std::function<bool(int)>& fits);

    // The judging rules cannot change while a drill runs, so that one drill has one rule.
    void updateAvailability(bool drilling);

    // A question was just asked: spoken when the option is on or the drill is listening, and
    // kept for F5 and Shift+F5. False when it was not spoken.
    bool questionAsked(const QString& question);
    // The drill ended: nothing left to speak again.
    void questionGone();

private:
    bool speak(platform::SpeechPace pace);
    // Questions are spoken: the option is on, or the drill is one of listening.
    bool speaking() const;
    void store(bool common::Preferences::*option, bool on);
    QAction* addJudgingItem(QMenu* menu, const QString& caption, const QString& name,
                            const QString& toolTip, bool checked);
    // A near-miss item was checked or unchecked: the other one goes off.
    void nearMissChanged(QAction* item, bool on);
    // The session judges by the items as they are now.
    void applyJudging();
    void updateSpeech();
    void zoom(int wanted);

    platform::Platform& platform_;
    DrillSession& session_;
    common::PreferencesFile preferences_;
    QString question_;
    std::function<int(int)> zoomTo_;
    int zoom_ = 0;
    platform::ZoomItems zoomItems_;

    QAction* Option_Speak = nullptr;
    QAction* Option_SpeakAgain = nullptr;
    QAction* Option_SpeakSlowly = nullptr;
    QAction* Option_Lenient = nullptr;
    QAction* Option_NearMissRetry = nullptr;
    QAction* Option_NearMissAccept = nullptr;
    QAction* Option_OptionalParentheses = nullptr;
    QAction* Option_OptionalPlaceholder = nullptr;
};

}  // namespace drill
