// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/message_dialog.h"

#include "platform/platform_detail.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

#include <algorithm>

namespace platform::detail {

namespace {

QDialogButtonBox::StandardButton standardButton(Answer answer) {
    switch (answer) {
        case Answer::Yes:
            return QDialogButtonBox::Yes;
        case Answer::No:
            return QDialogButtonBox::No;
        case Answer::Cancel:
            return QDialogButtonBox::Cancel;
        case Answer::Ok:
            break;
    }
    return QDialogButtonBox::Ok;
}

QDialogButtonBox::StandardButtons standardButtons(Buttons buttons) {
    switch (buttons) {
        case Buttons::YesNo:
            return QDialogButtonBox::Yes | QDialogButtonBox::No;
        case Buttons::YesNoCancel:
            return QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel;
        case Buttons::Ok:
            break;
    }
    return QDialogButtonBox::Ok;
}

// Texts come with CR LF line ends; a label breaks lines at LF only.
QString displayText(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

MessageDialog::MessageDialog(QWidget* parent, const MessageBox& box)
    : QDialog(parent), box_(box), answer_(closeBoxAnswer(box.buttons)) {
    setObjectName(QStringLiteral("messageBox"));
    setWindowTitle(box.title);
    // Modal to its own window only, so that a help viewer opened from it stays usable.
    if (parent != nullptr) {
        setWindowModality(Qt::WindowModal);
    }

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setHorizontalSpacing(style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing) * 3);

    if (box.icon != Icon::None) {
        const auto kind = box.icon == Icon::Warning ? QStyle::SP_MessageBoxWarning
                                                    : QStyle::SP_MessageBoxQuestion;
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        auto* icon = new QLabel(this);
        icon->setObjectName(QStringLiteral("messageIcon"));
        icon->setPixmap(style()->standardIcon(kind, nullptr, this).pixmap(size, size));
        layout->addWidget(icon, 0, 0, Qt::AlignTop);
    }

    auto* text = new QLabel(displayText(box.text), this);
    text->setObjectName(QStringLiteral("messageText"));
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextInteractionFlags(
        style()->styleHint(QStyle::SH_MessageBox_TextInteractionFlags, nullptr, this)));
    text->setWordWrap(true);
    // Wrap only lines longer than half the screen; shorter ones keep their breaks as given.
    int widest = 0;
    for (const QString& line : text->text().split(QLatin1Char('\n'))) {
        widest = std::max(widest, text->fontMetrics().horizontalAdvance(line));
    }
    const QScreen* screen = parent != nullptr ? parent->screen() : this->screen();
    const int limit = screen != nullptr ? screen->availableGeometry().width() / 2 : 640;
    text->setMinimumWidth(std::min(widest + 2, std::max(limit, 200)));
    layout->addWidget(text, 0, 1, Qt::AlignVCenter);

    QDialogButtonBox::StandardButtons set = standardButtons(box.buttons);
    if (box.helpTopic) {
        set |= QDialogButtonBox::Help;
    }
    buttons_ = new QDialogButtonBox(set, this);
    buttons_->setObjectName(QStringLiteral("messageButtons"));
    buttons_->setCenterButtons(
        style()->styleHint(QStyle::SH_MessageBox_CenterButtons, nullptr, this));
    layout->addWidget(buttons_, 1, 0, 1, 2);
    connect(buttons_, &QDialogButtonBox::clicked, this,
            [this](QAbstractButton* button) { onClicked(qobject_cast<QPushButton*>(button)); });

    defaultButton_ = buttons_->button(standardButton(box.defaultButton));
    if (defaultButton_ == nullptr) {  // a default that the box does not have: its first button
        defaultButton_ = buttons_->button(box.buttons == Buttons::Ok ? QDialogButtonBox::Ok
                                                                     : QDialogButtonBox::Yes);
    }
    defaultButton_->setDefault(true);

    if (box.helpTopic) {
        buttons_->button(QDialogButtonBox::Help)->setAutoDefault(false);
        auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
        connect(f1, &QShortcut::activated, this, [this] { Q_EMIT helpRequested(*box_.helpTopic); });
    }
}

void MessageDialog::reject() {
    answer_ = closeBoxAnswer(box_.buttons);
    QDialog::reject();
}

void MessageDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The default button also has the focus, so that Enter and Space both press it.
    defaultButton_->setFocus(Qt::OtherFocusReason);
    if (box_.icon != Icon::None) {
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

void MessageDialog::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers plain = Qt::NoModifier | Qt::ShiftModifier;
    if ((event->modifiers() | plain) == plain) {
        for (QAbstractButton* button : buttons_->buttons()) {
            const QKeySequence letter = QKeySequence::mnemonic(button->text());
            if (!letter.isEmpty() && letter[0].key() == event->key()) {
                button->click();
                return;
            }
        }
    }
    QDialog::keyPressEvent(event);
}

void MessageDialog::onClicked(QPushButton* button) {
    if (button == nullptr) {
        return;
    }
    switch (buttons_->standardButton(button)) {
        case QDialogButtonBox::Help:
            Q_EMIT helpRequested(*box_.helpTopic);
            return;
        case QDialogButtonBox::Yes:
            answer_ = Answer::Yes;
            break;
        case QDialogButtonBox::No:
            answer_ = Answer::No;
            break;
        case QDialogButtonBox::Cancel:
            answer_ = Answer::Cancel;
            break;
        default:
            answer_ = Answer::Ok;
            break;
    }
    done(QDialog::Accepted);
}

}  // namespace platform::detail
