// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// KDE vocabulary documents: any bytes are refused with a reason or give rows.
#include <cstdint>

#include "import_check.h"

KX_IMPORT_FUZZ(exchange::readKvtml)
