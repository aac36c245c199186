// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/logic/entry_form.h"

#include <QObject>
#include <QUndoStack>

class QAction;

namespace platform {
class Platform;
}

namespace editor {

class EditorSession;
class frmEdit;

// The entry commands: the store buttons, Remove, and the Edit menu's undo, redo and new entry.
class EntryCommands : public QObject {
    Q_OBJECT
public:
    EntryCommands(frmEdit& window, EditorSession& session, platform::Platform& platform);

    // The unstored-edit question, before the form's typing would be replaced: false to stay.
    bool confirmEntryStored();

    // Each returns whether the form was stored.
    bool cmdAdd_Click();
    bool cmdInsert_Click();
    bool cmdChange_Click();
    void cmdRemove_Click();
    void Edit_NewEntry_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stepHistory(void (QUndoStack::*step)());  // undo or redo
    // Warns when refused; recounts the answers the form holds as the check did.
    bool refused(const std::optional<Refusal>& refusal);

    frmEdit& window_;
    EditorSession& session_;
    platform::Platform& platform_;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* newEntry_ = nullptr;
};

}  // namespace editor
