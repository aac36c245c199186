// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/drill_way.h"

namespace drill {

// The ways a word can be drilled; kept in common, where the preferences, the history and the
// reviews see them too.
using common::DrillWay;

}  // namespace drill
