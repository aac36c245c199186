// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>

namespace review {

// Instants are UTC milliseconds, as the history stores them; the clock is always handed in.
using ReviewTime = std::chrono::sys_time<std::chrono::milliseconds>;

}  // namespace review
