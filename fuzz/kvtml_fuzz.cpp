// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// KDE vocabulary documents: any bytes are refused with a reason or give rows, and a document
// both parsers read gives the same table from each.
#include <cstdint>

#include "import_check.h"

namespace {

exchange::Table readBoth(QByteArrayView bytes) {
    exchange::Table quick = exchange::readKvtml(bytes);
    const exchange::Table full = exchange::readKvtml(bytes, {}, exchange::KvtmlParser::Full);
    if (quick.outcome.ok() && full.outcome.ok()) {
        KX_FUZZ_CHECK(quick.columns == full.columns);
        KX_FUZZ_CHECK(quick.rows == full.rows);
        KX_FUZZ_CHECK(quick.sourceLines == full.sourceLines);
        KX_FUZZ_CHECK(quick.droppedText == full.droppedText);
        KX_FUZZ_CHECK(quick.suggestedQuestion == full.suggestedQuestion);
        KX_FUZZ_CHECK(quick.suggestedAnswers == full.suggestedAnswers);
        KX_FUZZ_CHECK(quick.suggestedInformation == full.suggestedInformation);
    }
    return quick;
}

}  // namespace

KX_IMPORT_FUZZ(readBoth)
