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

// Anki's "Notes in Plain Text" for its two-field note type: the question, then the answers
// one a line with the information below kAnkiInformationRule. An answer holding a separator
// the import could propose instead is put in double quotes, as our importer reads it.
QByteArray formatAnki(const QList<common::Entry>& entries);
// UTF-8 with a byte-order mark, so that spreadsheets see the Japanese: question, answers
// joined by "; ", information with its real line breaks; three cells per line.
QByteArray formatCsv(const QList<common::Entry>& entries);

struct KvtmlLanguages {
    QString questionName = QStringLiteral("English");
    QString questionLocale = QStringLiteral("en");
    QString answersName = QStringLiteral("日本語");
    QString answersLocale = QStringLiteral("ja");
};
// The languages of the question and answers columns, each by the script most entries' texts
// there are written in: Japanese, else English.
KvtmlLanguages kvtmlLanguages(const QList<common::Entry>& entries);
// Version 2: the question and the answers (joined by "; ") as two translations, the
// information as the question's comment.
QByteArray formatKvtml(const QList<common::Entry>& entries, const QString& title,
                       const KvtmlLanguages& languages = {});

QByteArray formatExport(ExportFormat format, const QList<common::Entry>& entries,
                        const QString& title);
// Atomic like saving a word file.
common::Outcome writeExport(const QString& path, ExportFormat format,
                            const QList<common::Entry>& entries);

// The format a file name's extension asks for; nullopt for one we do not write.
std::optional<ExportFormat> exportFormatFor(const QString& fileName);

}  // namespace exchange
