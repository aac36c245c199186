// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// CSV and TSV files, with either separator and any encoding.
#include <cstdint>

#include "import_check.h"

namespace {

exchange::Table readEither(QByteArrayView bytes) {
    const exchange::Table tsv = exchange::readDelimited(bytes, u'\t');
    checkImport(tsv, bytes.first(std::min<qsizetype>(5, bytes.size())));
    return exchange::readDelimited(bytes, u',');
}

}  // namespace

KX_IMPORT_FUZZ(readEither)
