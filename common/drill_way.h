// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace common {

// The ways a word can be drilled. Typed is the question shown and its answer typed, the only way
// the settings record knows; the others are chosen in the preferences. The numbers are stored in
// the history and the preferences file, so they never change meaning.
enum class DrillWay {
    Typed = 0,      // question → answer, typed
    Reversed = 1,   // answer → question, typed
    Listening = 2,  // the question spoken, what was heard typed
    Choice = 3,     // one of up to four answers picked
    Card = 4,       // answers shown on demand, the learner grades himself
};

inline constexpr int kDrillWayCount = 5;

// "問題→答え", "答え→問題", "聞き取り", "選択式", "カード"; a number from a later version as
// its digits.
QString drillWayName(DrillWay way);

// The way a stored number means; Typed for none this version knows.
DrillWay drillWayOf(int number);

}  // namespace common
