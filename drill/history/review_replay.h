// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QTimeZone>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "review/fsrs.h"
#include "review/review_store.h"
#include "review/word_renames.h"

class QSqlDatabase;
class QThread;

namespace drill::history {

namespace detail {
struct ReplayStep;
}

// Renames waiting in the file at path, from the from-th on; the states follow scheduler where the
// history names none.
struct PendingRenames {
    QString path;
    QList<review::WordRename> list;
    qsizetype from = 0;
    review::FsrsScheduler scheduler = review::FsrsScheduler();
};

// Fills in the drills an upgrade left to fill, takes in the renames handed to it, then goes on
// with the replay the history's marker asks for,
// on a thread of its own with a connection of its own, one short step at a time with a pause as
// long as the step after each, so that the window that asked stays responsive and another
// program waiting to write gets in between. Another program's replay of the same history shares
// the marker and the work; renames are taken in once, by whichever program comes first.
class BackgroundReplay {
public:
    BackgroundReplay(QString path, QTimeZone zone);
    // Stops after the step under way: the marker keeps the rest for the next program.
    ~BackgroundReplay();
    BackgroundReplay(const BackgroundReplay&) = delete;
    BackgroundReplay& operator=(const BackgroundReplay&) = delete;

    // Goes on from the marker, unless already under way; reviews dated after until wait.
    void start(review::ReviewTime until, PendingRenames renames = {});
    bool running() const;
    void wait();
    review::ReplayProgress progress() const;
    // The longest a step of this replay held the write lock; for the benchmark.
    std::chrono::nanoseconds longestStep() const {
        return std::chrono::nanoseconds(longestStep_.load());
    }

private:
    void run();
    // Steps until one says the work is finished, each followed by a pause as long as it took;
    // false when stopped or failing. next and last follow the steps'.
    bool stepThrough(const QSqlDatabase& db, const std::function<detail::ReplayStep()>& step,
                     std::atomic<qint64>& next, std::atomic<qint64>& last);
    // False when the renames could not be taken in.
    bool takeRenames(const QSqlDatabase& db);

    QString path_;
    QTimeZone zone_;
    review::ReviewTime until_{};
    PendingRenames renames_;
    std::unique_ptr<QThread> thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> filling_{false};
    std::atomic<qint64> fillNext_{0};
    std::atomic<qint64> fillLast_{0};
    std::atomic<qint64> next_{0};
    std::atomic<qint64> last_{0};
    std::atomic<qint64> renamesNext_{0};
    std::atomic<qint64> renamesTotal_{0};
    std::atomic<qint64> longestStep_{0};
};

}  // namespace drill::history
