// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/card_buttons.h"

#include <QPushButton>
#include <QShortcut>
#include <QWidget>

#include "drill/window/choice_buttons.h"

namespace drill {

CardButtons::CardButtons(QWidget* client, std::function<void()> reveal,
                         std::function<void(bool)> grade)
    : QObject(client) {
    cmdReveal = slimButton(client, QStringLiteral("cmdReveal"));
    cmdReveal->setText(QStringLiteral("答えを見る (Space)"));
    cmdReveal->setAccessibleName(QStringLiteral("答えを見る"));
    cmdKnown = slimButton(client, QStringLiteral("cmdKnown"));
    cmdKnown->setText(QStringLiteral("○ 覚えていた (1)"));
    cmdKnown->setAccessibleName(QStringLiteral("覚えていた ○"));
    cmdKnown->setShortcut(QKeySequence(Qt::Key_1));
    cmdForgotten = slimButton(client, QStringLiteral("cmdForgotten"));
    cmdForgotten->setText(QStringLiteral("× 覚えていなかった (2)"));
    cmdForgotten->setAccessibleName(QStringLiteral("覚えていなかった ×"));
    cmdForgotten->setShortcut(QKeySequence(Qt::Key_2));
    for (QPushButton* button : buttons()) {
        button->setFocusPolicy(Qt::NoFocus);
    }
    space_ = new QShortcut(QKeySequence(Qt::Key_Space), client);
    space_->setEnabled(false);
    connect(space_, &QShortcut::activated, this, [this, reveal] {
        if (!revealed_) {
            reveal();
        }
    });
    connect(cmdReveal, &QPushButton::clicked, this, reveal);
    connect(cmdKnown, &QPushButton::clicked, this, [grade] { grade(true); });
    connect(cmdForgotten, &QPushButton::clicked, this, [grade] { grade(false); });
}

void CardButtons::showQuestion() {
    revealed_ = false;
    cmdReveal->show();
    cmdKnown->hide();
    cmdForgotten->hide();
    space_->setEnabled(true);
}

void CardButtons::showAnswers() {
    revealed_ = true;
    cmdReveal->hide();
    cmdKnown->show();
    cmdForgotten->show();
}

void CardButtons::hide() {
    revealed_ = false;
    for (QPushButton* button : buttons()) {
        button->hide();
    }
    space_->setEnabled(false);
}

void CardButtons::setGeometry(const QRect& row) {
    cmdReveal->setGeometry(row);
    const int half = row.width() / 2;
    cmdKnown->setGeometry(row.x(), row.y(), half, row.height());
    cmdForgotten->setGeometry(row.x() + half, row.y(), row.width() - half, row.height());
}

}  // namespace drill
