// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

// Where the style lets a line edit draw its text.
inline QRect lineEditTextArea(const QLineEdit* box) {
    QStyleOptionFrame frame;
    frame.initFrom(box);
    frame.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, box);
    return box->style()
        ->subElementRect(QStyle::SE_LineEditContents, &frame, box)
        .marginsRemoved(box->textMargins());
}
