// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace drill {

// The ways a word can be drilled. Typed is the question shown and its answer typed, the only way
// the settings record knows; the others are chosen in the preferences. The numbers are stored in
// the history, so they never change meaning.
enum class DrillWay {
    Typed = 0,      // question → answer, typed
    Reversed = 1,   // answer → question, typed
    Listening = 2,  // the question spoken, what was heard typed
    Choice = 3,     // one of up to four answers picked
    Card = 4,       // answers shown on demand, the learner grades himself
};

}  // namespace drill
