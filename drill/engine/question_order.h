// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <vector>

namespace drill {

class RandomSource;

// The order in which drawing a random remaining entry and removing it, until none is left,
// takes count entries: element i is the 0-based source position of the i-th entry drawn.
// Each draw asks the generator once, with the number of entries remaining as the range.
std::vector<int> drawOrder(int count, RandomSource& random);

}  // namespace drill
