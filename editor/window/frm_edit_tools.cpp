// frmEdit's tools: the input options on its boxes, more answers, reverse generation, search and
// the Edit menu's state.
#include "editor/logic/check_number.h"
#include "editor/window/entry_form_view.h"
#include "editor/window/entry_list_model.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/focus_behaviour.h"
#include "editor/window/frm_add_right.h"
#include "editor/window/frm_edit.h"
#include "editor/window/reverse_command.h"
#include "editor/window/search_command.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace editor {

struct frmEdit::Tools {
    std::unique_ptr<InputOptions> options;
    std::unique_ptr<FocusBehaviour> focus;
    std::unique_ptr<SearchHost> searchHost;
    std::unique_ptr<SearchCommand> search;
    QAction* scan = nullptr;
    QAction* scanNext = nullptr;
    QAction* reverse = nullptr;
};

void frmEdit::ToolsDeleter::operator()(Tools* tools) const {
    delete tools;
}

void frmEdit::attachTools() {
    // The option menus' check marks are what the focus handlers read.
    class MenuOptions final : public InputOptions {
    public:
        explicit MenuOptions(const frmEdit& window) : w_(window) {}
        platform::ImeMode imeMode(BoxKind kind) const override {
            return imeModeFromIndex(getCheckNumber(w_.imeModeActions_[int(kind)]));
        }
        bool focusSelect() const override { return w_.optionFocus_->isChecked(); }

    private:
        const frmEdit& w_;
    };

    class DocumentSearch final : public SearchHost {
    public:
        explicit DocumentSearch(frmEdit& window) : w_(window) {}
        int entryCount() const override { return w_.document_.count(); }
        QString question(int p) const override { return w_.document_.entry(p).question; }
        QString rights(int p) const override { return w_.document_.entry(p).rights; }
        QString information(int p) const override { return w_.document_.entry(p).information; }
        QString scanString() const override { return w_.scanString(); }
        void setScanString(const QString& text) override { w_.setScanString(text); }
        int scanFields() const override { return w_.scanFields(); }
        void setScanFields(int fields) override { w_.setScanFields(quint8(fields)); }
        int currentPosition() const override {
            return w_.lstQuestion_->currentPosition().value_or(-1);
        }
        quint64 revision() const override { return w_.document_.revision(); }
        void showFound(int p) override {
            if (!w_.ConfirmEntryStored()) {
                return;
            }
            // As a click on the entry: it alone is selected, current, and loaded.
            w_.listQuiet_ = true;
            w_.lstQuestion_->setCurrentPosition(p);
            w_.lstQuestion_->setSelectedPositions({p});
            w_.listQuiet_ = false;
            w_.lstQuestion_Click();
        }

    private:
        frmEdit& w_;
    };

    tools_.reset(new Tools);
    tools_->options = std::make_unique<MenuOptions>(*this);
    tools_->focus = std::make_unique<FocusBehaviour>(platform_, *tools_->options);
    tools_->focus->attach(form_->txtQuestion(), BoxKind::Question);
    for (int i = 0; i < kAnswerBoxes; ++i) {
        tools_->focus->attach(form_->txtRight(i), BoxKind::Right);
    }
    tools_->focus->attach(form_->txtInformation(), BoxKind::Information);
    tools_->searchHost = std::make_unique<DocumentSearch>(*this);
    tools_->search =
        std::make_unique<SearchCommand>(this, *tools_->searchHost, platform_, *tools_->focus);

    tools_->scan = editMenu_->findChild<QAction*>(QStringLiteral("Edit_Scan"));
    tools_->scanNext = editMenu_->findChild<QAction*>(QStringLiteral("Edit_ScanNext"));
    tools_->reverse = editMenu_->findChild<QAction*>(QStringLiteral("Edit_Reverse"));
    // The items' shortcuts work by the same rule as the menu, not by its state when last open.
    connect(model_, &QAbstractItemModel::rowsInserted, this, &frmEdit::Edit_Top_Click);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &frmEdit::Edit_Top_Click);
    connect(model_, &QAbstractItemModel::modelReset, this, &frmEdit::Edit_Top_Click);
    connect(lstQuestion_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmEdit::Edit_Top_Click);
    Edit_Top_Click();
}

void frmEdit::cmdMoreRight_Click() {
    FormAnswers answers;
    for (int i = 0; i < kAnswerBoxes; ++i) {
        answers.boxes[i] = form_->txtRight(i)->text();
    }
    answers.extraRights = form_->extraRights();
    frmAddRight dialog(form_->txtQuestion()->text(), answers, *tools_->focus, platform_, helpFile(),
                       this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    form_->txtQuestion()->setText(dialog.question());
    const FormAnswers result = dialog.answers();
    for (int i = 0; i < kAnswerBoxes; ++i) {
        form_->txtRight(i)->setText(result.boxes[i]);
    }
    form_->setExtraRights(result.extraRights);
    RefreshRightCount();
}

void frmEdit::cmdReverse_Click() {
    Edit_Reverse_Click();
}

void frmEdit::Edit_Reverse_Click() {
    class DocumentReverse final : public ReverseHost {
    public:
        explicit DocumentReverse(frmEdit& window) : w_(window) {}
        int entryCount() const override { return w_.document_.count(); }
        QList<int> selectedPositions() const override {
            return w_.lstQuestion_->selectedPositions();
        }
        common::Entry entryAt(int p) const override { return w_.document_.entry(p); }
        void appendSelected(const QList<common::Entry>& entries) override {
            w_.appendEntries(entries, QStringLiteral("逆問題生成"));
        }

    private:
        frmEdit& w_;
    };
    DocumentReverse host(*this);
    makeReverseQuestions(this, platform_, host);
}

void frmEdit::Edit_Scan_Click() {
    tools_->search->openDialog();
}

void frmEdit::Edit_ScanNext_Click() {
    tools_->search->scanNext();
}

void frmEdit::Edit_Top_Click() {
    const EditMenuState state = editMenuState(document_.count(), lstQuestion_->hasSelection());
    tools_->scan->setEnabled(state.scan);
    tools_->scanNext->setEnabled(state.scanNext);
    tools_->reverse->setEnabled(state.reverse);
}

void frmEdit::Option_Focus_Click() {
    setFocusSelect(!focusSelect());
}

void frmEdit::Option_IME_Mode_Click(BoxKind kind, int index) {
    setImeModeIndex(kind, index);
}

}  // namespace editor
