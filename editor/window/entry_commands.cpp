// The entry list's handlers and the entry commands of frmEdit.
#include "editor/window/frm_edit.h"

#include "editor/logic/entry_form.h"
#include "editor/window/entry_form_view.h"
#include "editor/window/entry_list_view.h"
#include "platform/platform.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>

namespace editor {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

void frmEdit::listChangedByUser() {
    if (!listQuiet_) {
        lstQuestion_Click();
    }
}

void frmEdit::lstQuestion_Click() {
    const std::optional<int> current = lstQuestion_->currentPosition();
    if (current) {
        form_->showContents(formFromEntry(document_.entry(*current)));
        cmdInsert_->setEnabled(true);
        cmdChange_->setEnabled(true);
    }
    // A selection made without a current entry (Ctrl+A on a fresh list) can still be removed.
    const bool selected = lstQuestion_->hasSelection();
    cmdReverse_->setEnabled(selected);
    cmdRemove_->setEnabled(selected);
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
        warn(refusal->text, refusal->title);
        return true;
    }
    return false;
}

bool frmEdit::refuseWhenFull(const QString& commandWord) {
    if (!document_.isFull()) {
        return false;
    }
    warn(QStringLiteral("これ以上、項目を追加できません。") + kCrLf +
             QStringLiteral("1つのﾌｧｲﾙに入る項目は %1個までです。").arg(common::kMaxEntries),
         QStringLiteral("問題の") + commandWord);
    return true;
}

void frmEdit::cmdAdd_Click() {
    const QString word = QStringLiteral("追加");
    if (CheckEntryInput(word) || refuseWhenFull(word)) {
        return;
    }
    document_.add(entryFromForm(form_->contents()));
    form_->clear();
    form_->txtQuestion()->setFocus();
}

void frmEdit::cmdInsert_Click() {
    const std::optional<int> current = lstQuestion_->currentPosition();
    const QString word = QStringLiteral("挿入");
    if (!current || CheckEntryInput(word) || refuseWhenFull(word)) {
        return;
    }
    document_.insert(*current, entryFromForm(form_->contents()));
    // The new entry takes the current position, so that a further Insert goes in front of it.
    setCurrentPosition(*current);
    form_->clear();
    form_->txtQuestion()->setFocus();
}

void frmEdit::cmdChange_Click() {
    const std::optional<int> current = lstQuestion_->currentPosition();
    if (!current || CheckEntryInput(QStringLiteral("更新"))) {
        return;
    }
    document_.change(*current, entryFromForm(form_->contents()));
    lstQuestion_->setFocus();
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
    {
        const auto busy = platform_.busy();
        const std::optional<int> current = lstQuestion_->currentPosition();
        const std::optional<EntryId> currentId =
            current ? std::optional(document_.idAt(*current)) : std::nullopt;
        {
            const QScopedValueRollback quiet(listQuiet_, true);
            document_.remove(lstQuestion_->selectedPositions());
        }
        // The focus mark stays with its entry; when that entry is gone there is no current
        // position, so that Insert and Change cannot act on an entry the user never chose.
        setCurrentPosition(currentId ? document_.positionOf(*currentId) : std::nullopt);
    }
    cmdRemove_->setEnabled(false);
    cmdReverse_->setEnabled(false);
    if (document_.isEmpty()) {
        cmdInsert_->setEnabled(false);
        cmdChange_->setEnabled(false);
    }
}

}  // namespace editor
