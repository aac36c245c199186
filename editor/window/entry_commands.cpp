// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/entry_commands.h"

#include "editor/logic/editor_texts.h"
#include "editor/window/entry_form_view.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/frm_edit.h"
#include "editor/window/help_topics.h"
#include "platform/platform.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

namespace editor {

EntryCommands::EntryCommands(frmEdit& window, EditorSession& session, platform::Platform& platform)
    : window_(window), session_(session), platform_(platform) {
    QMenu* edit = window_.editMenu();
    undo_ = addMenuItem(edit, QStringLiteral("元に戻す(&U)"), "Edit_Undo",
                        {QKeySequence(Qt::CTRL | Qt::Key_Z)}, kUndoTopic);
    connect(undo_, &QAction::triggered, this, [this] { stepHistory(&QUndoStack::undo); });
    redo_ = addMenuItem(
        edit, QStringLiteral("やり直し(&Y)"), "Edit_Redo",
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        kUndoTopic);
    connect(redo_, &QAction::triggered, this, [this] { stepHistory(&QUndoStack::redo); });
    undo_->setEnabled(false);
    redo_->setEnabled(false);
    QUndoStack& history = session_.undoStack();
    connect(&history, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);
    edit->addSeparator();
    newEntry_ = addMenuItem(edit, QStringLiteral("新しい項目(&W)"), "Edit_NewEntry",
                            {QKeySequence(Qt::CTRL | Qt::Key_E)}, kUndoTopic);
    connect(newEntry_, &QAction::triggered, this, &EntryCommands::Edit_NewEntry_Click);
    edit->addSeparator();

    connect(window_.button("cmdAdd"), &QPushButton::clicked, this, &EntryCommands::cmdAdd_Click);
    connect(window_.button("cmdInsert"), &QPushButton::clicked, this,
            &EntryCommands::cmdInsert_Click);
    connect(window_.button("cmdChange"), &QPushButton::clicked, this,
            &EntryCommands::cmdChange_Click);
    connect(window_.button("cmdRemove"), &QPushButton::clicked, this,
            &EntryCommands::cmdRemove_Click);
    EntryFormView& form = window_.entryForm();
    form.txtQuestion()->installEventFilter(this);
    for (int i = 0; i < kAnswerBoxes; ++i) {
        form.txtRight(i)->installEventFilter(this);
    }
    form.txtInformation()->installEventFilter(this);
}

bool EntryCommands::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // The boxes would take Ctrl+E as the end of the line on X11: the new entry wins.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence keys(key->keyCombination());
        if (newEntry_->shortcut() == keys) {
            return true;
        }
        // A box takes the undo keys even with nothing to undo: then they are the window's.
        auto* line = qobject_cast<QLineEdit*>(watched);
        auto* text = qobject_cast<QPlainTextEdit*>(watched);
        const bool boxUndo =
            line ? line->isUndoAvailable() : text && text->document()->isUndoAvailable();
        const bool boxRedo =
            line ? line->isRedoAvailable() : text && text->document()->isRedoAvailable();
        if ((undo_->shortcuts().contains(keys) && !boxUndo) ||
            (redo_->shortcuts().contains(keys) && !boxRedo)) {
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool EntryCommands::confirmEntryStored() {
    if (!window_.formEdited()) {
        return true;
    }
    const platform::Answer answer = platform_.showMessage(
        &window_, {kStoreQuestion, kStoreQuestionTitle, platform::Icon::Question,
                   platform::Buttons::YesNoCancel, platform::Answer::Yes, std::nullopt});
    switch (answer) {
        case platform::Answer::Yes:
            return window_.lstQuestion().currentPosition() ? cmdChange_Click() : cmdAdd_Click();
        case platform::Answer::No:
            // What follows replaces the typing; should it stop short (a cancelled file
            // dialog), the typing is still there.
            return true;
        default:
            return false;
    }
}

void EntryCommands::Edit_NewEntry_Click() {
    if (!confirmEntryStored()) {
        return;
    }
    window_.showForm({});
    window_.entryForm().txtQuestion()->setFocus();
}

void EntryCommands::stepHistory(void (QUndoStack::*step)()) {
    const auto busy = platform_.busy();
    const auto quiet = window_.quietList();
    const auto stepping = window_.steppingHistory();
    (session_.undoStack().*step)();
}

bool EntryCommands::refused(const std::optional<Refusal>& refusal) {
    if (!window_.entryForm().contents().question.isEmpty()) {
        window_.entryForm().refreshRightCount();
    }
    if (refusal) {
        platform_.warn(&window_, refusal->text, refusal->title);
        return true;
    }
    return false;
}

bool EntryCommands::cmdAdd_Click() {
    EntryStored stored;
    {
        const auto quiet = window_.quietList();
        stored = session_.add(window_.entryForm().contents());
    }
    if (refused(stored.refusal)) {
        return false;
    }
    window_.showForm({});
    window_.entryForm().txtQuestion()->setFocus();
    return true;
}

bool EntryCommands::cmdInsert_Click() {
    const std::optional<int> current = window_.lstQuestion().currentPosition();
    if (!current) {
        return false;
    }
    EntryStored stored;
    {
        const auto quiet = window_.quietList();
        stored = session_.insert(window_.entryForm().contents(), *current);
    }
    if (refused(stored.refusal)) {
        return false;
    }
    window_.showForm({});
    window_.entryForm().txtQuestion()->setFocus();
    return true;
}

bool EntryCommands::cmdChange_Click() {
    const std::optional<int> current = window_.lstQuestion().currentPosition();
    if (!current) {
        return false;
    }
    EntryStored stored;
    {
        const auto quiet = window_.quietList();
        stored = session_.change(window_.entryForm().contents(), *current);
    }
    if (refused(stored.refusal)) {
        return false;
    }
    window_.showEntry(stored.entry);
    window_.lstQuestion().setFocus();
    return true;
}

void EntryCommands::cmdRemove_Click() {
    const platform::Answer answer = platform_.showMessage(
        &window_, {kRemoveQuestion, kRemoveWord, platform::Icon::Question, platform::Buttons::YesNo,
                   platform::Answer::Yes, std::nullopt});
    if (answer != platform::Answer::Yes) {
        return;
    }
    const auto busy = platform_.busy();
    const auto quiet = window_.quietList();
    session_.remove();
}

}  // namespace editor
