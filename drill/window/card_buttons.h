// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QRect>

#include <array>
#include <functional>

class QPushButton;
class QShortcut;
class QWidget;

namespace drill {

// A card's buttons in the answer box's place: first one that shows the answers (Space), then
// the learner's own grade, ○ (1) or × (2).
class CardButtons : public QObject {
public:
    CardButtons(QWidget* client, std::function<void()> reveal, std::function<void(bool)> grade);

    void showQuestion();
    void showAnswers();
    void hide();
    bool revealed() const { return revealed_; }
    void setGeometry(const QRect& row);
    std::array<QPushButton*, 3> buttons() const { return {cmdReveal, cmdKnown, cmdForgotten}; }

private:
    QPushButton* cmdReveal = nullptr;
    QPushButton* cmdKnown = nullptr;
    QPushButton* cmdForgotten = nullptr;
    // Space shows the answers, and after that does nothing: a second press grades nothing.
    QShortcut* space_ = nullptr;
    bool revealed_ = false;
};

}  // namespace drill
