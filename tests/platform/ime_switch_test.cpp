// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/ime_switch.h"
#include "platform/qt_platform.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::detail::ImeSwitch;

namespace {

// How long the private bus may take to start or to answer. It bounds only a bus that hangs:
// beside other work, and built with the sanitizers, an answer can take seconds.
constexpr int kBusMilliseconds = 60000;

// Fcitx 5's controller as far as we use it; every call lands in the log.
class FakeFcitx : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.fcitx.Fcitx.Controller1")
public:
    explicit FakeFcitx(QStringList& log) : log_(log) {}
public Q_SLOTS:
    void Activate() { log_.append(u"fcitx Activate"_s); }
    void Deactivate() { log_.append(u"fcitx Deactivate"_s); }
    void Ping() {}  // the test's own: answered after every call sent before it

private:
    QStringList& log_;
};

// IBus's daemon: a global engine, and only the engines it has.
class FakeIbus : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.IBus")
public:
    FakeIbus(QStringList& log, QStringList engines, QString current)
        : log_(log), engines_(std::move(engines)), current_(std::move(current)) {}
public Q_SLOTS:
    QDBusVariant GetGlobalEngine() {
        QDBusArgument desc;
        desc.beginStructure();
        desc << u"IBusEngineDesc"_s << QVariantMap{} << current_ << u"long name"_s;
        desc.endStructure();
        return QDBusVariant(QVariant::fromValue(desc));
    }
    void SetGlobalEngine(const QString& name) {
        if (!engines_.contains(name)) {
            sendErrorReply(QDBusError::Failed, u"no engine "_s + name);
            return;
        }
        log_.append(u"ibus "_s + name);
        current_ = name;
    }

private:
    QStringList& log_;
    QStringList engines_;
    QString current_;
};

// Each test has a D-Bus daemon of its own, so that no desktop service sees or answers it.
class ImeSwitchTest : public testing::Test {
public:
    QProcess daemon;
    QString address;
    QStringList log;

    void SetUp() override {
        daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        if (daemon.waitForStarted(kBusMilliseconds) && daemon.waitForReadyRead(kBusMilliseconds)) {
            address = QString::fromUtf8(daemon.readLine()).trimmed();
        }
        if (address.isEmpty()) {
            GTEST_SKIP() << "SKIPPED: dbus-daemon could not be started, so the input-method "
                            "switch is not tested (install dbus-daemon)";
        }
    }
    void TearDown() override {
        daemon.kill();
        daemon.waitForFinished(kBusMilliseconds);
    }
    QDBusConnection connect(const QString& name) {
        QDBusConnection connection = QDBusConnection::connectToBus(address, name);
        EXPECT_TRUE(connection.isConnected());
        return connection;
    }
    static void serve(QDBusConnection& bus, const QString& path, QObject* object,
                      const QString& service) {
        ASSERT_TRUE(bus.registerObject(path, object, QDBusConnection::ExportAllSlots) &&
                    bus.registerService(service));
    }
    // Waits until every call of the switch, and those it chained, has been answered.
    static void settle(const QObject& ime) {
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return ime.findChildren<QDBusPendingCallWatcher*>().isEmpty(); },
                            kBusMilliseconds));
    }
};

TEST_F(ImeSwitchTest, FcitxFirstThenIbusElseNothing) {
    const struct {
        const char* name;
        bool fcitx;
        QStringList ibusEngines;
        std::vector<bool> opens;
        QStringList log;
    } table[] = {
        // clang-format off
        {"Fcitx", true, {u"mozc-jp"_s}, {true, false},
         {u"fcitx Activate"_s, u"fcitx Deactivate"_s}},
        {"IBus with Mozc", false, {u"xkb:jp::jpn"_s, u"mozc-jp"_s}, {true, true, false, false},
         {u"ibus mozc-jp"_s, u"ibus xkb:jp::jpn"_s}},
        // clang-format on
    };
    int run = 0;
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        log.clear();
        const QString suffix = QString::number(++run);
        QDBusConnection service = connect(u"service"_s + suffix);
        FakeFcitx fcitx(log);
        FakeIbus ibus(log, row.ibusEngines, u"xkb:jp::jpn"_s);
        if (row.fcitx) {
            serve(service, u"/controller"_s, &fcitx, u"org.fcitx.Fcitx5"_s);
        }
        serve(service, u"/org/freedesktop/IBus"_s, &ibus, u"org.freedesktop.IBus"_s);
        ImeSwitch ime(connect(u"session"_s + suffix), connect(u"ibus"_s + suffix));
        for (const bool open : row.opens) {
            ime.setOpen(open);
            settle(ime);
        }
        EXPECT_EQ(log, row.log);
        QDBusConnection::disconnectFromBus(u"service"_s + suffix);
    }
}

// The editor's "ｵﾝ" and "ｵﾌ" reach the framework through the platform layer's IME mode call.
TEST_F(ImeSwitchTest, TheBoxModeSwitchesTheFrameworkOnceTheBoxHasTheFocus) {
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    qunsetenv("IBUS_ADDRESS");
    QDBusConnection service = connect(u"fcitx"_s);
    FakeFcitx fcitx(log);
    serve(service, u"/controller"_s, &fcitx, u"org.fcitx.Fcitx5"_s);

    platform::QtPlatform qt;
    QWidget window;
    auto* box = new QLineEdit(&window);
    auto* other = new QLineEdit(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    box->setFocus();
    qt.setImeMode(box, platform::ImeMode::On);
    qt.setImeMode(other, platform::ImeMode::Off);  // not focused: left alone
    EXPECT_TRUE(QTest::qWaitFor([&] { return !log.isEmpty(); }, kBusMilliseconds));
    // Both boxes have been dealt with by now. The bus keeps each sender's calls in order, so
    // once a later call of the same connection is answered, nothing of theirs is on its way.
    const QDBusPendingCall ping =
        QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
            u"org.fcitx.Fcitx5"_s, u"/controller"_s, u"org.fcitx.Fcitx.Controller1"_s, u"Ping"_s));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ping.isFinished(); }, kBusMilliseconds));
    EXPECT_EQ(log, QStringList{u"fcitx Activate"_s});
}

}  // namespace

#include "ime_switch_test.moc"
