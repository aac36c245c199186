// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/slip_codes.h"

#include <array>
#include <utility>

namespace drill {

namespace {

const std::array<std::pair<SlipKind, QLatin1StringView>, 5> kCodes{{
    {SlipKind::LR, QLatin1StringView("lr")},
    {SlipKind::BV, QLatin1StringView("bv")},
    {SlipKind::ThS, QLatin1StringView("th-s")},
    {SlipKind::AddedVowel, QLatin1StringView("added-vowel")},
    {SlipKind::DoubledConsonant, QLatin1StringView("doubled-consonant")},
}};

}  // namespace

QString slipCode(SlipKind kind) {
    for (const auto& [known, code] : kCodes) {
        if (known == kind) {
            return code;
        }
    }
    return {};
}

std::optional<SlipKind> slipKindOfCode(const QString& code) {
    for (const auto& [kind, known] : kCodes) {
        if (code == known) {
            return kind;
        }
    }
    return std::nullopt;
}

QStringList slipCodes(const QList<SlipKind>& kinds) {
    QStringList codes;
    for (const SlipKind kind : kinds) {
        codes.append(slipCode(kind));
    }
    return codes;
}

}  // namespace drill
