// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QLabel;

namespace drill {

// The drill's one-second timer and the elapsed-time label it writes. The seconds are
// measured against a monotonic clock, so a delayed tick never makes the time fall behind.
class DrillClock : public QObject {
    Q_OBJECT
public:
    // Monotonic milliseconds.
    using TimeSource = std::function<qint64()>;

    DrillClock(QLabel* label, QObject* parent);

    void setTimeSource(TimeSource source) { now_ = std::move(source); }

    // The elapsed seconds at the last tick; 0 until the first tick of a drill.
    qint64 seconds() const { return seconds_; }
    // 0 while stopped, 1000 while counting.
    int interval() const { return running_ ? kTickMilliseconds : 0; }

    void reset();
    void start();
    void stop();

    // One tick: rewrites the label, also while it is hidden.
    void TIM_Timer();

private:
    static constexpr int kTickMilliseconds = 1000;

    QLabel* label_;
    QTimer timer_;
    QElapsedTimer monotonic_;
    TimeSource now_;
    qint64 startedAt_ = 0;
    bool running_ = false;
    qint64 seconds_ = 0;
};

}  // namespace drill
