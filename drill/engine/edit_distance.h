// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

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

private:
    quint64 maskOf(quint64 key) const;

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

}  // namespace drill
