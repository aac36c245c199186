// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/import_file.h"

#include <QFile>
#include <QFileInfo>

namespace exchange {

namespace {

constexpr qint64 kPiece = 1 << 20;

}  // namespace

// At most how many rows and cells the text gives split at the separator, without parsing it.
namespace {

// How often `c` occurs, counted no further than past `most`: found with the library's fast
// search, which passes over the text between in wide steps.
qsizetype countUpTo(QStringView text, QChar c, qsizetype most,
                    const std::function<bool(qsizetype)>& counts = {}) {
    qsizetype count = 0;
    for (qsizetype at = text.indexOf(c); at >= 0 && count <= most; at = text.indexOf(c, at + 1)) {
        count += !counts || counts(at) ? 1 : 0;
    }
    return count;
}

}  // namespace

bool withinImportBounds(QStringView text, QChar separator) {
    // CR LF counts as one break, a CR or LF alone as one each.
    const qsizetype breaks = countUpTo(text, u'\n', kMaxImportRows) +
                             countUpTo(text, u'\r', kMaxImportRows, [&](qsizetype at) {
                                 return at + 1 == text.size() || text[at + 1] != u'\n';
                             });
    if (breaks >= kMaxImportRows) {
        return false;
    }
    const qsizetype cells =
        breaks + 1 + (separator.isNull() ? 0 : countUpTo(text, separator, kMaxImportCells));
    return cells <= kMaxImportCells;
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
