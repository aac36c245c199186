// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/search_command.h"

#include "editor/logic/editor_texts.h"
#include "editor/window/entry_commands.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/frm_edit.h"
#include "editor/window/frm_scan.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace editor {

class SearchCommand::Driver : public ScanDriver {
public:
    explicit Driver(SearchCommand* command)
        : command_(command), startRevision_(command->session_.document().revision()) {}

    bool askRestart() override {
        const platform::MessageBox box{kScanAgain,
                                       kScanTitle,
                                       platform::Icon::Question,
                                       platform::Buttons::YesNo,
                                       platform::Answer::Yes,
                                       {}};
        return command_->platform_.showMessage(command_->messageParent(), box) ==
               platform::Answer::Yes;
    }

    bool keepScanning() override {
        if (++sinceEvents_ >= command_->entriesBetweenEvents_) {
            sinceEvents_ = 0;
            QCoreApplication::processEvents();
        }
        // A changed document invalidates every position the walk holds.
        return alive() && !command_->stopped_ &&
               command_->session_.document().revision() == startRevision_;
    }

    // The window and with it the command may go while events are handled.
    bool alive() const { return !command_.isNull(); }

private:
    QPointer<SearchCommand> command_;
    quint64 startRevision_;
    int sinceEvents_ = 0;
};

SearchCommand::SearchCommand(frmEdit& window, EditorSession& session, platform::Platform& platform,
                             FocusBehaviour& focus)
    : QObject(&window), window_(&window), session_(session), platform_(platform), focus_(focus) {
    window_->installEventFilter(this);
}

SearchCommand::~SearchCommand() {
    if (dialog_) {
        delete dialog_.data();
    }
}

void SearchCommand::openDialog() {
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    dialog_ = new frmScan(session_.scanString(), focus_, window_);
    connect(dialog_, &frmScan::scanRequested, this, [this](const QString& text, int fields) {
        session_.setScanString(text);
        session_.setScanFields(fields);
        scanNext();
    });
    dialog_->show();
    dialog_->activateWindow();
}

void SearchCommand::scanNext() {
    // A step asked for while one runs (events are handled meanwhile) is not started again.
    if (running_) {
        return;
    }
    running_ = true;
    stopped_ = false;
    Driver driver(this);
    const ScanResult result =
        editor::scanNext(session_, window_->lstQuestion().currentPosition().value_or(-1),
                         session_.scanString(), session_.scanFields(), driver);
    if (!driver.alive()) {
        return;
    }
    running_ = false;
    switch (result.outcome) {
        case ScanOutcome::NeedText:
            platform_.warn(messageParent(), kScanNeedText, kScanTitle);
            openDialog();
            break;
        case ScanOutcome::NeedFields:
            platform_.warn(messageParent(), kScanNeedFields, kScanTitle);
            openDialog();
            break;
        case ScanOutcome::EmptyList:
        case ScanOutcome::Finished:
            platform_.showMessage(messageParent(), {kScanFinished,
                                                    kScanTitle,
                                                    platform::Icon::None,
                                                    platform::Buttons::Ok,
                                                    platform::Answer::Ok,
                                                    {}});
            break;
        case ScanOutcome::Found:
            if (window_->entryCommands().confirmEntryStored()) {
                window_->chooseEntry(result.position);
            }
            break;
        case ScanOutcome::Declined:
        case ScanOutcome::Interrupted:
            break;
    }
}

bool SearchCommand::eventFilter(QObject* watched, QEvent* event) {
    // The dialog and a running search end with the editor window.
    if (watched == window_ && event->type() == QEvent::Hide && !event->spontaneous()) {
        stopped_ = true;
        if (dialog_) {
            dialog_->close();
        }
    }
    return false;
}

QWidget* SearchCommand::messageParent() const {
    return dialog_ && dialog_->isVisible() ? static_cast<QWidget*>(dialog_.data()) : window_;
}

}  // namespace editor
