// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/ime_mode.h"

#include <QtGlobal>

// The editor's input options: an input-method mode per kind of box, and whether a box
// selects its whole text when it gets the focus.
namespace editor {

// The kinds of text box that each have their own input-method mode.
enum class BoxKind { Question = 0, Right = 1, Information = 2 };

class InputOptions {
public:
    virtual ~InputOptions() = default;
    virtual common::ImeMode imeMode(BoxKind kind) const = 0;
    virtual bool focusSelect() const = 0;
};

inline constexpr int kImeModeCount = 3;

// A stored index as a mode; anything outside 0..2 (a damaged settings file) leaves the input
// method alone.
constexpr common::ImeMode imeModeFromIndex(qint16 index) {
    return index >= 0 && index < kImeModeCount ? static_cast<common::ImeMode>(index)
                                               : common::ImeMode::NoControl;
}

}  // namespace editor
