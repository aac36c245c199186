// frmEdit's word lists in and out: import, export, printing and PDF.
#include "editor/window/frm_edit.h"

#include "editor/window/entry_list_model.h"
#include "editor/window/entry_list_view.h"

#include "exchange/window/exchange_commands.h"
#include "platform/platform.h"

#include <QAction>

namespace editor {

void frmEdit::File_Top_Click() {
    for (QAction* item : needEntries_) {
        item->setEnabled(!document_.isEmpty());
    }
}

QString* frmEdit::exchangeFolder() {
    exchangeFolder_ = exchange::exchangeStartFolder(
        wordFile_, {exchangeFolder_, options_.dialogFileName, dialogFolder_}, MyPath());
    return &exchangeFolder_;
}

void frmEdit::File_Import_Click() {
    const std::optional<QList<common::Entry>> entries =
        exchange::runImport(this, platform_, document_.count(), exchangeFolder());
    if (entries && !entries->isEmpty()) {
        const auto busy = platform_.busy();
        appendEntries(*entries, QStringLiteral("インポート"));
    }
}

void frmEdit::File_Export_Click() {
    exchange::runExport(this, platform_, document_.entries(), wordFile_, exchangeFolder());
}

void frmEdit::File_Print_Click() {
    exchange::runPrint(this, document_.entries(), wordFile_);
}

void frmEdit::File_Pdf_Click() {
    exchange::runPdfExport(this, platform_, document_.entries(), wordFile_, exchangeFolder());
}

void frmEdit::appendEntries(const QList<common::Entry>& entries, const QString& text) {
    auto edit = EntryEdit::insert(document_, *this, document_.count(), entries, text);
    // The selection shows what arrived; the current entry, and so the form, stay.
    edit->setAfter({edit->before().current, edit->arrivingIds()});
    const int first = document_.count();
    pushEdit(std::move(edit));
    lstQuestion_->scrollTo(model_->index(first, 0));  // in sight, below a long list
}

}  // namespace editor
