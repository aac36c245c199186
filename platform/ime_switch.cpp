// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/ime_switch.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <functional>
#include <utility>

namespace platform::detail {

namespace {

const QString kFcitxService = QStringLiteral("org.fcitx.Fcitx5");
const QString kFcitxPath = QStringLiteral("/controller");
const QString kFcitxInterface = QStringLiteral("org.fcitx.Fcitx.Controller1");
const QString kIbusService = QStringLiteral("org.freedesktop.IBus");
const QString kIbusPath = QStringLiteral("/org/freedesktop/IBus");
const QString kIbusInterface = QStringLiteral("org.freedesktop.IBus");

// Runs then(reply is not an error) once the call is answered; the watcher goes with owner.
void whenAnswered(QObject* owner, const QDBusConnection& bus, QDBusMessage call,
                  std::function<void(const QDBusMessage&)> then) {
    call.setAutoStartService(false);  // a framework that is not running stays so
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), owner);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, owner,
                     [watcher, then = std::move(then)] {
                         watcher->deleteLater();
                         then(watcher->reply());
                     });
}

// GetGlobalEngine answers an IBusEngineDesc: (s a{sv} s name ...) inside a variant.
QString engineName(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    const QDBusArgument desc =
        reply.arguments().constFirst().value<QDBusVariant>().variant().value<QDBusArgument>();
    if (desc.currentType() != QDBusArgument::StructureType) {
        return {};
    }
    QString typeName;
    QString name;
    desc.beginStructure();
    desc >> typeName;
    desc.beginMap();
    while (!desc.atEnd()) {
        desc.beginMapEntry();
        QString key;
        QDBusVariant value;
        desc >> key >> value;
        desc.endMapEntry();
    }
    desc.endMap();
    desc >> name;
    desc.endStructure();
    return name;
}

}  // namespace

ImeSwitch::ImeSwitch(QDBusConnection sessionBus, QDBusConnection ibusBus, QObject* parent)
    : QObject(parent), sessionBus_(std::move(sessionBus)), ibusBus_(std::move(ibusBus)) {}

const QStringList& ImeSwitch::japaneseEngines() {
    static const QStringList engines{QStringLiteral("mozc-jp"), QStringLiteral("anthy"),
                                     QStringLiteral("kkc")};
    return engines;
}

void ImeSwitch::setOpen(bool open) {
    if (!sessionBus_.isConnected()) {
        setIbusOpen(open);
        return;
    }
    const QDBusMessage call = QDBusMessage::createMethodCall(
        kFcitxService, kFcitxPath, kFcitxInterface,
        open ? QStringLiteral("Activate") : QStringLiteral("Deactivate"));
    whenAnswered(this, sessionBus_, call, [this, open](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ErrorMessage) {
            setIbusOpen(open);
        }
    });
}

void ImeSwitch::setIbusOpen(bool open) {
    if (!ibusBus_.isConnected()) {
        return;
    }
    if (!open) {
        if (!ibusEngineBefore_.isEmpty()) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                kIbusService, kIbusPath, kIbusInterface, QStringLiteral("SetGlobalEngine"));
            call << std::exchange(ibusEngineBefore_, {});
            whenAnswered(this, ibusBus_, call, [](const QDBusMessage&) {});
        }
        return;
    }
    const QDBusMessage call = QDBusMessage::createMethodCall(
        kIbusService, kIbusPath, kIbusInterface, QStringLiteral("GetGlobalEngine"));
    whenAnswered(this, ibusBus_, call, [this](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ErrorMessage &&
            reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown")) {
            return;
        }
        const QString current = engineName(reply);
        if (japaneseEngines().contains(current)) {
            return;  // already on
        }
        setIbusEngine(0, current);
    });
}

// Tries the Japanese engines in turn until IBus takes one.
void ImeSwitch::setIbusEngine(int japaneseIndex, const QString& before) {
    if (japaneseIndex >= japaneseEngines().size()) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kIbusService, kIbusPath, kIbusInterface,
                                                       QStringLiteral("SetGlobalEngine"));
    call << japaneseEngines().at(japaneseIndex);
    whenAnswered(this, ibusBus_, call, [this, japaneseIndex, before](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ErrorMessage) {
            setIbusEngine(japaneseIndex + 1, before);
        } else {
            ibusEngineBefore_ = before;
        }
    });
}

QString ImeSwitch::ibusAddress() {
    const QString fromEnvironment = qEnvironmentVariable("IBUS_ADDRESS");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    // ~/.config/ibus/bus/<machine id>-<host>-<display number>, host "unix" for the local one.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        display = qEnvironmentVariable("DISPLAY");
        const qsizetype colon = display.lastIndexOf(u':');
        if (colon < 0) {
            return {};
        }
        display = display.mid(colon + 1).section(u'.', 0, 0);
    } else {
        display = QStringLiteral("wayland-") + display.section(u'-', -1);
    }
    const QString name =
        QString::fromLatin1(QSysInfo::machineUniqueId()) + QStringLiteral("-unix-") + display;
    QFile file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/ibus/bus/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QStringLiteral("IBUS_ADDRESS="))) {
            return line.mid(13);
        }
    }
    return {};
}

}  // namespace platform::detail
