// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRect>
#include <QSize>

#include <array>

#include "platform/zoom_items.h"

class QFont;

namespace drill {

// What the window's fonts and style need, in pixels: each box's line height is that of the
// fonts that draw a Japanese sample (a CJK fallback font included), and its chrome the frame,
// margins and scroll bar around the text.
struct BoxMetrics {
    int questionLine = 0;
    int questionChrome = 0;  // the multi-line question box without its scroll bar
    int questionBar = 0;     // its horizontal scroll bar ("ON")
    int slimQuestionChrome = 0;
    int rightLine = 0;
    int slimChrome = 0;  // a one-line box of the answers or the typed answer
    int informationLine = 0;
    int informationChrome = 0;
    int answerLine = 0;
    int differenceLine = 0;   // the typed answer against the right one, below the answer box
    int optionHeight = 0;     // an "ON"/"OFF" button
    int commandHeight = 0;    // the OK button and the result mark
    int indicatorHeight = 0;  // a label of the time indicator
};

// Where every control goes: the window's original arrangement, each box made as tall as its
// text needs, everything below moved down by what the boxes above grew.
struct DrillGeometry {
    QSize client;
    QRect questionMulti;  // with the scroll bar, "ON"
    QRect questionSingle;
    std::array<QRect, 2> options;
    std::array<QRect, 4> rights;
    QRect rightPages;
    QRect information;
    QRect answer;
    QRect difference;
    QRect ok;
    QRect result;
    QRect indicator;
    QRect time;   // inside the indicator
    QRect count;  // inside the indicator
};

// The information box shows this many lines before it scrolls.
inline constexpr int kInformationLines = 3;

using platform::japaneseLineHeight;

// zoom scales the original positions and widths (the fonts are scaled by whoever measures).
DrillGeometry layoutDrill(const BoxMetrics& metrics, double zoom = 1.0);

}  // namespace drill
