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

namespace {

struct Counts {
    qsizetype lineFeeds = 0;
    qsizetype returns = 0;
    qsizetype crLfs = 0;  // a CR LF is one break
    qsizetype separators = 0;
};

// Counted in runs of a fixed length, which the compiler turns into wide steps. The character
// after the run is looked at too (for a CR LF), so it has to be there.
void countRun(const char16_t* run, qsizetype size, char16_t separator, Counts& counts) {
    constexpr qsizetype kRun = 64;
    qsizetype at = 0;
    for (; at + kRun <= size; at += kRun) {
        unsigned lineFeeds = 0;
        unsigned returns = 0;
        unsigned crLfs = 0;
        unsigned separators = 0;
        for (qsizetype i = 0; i < kRun; ++i) {
            lineFeeds += run[at + i] == u'\n' ? 1u : 0u;
            returns += run[at + i] == u'\r' ? 1u : 0u;
            crLfs += unsigned(run[at + i] == u'\r') & unsigned(run[at + i + 1] == u'\n');
            separators += run[at + i] == separator ? 1u : 0u;
        }
        counts.lineFeeds += lineFeeds;
        counts.returns += returns;
        counts.crLfs += crLfs;
        counts.separators += separators;
    }
    for (; at < size; ++at) {
        counts.lineFeeds += run[at] == u'\n' ? 1 : 0;
        counts.returns += run[at] == u'\r' ? 1 : 0;
        counts.crLfs += run[at] == u'\r' && run[at + 1] == u'\n' ? 1 : 0;
        counts.separators += run[at] == separator ? 1 : 0;
    }
}

}  // namespace

bool withinImportBounds(QStringView text, QChar separator) {
    // A block at a time, so that a text far beyond the bounds is not read to its end.
    constexpr qsizetype kBlock = 1 << 16;
    const auto* chars = reinterpret_cast<const char16_t*>(text.utf16());
    Counts counts;
    for (qsizetype from = 0; from < text.size(); from += kBlock) {
        qsizetype size = std::min(kBlock, text.size() - from);
        if (from + size == text.size()) {
            // The last character has none after it: counted alone, no CR LF's start.
            --size;
            counts.lineFeeds += text.back() == u'\n' ? 1 : 0;
            counts.returns += text.back() == u'\r' ? 1 : 0;
            counts.separators += text.back() == separator ? 1 : 0;
        }
        countRun(chars + from, size, separator.unicode(), counts);
        const qsizetype breaks = counts.lineFeeds + counts.returns - counts.crLfs;
        const qsizetype separators = separator.isNull() ? 0 : counts.separators;
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
