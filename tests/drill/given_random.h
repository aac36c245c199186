#pragma once

#include <deque>

#include "drill/engine/random_source.h"

namespace drill::test {

// Hands out the given values, then 0, which keeps the file's order.
class GivenRandom final : public RandomSource {
public:
    std::deque<double> values;
    double next() override {
        if (values.empty()) {
            return 0.0;
        }
        const double value = values.front();
        values.pop_front();
        return value;
    }
};

}  // namespace drill::test
