// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

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

// The Option menu's ways of asking besides typed answers: multiple choice and cards, one of
// them or neither, kept in the preferences file and handed to the session for the next drill.
class WayItems : public QObject {
public:
    WayItems(platform::Platform& platform, DrillSession& session, QMenu* optionMenu);

    // The way cannot change while a drill runs.
    void updateAvailability(bool drilling);

private:
    void choose(DrillWay way);

    DrillSession& session_;
    common::PreferencesFile preferences_;
    QActionGroup* group_ = nullptr;

    QAction* Option_Choice = nullptr;
    QAction* Option_Card = nullptr;
};

}  // namespace drill
