// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/replay_line.h"

#include <QTimer>

#include "review/review_store.h"

namespace drill {

namespace {

// How often the line is brought up to date.
constexpr int kPollMs = 250;

}  // namespace

ReplayLine::ReplayLine(review::ReviewStore& store, QWidget* parent)
    : QLabel(parent), store_(store), poll_(new QTimer(this)) {
    setObjectName(QStringLiteral("lblReplay"));
    setAccessibleDescription(QStringLiteral("復習の予定の計算"));
    setFocusPolicy(Qt::NoFocus);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &ReplayLine::follow);
    hide();
}

void ReplayLine::follow() {
    const review::ReplayProgress progress = store_.replayProgress();
    if (progress.underWay()) {
        setText(text(progress));
        show();
        poll_->start();
        return;
    }
    hide();
    poll_->stop();
}

QString ReplayLine::text(const review::ReplayProgress& progress) {
    return (progress.upgrading ? QStringLiteral("成績の記録を新しい版に合わせています… %1 %")
                               : QStringLiteral("復習の予定を計算し直しています… %1 %"))
        .arg(progress.percent());
}

}  // namespace drill
