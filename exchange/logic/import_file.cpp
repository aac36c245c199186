// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/import_file.h"

#include <QFile>
#include <QFileInfo>

namespace exchange {

namespace {

constexpr qint64 kPiece = 1 << 20;

// At most how many rows and cells a delimited text can give with any separator the preview
// offers, without parsing it.
bool withinBounds(QStringView text) {
    const qsizetype breaks = text.count(u'\n') + text.count(u'\r') - text.count(u"\r\n");
    if (breaks >= kMaxImportRows) {
        return false;
    }
    qsizetype cells = breaks + 1;
    for (const QChar separator : {u',', u'\t', u';', u'|'}) {
        cells += text.count(separator);
    }
    return cells <= kMaxImportCells;
}

Table refused(const QString& reason, common::OutcomeKind kind = common::OutcomeKind::Invalid) {
    Table table;
    table.outcome = common::Outcome::failure(kind, reason);
    return table;
}

}  // namespace

QString tooManyRows() {
    return QStringLiteral("行や列が多すぎます (%1 行、%2 個の欄まで)。")
        .arg(kMaxImportRows)
        .arg(kMaxImportCells);
}

ImportFile readImportFile(const QString& path,
                          const std::function<bool(qint64, qint64)>& progress) {
    using common::Outcome;
    using common::OutcomeKind;
    auto failed = [](OutcomeKind kind, const QString& reason) {
        return ImportFile{{}, Outcome::failure(kind, reason)};
    };
    const QString tooLarge = QStringLiteral("ファイルが大きすぎます (%1 MB まで)。")
                                 .arg(kMaxImportBytes / (1024 * 1024));
    const QFileInfo info(path);
    if (!info.isFile()) {
        return info.exists()
                   ? failed(OutcomeKind::Unreadable,
                            QStringLiteral("通常のファイルではありません。"))
                   : failed(OutcomeKind::NotFound, QStringLiteral("ファイルが見つかりません。"));
    }
    if (info.size() > kMaxImportBytes) {
        return failed(OutcomeKind::TooMany, tooLarge);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return failed(OutcomeKind::Unreadable, file.errorString());
    }
    ImportFile read;
    const qint64 size = info.size();
    read.bytes.reserve(size);
    // One byte more than allowed tells a file that grew since.
    while (read.bytes.size() <= kMaxImportBytes) {
        const QByteArray piece = file.read(kPiece);
        if (piece.isEmpty()) {
            break;
        }
        read.bytes += piece;
        if (progress && !progress(read.bytes.size(), size)) {
            return ImportFile{{}, Outcome::failure(OutcomeKind::Cancelled)};
        }
    }
    if (file.error() != QFileDevice::NoError) {
        return failed(OutcomeKind::Unreadable, file.errorString());
    }
    if (read.bytes.size() > kMaxImportBytes) {
        return failed(OutcomeKind::TooMany, tooLarge);
    }
    return read;
}

Table readImportTable(const QString& fileName, QByteArrayView bytes, const ReadOptions& options) {
    const SourceFormat format = guessFormat(fileName, bytes);
    if (format != SourceFormat::Kvtml && !withinBounds(decodeText(bytes))) {
        return refused(tooManyRows(), common::OutcomeKind::TooMany);
    }
    Table table = readTable(format, bytes, options);
    if (table.columns.size() > kMaxImportColumns) {
        table.columns.resize(kMaxImportColumns);
    }
    return table;
}

}  // namespace exchange
