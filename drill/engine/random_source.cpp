// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/random_source.h"

#include <chrono>

namespace drill {

ClockSeededRandom::ClockSeededRandom() {
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<std::uint64_t>(wall), static_cast<std::uint64_t>(steady)};
    generator_.seed(seed);
}

double ClockSeededRandom::next() {
    // 53 random bits scaled into [0, 1); std::uniform_real_distribution may round up to 1.
    return static_cast<double>(generator_() >> 11) * 0x1.0p-53;
}

int drawPosition(double r, int count) {
    // floor(r * count) + 1; truncation is the floor for the values that reach it.
    const double scaled = r * count;
    if (!(scaled >= 0.0)) {
        return 1;
    }
    if (scaled >= count) {
        return count;
    }
    return static_cast<int>(scaled) + 1;
}

}  // namespace drill
