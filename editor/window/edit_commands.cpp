// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/edit_commands.h"

#include "editor/logic/editor_session.h"
#include "editor/logic/editor_texts.h"
#include "editor/window/entry_form_view.h"
#include "editor/window/entry_list_model.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/focus_behaviour.h"
#include "editor/window/frm_add_right.h"
#include "editor/window/frm_edit.h"
#include "editor/window/help_topics.h"
#include "editor/window/search_command.h"
#include "platform/platform.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace editor {

EditCommands::EditCommands(frmEdit& window, EditorSession& session, platform::Platform& platform)
    : window_(window),
      session_(session),
      platform_(platform),
      focus_(std::make_unique<FocusBehaviour>(platform, session)) {
    EntryFormView& form = window_.entryForm();
    focus_->attach(form.txtQuestion(), BoxKind::Question);
    for (int i = 0; i < kAnswerBoxes; ++i) {
        focus_->attach(form.txtRight(i), BoxKind::Right);
    }
    focus_->attach(form.txtInformation(), BoxKind::Information);
    search_ = new SearchCommand(window_, session_, platform_, *focus_);

    QMenu* edit = window_.editMenu();
    connect(edit, &QMenu::aboutToShow, this, &EditCommands::updateEditItems);
    scan_ = addMenuItem(edit, QStringLiteral("検索(&S)"), "Edit_Scan",
                        {QKeySequence(Qt::CTRL | Qt::Key_F)});
    connect(scan_, &QAction::triggered, this, &EditCommands::Edit_Scan_Click);
    scanNext_ = addMenuItem(edit, QStringLiteral("次を検索(&N)"), "Edit_ScanNext",
                            {QKeySequence(Qt::Key_F3)});
    connect(scanNext_, &QAction::triggered, this, &EditCommands::Edit_ScanNext_Click);
    edit->addSeparator()->setObjectName(QStringLiteral("H20030"));
    reverse_ = addMenuItem(edit, kReverseWord + QStringLiteral("(&R)"), "Edit_Reverse");
    connect(reverse_, &QAction::triggered, this, &EditCommands::Edit_Reverse_Click);

    connect(window_.button("cmdReverse"), &QPushButton::clicked, this,
            &EditCommands::cmdReverse_Click);
    connect(form.cmdMoreRight(), &QPushButton::clicked, this, &EditCommands::cmdMoreRight_Click);

    // The items' shortcuts work by the same rule as the menu, not by its state when last open.
    const EntryListModel* model = &window_.model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &EditCommands::updateEditItems);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &EditCommands::updateEditItems);
    connect(model, &QAbstractItemModel::modelReset, this, &EditCommands::updateEditItems);
    connect(window_.lstQuestion().selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &EditCommands::updateEditItems);
    updateEditItems();
}

EditCommands::~EditCommands() {
    // A search under way notices that it has gone; the focus handlers it uses go after it.
    delete search_;
}

void EditCommands::cmdMoreRight_Click() {
    EntryFormView& form = window_.entryForm();
    FormAnswers answers;
    for (int i = 0; i < kAnswerBoxes; ++i) {
        answers.boxes[i] = form.txtRight(i)->text();
    }
    answers.extraRights = form.extraRights();
    frmAddRight dialog(form.txtQuestion()->text(), answers, *focus_, platform_, window_.helpFile(),
                       &window_);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    form.txtQuestion()->setText(dialog.question());
    const FormAnswers result = dialog.answers();
    for (int i = 0; i < kAnswerBoxes; ++i) {
        form.txtRight(i)->setText(result.boxes[i]);
    }
    form.setExtraRights(result.extraRights);
    form.refreshRightCount();
}

void EditCommands::cmdReverse_Click() {
    Edit_Reverse_Click();
}

// MakeReverseQuestions: after the confirmation, appends the reverse of every selected entry
// and leaves exactly the new entries selected. Refuses, changing nothing, when the document
// would pass the largest number of entries.
void EditCommands::Edit_Reverse_Click() {
    const ReversePlan plan = session_.planReverse(window_.lstQuestion().selectedPositions());
    switch (plan.outcome) {
        case ReverseOutcome::NothingSelected:
            return;
        case ReverseOutcome::TooMany:
            platform_.warn(&window_, kReverseTooMany, kReverseTitle);
            return;
        case ReverseOutcome::Ready:
            break;
    }
    const platform::MessageBox confirm{kReverseQuestion,         kReverseTitle,
                                       platform::Icon::Question, platform::Buttons::YesNo,
                                       platform::Answer::Yes,    kRemoveTopic};
    if (platform_.showMessage(&window_, confirm) != platform::Answer::Yes) {
        return;
    }
    const auto busy = platform_.busy();
    window_.appendEntries(plan.entries, kReverseWord);
}

void EditCommands::Edit_Scan_Click() {
    search_->openDialog();
}

void EditCommands::Edit_ScanNext_Click() {
    search_->scanNext();
}

void EditCommands::updateEditItems() {
    const EditMenuState state = session_.editMenuState(window_.lstQuestion().hasSelection());
    scan_->setEnabled(state.scan);
    scanNext_->setEnabled(state.scanNext);
    reverse_->setEnabled(state.reverse);
}

}  // namespace editor
