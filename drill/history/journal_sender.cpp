// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/journal_sender.h"

#include <condition_variable>
#include <mutex>
#include <utility>

namespace drill::history {

namespace {
// Long enough for a folder that is merely slow; a close never waits longer for one that hangs.
constexpr std::chrono::milliseconds kCloseWait{3000};
}  // namespace

struct JournalSender::Shared {
    explicit Shared(std::function<QString()> w) : write(std::move(w)) {}

    void run() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return wanted || stop; });
            if (stop) {
                break;  // what waits stays kept, for the next flush
            }
            wanted = false;
            lock.unlock();
            QString reason = write();
            lock.lock();
            failure = std::move(reason);
        }
        ended = true;
        done.notify_all();
    }

    std::function<QString()> write;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable done;
    bool wanted = false;
    bool stop = false;
    bool ended = false;
    QString failure;
};

JournalSender::JournalSender(JournalWriter writer)
    : JournalSender([writer = std::move(writer)]() mutable { return writer.flush(); }, kCloseWait) {
}

JournalSender::JournalSender(std::function<QString()> write, std::chrono::milliseconds closeWait)
    : shared_(std::make_shared<Shared>(std::move(write))),
      closeWait_(closeWait),
      thread_([shared = shared_] { shared->run(); }) {}

JournalSender::~JournalSender() {
    std::unique_lock lock(shared_->mutex);
    shared_->stop = true;
    shared_->wake.notify_one();
    const bool ended = shared_->done.wait_for(lock, closeWait_, [this] { return shared_->ended; });
    lock.unlock();
    if (ended) {
        thread_.join();
    } else {
        thread_.detach();  // it holds its own share of the state
    }
}

void JournalSender::send() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->wanted = true;
    }
    shared_->wake.notify_one();
}

QString JournalSender::failure() const {
    const std::lock_guard lock(shared_->mutex);
    return shared_->failure;
}

}  // namespace drill::history
