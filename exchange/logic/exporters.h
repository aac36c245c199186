// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include "common/outcome.h"
#include "common/word_file.h"

// Word files out to the programs learners use beside ours.
namespace exchange {

enum class ExportFormat { AnkiText, Csv, Kvtml };

// Anki's "Notes in Plain Text" for its two-field note type (the answers one a line, the
// information below kAnkiInformationRule), UTF-8 CSV with a byte-order mark for spreadsheets,
// or kvtml 2 with each column named by the script most of its texts are written in.
QByteArray formatExport(ExportFormat format, const QList<common::Entry>& entries,
                        const QString& title);
// Atomic like saving a word file.
common::Outcome writeExport(const QString& path, ExportFormat format,
                            const QList<common::Entry>& entries);

// The format a file name's extension asks for; nullopt for one we do not write.
std::optional<ExportFormat> exportFormatFor(const QString& fileName);

}  // namespace exchange
