// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

#include "common/outcome.h"
#include "exchange/logic/table.h"

// Reading the file to import, within bounds that keep any file to a second or two and a couple
// of hundred megabytes; a real word list stays far below each.
namespace exchange {

inline constexpr qint64 kMaxImportBytes = 16 * 1024 * 1024;
inline constexpr qsizetype kMaxImportRows = 250'000;
inline constexpr qsizetype kMaxImportCells = 1'000'000;
// The columns the preview shows and offers to map.
inline constexpr int kMaxImportColumns = 100;
// The longest question, answers or information a word file takes.
inline constexpr qsizetype kMaxFieldLength = 32767;

QString tooManyRows();
// Whether a delimited text split at the separator stays within the rows and cells above; the
// readers refuse it unparsed (outcome TooMany, reason tooManyRows()) when not.
bool withinImportBounds(QStringView text, QChar separator);

struct ImportFile {
    QByteArray bytes;
    common::Outcome outcome;  // Cancelled when progress said stop
};

// Only a regular file of at most kMaxImportBytes (a pipe or device might never end), read in
// pieces; progress(bytes read, size) returning false cancels.
ImportFile readImportFile(const QString& path,
                          const std::function<bool(qint64, qint64)>& progress = {});

// The table the file's name and bytes make, its columns cut to kMaxImportColumns; refused when
// it would hold more rows or cells than the bounds, Cancelled when options.stop was asked for.
Table readImportTable(const QString& fileName, QByteArrayView bytes,
                      const ReadOptions& options = {});

}  // namespace exchange
