#include "platform/qt_platform.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using platform::SpeechLanguage;

#if defined(__SANITIZE_ADDRESS__)
// libspeechd reads the server's thousands of voices with one strstr per line; through the
// sanitizer's checked strstr that takes minutes.
extern "C" const char* __asan_default_options() {
    return "intercept_strstr=0";
}
#endif

namespace {

// The real speech server on a socket of the test's own, logging what it is given.
class SpeechServer {
public:
    QTemporaryDir folder;

    bool start() {
        if (QStandardPaths::findExecutable(u"speech-dispatcher"_s).isEmpty()) {
            return false;
        }
        // The system's configuration, playing into libao's null driver: without a sound card
        // the server would hang on its output, and the client with it.
        const QString config = folder.filePath(u"config"_s);
        const QString home = folder.filePath(u"home"_s);
        if (QProcess::execute(u"cp"_s, {u"-r"_s, u"/etc/speech-dispatcher"_s, config}) != 0 ||
            !QDir().mkpath(home)) {
            return false;
        }
        QFile conf(config + u"/speechd.conf"_s);
        QFile libao(home + u"/.libao"_s);
        if (!conf.open(QIODevice::Append) || !libao.open(QIODevice::WriteOnly)) {
            return false;
        }
        conf.write("\nAudioOutputMethod \"libao\"\n");
        libao.write("default_driver=null\n");
        conf.close();
        libao.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, home);
        server_.setProcessEnvironment(environment);
        server_.start(u"speech-dispatcher"_s,
                      {u"--run-single"_s, u"--log-level"_s, u"5"_s, u"--log-dir"_s, folder.path(),
                       u"--config-dir"_s, config, u"--communication-method"_s, u"unix_socket"_s,
                       u"--socket-path"_s, socket(), u"--pid-file"_s, folder.filePath(u"pid"_s),
                       u"--timeout"_s, u"60"_s});
        return server_.waitForStarted(5000) &&
               QTest::qWaitFor([this] { return QFile::exists(socket()); }, 10000);
    }
    ~SpeechServer() { stop(); }
    void stop() {
        server_.kill();
        server_.waitForFinished(5000);
    }
    QString socket() const { return folder.filePath(u"socket"_s); }
    QString log() const {
        QFile file(folder.filePath(u"speech-dispatcher.log"_s));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    QProcess server_;
};

// From the platform layer through Qt TextToSpeech to speech-dispatcher: what the drill would
// speak reaches the server, in the voice of its language.
TEST(Speech, TheSpeechServerReceivesTheText) {
    SpeechServer server;
    if (!server.start()) {
        GTEST_SKIP() << "SKIPPED: speech-dispatcher could not be started, so speech is not "
                        "checked end to end (install speech-dispatcher and espeak-ng)";
    }
    qputenv("SPEECHD_ADDRESS", ("unix_socket:" + server.socket()).toUtf8());
    auto qt = std::make_unique<platform::QtPlatform>();
    ASSERT_EQ(qt->speechUnavailableReason(), QString());
    const struct {
        QString text;
        SpeechLanguage language;
    } table[] = {
        {u"kotobax apple"_s, SpeechLanguage::English},
        {u"りんご"_s, SpeechLanguage::Japanese},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.text.toStdString());
        if (!qt->speak(row.text, row.language)) {
            ADD_FAILURE() << "no voice for the language";
            continue;
        }
        const QString received = u"Queueing message |"_s + row.text + u'|';
        EXPECT_TRUE(QTest::qWaitFor([&] { return server.log().contains(received); }, 10000));
    }
    // The server goes first: the client's goodbye must not wait for it.
    server.stop();
    qt.reset();
}

}  // namespace
