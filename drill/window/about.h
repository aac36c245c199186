// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace drill {

// The about box's text: the version with a two-digit minor number, thanks and copyright.
QString versionText(int major, int minor);

}  // namespace drill
