// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QStringView>

#include "common/word_file.h"

namespace common {

// What a text is written in, as far as a voice or an input method cares.
enum class Script { None, Latin, Japanese };

// Japanese when it holds kana or kanji (Latin letters among them are read by a Japanese voice
// too); Latin when it holds Latin letters or digits; None otherwise.
Script textScript(QStringView text);

// True when more than half of the entries' right answers are written in Japanese.
bool answersAreJapanese(const QList<Entry>& entries);

}  // namespace common
