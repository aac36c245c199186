// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/window/import_progress.h"

#include <QCoreApplication>
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

// Keeps the user's clicks and keys from a window while it waits, as a modal window would, but
// lets its close box through (Qt drops the close of a window a modal one blocks).
class InputBlock : public QObject {
public:
    explicit InputBlock(QWidget* window) : window_(window) {
        if (window_ != nullptr) {
            QCoreApplication::instance()->installEventFilter(this);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != window_ || !isInput(event->type())) {
            return false;
        }
        event->accept();  // a key taken so stands for no shortcut either
        return true;
    }

private:
    static bool isInput(QEvent::Type type) {
        switch (type) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
                return true;
            default:
                return false;
        }
    }

    QWidget* window_;
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
    QWidget* window = parent != nullptr ? parent->window() : nullptr;
    const CloseWatch watch(window, cancel);
    worker->start();
    // Until the progress window shows, a click or key would reach a window that is not ready
    // for it.
    QTimer::singleShot(kProgressAfterMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!worker->isFinished() && !stop.stop_requested()) {
        QProgressDialog progress(text, QStringLiteral("キャンセル"), 0, 0, parent);
        progress.setObjectName(QStringLiteral("frmImportProgress"));
        progress.setWindowTitle(kImportTitle);
        // Not modal, so that closing the window underneath still cancels.
        const InputBlock block(window);
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
