// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/asked_entry.h"

#include "common/entry_text.h"

namespace drill {

namespace {

// The ways in which the question is what is typed.
bool typesTheQuestion(DrillWay way) {
    return way == DrillWay::Reversed || way == DrillWay::Listening;
}

}  // namespace

AskedEntry askedEntry(const common::Entry& entry, DrillWay way) {
    switch (way) {
        case DrillWay::Reversed:
            return {common::rightsOnOneLine(entry.rights), {entry.question}, entry.question};
        case DrillWay::Listening:
            return {entry.question, {entry.question}, entry.rights};
        default:
            return {entry.question, common::splitRights(entry.rights), entry.rights};
    }
}

QList<common::Entry> judgedTexts(const QList<common::Entry>& entries, DrillWay way) {
    if (!typesTheQuestion(way)) {
        return entries;
    }
    QList<common::Entry> texts;
    texts.reserve(entries.size());
    for (const common::Entry& entry : entries) {
        texts.append({QString(), entry.question, QString()});
    }
    return texts;
}

}  // namespace drill
