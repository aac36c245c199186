// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "drill/history/journal_writer.h"

namespace drill::history {

// Writes what a journal writer keeps to the sync folder on a thread of its own, so that a slow or
// offline folder never holds up the thread that keeps the records.
class JournalSender {
public:
    explicit JournalSender(JournalWriter writer);
    // write sends what waits, empty when sent, else why not; called on the sender's thread.
    JournalSender(std::function<QString()> write, std::chrono::milliseconds closeWait);
    // After the write under way, waited for at most closeWait: a folder that hangs longer is left
    // to its write, which ends on its own. What it was sending stays kept locally until it is in
    // the folder, and goes with the next flush.
    ~JournalSender();
    JournalSender(const JournalSender&) = delete;
    JournalSender& operator=(const JournalSender&) = delete;

    // What waits is written soon; asked again meanwhile, once more after that.
    void send();
    // Why the last write to the folder failed; empty when it did not.
    QString failure() const;

private:
    struct Shared;  // with the thread, which may outlive the sender

    std::shared_ptr<Shared> shared_;
    std::chrono::milliseconds closeWait_;
    std::thread thread_;  // last: started once the rest is made
};

}  // namespace drill::history
