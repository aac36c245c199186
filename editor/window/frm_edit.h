#pragma once

#include "common/settings.h"
#include "editor/logic/document.h"
#include "editor/logic/entry_edit.h"
#include "editor/logic/entry_form.h"
#include "editor/logic/input_options.h"
#include "platform/zoom_items.h"

#include <QFont>
#include <QMainWindow>
#include <QSet>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QPushButton;
class QUndoStack;

namespace platform {
class Platform;
}

namespace editor {

class EntryFormView;
class EntryListModel;
class EntryListView;

// The editor's window: the document, the entry list, the entry form and the menus.
// Menu items and controls are found by their names as objectNames ("File_Open", "txtRight0").
class frmEdit : public QMainWindow, public ListStateHost {
    Q_OBJECT
public:
    explicit frmEdit(platform::Platform& platform, QWidget* parent = nullptr);
    ~frmEdit() override;

    // Asks for a word file and replaces the document with its entries.
    void LoadFile();
    // Opens the given word file as File -> Open would, with the same questions and messages.
    void openWordFile(const QString& path);
    // Folders offered renaming of names in the Windows code page this run.
    QSet<QString>& namesOffered() { return namesOffered_; }
    // The program folder, ending in a separator.
    QString MyPath() const;
    QString helpFile() const;

    platform::Platform& platform() const { return platform_; }
    Document& document() { return document_; }
    const Document& document() const { return document_; }

    // Every change of the entries goes through it, so that it can be undone.
    QUndoStack& undoStack() const { return *undoStack_; }
    ListState listState() const override;
    void showListState(const ListState& state) override;

    EntryListView& lstQuestion() const { return *lstQuestion_; }
    EntryFormView& entryForm() const { return *form_; }
    // Loads the list's current entry into the form and sets the entry buttons.
    void lstQuestion_Click();
    // Move the list's current position or selection without loading the form (a following
    // lstQuestion_Click() loads it, as a click would).
    void setCurrentPosition(std::optional<int> position);
    void setSelectedPositions(const QList<int>& positions);
    // Recounts the form's answers into lblRightCount.
    void RefreshRightCount();

    // The options kept in the settings file. The setters also move the menus' check marks.
    bool focusSelect() const { return options_.focusSelect; }
    void setFocusSelect(bool on);
    int imeModeIndex(BoxKind kind) const;  // 0 none, 1 on, 2 off
    void setImeModeIndex(BoxKind kind, int index);
    quint8 scanFields() const { return options_.scanFields; }
    void setScanFields(quint8 fields) { options_.scanFields = fields; }
    const QString& scanString() const { return scanString_; }
    void setScanString(const QString& text) { scanString_ = text; }

public Q_SLOTS:
    // The editor's tools: more answers, reverse generation, search and the option menu.
    void cmdMoreRight_Click();
    void cmdReverse_Click();
    void Edit_Reverse_Click();
    void Edit_Scan_Click();
    void Edit_ScanNext_Click();
    // Runs each time the Edit menu opens, from the menu bar or as the list's context menu.
    void Edit_Top_Click();
    void Option_Focus_Click();
    void Option_IME_Mode_Click(editor::BoxKind kind, int index);

protected:
    // Form_Unload: asks about unsaved changes and writes the settings, also when cancelled.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void buildFileMenu();
    void buildEditMenu();
    void buildOptionMenu();
    void buildViewItems(QMenu* option);  // zoom and speech, in frm_edit_view.cpp
    // A menu item with its object name, keys, help topic (0: the menu's own) and handler.
    QAction* addItem(QMenu* menu, const QString& caption, const char* name,
                     const QList<QKeySequence>& keys, int helpTopic,
                     const std::function<void()>& handler);
    void fitScreen();
    QSize availableRoom() const;  // the screen's free area, less room for the frame
    QSize firstSize() const;      // at the normal zoom
    // The largest step up to wanted at which the window fits the screen; gives it.
    int zoomTo(int wanted);
    bool fitsAt(int percent);  // leaves the fonts at percent
    void Option_Zoom_Click(int wanted);
    void updateSpeech();
    void applySettings();
    void saveSettings();
    void showOptionChecks();
    void startEmpty();  // after New and Open: empty form, entry buttons disabled

    bool ConfirmSave();
    void SaveFile();
    QString AskSaveFileName();
    QString AskOpenFileName();
    QString askFileName(bool forSave);
    void File_New_Click();
    void File_Open_Click();
    void File_Save_Click();
    void File_Exit_Click();
    void startConverter(const QString& oldFile);
    void loadWordFile(const QString& path);

    // Word lists in and out, and printing.
    void File_Top_Click();  // export and printing need entries
    // Where the next import or export dialog starts; it keeps the folder chosen there.
    QString* exchangeFolder();
    void File_Import_Click();
    void File_Export_Click();
    void File_Print_Click();
    void File_Pdf_Click();
    // Appends entries as one step and selects them; the form keeps what it shows.
    void appendEntries(const QList<common::Entry>& entries, const QString& text);

    // The unstored-edit question, before the form's typing would be replaced: false to stay.
    bool ConfirmEntryStored();
    bool formEdited() const;
    void showForm(const EntryForm& form);  // as loaded: what later typing is compared with
    void pushEdit(std::unique_ptr<EntryEdit> edit);
    void stepHistory(void (QUndoStack::*step)());  // undo or redo
    void updateEntryButtons();
    void Edit_NewEntry_Click();

    bool CheckEntryInput(const QString& commandWord);
    bool refuseWhenFull(const QString& commandWord);
    // Each returns whether the form was stored.
    bool cmdAdd_Click();
    bool cmdInsert_Click();
    bool cmdChange_Click();
    void cmdRemove_Click();
    void lstQuestion_MouseUp(const QPoint& globalPos);
    void listChangedByUser();

    platform::Platform& platform_;
    Document document_;
    EntryListModel* model_ = nullptr;
    EntryListView* lstQuestion_ = nullptr;
    EntryFormView* form_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QPushButton* cmdInsert_ = nullptr;
    QPushButton* cmdChange_ = nullptr;
    QPushButton* cmdRemove_ = nullptr;
    QPushButton* cmdReverse_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QList<QAction*> needEntries_;  // export, print and PDF
    QMenu* editMenu_ = nullptr;
    QAction* newEntry_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QUndoStack* undoStack_ = nullptr;
    EntryForm formShown_;
    QAction* optionFocus_ = nullptr;
    std::array<std::array<QAction*, 3>, 3> imeModeActions_{};
    platform::ZoomItems zoomItems_;
    QAction* speakQuestion_ = nullptr;
    QFont normalFont_;  // the window's font at the normal size
    int zoom_ = 0;

    // The file dialog's memory: options_.dialogFileName is the path chosen last in it.
    common::EditorOptions options_;
    QString dialogFolder_;
    QSet<QString> namesOffered_;
    // The folder of the file last chosen in an import or export dialog.
    QString exchangeFolder_;
    // The word file last opened or saved; empty after New. Names exports and printouts.
    QString wordFile_;
    QString scanString_;
    // Set while the window itself moves the list's current position or selection.
    bool listQuiet_ = false;
    // Set while undo or redo runs: the form then follows the current entry it brings back.
    bool steppingHistory_ = false;

    // Search, reverse generation, more answers and the input options. Declared last, so that
    // they go before the boxes and menus they watch.
    struct Tools;
    struct ToolsDeleter {
        void operator()(Tools* tools) const;
    };
    void attachTools();
    std::unique_ptr<Tools, ToolsDeleter> tools_;
};

}  // namespace editor
