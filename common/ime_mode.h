// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Input-method mode of a text box, as stored in the settings file: what the editor's options
// keep and the platform applies.
namespace common {

enum class ImeMode { NoControl = 0, On = 1, Off = 2 };

}  // namespace common
