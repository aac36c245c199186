// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/question_order.h"

#include "drill/engine/random_source.h"

#include <array>
#include <bit>
#include <cstdint>

namespace drill {

namespace {

// kSelect[byte][k]: the bit that is the (k+1)-th set bit of byte.
constexpr auto kSelect = [] {
    std::array<std::array<std::uint8_t, 8>, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        int k = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if ((byte >> bit) & 1) {
                table[byte][k++] = static_cast<std::uint8_t>(bit);
            }
        }
    }
    return table;
}();

// The entries not drawn yet, as one bit each, with a Fenwick tree over the counts of each byte:
// the k-th remaining entry is found by one descent and a table look-up, with everything small
// enough to stay in the processor's first-level cache.
class RemainingPositions {
public:
    explicit RemainingPositions(int count)
        : bytes_((count + 7) / 8, 0xFF),
          size_(static_cast<int>(std::bit_ceil(bytes_.size()))),
          tree_(size_ + 1, 0) {
        if (count % 8 != 0) {
            bytes_.back() = static_cast<std::uint8_t>((1 << (count % 8)) - 1);
        }
        for (int i = 1; i <= size_; ++i) {
            if (i <= static_cast<int>(bytes_.size())) {
                tree_[i] += std::popcount(bytes_[i - 1]);
            }
            const int parent = i + (i & -i);
            if (parent <= size_) {
                tree_[parent] += tree_[i];
            }
        }
    }

    // Takes out the k-th remaining entry (1 <= k <= remaining) and returns its 0-based
    // position. The tree's nodes that the descent does not pass over are exactly the ones
    // that count that entry's byte.
    int take(int k) {
        int byte = 0;
        for (int step = size_; step > 0; step >>= 1) {
            const int node = byte + step;
            const int below = tree_[node];
            // All ones when the entry lies after this node. Masks rather than branches: the
            // direction is random, and a mispredicted branch costs more than the whole step.
            const int after = -static_cast<int>(below < k);
            byte += step & after;
            k -= below & after;
            tree_[node] = below - 1 - after;
        }
        const int bit = kSelect[bytes_[byte]][k - 1];
        bytes_[byte] &= static_cast<std::uint8_t>(~(1 << bit));
        return byte * 8 + bit;
    }

private:
    std::vector<std::uint8_t> bytes_;
    int size_;
    std::vector<int> tree_;
};

}  // namespace

std::vector<int> drawOrder(int count, RandomSource& random) {
    std::vector<int> order;
    if (count <= 0) {
        return order;
    }
    order.reserve(count);
    RemainingPositions remaining(count);
    for (int left = count; left > 0; --left) {
        order.push_back(remaining.take(drawPosition(random.next(), left)));
    }
    return order;
}

}  // namespace drill
