// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <optional>

#include "common/word_file.h"
#include "exchange/logic/print_layout.h"

class QDialog;
class QPrinter;
class QWidget;

namespace platform {
class Platform;
}

// What a window's File menu calls for import, export, printing and PDF.
namespace exchange {

// Where an import or export dialog starts: the open word file's folder, else the first folder
// of lastUsed (folders or files' paths) that exists and is not the program folder, which is
// read-only once installed, else the user's documents folder.
QString exchangeStartFolder(const QString& wordFileName, const QStringList& lastUsed,
                            const QString& programFolder);

// The dialogs below start in *folder when no word file names the proposal, and leave there
// the folder of the file chosen.

// Asks for a CSV, TSV, kvtml or Anki text file, shows the import preview and returns the
// entries the user agreed to import (to append as one step); nullopt when cancelled or refused.
// existingEntries: how many the document holds, for the 32,767-entry limit.
std::optional<QList<common::Entry>> runImport(QWidget* parent, platform::Platform& platform,
                                              int existingEntries, QString* folder = nullptr);

// Asks for a file name; its extension (.txt Anki text, .csv, .kvtml) decides the format.
// Written atomically; false when cancelled or failed (the failure already shown).
bool runExport(QWidget* parent, platform::Platform& platform, const QList<common::Entry>& entries,
               const QString& wordFileName, QString* folder = nullptr);

struct PrintOptions {
    PrintKind kind = PrintKind::WordList;
    Paper paper = Paper::A4;
};
// The small dialog before printing: word list or test sheet, A4 or Letter.
std::optional<PrintOptions> askPrintOptions(QWidget* parent);
std::unique_ptr<QDialog> makePrintOptionsDialog(QWidget* parent);

// Paints the job on the printer; printing to a PDF file, that file's text map is then completed
// as writePdf's.
common::Outcome printJob(QPrinter& printer, const PrintJob& job);

// Qt's print preview, then the printer the user chooses; a PDF file printed to gets its text map
// completed as writePdf's (a failure to do so is told).
void runPrint(QWidget* parent, platform::Platform& platform, const QList<common::Entry>& entries,
              const QString& title);

// Asks for the options and a file name and writes the PDF; false when cancelled or failed.
bool runPdfExport(QWidget* parent, platform::Platform& platform,
                  const QList<common::Entry>& entries, const QString& wordFileName,
                  QString* folder = nullptr);
// The same with the options already chosen.
bool exportPdf(QWidget* parent, platform::Platform& platform, const PrintJob& job, Paper paper,
               const QString& wordFileName, QString* folder = nullptr);

}  // namespace exchange
