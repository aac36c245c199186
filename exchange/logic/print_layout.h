// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include "common/outcome.h"
#include "common/word_file.h"

class QPagedPaintDevice;

// Paper copies of a word file: a list to learn from, or a test to fill in.
namespace exchange {

enum class PrintKind {
    WordList,   // question, answers and information of every entry
    TestSheet,  // numbered questions with a line to write on; the answers on their own pages
};

enum class Paper { A4, Letter };

struct PrintJob {
    PrintKind kind = PrintKind::WordList;
    QString title;
    QList<common::Entry> entries;
};

// Paints on a printer or a PDF writer whose page size is already set; returns the pages used.
// With drawnOffPage, for a device that writes a PDF file, the characters its text map would
// leave out are drawn off the page first and given there, for mendPdfFile.
int paintJob(QPagedPaintDevice& device, const PrintJob& job,
             QList<char32_t>* drawnOffPage = nullptr);

// Completes the text map of the PDF file a paintJob wrote (once its painting has ended), in place
// and atomically; nothing to do when nothing was drawn off the page.
common::Outcome mendPdfFile(const QString& path, const QList<char32_t>& drawn);

// A PDF with the fonts embedded, written atomically.
common::Outcome writePdf(const QString& path, const PrintJob& job, Paper paper);

}  // namespace exchange
