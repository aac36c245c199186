// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

// Runs `act` on the modal dialog as soon as it shows (when `what` is given, only on one whose
// object name or class it is, or on a window of that name that is not modal); a dialog still open
// afterwards is closed, as a user would. The watch ends with the returned timer.
inline std::unique_ptr<QTimer> onModal(const char* what, std::function<void(QDialog&)> act) {
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [timer = timer.get(), act, what] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        // A named window that is not modal, such as a progress window.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!dialog && what && window->isVisible() && window->objectName() == what) {
                dialog = qobject_cast<QDialog*>(window);
            }
        }
        if (!dialog ||
            (what && dialog->objectName() != QLatin1String(what) && !dialog->inherits(what))) {
            return;
        }
        timer->stop();
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    timer->start(10);
    return timer;
}

inline std::unique_ptr<QTimer> onModal(std::function<void(QDialog&)> act) {
    return onModal(nullptr, std::move(act));
}
