// The entry list's handlers and the entry commands of frmEdit.
#include "editor/window/frm_edit.h"

#include "common/messages.h"
#include "editor/logic/entry_form.h"
#include "editor/window/entry_form_view.h"
#include "editor/window/entry_list_view.h"
#include "platform/platform.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QUndoStack>

namespace editor {

using common::kCrLf;

void frmEdit::listChangedByUser() {
    if (!listQuiet_) {
        lstQuestion_Click();
    }
}

void frmEdit::lstQuestion_Click() {
    if (const std::optional<int> current = lstQuestion_->currentPosition()) {
        showForm(formFromEntry(document_.entry(*current)));
    }
    updateEntryButtons();
}

void frmEdit::showForm(const EntryForm& form) {
    form_->showContents(form);
    formShown_ = form_->contents();
}

bool frmEdit::formEdited() const {
    return form_->contents() != formShown_;
}

void frmEdit::updateEntryButtons() {
    // Insert and Change act on the current entry; without one they would silently do nothing.
    const bool current = lstQuestion_->currentPosition().has_value();
    cmdInsert_->setEnabled(current);
    cmdChange_->setEnabled(current);
    // A selection made without a current entry (Ctrl+A on a fresh list) can still be removed.
    const bool selected = lstQuestion_->hasSelection();
    cmdReverse_->setEnabled(selected);
    cmdRemove_->setEnabled(selected);
}

bool frmEdit::ConfirmEntryStored() {
    if (!formEdited()) {
        return true;
    }
    const platform::Answer answer = platform_.showMessage(
        this, {QStringLiteral("入力中の項目は更新されていません。更新しますか？"),
               QStringLiteral("更新"), platform::Icon::Question, platform::Buttons::YesNoCancel,
               platform::Answer::Yes, std::nullopt});
    switch (answer) {
        case platform::Answer::Yes:
            return lstQuestion_->currentPosition() ? cmdChange_Click() : cmdAdd_Click();
        case platform::Answer::No:
            // What follows replaces the typing; should it stop short (a cancelled file
            // dialog), the typing is still there.
            return true;
        default:
            return false;
    }
}

void frmEdit::Edit_NewEntry_Click() {
    if (!ConfirmEntryStored()) {
        return;
    }
    showForm({});
    form_->txtQuestion()->setFocus();
}

ListState frmEdit::listState() const {
    ListState state;
    if (const std::optional<int> current = lstQuestion_->currentPosition()) {
        state.current = document_.idAt(*current);
    }
    for (const int p : lstQuestion_->selectedPositions()) {
        state.selected.append(document_.idAt(p));
    }
    return state;
}

void frmEdit::showListState(const ListState& state) {
    const std::optional<int> current =
        state.current ? document_.positionOf(*state.current) : std::nullopt;
    setCurrentPosition(current);
    setSelectedPositions(document_.positionsOf(state.selected));
    // The form follows the current entry unless it holds typing of its own.
    if (current && steppingHistory_ && !formEdited()) {
        showForm(formFromEntry(document_.entry(*current)));
    }
    updateEntryButtons();
}

void frmEdit::pushEdit(std::unique_ptr<EntryEdit> edit) {
    const QScopedValueRollback quiet(listQuiet_, true);
    undoStack_->push(edit.release());
}

void frmEdit::stepHistory(void (QUndoStack::*step)()) {
    const auto busy = platform_.busy();
    const QScopedValueRollback quiet(listQuiet_, true);
    const QScopedValueRollback stepping(steppingHistory_, true);
    (undoStack_->*step)();
}

void frmEdit::setCurrentPosition(std::optional<int> position) {
    const QScopedValueRollback quiet(listQuiet_, true);
    lstQuestion_->setCurrentPosition(position);
}

void frmEdit::setSelectedPositions(const QList<int>& positions) {
    const QScopedValueRollback quiet(listQuiet_, true);
    lstQuestion_->setSelectedPositions(positions);
}

void frmEdit::lstQuestion_MouseUp(const QPoint& globalPos) {
    editMenu_->popup(globalPos);
}

void frmEdit::RefreshRightCount() {
    form_->RefreshRightCount();
}

bool frmEdit::CheckEntryInput(const QString& commandWord) {
    const EntryForm form = form_->contents();
    const std::optional<Refusal> refusal = checkEntry(form, commandWord);
    if (!form.question.isEmpty()) {
        RefreshRightCount();
    }
    if (refusal) {
        platform_.warn(this, refusal->text, refusal->title);
        return true;
    }
    return false;
}

bool frmEdit::refuseWhenFull(const QString& commandWord) {
    if (!document_.isFull()) {
        return false;
    }
    platform_.warn(
        this,
        QStringLiteral("これ以上、項目を追加できません。") + kCrLf +
            QStringLiteral("1つのﾌｧｲﾙに入る項目は %1個までです。").arg(common::kMaxEntries),
        QStringLiteral("問題の") + commandWord);
    return true;
}

bool frmEdit::cmdAdd_Click() {
    const QString word = QStringLiteral("追加");
    if (CheckEntryInput(word) || refuseWhenFull(word)) {
        return false;
    }
    pushEdit(EntryEdit::insert(document_, *this, document_.count(),
                               {entryFromForm(form_->contents())}, word));
    showForm({});
    form_->txtQuestion()->setFocus();
    return true;
}

bool frmEdit::cmdInsert_Click() {
    const std::optional<int> current = lstQuestion_->currentPosition();
    const QString word = QStringLiteral("挿入");
    if (!current || CheckEntryInput(word) || refuseWhenFull(word)) {
        return false;
    }
    auto edit =
        EntryEdit::insert(document_, *this, *current, {entryFromForm(form_->contents())}, word);
    // The new entry becomes the current one, so that a further Insert goes in front of it, and
    // the only selected one: an undone and redone Insert shows in the form what the list
    // highlights.
    const EntryId inserted = edit->arrivingIds().constFirst();
    edit->setAfter({inserted, {inserted}});
    pushEdit(std::move(edit));
    showForm({});
    form_->txtQuestion()->setFocus();
    return true;
}

bool frmEdit::cmdChange_Click() {
    const std::optional<int> current = lstQuestion_->currentPosition();
    if (!current || CheckEntryInput(QStringLiteral("更新"))) {
        return false;
    }
    const common::Entry stored = entryFromForm(form_->contents());
    pushEdit(EntryEdit::change(document_, *this, document_.idAt(*current), stored,
                               QStringLiteral("更新")));
    showForm(formFromEntry(stored));
    lstQuestion_->setFocus();
    return true;
}

void frmEdit::cmdRemove_Click() {
    const platform::Answer answer = platform_.showMessage(
        this, {QStringLiteral("選択された項目を削除します。") + kCrLf +
                   QStringLiteral("よろしいですか？"),
               QStringLiteral("削除"), platform::Icon::Question, platform::Buttons::YesNo,
               platform::Answer::Yes, std::nullopt});
    if (answer != platform::Answer::Yes) {
        return;
    }
    const auto busy = platform_.busy();
    const ListState before = listState();
    auto edit = EntryEdit::remove(document_, *this, before.selected, QStringLiteral("削除"));
    // The focus mark stays with its entry; when that entry is gone there is no current
    // entry, so that Insert and Change cannot act on an entry the user never chose.
    const bool currentStays = before.current && !before.selected.contains(*before.current);
    edit->setAfter({currentStays ? before.current : std::nullopt, {}});
    pushEdit(std::move(edit));
}

}  // namespace editor
