// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/logic/editor_session.h"

#include <QMainWindow>
#include <QScopedValueRollback>
#include <QString>

#include <memory>
#include <optional>

class QMenu;
class QPushButton;

namespace platform {
class Platform;
}

namespace review {
class ReviewStore;
}

namespace editor {

class EditCommands;
class EntryCommands;
class EntryFormView;
class EntryListModel;
class EntryListView;
class FileCommands;
class OptionCommands;

// The editor's window: the entry list, the entry form, the buttons and the menus. What the
// commands decide is the session's; the commands themselves are the collaborators', each
// owning its menu items. Menu items and controls are found by their names as objectNames
// ("File_Open", "txtRight0").
class frmEdit : public QMainWindow, public ListStateHost {
    Q_OBJECT
public:
    explicit frmEdit(platform::Platform& platform, QWidget* parent = nullptr);
    // Shows the reviews of the entry in the form as history holds them; only reads it.
    frmEdit(platform::Platform& platform, review::ReviewStore& history, QWidget* parent = nullptr);
    ~frmEdit() override;

    platform::Platform& platform() const { return platform_; }
    EditorSession& session() { return *session_; }
    Document& document() { return session_->document(); }
    FileCommands& fileCommands() const { return *files_; }
    EntryCommands& entryCommands() const { return *entries_; }

    // The program folder, ending in a separator.
    QString programFolder() const;
    QString helpFile() const;
    QSize availableRoom() const;  // the screen's free area, less room for the frame
    QSize firstSize() const;      // at the normal zoom

    ListState listState() const override;
    void showListState(const ListState& state) override;

    EntryListModel& model() const { return *model_; }
    EntryListView& lstQuestion() const { return *lstQuestion_; }
    EntryFormView& entryForm() const { return *form_; }
    QPushButton* button(const char* name) const;
    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* editMenu() const { return editMenu_; }
    QMenu* optionMenu() const { return optionMenu_; }

    // Loads the list's current entry into the form and sets the entry buttons.
    void lstQuestion_Click();
    // Makes the entry current and alone selected and loads it, as a click on it would.
    void chooseEntry(int position);
    // Move the list's current position or selection without loading the form (a following
    // lstQuestion_Click() loads it, as a click would).
    void setCurrentPosition(std::optional<int> position);
    void setSelectedPositions(const QList<int>& positions);
    // The form as loaded: what later typing is compared with. A form that is no stored entry
    // has no reviews.
    void showForm(const EntryForm& form);
    // A stored entry into the form, with the reviews of its word.
    void showEntry(const common::Entry& entry);
    bool formEdited() const;
    void updateEntryButtons();
    // After New and Open: empty form, entry buttons disabled.
    void startEmpty();
    // While it lives, list moves made by the window do not load the form.
    [[nodiscard]] QScopedValueRollback<bool> quietList();
    // While it lives, undo and redo bring the form along with the current entry.
    [[nodiscard]] QScopedValueRollback<bool> steppingHistory();

    // Appends entries as one step and selects them; the form keeps what it shows.
    void appendEntries(const QList<common::Entry>& entries, const QString& text);

protected:
    // Form_Unload: asks about unsaved changes and writes the settings, also when cancelled.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmEdit(platform::Platform& platform, review::ReviewStore* history, QWidget* parent);
    void buildWindow();
    void buildMenus();
    void fitScreen();
    void applySettings();
    void saveSettings();
    void listChangedByUser();
    void lstQuestion_MouseUp(const QPoint& globalPos);
    void showReviews(const common::Entry* entry);

    platform::Platform& platform_;
    review::ReviewStore* history_;  // none: no review line
    std::unique_ptr<EditorSession> session_;
    EntryListModel* model_ = nullptr;
    EntryListView* lstQuestion_ = nullptr;
    EntryFormView* form_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* optionMenu_ = nullptr;
    EntryForm formShown_;
    // Set while the window itself moves the list's current position or selection.
    bool listQuiet_ = false;
    // Set while undo or redo runs: the form then follows the current entry it brings back.
    bool steppingHistory_ = false;

    // Declared last, so that they go before the boxes and menus they watch.
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<EntryCommands> entries_;
    std::unique_ptr<EditCommands> tools_;
    std::unique_ptr<OptionCommands> options_;
};

}  // namespace editor
