// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// KDE vocabulary documents: any bytes are refused with a reason or give rows, and a document
// both parsers read gives the same table from each, its entries parsed whole or one a piece.
#include <cstdint>

#include "import_check.h"

namespace {

void checkSame(const exchange::Table& quick, const exchange::Table& full) {
    if (quick.outcome.ok() && full.outcome.ok()) {
        KX_FUZZ_CHECK(quick.columns == full.columns);
        KX_FUZZ_CHECK(quick.rows == full.rows);
        KX_FUZZ_CHECK(quick.sourceLines == full.sourceLines);
        KX_FUZZ_CHECK(quick.droppedText == full.droppedText);
        KX_FUZZ_CHECK(quick.suggestedQuestion == full.suggestedQuestion);
        KX_FUZZ_CHECK(quick.suggestedAnswers == full.suggestedAnswers);
        KX_FUZZ_CHECK(quick.suggestedInformation == full.suggestedInformation);
    }
}

exchange::Table readBoth(QByteArrayView bytes) {
    exchange::Table quick = exchange::readKvtml(bytes);
    const exchange::Table full = exchange::readKvtml(bytes, {}, exchange::KvtmlParser::Full);
    checkSame(quick, full);
    checkSame(exchange::readKvtml(bytes, {}, exchange::KvtmlParser::Quick, 1), full);
    return quick;
}

}  // namespace

KX_IMPORT_FUZZ(readBoth)
