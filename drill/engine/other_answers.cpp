// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/other_answers.h"

#include <QSet>

#include <algorithm>
#include <bit>

#include "common/ansi_text.h"
#include "drill/engine/judging.h"

namespace drill {

quint64 keySignature(const CharKeys& keys) {
    quint64 signature = 0;
    for (const quint64 key : keys) {
        signature |= quint64{1} << ((key * 0x9E3779B97F4A7C15ULL) >> 58);
    }
    return signature;
}

OtherAnswers::OtherAnswers(const QStringList& answers) {
    QSet<QString> seen;
    for (const QString& answer : answers) {
        QString form = lenientForm(common::storedForm(answer));
        if (form.isEmpty() || seen.contains(form)) {
            continue;
        }
        seen.insert(form);
        CharKeys keys = charKeys(form);
        const quint64 signature = keySignature(keys);
        answers_.append({std::move(form), std::move(keys), signature});
    }
    std::stable_sort(answers_.begin(), answers_.end(), [](const Answer& a, const Answer& b) {
        return a.keys.size() < b.keys.size();
    });
}

bool OtherAnswers::anyWithin(const DistanceFrom& typed, int limit,
                             const QStringList& except) const {
    const qsizetype length = typed.keys().size();
    const quint64 signature = keySignature(typed.keys());
    auto it =
        std::lower_bound(answers_.begin(), answers_.end(), length - limit,
                         [](const Answer& a, qsizetype size) { return a.keys.size() < size; });
    for (; it != answers_.end() && it->keys.size() <= length + limit; ++it) {
        // Every character kind one side has and the other lacks costs at least one edit.
        if (std::popcount(it->signature & ~signature) > limit ||
            std::popcount(signature & ~it->signature) > limit) {
            continue;
        }
        if (typed.to(it->keys, limit) <= limit && !except.contains(it->form)) {
            return true;
        }
    }
    return false;
}

}  // namespace drill
