// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/journal_sender.h"

#include <utility>

namespace drill::history {

JournalSender::JournalSender(JournalWriter writer)
    : writer_(std::move(writer)), thread_([this] { run(); }) {}

JournalSender::~JournalSender() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void JournalSender::send() {
    {
        const std::lock_guard lock(mutex_);
        wanted_ = true;
    }
    wake_.notify_one();
}

QString JournalSender::failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
}

void JournalSender::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return wanted_ || stop_; });
        if (stop_) {
            return;  // what waits stays kept, for the next flush
        }
        wanted_ = false;
        lock.unlock();
        QString failure = writer_.flush();
        lock.lock();
        failure_ = std::move(failure);
    }
}

}  // namespace drill::history
