// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QRect>
#include <QStringList>

#include <array>
#include <functional>

#include "drill/engine/answer_choices.h"

class QPushButton;
class QWidget;

namespace drill {

// A button one line of text high, like the window's one-line boxes, its caption at the left.
QPushButton* slimButton(QWidget* parent, const QString& name);

// The choices of a multiple-choice question, one button a row under the question: clicked, or
// chosen by the keys 1 to 4.
class ChoiceButtons : public QObject {
public:
    using Row = std::array<QPushButton*, AnswerChoices::kMaxChoices>;

    ChoiceButtons(QWidget* client, std::function<void(int)> chosen);

    // One button for each text, the others hidden.
    void show(const QStringList& texts);
    void hide();
    // The choice whose button has the keyboard focus, or -1.
    int focused() const;
    const QStringList& texts() const { return texts_; }
    void setGeometry(const std::array<QRect, AnswerChoices::kMaxChoices>& rows);
    const Row& buttons() const { return cmdChoice; }

private:
    Row cmdChoice{};
    QStringList texts_;
};

}  // namespace drill
