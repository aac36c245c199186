// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>
#include <QLabel>

#include "drill/engine/answer_difference.h"

namespace drill {

// The typed answer against the closest right answer, one line under the answer box: a missing
// character in brackets and underlined, an extra one struck through, a wrong one struck through
// and followed by the right one in brackets; each also in a colour of its own, so that neither
// the colour nor the line alone has to be seen. A screen reader reads the differences in words.
class DifferenceView : public QLabel {
public:
    explicit DifferenceView(QWidget* parent);

    void showDifference(const AnswerDifference& difference);
    void clear();
    // The font at the window's zoom. A long difference draws somewhat smaller, and one still
    // too long shows as much of its beginning as fits (the tool tip has all of it).
    void setBaseFont(const QFont& font);

private:
    void fit();

    QFont base_;
    AnswerDifference difference_;
};

// The rich text of a difference, of its first shown marks only, followed by "…" when they are
// not all (for the view, and for tests of what it marks).
QString differenceHtml(const AnswerDifference& difference, qsizetype shown = -1);

}  // namespace drill
