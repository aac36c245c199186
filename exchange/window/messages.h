#pragma once

#include <QString>

// The texts the import, export and print commands show.
namespace exchange {

inline const QString kImportTitle = QStringLiteral("インポート");
inline const QString kExportTitle = QStringLiteral("エクスポート");
inline const QString kPdfTitle = QStringLiteral("PDF に書き出す");
inline const QString kNothingToImport = QStringLiteral("単語にできる行がありません。");

inline QString tooManyToImport(int entries, int room) {
    return QStringLiteral(
               "単語帳に入る単語は 32767 件までです。\r\n"
               "%1 件のうち、あと %2 件しか入りません。")
        .arg(entries)
        .arg(std::max(room, 0));
}

}  // namespace exchange
