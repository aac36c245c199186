// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/right_pages.h"

#include "common/word_file.h"

namespace drill {

QStringList answerPage(const QString& joinedRights, int page) {
    const QStringList answers = joinedRights.split(common::kAnswerSeparator.toString());
    QStringList boxes(kAnswersPerPage);
    for (int i = 0; i < kAnswersPerPage; ++i) {
        const qsizetype position = qsizetype(page) * kAnswersPerPage + i;
        if (page < 0 || position >= answers.size()) {
            break;
        }
        boxes[i] = answers.at(position);
    }
    return boxes;
}

}  // namespace drill
