// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/file_commands.h"

#include "common/word_file.h"
#include "editor/logic/editor_session.h"
#include "editor/logic/editor_texts.h"
#include "editor/window/entry_commands.h"
#include "editor/window/entry_list_model.h"
#include "editor/window/frm_edit.h"
#include "editor/window/help_topics.h"
#include "exchange/window/exchange_commands.h"
#include "platform/name_repair.h"
#include "platform/platform.h"
#include "review/review_clock.h"

#include <QAction>
#include <QMenu>

namespace editor {

FileCommands::FileCommands(frmEdit& window, EditorSession& session, platform::Platform& platform)
    : window_(window), session_(session), platform_(platform) {
    QMenu* file = window_.fileMenu();
    const struct {
        QString caption;
        const char* name;
        QList<QKeySequence> keys;
        int topic;
        void (FileCommands::*handler)();
    } items[] = {
        {QStringLiteral("新規(&N)"), "File_New", {}, kContentsTopic, &FileCommands::File_New_Click},
        {QStringLiteral("開く(&O)"),
         "File_Open",
         {QKeySequence(Qt::CTRL | Qt::Key_O)},
         kContentsTopic,
         &FileCommands::File_Open_Click},
        {QStringLiteral("保存(&S)"),
         "File_Save",
         {QKeySequence(Qt::CTRL | Qt::Key_S)},
         kContentsTopic,
         &FileCommands::File_Save_Click},
        {{}, nullptr, {}, 0, nullptr},
        {QStringLiteral("インポート(&I)..."),
         "File_Import",
         {},
         kExchangeTopic,
         &FileCommands::File_Import_Click},
        {QStringLiteral("エクスポート(&E)..."),
         "File_Export",
         {},
         kExchangeTopic,
         &FileCommands::File_Export_Click},
        {QStringLiteral("印刷(&P)..."),
         "File_Print",
         {},
         kExchangeTopic,
         &FileCommands::File_Print_Click},
        {QStringLiteral("PDF に書き出す(&D)..."),
         "File_Pdf",
         {},
         kExchangeTopic,
         &FileCommands::File_Pdf_Click},
        {{}, nullptr, {}, 0, nullptr},
        {QStringLiteral("終了(&X)"),
         "File_Exit",
         {},
         kContentsTopic,
         &FileCommands::File_Exit_Click},
    };
    for (const auto& item : items) {
        if (!item.name) {
            file->addSeparator();
            continue;
        }
        QAction* action = addMenuItem(file, item.caption, item.name, item.keys, item.topic);
        connect(action, &QAction::triggered, this, item.handler);
        if (item.handler == &FileCommands::File_Export_Click ||
            item.handler == &FileCommands::File_Print_Click ||
            item.handler == &FileCommands::File_Pdf_Click) {
            needEntries_.append(action);
        }
    }
    connect(file, &QMenu::aboutToShow, this, &FileCommands::updateExchangeItems);
    const EntryListModel* model = &window_.model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &FileCommands::updateExchangeItems);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &FileCommands::updateExchangeItems);
    connect(model, &QAbstractItemModel::modelReset, this, &FileCommands::updateExchangeItems);
    updateExchangeItems();
}

bool FileCommands::confirmSave() {
    if (!session_.isModified()) {
        return true;
    }
    const platform::Answer answer = platform_.showMessage(
        &window_, {kSaveQuestion, kSaveQuestionTitle, platform::Icon::Question,
                   platform::Buttons::YesNoCancel, platform::Answer::Yes, std::nullopt});
    switch (answer) {
        case platform::Answer::Yes:
            saveFile();
            return !session_.isModified();
        case platform::Answer::No:
            return true;
        default:
            return false;
    }
}

QString FileCommands::askFileName(bool forSave) {
    const DialogStart start = session_.dialogStart();
    platform::FileDialog dialog;
    dialog.kind = forSave ? platform::FileDialogKind::Save : platform::FileDialogKind::Open;
    dialog.fileName = start.fileName;
    dialog.initialFolder = start.folder;
    // Qt's dialog cannot show names in the Windows code page: offered before it opens there.
    if (!forSave) {
        platform::offerNameRepair(
            platform_, &window_, dialog.fileName.isEmpty() ? dialog.initialFolder : dialog.fileName,
            namesOffered_);
        dialog.namesOffered = &namesOffered_;
    }
    const std::optional<QString> chosen = platform_.askFileName(&window_, dialog);
    if (!chosen || chosen->isEmpty()) {
        return {};
    }
    session_.fileChosen(*chosen);
    return *chosen;
}

