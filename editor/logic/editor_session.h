// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/outcome.h"
#include "common/settings.h"
#include "common/word_file.h"
#include "editor/logic/document.h"
#include "editor/logic/entry_edit.h"
#include "editor/logic/entry_form.h"
#include "editor/logic/input_options.h"
#include "editor/logic/reverse_generation.h"
#include "editor/logic/saved_entries.h"
#include "editor/logic/search.h"

#include <QList>
#include <QString>
#include <QUndoStack>

#include <optional>

namespace editor {

// What Open made of a file: Ok (the document holds its entries), NotFound, Unreadable,
// Invalid, OldVersion or TooMany (the document is as it was).
using OpenOutcome = common::Outcome;

// Whether the document may be written: a file read as UTF-8 may hold what Shift_JIS cannot
// store, and writing would turn it into '?' for good.
struct SaveCheck {
    std::optional<Refusal> refusal;  // names the first such entries
};

// What an entry command did: refused (nothing changed), or stored an entry.
struct EntryStored {
    std::optional<Refusal> refusal;
    common::Entry entry;  // as the file will hold it
    EntryId id = 0;
};

// The Edit menu's items as it opens.
struct EditMenuState {
    bool scan = false;
    bool scanNext = false;
    bool reverse = false;

    friend bool operator==(const EditMenuState&, const EditMenuState&) = default;
};

// Where the word-file dialog starts: the name chosen last, or else the folder from the
// settings file.
struct DialogStart {
    QString fileName;
    QString folder;
};

// The editor without its widgets: the document, its undo history, the word file's name and
// the options kept in the settings file. Every change of the entries goes through it, so
// that it can be undone; the list it reads its state from is the window's.
class EditorSession final : public InputOptions, public ScanSource {
public:
    explicit EditorSession(ListStateHost& list);
    ~EditorSession() override;

    Document& document() { return document_; }
    const Document& document() const { return document_; }
    QUndoStack& undoStack() { return undoStack_; }
    // The word file last opened or saved; empty after New. Names exports and printouts.
    const QString& wordFile() const { return wordFile_; }
    bool isModified() const { return document_.isModified(); }

    // New: no entries, no file, no history.
    void clear();
    OpenOutcome open(const QString& path);
    SaveCheck checkSave() const;
    // Ok: the document is clean and named after path, and the words edited since the file was
    // last read or written wait in unrecordedRenames(). Unwritable: the file is as it was.
    common::Outcome save(const QString& path, review::ReviewTime time = {});
    // Renames of saved words not yet handed to the review store; the caller empties it once
    // they are. Kept across files, each names its own.
    QList<review::WordRename>& unrecordedRenames() { return renames_; }
    // The word key the entry at position had in the file, when it has another one now.
    std::optional<QByteArray> savedKey(int position) const {
        return saved_.savedKey(document_, position);
    }

    // The entry commands: each checks the form first. Insert goes in front of the entry at
    // position and leaves the new entry current and alone selected; Change replaces the
    // entry at position.
    EntryStored add(const EntryForm& form);
    EntryStored insert(const EntryForm& form, int position);
    EntryStored change(const EntryForm& form, int position);
    // Removes the list's selection. The current entry stays current unless it went.
    void remove();
    // Appends entries as one step (an import, reverse generation) and selects them; the
    // current entry stays. The caller makes sure they fit.
    void append(const QList<common::Entry>& entries, const QString& text);

    // Reverse generation of the entries at the selected positions (any order): what Append
    // would add, or why not. Nothing changes here.
    ReversePlan planReverse(const QList<int>& selected) const;
    EditMenuState editMenuState(bool anySelected) const;

    // The word-file dialog's memory.
    DialogStart dialogStart() const { return {options_.dialogFileName, dialogFolder_}; }
    void fileChosen(const QString& path);

    // The options, read from the settings record at the start and written back at the end.
    void applySettings(const common::SettingsRecord& record);
    common::SettingsRecord settingsToSave(const common::SettingsRecord& fresh,
                                          const QString& programFolder) const;
    common::ImeMode imeMode(BoxKind kind) const override;
    bool focusSelect() const override { return options_.focusSelect; }
    void setFocusSelect(bool on) { options_.focusSelect = on; }
    int imeModeIndex(BoxKind kind) const;  // 0 none, 1 on, 2 off
    void setImeModeIndex(BoxKind kind, int index);
    int scanFields() const { return options_.scanFields; }
    void setScanFields(int fields) { options_.scanFields = quint8(fields); }
    const QString& scanString() const { return scanString_; }
    // The entries as a search reads them.
    int entryCount() const override { return document_.count(); }
    QString question(int p) const override { return document_.entry(p).question; }
    QString rights(int p) const override { return document_.entry(p).rights; }
    QString information(int p) const override { return document_.entry(p).information; }
    void setScanString(const QString& text) { scanString_ = text; }

private:
    std::optional<Refusal> refuseWhenFull(const QString& commandWord) const;
    void push(std::unique_ptr<EntryEdit> edit);

    ListStateHost& list_;
    Document document_;
    QUndoStack undoStack_;
    QString wordFile_;
    SavedEntries saved_;
    QList<review::WordRename> renames_;
    common::EditorOptions options_;
    QString dialogFolder_;
    QString scanString_;
};

}  // namespace editor
