// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/drill_layout.h"

#include <QtMath>

#include <algorithm>

#include "drill/window/twips.h"

namespace drill {

DrillGeometry layoutDrill(const BoxMetrics& m, double zoom) {
    auto px = [zoom](int twipsValue) { return qRound(twipsValue * zoom / kTwipsPerPixel); };
    DrillGeometry g;

    // The question row: the box and the two option buttons beside it.
    const int questionTop = px(240);
    const int multiHeight = std::max(px(540), m.questionChrome + m.questionLine + m.questionBar);
    const int singleHeight = std::max(px(300), m.slimQuestionChrome + m.questionLine);
    const int optionHeight = std::max(px(255), m.optionHeight);
    const int optionPitch = std::max(px(240), optionHeight);
    g.questionMulti = QRect(px(120), questionTop, px(6135), multiHeight);
    g.questionSingle = QRect(px(120), questionTop, px(6135), singleHeight);
    for (int i = 0; i < 2; ++i) {
        g.options[i] = QRect(px(6360), questionTop + optionPitch * i, px(615), optionHeight);
    }
    const int questionBottom =
        std::max({g.questionMulti.bottom(), g.questionSingle.bottom(), g.options[1].bottom()}) + 1;

    // Each row keeps its original gap to the row above.
    int y = questionBottom + px(960) - px(780);
    const int rightHeight = std::max(px(270), m.slimChrome + m.rightLine);
    const int rightPitch = rightHeight + px(360) - px(270);
    for (int i = 0; i < 4; ++i) {
        g.rights[i] = QRect(px(360), y + rightPitch * i, px(6015), rightHeight);
    }
    g.rightPages = QRect(px(6480), y, px(255), g.rights[3].bottom() + 1 + px(2415) - px(2310) - y);
    y = g.rightPages.bottom() + 1 + px(2520) - px(2415);

    g.information =
        QRect(px(240), y, px(6615),
              std::max(px(615), m.informationChrome + m.informationLine * kInformationLines));
    y = g.information.bottom() + 1 + px(3360) - px(3135);
    g.answer = QRect(px(120), y, px(6855), std::max(px(270), m.slimChrome + m.answerLine));
    // A row of its own, as wide as the answer box, in the gap's measure.
    y = g.answer.bottom() + 1 + px(3720) - px(3630);
    g.difference = QRect(px(120), y, px(6855), std::max(px(270), m.differenceLine));
    y = g.difference.bottom() + 1 + px(3720) - px(3630);

    const int labelTop = px(120);
    const int labelHeight = std::max(px(255), m.indicatorHeight);
    const int commandHeight = std::max({px(375), m.commandHeight, labelTop + labelHeight});
    g.ok = QRect(px(120), y, px(1575), commandHeight);
    g.result = QRect(px(1920), y, px(375), commandHeight);
    g.indicator = QRect(px(3840), y, px(3135), commandHeight);
    g.time = QRect(px(120), labelTop, px(1215), labelHeight);
    g.count = QRect(px(1920), labelTop, px(975), labelHeight);

    g.client = QSize(px(7080), g.ok.bottom() + 1 + px(4185) - px(4095));
    return g;
}

}  // namespace drill
