// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/flat_json.h"

#include <QUtf8StringView>

#include <limits>

namespace drill::history {

namespace {

// More digits could overflow: such a number is read as JSON.
constexpr qsizetype kMostDigits = 18;

// The string starting after its opening quote at i, up to its closing quote, which i is left
// after; none where it holds an escape, a control character or bytes that are no UTF-8.
std::optional<QByteArrayView> stringAt(QByteArrayView text, qsizetype& i) {
    const qsizetype start = i;
    bool ascii = true;
    for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"') {
            const QByteArrayView string = text.sliced(start, i - start);
            ++i;
            if (!ascii && !QUtf8StringView(string).isValidUtf8()) {
                return std::nullopt;
            }
            return string;
        }
        if (c == '\\' || c < 0x20) {
            return std::nullopt;
        }
        ascii = ascii && c < 0x80;
    }
    return std::nullopt;
}

// An integer as JSON writes it, starting at i, which is left after it.
std::optional<qint64> integerAt(QByteArrayView text, qsizetype& i) {
    const bool negative = i < text.size() && text[i] == '-';
    i += negative ? 1 : 0;
    const qsizetype start = i;
    qint64 value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (i - start == kMostDigits) {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    const qsizetype digits = i - start;
    if (digits == 0 || (digits > 1 && text[start] == '0')) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace

std::optional<FlatJson> FlatJson::parse(QByteArrayView text) {
    FlatJson json;
    if (text.size() < 2 || text.front() != '{' || text.back() != '}') {
        return std::nullopt;
    }
    qsizetype i = 1;
    if (text.size() == 2) {
        return json;
    }
    for (;;) {
        if (json.members_.size() == kMostMembers || text[i] != '"') {
            return std::nullopt;
        }
        Member member;
        ++i;
        const std::optional<QByteArrayView> name = stringAt(text, i);
        if (!name || i >= text.size() || text[i] != ':' ||
            json.find(QLatin1StringView(*name)) != nullptr) {
            return std::nullopt;
        }
        member.name = *name;
        ++i;
        if (i < text.size() && text[i] == '"') {
            ++i;
            const std::optional<QByteArrayView> string = stringAt(text, i);
            if (!string) {
                return std::nullopt;
            }
            member.string = *string;
            member.isString = true;
        } else if (const std::optional<qint64> integer = integerAt(text, i)) {
            member.integer = *integer;
        } else {
            return std::nullopt;
        }
        json.members_.append(member);
        if (i >= text.size()) {
            return std::nullopt;
        }
        if (text[i] == '}') {
            return i == text.size() - 1 ? std::optional(json) : std::nullopt;
        }
        if (text[i] != ',') {
            return std::nullopt;
        }
        ++i;
    }
}

const FlatJson::Member* FlatJson::find(QLatin1StringView name) const {
    for (const Member& member : members_) {
        if (member.name == QByteArrayView(name.data(), name.size())) {
            return &member;
        }
    }
    return nullptr;
}

QString FlatJson::string(QLatin1StringView name) const {
    const Member* member = find(name);
    return member && member->isString ? QString::fromUtf8(member->string) : QString();
}

QByteArrayView FlatJson::utf8(QLatin1StringView name) const {
    const Member* member = find(name);
    return member && member->isString ? member->string : QByteArrayView();
}

qint64 FlatJson::toInteger(QLatin1StringView name) const {
    const Member* member = find(name);
    return member && !member->isString ? member->integer : 0;
}

int FlatJson::toInt(QLatin1StringView name) const {
    const qint64 value = toInteger(name);
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()
               ? int(value)
               : 0;
}

}  // namespace drill::history
