// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Anki's plain text: header lines, any separator, HTML in the fields.
#include <cstdint>

#include "import_check.h"

KX_IMPORT_FUZZ(exchange::readAnki)
