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

    // Room for a cell of at most `most` characters, written there and then made by made();
    // nullptr when so long a cell is no saving in a block (the caller then makes its own).
    char16_t* room(qsizetype most) {
        constexpr qsizetype kBlock = 1 << 15;
        ++most;  // and the null
        if (most > kBlock / 8) {
            return nullptr;
        }
        if (block_.isNull() || block_.size() - used_ < most) {
            block_ = QString(kBlock, Qt::Uninitialized);
            used_ = 0;
        }
        // Written without a copy: the cells already made end before `used_`.
        return reinterpret_cast<char16_t*>(const_cast<QChar*>(block_.constData())) + used_;
    }
    QString made(char16_t* begin, char16_t* end) {
        used_ += end - begin + 1;
        return sharedCell(block_, begin, end);
    }

private:
    QString block_;
    qsizetype used_ = 0;
};

}  // namespace exchange
