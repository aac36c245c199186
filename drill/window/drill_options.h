#pragma once

#include <QObject>
#include <QString>

#include "common/preferences.h"

class QAction;
class QMenu;

namespace platform {
class Platform;
}

namespace drill {

class modMain;

// The Option menu's items that "qrvwr.dat" has no room for, kept in the preferences file:
// spoken questions (and F5 to hear the question again) and lenient judging.
class DrillOptions : public QObject {
public:
    DrillOptions(platform::Platform& platform, modMain& engine, QMenu* optionMenu);

    // Lenient judging cannot change while a drill runs, so that one drill has one rule.
    void updateAvailability(bool drilling);

    // A question was just asked: spoken when the option is on, and kept for F5.
    void questionAsked(const QString& question);
    // The drill ended: nothing left to speak again.
    void questionGone();

private:
    void speak();
    void store(bool common::Preferences::*option, bool on);
    void updateSpeech();

    platform::Platform& platform_;
    modMain& engine_;
    common::PreferencesFile preferences_;
    QString question_;

    QAction* Option_Speak = nullptr;
    QAction* Option_SpeakAgain = nullptr;
    QAction* Option_Lenient = nullptr;
};

}  // namespace drill
