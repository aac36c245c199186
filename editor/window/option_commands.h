// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/logic/input_options.h"
#include "platform/zoom_items.h"

#include <QFont>
#include <QObject>

#include <array>

class QAction;

namespace platform {
class Platform;
}

namespace editor {

class EditorSession;
class frmEdit;

// The Option menu: the input options kept in the settings file, the zoom of the window's
// fonts and the question box spoken (F5). The check marks show the session's options; they
// are never read back.
class OptionCommands : public QObject {
    Q_OBJECT
public:
    OptionCommands(frmEdit& window, EditorSession& session, platform::Platform& platform);

    void Option_Focus_Click();
    void Option_IME_Mode_Click(editor::BoxKind kind, int index);

private:
    void showOptionChecks();
    void Option_Zoom_Click(int wanted);
    void updateSpeech();
    // The largest step up to wanted at which the window fits the screen; gives it.
    int zoomTo(int wanted);
    bool fitsAt(int percent);  // leaves the fonts at percent

    frmEdit& window_;
    EditorSession& session_;
    platform::Platform& platform_;
    QAction* optionFocus_ = nullptr;
    std::array<std::array<QAction*, kImeModeCount>, 3> imeModeActions_{};
    platform::ZoomItems zoomItems_;
    QAction* speakQuestion_ = nullptr;
    QFont normalFont_;  // the window's font at the normal size
    int zoom_ = 0;
};

}  // namespace editor
