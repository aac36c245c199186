// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <vector>

namespace drill {

// The user-perceived characters of a text: a base with its combining marks, a surrogate pair.
QStringList graphemeClusters(QStringView text);

// A text as one key per user-perceived character, for comparing: a one-code-point character is
// that code point, a longer one a hash of it with the top bit set.
using CharKeys = QList<quint64>;
CharKeys charKeys(QStringView text);
CharKeys charKeys(const QStringList& clusters);

// Edit distance from one text to many (optimal string alignment: inserting, removing or
// changing one character, or swapping two neighbours, is one edit; no character is edited
// twice). Bit-parallel for a text of up to 64 characters, row by row above that.
class DistanceFrom {
public:
    explicit DistanceFrom(CharKeys from);

    // The distance to other, or limit + 1 when it is larger than limit.
    int to(const CharKeys& other, int limit) const;

    const CharKeys& keys() const { return from_; }

    // One column of the table against a character of the other text: bit i of each vector
    // stands for row i + 1, the difference to the cell above (vp +1, vn -1) and to the cell on
    // the left (hp +1, hn -1).
    struct Column {
        quint64 vp;
        quint64 vn;
        quint64 hp;
        quint64 hn;
    };
    // Every column of the table against other, for a text of up to 64 characters.
    std::vector<Column> columns(const CharKeys& other) const;

private:
    // The bit-vector form of the optimal-string-alignment table (Hyyrö 2003), column by column.
    class Columns {
    public:
        Column next(quint64 match) {
            const quint64 swap = ((~d0_ & match) << 1) & previousMatch_;
            d0_ = (((match & vp_) + vp_) ^ vp_) | match | vn_ | swap;
            const quint64 hp = vn_ | ~(d0_ | vp_);
            const quint64 hn = d0_ & vp_;
            const quint64 shiftedHp = (hp << 1) | 1;
            vp_ = (hn << 1) | ~(d0_ | shiftedHp);
            vn_ = shiftedHp & d0_;
            previousMatch_ = match;
            return {vp_, vn_, hp, hn};
        }

    private:
        quint64 vp_ = ~quint64{0};
        quint64 vn_ = 0;
        quint64 d0_ = 0;
        quint64 previousMatch_ = 0;
    };

    quint64 maskOf(quint64 key) const { return key < kDirect ? direct_[key] : hashedMask(key); }
    quint64 hashedMask(quint64 key) const;

    CharKeys from_;
    // The positions where each key of from_ occurs: ASCII directly, the rest in an
    // open-addressing table.
    static constexpr quint64 kDirect = 128;
    std::array<quint64, kDirect> direct_{};
    static constexpr int kSlots = 128;
    std::array<quint64, kSlots> keys_{};
    std::array<quint64, kSlots> masks_{};
};

// How one text turns into another, in reading order, by a shortest edit script.
enum class EditStep { Same, Change, Swap, Remove, Insert };
QList<EditStep> editSteps(const CharKeys& from, const CharKeys& to);
// The same read from the whole table of distances, as editSteps does for texts where both
// are longer than 64 characters: what the bit-vector form must agree with.
QList<EditStep> editStepsByWholeTable(const CharKeys& from, const CharKeys& to);

}  // namespace drill
