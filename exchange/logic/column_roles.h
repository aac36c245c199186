// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "exchange/logic/table.h"

namespace exchange {

// Proposes the question, answers and information columns by the names the file gives them
// (Anki's "#columns:", a header row, kvtml's languages): Front, Question, 表, 問題, English,
// Word and the like ask; Back, Answer, 裏, 答え, Japanese, Meaning and the like answer. A
// column named as an id, a picture, a sound, tags, a deck or a note type, or holding no text
// (only numbers, or nothing once sounds and pictures are left out), is never proposed. Where
// no name decides, the reader's own suggestion stands while it is text, else the first text
// columns in order; the information column is the one named so, else the reader's.
void proposeColumns(Table& table);

}  // namespace exchange
