// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QTimeZone>

#include <atomic>
#include <chrono>
#include <memory>

#include "review/review_store.h"

class QThread;

namespace drill::history {

// Goes on with the replay the history's marker asks for, on a thread of its own with a
// connection of its own, one short step at a time with a pause as long as the step after each,
// so that the window that asked stays responsive and another program waiting to write gets in
// between. Another program's replay of the same history shares the marker and the work.
class BackgroundReplay {
public:
    BackgroundReplay(QString path, QTimeZone zone);
    // Stops after the step under way: the marker keeps the rest for the next program.
    ~BackgroundReplay();
    BackgroundReplay(const BackgroundReplay&) = delete;
    BackgroundReplay& operator=(const BackgroundReplay&) = delete;

    // Goes on from the marker, unless already under way; reviews dated after until wait.
    void start(review::ReviewTime until);
    bool running() const;
    void wait();
    review::ReplayProgress progress() const;
    // The longest a step of this replay held the write lock; for the benchmark.
    std::chrono::nanoseconds longestStep() const {
        return std::chrono::nanoseconds(longestStep_.load());
    }

private:
    void run();

    QString path_;
    QTimeZone zone_;
    review::ReviewTime until_{};
    std::unique_ptr<QThread> thread_;
    std::atomic<bool> stop_{false};
    std::atomic<qint64> next_{0};
    std::atomic<qint64> last_{0};
    std::atomic<qint64> longestStep_{0};
};

}  // namespace drill::history
