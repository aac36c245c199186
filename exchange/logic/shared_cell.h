// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Cells of a text read in place: strings over parts of one storage, which they share instead of
// each allocating its own. A string's storage always ends in a null, so each cell's end gets
// one, written over a character that no cell holds. Changing a cell copies it first, as for any
// shared string; the storage is freed with the last cell.
namespace exchange {

// [begin, end) of the storage `text` holds; the character at `end` becomes the null.
QString sharedCell(const QString& text, char16_t* begin, char16_t* end);

// `size` characters of such a cell from `from` on, sharing its storage; the character after
// them becomes the null, so it must be no part of any cell still wanted (as when the cell is
// replaced by its parts).
QString sharedPart(const QString& cell, qsizetype from, qsizetype size);

// Cells decoded from UTF-8 pieces one after another into shared blocks, instead of a string
// each: the reader of a document with many short texts allocates once per block.
class CellBlocks {
public:
    QString cell(QByteArrayView utf8);

private:
    QString block_;
    qsizetype used_ = 0;
};

}  // namespace exchange
