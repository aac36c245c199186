// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "drill/history/journal_writer.h"

namespace drill::history {

// Writes what a journal writer keeps to the sync folder on a thread of its own, so that a slow or
// offline folder never holds up the thread that keeps the records.
class JournalSender {
public:
    explicit JournalSender(JournalWriter writer);
    // After the write under way, if any.
    ~JournalSender();
    JournalSender(const JournalSender&) = delete;
    JournalSender& operator=(const JournalSender&) = delete;

    // What waits is written soon; asked again meanwhile, once more after that.
    void send();
    // Why the last write to the folder failed; empty when it did not.
    QString failure() const;

private:
    void run();

    JournalWriter writer_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool wanted_ = false;
    bool stop_ = false;
    QString failure_;
    std::thread thread_;  // last: started once the rest is made
};

}  // namespace drill::history
