// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <memory>

class QAction;

namespace platform {
class Platform;
}

namespace editor {

class EditorSession;
class FocusBehaviour;
class SearchCommand;
class frmEdit;

// The editor's tools: the input options on its boxes, more answers, reverse generation and
// search, with the Edit menu's items for them.
class EditCommands : public QObject {
    Q_OBJECT
public:
    EditCommands(frmEdit& window, EditorSession& session, platform::Platform& platform);
    ~EditCommands() override;

    FocusBehaviour& focus() const { return *focus_; }

    void cmdMoreRight_Click();
    void cmdReverse_Click();
    void Edit_Reverse_Click();
    void Edit_Scan_Click();
    void Edit_ScanNext_Click();
    // As the Edit menu opens (from the menu bar or as the list's context menu) and whenever
    // the entries or the selection change, so that the shortcuts follow the same rule.
    void updateEditItems();

private:
    frmEdit& window_;
    EditorSession& session_;
    platform::Platform& platform_;
    std::unique_ptr<FocusBehaviour> focus_;
    SearchCommand* search_ = nullptr;  // the window's child
    QAction* scan_ = nullptr;
    QAction* scanNext_ = nullptr;
    QAction* reverse_ = nullptr;
};

}  // namespace editor
