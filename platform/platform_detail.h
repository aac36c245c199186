// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/platform.h"

// Shared by the production layer and the test double; not for the windows.
namespace platform::detail {

// Keeps the mode on the box, where imeMode() reads it, and makes the box refuse the input
// method while the mode is Off (the box answers Qt::ImEnabled with false).
void storeImeMode(QWidget* box, ImeMode mode);

// What the close box and Escape answer for a button set.
Answer closeBoxAnswer(Buttons buttons);

// Whether a box with these buttons can answer so.
bool offers(Buttons buttons, Answer answer);

}  // namespace platform::detail
