// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/utf8_text.h"

#include <QChar>

#include <algorithm>
#include <utility>

namespace exchange {

namespace {

constexpr qsizetype kSpillSize = 1 << 20;

}  // namespace

Utf8Text::Utf8Text(qsizetype expected, Spill spill) : spill_(std::move(spill)) {
    grow(spill_ ? std::min(expected, kSpillSize) : expected);
}

void Utf8Text::grow(qsizetype more) {
    if (spill_ && size_ > 0) {
        spill_(QByteArrayView(data_, size_));
        size_ = 0;
        if (bytes_.size() >= more) {
            return;
        }
    }
    // Doubled, so that a file built piece by piece is copied a few times at most.
    bytes_.resize(std::max(size_ + more, bytes_.size() * 2));
    data_ = bytes_.data();
}

void Utf8Text::appendWide(QStringView text) {
    const char16_t* from = text.utf16();
    const char16_t* const end = from + text.size();
    auto* out = reinterpret_cast<unsigned char*>(data_ + size_);
    for (; from != end; ++from) {
        const char32_t c = *from;
        if (c < 0x80) {
            *out++ = static_cast<unsigned char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (QChar::isSurrogate(c)) {
            // A half of a pair standing alone becomes '?', as QString::toUtf8 writes it.
            if (!QChar::isHighSurrogate(c) || from + 1 == end || !QChar::isLowSurrogate(from[1])) {
                *out++ = '?';
                continue;
            }
            const char32_t full = QChar::surrogateToUcs4(char16_t(c), *++from);
            *out++ = static_cast<unsigned char>(0xF0 | (full >> 18));
            *out++ = static_cast<unsigned char>(0x80 | ((full >> 12) & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | ((full >> 6) & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (full & 0x3F));
        } else {
            *out++ = static_cast<unsigned char>(0xE0 | (c >> 12));
            *out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        }
    }
    size_ = reinterpret_cast<char*>(out) - data_;
}

QByteArray Utf8Text::take() {
    bytes_.truncate(size_);
    data_ = nullptr;
    size_ = 0;
    return std::exchange(bytes_, QByteArray());
}

}  // namespace exchange
