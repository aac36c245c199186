// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/shared_cell.h"

namespace exchange {

QString sharedCell(const QString& text, char16_t* begin, char16_t* end) {
    if (begin == end) {
        return QString();
    }
    *end = u'\0';
    QString::DataPointer cell = text.data_ptr();
    Q_ASSERT(cell.d);
    cell.ptr = begin;
    cell.size = end - begin;
    return QString(std::move(cell));
}

QString sharedPart(const QString& cell, qsizetype from, qsizetype size) {
    Q_ASSERT(from >= 0 && size >= 0 && from + size <= cell.size());
    if (size == 0) {
        return QString(cell.constData(), 0);  // empty, not null, as a part cut off always was
    }
    // The cell's own characters, written to without a copy: no other cell holds them.
    auto* const begin = reinterpret_cast<char16_t*>(const_cast<QChar*>(cell.constData())) + from;
    return sharedCell(cell, begin, begin + size);
}

namespace {

// UTF-8 to UTF-16 at `out`, returning the end written; nullptr at the first sequence that is
// not UTF-8 (the caller then leaves the text to Qt, which puts in replacement characters).
// The texts are mostly short and mostly ASCII, where Qt's decoder costs more per call.
char16_t* decodeUtf8(QByteArrayView utf8, char16_t* out) {
    const auto* at = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = at + utf8.size();
    const auto follows = [&](qsizetype count) {
        if (end - at <= count) {
            return false;
        }
        for (qsizetype i = 1; i <= count; ++i) {
            if ((at[i] & 0xC0) != 0x80) {
                return false;
            }
        }
        return true;
    };
    while (at < end) {
        const char32_t lead = *at;
        if (lead < 0x80) {
            *out++ = char16_t(lead);
            ++at;
        } else if (lead >= 0xC2 && lead < 0xE0 && follows(1)) {
            *out++ = char16_t((lead & 0x1F) << 6 | (at[1] & 0x3F));
            at += 2;
        } else if (lead >= 0xE0 && lead < 0xF0 && follows(2)) {
            const char32_t c = (lead & 0x0F) << 12 | (at[1] & 0x3F) << 6 | (at[2] & 0x3F);
            if (c < 0x800 || (c >= 0xD800 && c < 0xE000)) {
                return nullptr;  // too long a form, or half a surrogate pair
            }
            *out++ = char16_t(c);
            at += 3;
        } else if (lead >= 0xF0 && lead < 0xF5 && follows(3)) {
            const char32_t c =
                (lead & 0x07) << 18 | (at[1] & 0x3F) << 12 | (at[2] & 0x3F) << 6 | (at[3] & 0x3F);
            if (c < 0x10000 || c > 0x10FFFF) {
                return nullptr;
            }
            *out++ = QChar::highSurrogate(c);
            *out++ = QChar::lowSurrogate(c);
            at += 4;
        } else {
            return nullptr;
        }
    }
    return out;
}

}  // namespace

QString CellBlocks::cell(QByteArrayView utf8) {
    // UTF-16 never takes more units than UTF-8 bytes.
    char16_t* const begin = utf8.isEmpty() ? nullptr : room(utf8.size());
    if (!begin) {
        return QString::fromUtf8(utf8);
    }
    char16_t* const end = decodeUtf8(utf8, begin);
    if (!end) {
        return QString::fromUtf8(utf8);
    }
    return made(begin, end);
}

}  // namespace exchange
