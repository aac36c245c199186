// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>

#include "drill/engine/answer_check.h"
#include "drill/engine/answer_difference.h"

namespace drill {

// The typical slips found in a difference between a typed English answer and the right one,
// each kind once, in the order of SlipKind.
QList<SlipKind> spellingSlips(const QList<CharMark>& marks);

}  // namespace drill
