// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/entry_form_view.h"

#include "platform/zoom_items.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace editor {

InformationBox::InformationBox(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
}

void InformationBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (event->modifiers() & Qt::ControlModifier) {
            textCursor().insertBlock();
            ensureCursorVisible();
        } else {
            Q_EMIT submitted();
        }
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

EntryFormView::EntryFormView(QWidget* parent) : QWidget(parent) {
    auto* lblQuestion = new QLabel(QStringLiteral("問題(&Q)"), this);
    lblQuestion->setObjectName(QStringLiteral("lblQuestion"));
    txtQuestion_ = new QLineEdit(this);
    txtQuestion_->setObjectName(QStringLiteral("txtQuestion"));
    txtQuestion_->setMaxLength(kWholeField);
    lblQuestion->setBuddy(txtQuestion_);
    connect(txtQuestion_, &QLineEdit::returnPressed, this, &EntryFormView::submitted);

    auto* lblRight = new QLabel(QStringLiteral("解答(&R)"), this);
    lblRight->setObjectName(QStringLiteral("lblRight"));
    lblRightCount_ = new QLabel(QStringLiteral("0"), this);
    lblRightCount_->setObjectName(QStringLiteral("lblRightCount"));
    for (int i = 0; i < kAnswerBoxes; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtRight%1").arg(i));
        box->setMaxLength(kWholeField);
        box->installEventFilter(this);
        connect(box, &QLineEdit::returnPressed, this, &EntryFormView::submitted);
        txtRight_[i] = box;
    }
    lblRight->setBuddy(txtRight_[0]);

    cmdMoreRight_ = new QPushButton(QStringLiteral("さらに追加(&M)"), this);
    cmdMoreRight_->setObjectName(QStringLiteral("cmdMoreRight"));
    cmdMoreRight_->setAutoDefault(true);

    auto* lblInformation = new QLabel(QStringLiteral("情報(&O)"), this);
    lblInformation->setObjectName(QStringLiteral("lblInformation"));
    txtInformation_ = new InformationBox(this);
    txtInformation_->setObjectName(QStringLiteral("txtInformation"));
    txtInformation_->setToolTip(QStringLiteral("Ctrl + Enter で、改行できます。"));
    lblInformation->setBuddy(txtInformation_);
    connect(txtInformation_, &InformationBox::submitted, this, &EntryFormView::submitted);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(lblQuestion, 0, 0);
    grid->addWidget(txtQuestion_, 0, 1);
    auto* rightLabels = new QVBoxLayout;
    rightLabels->addWidget(lblRight);
    rightLabels->addWidget(lblRightCount_);
    rightLabels->addStretch();
    grid->addLayout(rightLabels, 1, 0, kAnswerBoxes, 1);
    for (int i = 0; i < kAnswerBoxes; ++i) {
        grid->addWidget(txtRight_[i], 1 + i, 1);
    }
    auto* moreRow = new QHBoxLayout;
    moreRow->addStretch();
    moreRow->addWidget(cmdMoreRight_);
    grid->addLayout(moreRow, 1 + kAnswerBoxes, 1);
    grid->addWidget(lblInformation, 2 + kAnswerBoxes, 0, Qt::AlignTop);
    grid->addWidget(txtInformation_, 2 + kAnswerBoxes, 1);
    grid->setRowStretch(2 + kAnswerBoxes, 1);
    lblInformationRest_ = new QLabel(this);
    lblInformationRest_->setObjectName(QStringLiteral("lblInformationRest"));
    lblInformationRest_->setWordWrap(true);
    lblInformationRest_->hide();
    grid->addWidget(lblInformationRest_, 3 + kAnswerBoxes, 1);
    lblReview_ = new QLabel(this);
    lblReview_->setObjectName(QStringLiteral("lblReview"));
    lblReview_->setWordWrap(true);
    lblReview_->hide();  // until a history is read
    grid->addWidget(lblReview_, 4 + kAnswerBoxes, 1);
    holdReviewLine();

    // What a screen reader says; the count label and the reviews' line keep what they say as
    // their names.
    txtQuestion_->setAccessibleName(QStringLiteral("問題"));
    for (int i = 0; i < kAnswerBoxes; ++i) {
        txtRight_[i]->setAccessibleName(QStringLiteral("解答 %1").arg(i + 1));
    }
    lblRightCount_->setAccessibleDescription(QStringLiteral("解答の数"));
    cmdMoreRight_->setAccessibleName(QStringLiteral("さらに追加"));
    cmdMoreRight_->setAccessibleDescription(QStringLiteral("5 つ以上の解答を編集します"));
    txtInformation_->setAccessibleName(QStringLiteral("情報"));
    lblReview_->setAccessibleDescription(QStringLiteral("復習の予定"));
}

// Empty while the form holds no stored entry, the line keeps its room, so that the boxes above
// stay where they are.
void EntryFormView::holdReviewLine() {
    lblReview_->setMinimumHeight(platform::japaneseLineHeight(font()));
}

void EntryFormView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        holdReviewLine();
    }
    QWidget::changeEvent(event);
}

EntryForm EntryFormView::contents() const {
    EntryForm form;
    form.question = txtQuestion_->text();
    for (int i = 0; i < kAnswerBoxes; ++i) {
        form.rights[i] = txtRight_[i]->text();
    }
    form.extraRights = extraRights_;
    form.information = information();
    form.informationRest = informationRest_;
    return form;
}

void EntryFormView::showContents(const EntryForm& form) {
    txtQuestion_->setText(form.question);
    for (int i = 0; i < kAnswerBoxes; ++i) {
        txtRight_[i]->setText(form.rights[i]);
    }
    extraRights_ = form.extraRights;
    setInformation(form.information);
    informationRest_ = form.informationRest;
    lblInformationRest_->setText(
        QStringLiteral("情報が長いため、最初の %L1 文字だけを表示しています。残りの %L2 文字は"
                       "そのまま保存されます。")
            .arg(kShownInformation)
            .arg(informationRest_.size()));
    lblInformationRest_->setVisible(!informationRest_.isEmpty());
    refreshRightCount();
}

void EntryFormView::clear() {
    showContents({});
}

int EntryFormView::refreshRightCount() {
    const EntryForm form = contents();
    lblRightCount_->setText(rightCountText(form));
    return rightCount(form);
}

QString EntryFormView::information() const {
    return txtInformation_->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void EntryFormView::setInformation(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Wrapping a line with no break opportunity costs time growing with the square of its
    // length (a damaged file's 256 K-character line took 15 s); such lines scroll sideways.
    constexpr qsizetype kLongestWrappedLine = 10'000;
    qsizetype longest = 0;
    for (const QStringView line : QStringView(plain).tokenize(u'\n')) {
        longest = qMax(longest, line.size());
    }
    txtInformation_->setLineWrapMode(longest > kLongestWrappedLine ? QPlainTextEdit::NoWrap
                                                                   : QPlainTextEdit::WidgetWidth);
    txtInformation_->setPlainText(plain);
}

bool EntryFormView::eventFilter(QObject* watched, QEvent* event) {
    // txtRight_LostFocus: leaving an answer box recounts the answers.
    if (event->type() == QEvent::FocusOut) {
        refreshRightCount();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace editor
