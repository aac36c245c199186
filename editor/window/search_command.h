// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/logic/search.h"
#include "platform/platform.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace editor {

class FocusBehaviour;
class EditorSession;
class frmEdit;
class frmScan;

// The search dialog and ScanNext. Pending window events are handled while a search runs.
class SearchCommand : public QObject {
    Q_OBJECT
public:
    SearchCommand(frmEdit& window, EditorSession& session, platform::Platform& platform,
                  FocusBehaviour& focus);
    ~SearchCommand() override;

    void openDialog();  // Edit_Scan_Click
    void scanNext();    // ScanNext

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Driver;
    QWidget* messageParent() const;

    frmEdit* window_;
    EditorSession& session_;
    platform::Platform& platform_;
    FocusBehaviour& focus_;
    QPointer<frmScan> dialog_;
    bool running_ = false;
    bool stopped_ = false;  // the window closed while the search ran
    // Pending events are handled after this many entries without a match.
    int entriesBetweenEvents_ = 64;
};

}  // namespace editor
