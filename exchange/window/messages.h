// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <algorithm>

#include "common/messages.h"
#include "common/word_file.h"

// The texts the import, export and print commands show.
namespace exchange {

inline const QString kImportTitle = QStringLiteral("インポート");
inline const QString kExportTitle = QStringLiteral("エクスポート");
inline const QString kPdfTitle = QStringLiteral("PDF に書き出す");
inline const QString kNothingToImport = QStringLiteral("単語にできる行がありません。");

inline QString tooManyToImport(int entries, int room) {
    return QStringLiteral("単語帳に入る単語は %1 件までです。").arg(common::kMaxEntries) +
           common::kCrLf +
           QStringLiteral("%1 件のうち、あと %2 件しか入りません。")
               .arg(entries)
               .arg(std::max(room, 0));
}

}  // namespace exchange