void FileCommands::saveFile() {
    // Nothing is written until the user has changed the entries the file cannot hold.
    if (const SaveCheck check = session_.checkSave(); check.refusal) {
        platform_.warn(&window_, check.refusal->text, check.refusal->title);
        return;
    }
    const QString path = askFileName(true);
    if (path.isEmpty()) {
        return;
    }
    common::Outcome outcome;
    {
        const auto busy = platform_.busy();
        outcome = session_.save(path, review::SystemReviewClock().now());
    }
    if (!outcome.ok()) {
        platform_.warn(&window_, kNotSaved + kCrLf + path, outcome, kSaveTitle);
        return;
    }
    window_.recordRenames();
}

void FileCommands::openFile(const QString& path) {
    if (!window_.entryCommands().confirmEntryStored() || !confirmSave()) {
        return;
    }
    // As if chosen in the dialog: a later Save proposes it.
    session_.fileChosen(path);
    readFile(path);
}

void FileCommands::readFile(const QString& path) {
    OpenOutcome outcome;
    {
        const auto busy = platform_.busy();
        const auto quiet = window_.quietList();
        outcome = session_.open(path);
    }
    switch (outcome.kind) {
        case common::OutcomeKind::Ok:
            window_.startEmpty();
            break;
        case common::OutcomeKind::Invalid:
            platform_.warn(&window_, kInvalidFile, kOpenTitle);
            break;
        case common::OutcomeKind::OldVersion:
            if (platform_.showMessage(&window_, {kOldVersion, kOpenTitle, platform::Icon::Question,
                                                 platform::Buttons::YesNo, platform::Answer::Yes,
                                                 kConverterTopic}) == platform::Answer::Yes) {
                startConverter(path);
            }
            break;
        case common::OutcomeKind::TooMany:
            platform_.warn(&window_, kTooManyToOpen, kOpenTitle);
            break;
        default:
            platform_.warn(&window_, kUnreadable + kCrLf + path, kOpenTitle);
            break;
    }
}

void FileCommands::startConverter(const QString& oldFile) {
    const QString program =
        window_.programFolder() + platform::executableName(QStringLiteral("Renoval"));
    if (!platform_.startProgram(program, {oldFile})) {
        platform_.warn(&window_, kConverterMissing + kCrLf + program, kOpenTitle);
    }
}

void FileCommands::File_New_Click() {
    if (!window_.entryCommands().confirmEntryStored() || !confirmSave()) {
        return;
    }
    {
        const auto quiet = window_.quietList();
        session_.clear();
    }
    window_.startEmpty();
}

void FileCommands::File_Open_Click() {
    if (!window_.entryCommands().confirmEntryStored() || !confirmSave()) {
        return;
    }
    const QString path = askFileName(false);
    if (!path.isEmpty()) {
        readFile(path);
    }
}

void FileCommands::File_Save_Click() {
    saveFile();
}

void FileCommands::File_Exit_Click() {
    window_.close();
}

void FileCommands::updateExchangeItems() {
    for (QAction* item : needEntries_) {
        item->setEnabled(!session_.document().isEmpty());
    }
}

QString* FileCommands::exchangeFolder() {
    const DialogStart start = session_.dialogStart();
    exchangeFolder_ = exchange::exchangeStartFolder(session_.wordFile(),
                                                    {exchangeFolder_, start.fileName, start.folder},
                                                    window_.programFolder());
    return &exchangeFolder_;
}

void FileCommands::File_Import_Click() {
    const std::optional<QList<common::Entry>> entries =
        exchange::runImport(&window_, platform_, session_.document().count(), exchangeFolder());
    if (entries && !entries->isEmpty()) {
        const auto busy = platform_.busy();
        window_.appendEntries(*entries, kImportWord);
    }
}

void FileCommands::File_Export_Click() {
    exchange::runExport(&window_, platform_, session_.document().entries(), session_.wordFile(),
                        exchangeFolder());
}

void FileCommands::File_Print_Click() {
    exchange::runPrint(&window_, platform_, session_.document().entries(), session_.wordFile());
}

void FileCommands::File_Pdf_Click() {
    exchange::runPdfExport(&window_, platform_, session_.document().entries(), session_.wordFile(),
                           exchangeFolder());
}

}  // namespace editor
