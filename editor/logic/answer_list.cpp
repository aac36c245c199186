// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/answer_list.h"

#include "common/word_file.h"

namespace editor {

QStringList answersOfForm(const FormAnswers& form) {
    QStringList answers;
    for (const QString& box : form.boxes) {
        if (!box.isEmpty()) {
            answers.append(box);
        }
    }
    if (!form.extraRights.isEmpty()) {
        answers.append(form.extraRights.split(common::kAnswerSeparator.toString(),
                                              Qt::KeepEmptyParts, Qt::CaseSensitive));
    }
    return answers;
}

FormAnswers formOfAnswers(const QStringList& answers) {
    FormAnswers form;
    for (int i = 0; i < FormAnswers::kBoxes && i < answers.size(); ++i) {
        form.boxes[i] = answers[i];
    }
    if (answers.size() > FormAnswers::kBoxes) {
        form.extraRights = answers.mid(FormAnswers::kBoxes).join(common::kAnswerSeparator);
    }
    return form;
}

QStringList withoutPositions(const QStringList& answers, const QList<int>& positions) {
    QList<bool> removed(answers.size(), false);
    for (int p : positions) {
        if (p >= 0 && p < answers.size()) {
            removed[p] = true;
        }
    }
    QStringList kept;
    for (int p = 0; p < answers.size(); ++p) {
        if (!removed[p]) {
            kept.append(answers[p]);
        }
    }
    return kept;
}

}  // namespace editor
