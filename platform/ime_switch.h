// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>

namespace platform::detail {

// Switches the desktop's input method on or off through the framework that answers: Fcitx 5's
// controller on the session bus first, then IBus on its own bus. The calls go out without
// waiting, so that a framework that is slow or gone never holds up the window; where neither
// answers, nothing happens.
class ImeSwitch : public QObject {
public:
    // ibusBus may be a connection that is not connected (no IBus).
    ImeSwitch(QDBusConnection sessionBus, QDBusConnection ibusBus, QObject* parent = nullptr);

    void setOpen(bool open);

    // IBus keeps its bus apart from the session bus; its address comes from IBUS_ADDRESS or the
    // file that ibus-daemon writes for this display. Empty when neither is there.
    static QString ibusAddress();

    // The IBus engines tried, in order, for "on": Japanese engines of Debian's packages.
    static const QStringList& japaneseEngines();

private:
    void setIbusOpen(bool open);
    void setIbusEngine(int japaneseIndex, const QString& before);

    QDBusConnection sessionBus_;
    QDBusConnection ibusBus_;
    // The engine IBus had before we switched it on, to go back to for "off".
    QString ibusEngineBefore_;
};

}  // namespace platform::detail
