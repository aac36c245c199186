// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/difference_view.h"

#include <QTextDocument>

#include <algorithm>

namespace drill {

namespace {

const QString kName = QStringLiteral("答えと正解の違い");
// Dark enough on the button face for low vision; told apart by their lines as well.
const QString kTypedColour = QStringLiteral("#b00020");
const QString kRightColour = QStringLiteral("#0040b0");
// Smaller than this share of the window's size, or than 7 points, a mark is hard to see.
constexpr double kSmallestShare = 0.75;
constexpr double kSmallestPoint = 7;

QString typedPart(const QString& text) {
    return QStringLiteral("<s style=\"color:%1\">%2</s>").arg(kTypedColour, text.toHtmlEscaped());
}

QString rightPart(const QString& text) {
    return QStringLiteral("<u style=\"color:%1\">[%2]</u>").arg(kRightColour, text.toHtmlEscaped());
}

}  // namespace

QString differenceHtml(const AnswerDifference& difference, qsizetype shown) {
    using Kind = CharMark::Kind;
    const qsizetype end =
        shown < 0 ? difference.marks.size() : std::min(shown, difference.marks.size());
    QString html;
    // Neighbours of one kind are marked together: "[ab]" rather than "[a][b]".
    for (qsizetype i = 0; i < end;) {
        const Kind kind = difference.marks.at(i).kind;
        QString typed;
        QString right;
        for (; i < end && difference.marks.at(i).kind == kind; ++i) {
            typed += difference.marks.at(i).typed;
            right += difference.marks.at(i).right;
        }
        switch (kind) {
            case Kind::Same:
                html += typed.toHtmlEscaped();
                break;
            case Kind::Missing:
                html += rightPart(right);
                break;
            case Kind::Extra:
                html += typedPart(typed);
                break;
            case Kind::Wrong:
                html += typedPart(typed) + rightPart(right);
                break;
        }
    }
    if (end < difference.marks.size()) {
        return html + QStringLiteral("…");
    }
    return html + QStringLiteral(" → ") + difference.rightAnswer.toHtmlEscaped();
}

DifferenceView::DifferenceView(QWidget* parent) : QLabel(parent), base_(font()) {
    setObjectName(QStringLiteral("lblDifference"));
    setTextFormat(Qt::RichText);
    setAccessibleName(kName);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void DifferenceView::showDifference(const AnswerDifference& difference) {
    difference_ = difference;
    const QString spoken = spokenDifference(difference);
    setToolTip(spoken);
    setAccessibleDescription(spoken);
    fit();
}

void DifferenceView::clear() {
    difference_ = {};
    setText(QString());
    setToolTip(QString());
    setAccessibleDescription(QString());
}

void DifferenceView::setBaseFont(const QFont& font) {
    base_ = font;
    fit();
}

void DifferenceView::fit() {
    if (difference_.marks.isEmpty()) {
        return;
    }
    QTextDocument document;
    document.setDocumentMargin(0);
    const auto widthOf = [&document](const QString& html, const QFont& font) {
        document.setDefaultFont(font);
        document.setHtml(html);
        return document.idealWidth();
    };
    // A pixel of slack for the label's own rounding.
    const qreal room = width() - 1;
    QFont font = base_;
    const double smallest = std::max(base_.pointSizeF() * kSmallestShare, kSmallestPoint);
    QString html = differenceHtml(difference_);
    while (widthOf(html, font) > room && font.pointSizeF() > smallest) {
        font.setPointSizeF(std::max(font.pointSizeF() - 0.5, smallest));
    }
    if (widthOf(html, font) > room) {
        // The most marks whose beginning fits.
        qsizetype fits = 0;
        qsizetype tooMany = difference_.marks.size();
        while (tooMany - fits > 1) {
            const qsizetype middle = (fits + tooMany) / 2;
            (widthOf(differenceHtml(difference_, middle), font) <= room ? fits : tooMany) = middle;
        }
        html = differenceHtml(difference_, fits);
    }
    setFont(font);
    setText(html);
}

}  // namespace drill
