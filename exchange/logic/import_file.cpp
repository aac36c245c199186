// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/import_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace exchange {

namespace {

constexpr qint64 kPiece = 1 << 20;

}  // namespace

bool withinImportBounds(QStringView text, QChar separator) {
    // Counted in one pass, a block at a time so that a text far beyond the bounds is not read
    // to its end. CR LF counts as one break, a CR or LF alone as one each.
    constexpr qsizetype kBlock = 1 << 16;
    const char16_t mark = separator.unicode();
    const bool marks = !separator.isNull();
    qsizetype breaks = 0;
    qsizetype separators = 0;
    for (qsizetype from = 0; from < text.size(); from += kBlock) {
        const qsizetype to = std::min(text.size(), from + kBlock);
        for (qsizetype at = from; at < to; ++at) {
            const char16_t c = text[at].unicode();
            breaks += c == u'\n' || (c == u'\r' && (at + 1 == text.size() || text[at + 1] != u'\n'))
                          ? 1
                          : 0;
            separators += marks && c == mark ? 1 : 0;
        }
        if (breaks >= kMaxImportRows || breaks + 1 + separators > kMaxImportCells) {
            return false;
        }
    }
    return true;
}

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
    Table table = readTable(guessFormat(fileName, bytes), bytes, options);
    if (options.stop.stop_requested()) {
        table = Table();
        table.outcome = common::Outcome::failure(common::OutcomeKind::Cancelled);
    }
    if (table.columns.size() > kMaxImportColumns) {
        table.columns.resize(kMaxImportColumns);
    }
    return table;
}

}  // namespace exchange
