// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <array>
#include <cstring>
#include <optional>

namespace review {

// A word key held in place, for the tables of tens of thousands of words kept in memory: made,
// compared and hashed without a copy on the heap. Holds keys of up to 20 bytes (every word key).
class PackedWordKey {
public:
    static constexpr qsizetype kCapacity = 20;

    // None for a key longer than any word key.
    static std::optional<PackedWordKey> of(QByteArrayView key) {
        if (key.size() > kCapacity) {
            return std::nullopt;
        }
        PackedWordKey packed;
        packed.size_ = static_cast<quint64>(key.size());
        std::memcpy(packed.words_.data(), key.data(), key.size());
        return packed;
    }

    friend bool operator==(const PackedWordKey& a, const PackedWordKey& b) {
        return a.words_[0] == b.words_[0] && a.words_[1] == b.words_[1] &&
               a.words_[2] == b.words_[2] && a.size_ == b.size_;
    }

    // A word key is a hash already: its first bytes are as good as any hash of it.
    friend size_t qHash(const PackedWordKey& key, size_t seed = 0) noexcept {
        return size_t(key.words_[0] ^ key.size_) ^ seed;
    }

private:
    // The bytes, the rest zero.
    std::array<quint64, 3> words_{};
    quint64 size_ = 0;
};

}  // namespace review
