// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QStringView>

#include <cstring>
#include <functional>

namespace exchange {

// UTF-8 text built piece by piece, as an export writes a whole file: the bytes go straight into
// one buffer, with no UTF-16 copy of the file converted at the end. Each piece is encoded as
// QString::toUtf8 encodes it alone (half a surrogate pair becomes '?'), so a pair must not be
// split between two pieces.
class Utf8Text {
public:
    // Given `spill`, the bytes are handed to it whenever about a mebibyte is ready (a file
    // being written), and take() gives only the last of them.
    using Spill = std::function<void(QByteArrayView)>;
    explicit Utf8Text(qsizetype expected = 0, Spill spill = {});

    Utf8Text& operator+=(QStringView text) {
        room(text.size() * 3);
        const char16_t* from = text.utf16();
        const char16_t* const end = from + text.size();
        char* out = data_ + size_;
        // Markup and most words are ASCII: a byte each, with no call.
        while (from != end && *from < 0x80) {
            *out++ = char(*from++);
        }
        size_ = out - data_;
        if (from != end) {
            appendWide(QStringView(from, end));
        }
        return *this;
    }
    Utf8Text& operator+=(QLatin1StringView ascii) {
        room(ascii.size());
        std::memcpy(data_ + size_, ascii.data(), std::size_t(ascii.size()));
        size_ += ascii.size();
        return *this;
    }
    Utf8Text& operator+=(char16_t c) { return *this += QStringView(&c, 1); }
    Utf8Text& operator+=(QChar c) { return *this += c.unicode(); }

    qsizetype size() const { return size_; }
    QByteArray take();

private:
    void room(qsizetype more) {
        if (bytes_.size() - size_ < more) {
            grow(more);
        }
    }
    void grow(qsizetype more);
    void appendWide(QStringView text);

    Spill spill_;
    QByteArray bytes_;
    char* data_ = nullptr;
    qsizetype size_ = 0;
};

}  // namespace exchange
