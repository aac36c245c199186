// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/window/import_progress.h"

#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "exchange/window/messages.h"

namespace exchange {

namespace {

// Calls `closing` when the watched window is about to close.
class CloseWatch : public QObject {
public:
    CloseWatch(QWidget* window, std::function<void()> closing) : closing_(std::move(closing)) {
        if (window != nullptr) {
            window->installEventFilter(this);
        }
    }

    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            closing_();
        }
        return false;
    }

private:
    std::function<void()> closing_;
};

}  // namespace

bool runOffThread(QWidget* parent, const QString& text,
                  const std::function<void(std::stop_token)>& work) {
    std::stop_source stop;
    const std::unique_ptr<QThread> worker(
        QThread::create([&work, token = stop.get_token()] { work(token); }));
    QEventLoop loop;
    const auto cancel = [&stop, &loop] {
        stop.request_stop();
        loop.quit();
    };
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    const CloseWatch watch(parent != nullptr ? parent->window() : nullptr, cancel);
    worker->start();
    // Until the progress window shows, a click or key would reach a window that is not ready
    // for it.
    QTimer::singleShot(kProgressAfterMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!worker->isFinished() && !stop.stop_requested()) {
        QProgressDialog progress(text, QStringLiteral("キャンセル"), 0, 0, parent);
        progress.setObjectName(QStringLiteral("frmImportProgress"));
        progress.setWindowTitle(kImportTitle);
        progress.setWindowModality(Qt::WindowModal);
        progress.setAutoReset(false);
        progress.setAutoClose(false);
        QObject::connect(&progress, &QProgressDialog::canceled, &loop, cancel);
        progress.show();
        loop.exec();
    }
    // The loop also ends when the program quits.
    if (!worker->isFinished()) {
        stop.request_stop();
    }
    worker->wait();
    return !stop.stop_requested();
}

}  // namespace exchange
