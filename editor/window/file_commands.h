// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class QAction;

namespace platform {
class Platform;
}

namespace editor {

class EditorSession;
class frmEdit;

// The File menu: New, Open and Save of word files, word lists in and out, printing, Exit.
class FileCommands : public QObject {
    Q_OBJECT
public:
    FileCommands(frmEdit& window, EditorSession& session, platform::Platform& platform);

    // Opens the given word file as File -> Open would, with the same questions and messages.
    void openFile(const QString& path);
    // The save question before the document would be dropped: false to stay.
    bool confirmSave();
    // Folders offered renaming of names in the Windows code page this run.
    QSet<QString>& namesOffered() { return namesOffered_; }

    void File_New_Click();
    void File_Open_Click();
    void File_Save_Click();
    void File_Import_Click();
    void File_Export_Click();
    void File_Print_Click();
    void File_Pdf_Click();
    void File_Exit_Click();

private:
    QString askFileName(bool forSave);
    void saveFile();
    // Reads the word file into the session and tells what went wrong.
    void readFile(const QString& path);
    void startConverter(const QString& oldFile);
    // Export and printing need entries.
    void updateExchangeItems();
    // Where the next import or export dialog starts; it keeps the folder chosen there.
    QString* exchangeFolder();

    frmEdit& window_;
    EditorSession& session_;
    platform::Platform& platform_;
    QList<QAction*> needEntries_;  // export, print and PDF
    QSet<QString> namesOffered_;
    // The folder of the file last chosen in an import or export dialog.
    QString exchangeFolder_;
};

}  // namespace editor
