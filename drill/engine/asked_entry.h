// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "common/word_file.h"
#include "drill/engine/drill_way.h"

namespace drill {

// An entry as a way of drilling asks it. The entry itself, as the file holds it, is what the
// missed entries, the history and the reviews know.
struct AskedEntry {
    QString question;     // shown, or spoken when listening
    QStringList judged;   // the right answers the typed one is judged against
    QString shownRights;  // joined as stored, for the answer boxes with the verdict
};

// Typed: the question, judged against its answers. Reversed: the answers on one line as a
// generated reverse entry has them, judged against the question. Listening: the question,
// spoken and judged against itself, the answers shown with the verdict.
AskedEntry askedEntry(const common::Entry& entry, DrillWay way);

// The entries with the texts the way judges against in place of their answers, for telling a
// near miss from another entry's answer and for the answer box's input mode.
QList<common::Entry> judgedTexts(const QList<common::Entry>& entries, DrillWay way);

}  // namespace drill
