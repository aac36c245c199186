// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/editor_session.h"

#include "common/messages.h"
#include "editor/logic/editor_texts.h"

namespace editor {

EditorSession::EditorSession(ListStateHost& list) : list_(list) {
    // Only the saved state is clean, so the save question comes exactly when the file and the
    // session differ.
    QObject::connect(&undoStack_, &QUndoStack::indexChanged, &undoStack_,
                     [this] { document_.setModified(!undoStack_.isClean()); });
}

EditorSession::~EditorSession() {
    // The history goes first: emptied, it must not report to a list already gone.
    QObject::disconnect(&undoStack_, nullptr, nullptr, nullptr);
}

void EditorSession::clear() {
    document_.clear();
    wordFile_.clear();
    undoStack_.clear();
    saved_.take(document_);
}

OpenOutcome EditorSession::open(const QString& path) {
    common::Outcome outcome = document_.loadFile(path);
    if (outcome.ok()) {
        wordFile_ = path;
        undoStack_.clear();
        saved_.take(document_);
    }
    return outcome;
}

SaveCheck EditorSession::checkSave() const {
    const std::optional<QString> refusal =
        common::unstorableRefusal(document_.entries(), common::UnstorableDetail::Entries);
    if (!refusal) {
        return {};
    }
    return {Refusal{*refusal, kSaveTitle}};
}

common::Outcome EditorSession::save(const QString& path, review::ReviewTime time) {
    common::Outcome outcome = document_.saveFile(path);
    if (outcome.ok()) {
        wordFile_ = path;
        renames_.append(saved_.renames(document_, path, time));
        saved_.take(document_);
    }
    if (!document_.isModified()) {
        undoStack_.setClean();  // the state the file now holds
    }
    return outcome;
}

std::optional<Refusal> EditorSession::refuseWhenFull(const QString& commandWord) const {
    if (!document_.isFull()) {
        return std::nullopt;
    }
    return Refusal{kFull, commandTitle(commandWord)};
}

void EditorSession::push(std::unique_ptr<EntryEdit> edit) {
    undoStack_.push(edit.release());
}

EntryStored EditorSession::add(const EntryForm& form) {
    EntryStored result;
    result.refusal = checkEntry(form, kAddWord);
    if (!result.refusal) {
        result.refusal = refuseWhenFull(kAddWord);
    }
    if (result.refusal) {
        return result;
    }
    result.entry = entryFromForm(form);
    auto edit = EntryEdit::insert(document_, list_, document_.count(), {result.entry}, kAddWord);
    result.id = edit->arrivingIds().constFirst();
    push(std::move(edit));
    return result;
}

EntryStored EditorSession::insert(const EntryForm& form, int position) {
    EntryStored result;
    result.refusal = checkEntry(form, kInsertWord);
    if (!result.refusal) {
        result.refusal = refuseWhenFull(kInsertWord);
    }
    if (result.refusal) {
        return result;
    }
    result.entry = entryFromForm(form);
    auto edit = EntryEdit::insert(document_, list_, position, {result.entry}, kInsertWord);
    // The new entry becomes the current one, so that a further Insert goes in front of it, and
    // the only selected one: an undone and redone Insert shows in the form what the list
    // highlights.
    result.id = edit->arrivingIds().constFirst();
    edit->setAfter({result.id, {result.id}});
    push(std::move(edit));
    return result;
}

EntryStored EditorSession::change(const EntryForm& form, int position) {
    EntryStored result;
    result.refusal = checkEntry(form, kChangeWord);
    if (result.refusal) {
        return result;
    }
    result.entry = entryFromForm(form);
    result.id = document_.idAt(position);
    push(EntryEdit::change(document_, list_, result.id, result.entry, kChangeWord));
    return result;
}

void EditorSession::remove() {
    const ListState before = list_.listState();
    auto edit = EntryEdit::remove(document_, list_, before.selected, kRemoveWord);
    // The focus mark stays with its entry; when that entry is gone there is no current
    // entry, so that Insert and Change cannot act on an entry the user never chose.
    const bool currentStays = before.current && !before.selected.contains(*before.current);
    edit->setAfter({currentStays ? before.current : std::nullopt, {}});
    push(std::move(edit));
}

void EditorSession::append(const QList<common::Entry>& entries, const QString& text) {
    auto edit = EntryEdit::insert(document_, list_, document_.count(), entries, text);
    // The selection shows what arrived; the current entry, and so the form, stay.
    edit->setAfter({edit->before().current, edit->arrivingIds()});
    push(std::move(edit));
}

ReversePlan EditorSession::planReverse(const QList<int>& selected) const {
    QList<common::Entry> entries;
    const QList<int> positions = inListOrder(selected);
    entries.reserve(positions.size());
    for (const int p : positions) {
        entries.append(document_.entry(p));
    }
    return editor::planReverse(document_.count(), entries);
}

EditMenuState EditorSession::editMenuState(bool anySelected) const {
    if (document_.isEmpty()) {
        return {};
    }
    return {true, true, anySelected};
}

void EditorSession::fileChosen(const QString& path) {
    options_.dialogFileName = path;
    dialogFolder_.clear();
}

void EditorSession::applySettings(const common::SettingsRecord& record) {
    dialogFolder_ = record.lastPath();
    options_.scanFields = record.scanFields;
    options_.focusSelect = record.focusSelect != 0;
    // An index outside 0..2 means nothing: such a box is left alone.
    options_.imeQuestion = qint16(imeModeFromIndex(record.imeQuestion));
    options_.imeRight = qint16(imeModeFromIndex(record.imeRight));
    options_.imeInformation = qint16(imeModeFromIndex(record.imeInformation));
}

common::SettingsRecord EditorSession::settingsToSave(const common::SettingsRecord& fresh,
                                                     const QString& programFolder) const {
    return common::editorRecordToSave(fresh, options_, programFolder);
}

int EditorSession::imeModeIndex(BoxKind kind) const {
    switch (kind) {
        case BoxKind::Question:
            return options_.imeQuestion;
        case BoxKind::Right:
            return options_.imeRight;
        case BoxKind::Information:
            return options_.imeInformation;
    }
    return 0;
}

common::ImeMode EditorSession::imeMode(BoxKind kind) const {
    return imeModeFromIndex(qint16(imeModeIndex(kind)));
}

void EditorSession::setImeModeIndex(BoxKind kind, int index) {
    const qint16 value = qint16(imeModeFromIndex(qint16(index)));
    switch (kind) {
        case BoxKind::Question:
            options_.imeQuestion = value;
            break;
        case BoxKind::Right:
            options_.imeRight = value;
            break;
        case BoxKind::Information:
            options_.imeInformation = value;
            break;
    }
}

}  // namespace editor
