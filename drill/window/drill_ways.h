// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

#include "common/preferences.h"
#include "drill/engine/drill_way.h"

class QAction;
class QActionGroup;
class QMenu;

namespace platform {
class Platform;
}

namespace drill {

class DrillSession;

// The Option menu's "出題の向き": how the next drill asks (a direction, listening, multiple choice
// or cards), one way at a time, kept in the preferences file. The session asks in the way checked;
// listening only while a voice can speak the file's questions, else the typed way, the choice kept
// for when it can.
class DrillWays : public QObject {
public:
    DrillWays(platform::Platform& platform, DrillSession& session, QMenu* optionMenu);

    // The way cannot change while a drill runs, so that one drill asks one way.
    void updateAvailability(bool drilling);

private:
    QAction* addWay(const QString& caption, const QString& name, DrillWay way,
                    const QString& toolTip);
    void choose(DrillWay way);
    // Empty when listening can ask the open file's questions, else why not.
    QString listeningUnavailable();

    platform::Platform& platform_;
    DrillSession& session_;
    common::PreferencesFile preferences_;
    QActionGroup* group_ = nullptr;
    bool voicesWanted_ = false;

    QMenu* Option_Way = nullptr;
    QAction* Option_WayForward = nullptr;
    QAction* Option_WayBackward = nullptr;
    QAction* Option_WayListening = nullptr;
};

}  // namespace drill
