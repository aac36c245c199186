// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/choice_buttons.h"

#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

namespace drill {

QPushButton* slimButton(QWidget* parent, const QString& name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setStyleSheet(QStringLiteral(
        "QPushButton { border: 1px solid palette(mid); padding: 0 4px; text-align: left;"
        " background: palette(button); }"
        "QPushButton:hover { background: palette(light); }"
        "QPushButton:pressed { background: palette(midlight); }"
        "QPushButton:focus { border: 1px solid palette(highlight); }"));
    button->hide();
    return button;
}

ChoiceButtons::ChoiceButtons(QWidget* client, std::function<void(int)> chosen) : QObject(client) {
    for (int i = 0; i < AnswerChoices::kMaxChoices; ++i) {
        cmdChoice[i] = slimButton(client, QStringLiteral("cmdChoice%1").arg(i));
        cmdChoice[i]->setAccessibleName(QStringLiteral("選択肢 %1").arg(i + 1));
        // Shortcuts of hidden buttons do not fire: the keys are the answer box's otherwise.
        cmdChoice[i]->setShortcut(QKeySequence(Qt::Key_1 + i));
        connect(cmdChoice[i], &QPushButton::clicked, this, [chosen, i] { chosen(i); });
    }
}

void ChoiceButtons::show(const QStringList& texts) {
    texts_ = texts;
    for (int i = 0; i < AnswerChoices::kMaxChoices; ++i) {
        QPushButton* button = cmdChoice[i];
        const QString text = texts.value(i);
        // A choice longer than its row ends in "…" inside it; the tool tip has the whole.
        QStyleOptionButton option;
        option.initFrom(button);
        const int room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
        QString caption = button->fontMetrics().elidedText(
            QStringLiteral("%1  %2").arg(i + 1).arg(text), Qt::ElideRight, room);
        // An "&" of the answer is shown, not taken for an access key.
        button->setText(caption.replace(u'&', QStringLiteral("&&")));
        button->setToolTip(text);
        button->setAccessibleName(QStringLiteral("選択肢 %1 %2").arg(i + 1).arg(text));
        button->setVisible(i < texts.size());
        // setText drops the shortcut a caption without "&" leaves none for.
        button->setShortcut(QKeySequence(Qt::Key_1 + i));
    }
}

void ChoiceButtons::hide() {
    for (QPushButton* button : cmdChoice) {
        button->hide();
    }
}

int ChoiceButtons::focused() const {
    for (int i = 0; i < AnswerChoices::kMaxChoices; ++i) {
        if (cmdChoice[i]->isVisible() && cmdChoice[i]->hasFocus()) {
            return i;
        }
    }
    return -1;
}

void ChoiceButtons::setGeometry(const std::array<QRect, AnswerChoices::kMaxChoices>& rows) {
    for (int i = 0; i < AnswerChoices::kMaxChoices; ++i) {
        cmdChoice[i]->setGeometry(rows[i]);
    }
}

}  // namespace drill
