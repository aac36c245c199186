// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <random>

namespace drill {

// Values r with 0 <= r < 1. The drill draws from one generator per run; tests hand in their own.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

// Seeded once, from the clock, when constructed.
class ClockSeededRandom final : public RandomSource {
public:
    ClockSeededRandom();
    double next() override;

private:
    std::mt19937_64 generator_;
};

// Position k (1-based) among count entries for a drawn r: floor(r * count) + 1, kept inside
// 1..count even for a generator that strays outside [0, 1).
int drawPosition(double r, int count);

}  // namespace drill
