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

}  // namespace exchange
