// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringView>

namespace exchange {

// The character an HTML 4 named reference ("amp" for "&amp;", also "apos") stands for; 0 when
// the name is none of them. Names are case-sensitive.
char16_t htmlEntity(QStringView name);

}  // namespace exchange
