// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/drill_clock.h"

#include <QLabel>

#include "drill/engine/drill_texts.h"

namespace drill {

DrillClock::DrillClock(QLabel* label, QObject* parent) : QObject(parent), label_(label) {
    monotonic_.start();
    now_ = [this] { return monotonic_.elapsed(); };
    // A coarse timer may fire early and show the same second twice.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kTickMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &DrillClock::TIM_Timer);
}

void DrillClock::reset() {
    seconds_ = 0;
}

void DrillClock::start() {
    startedAt_ = now_() - seconds_ * 1000;
    running_ = true;
    timer_.start();
}

void DrillClock::stop() {
    running_ = false;
    timer_.stop();
}

void DrillClock::TIM_Timer() {
    if (!running_) {
        return;
    }
    seconds_ = std::max<qint64>(0, (now_() - startedAt_) / 1000);
    label_->setText(elapsedText(seconds_));
}

}  // namespace drill
