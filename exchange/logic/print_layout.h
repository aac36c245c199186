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
int paintJob(QPagedPaintDevice& device, const PrintJob& job);

// A PDF with the fonts embedded, written atomically.
common::Outcome writePdf(const QString& path, const PrintJob& job, Paper paper);

}  // namespace exchange
