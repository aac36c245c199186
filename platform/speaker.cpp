// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/speaker.h"

#include <QStandardPaths>
#include <QTextToSpeech>
#include <QThread>

#include <algorithm>
#include <chrono>

namespace platform::detail {

namespace {

using namespace std::chrono_literals;

const QString kNoEngine = QStringLiteral(
    "読み上げには Qt TextToSpeech のエンジンが要ります (Debian では qt6-speech-speechd-plugin)。");
const QString kNoServer = QStringLiteral(
    "読み上げの仕組み (speech-dispatcher と espeak-ng) が動いていないため、読み上げられません。");
const QString kStopped = QStringLiteral(
    "読み上げの仕組み (speech-dispatcher) が応答しないため、読み上げを止めています。"
    "応答が戻れば読み上げを続けます。");

// A server slower than this to take a request is taken for stuck.
constexpr auto kAnswerTime = 3s;
// How often a server that failed is asked again: soon, then less and less often, as on Linux
// each try may start a server.
constexpr auto kFirstRetry = 2s;
constexpr auto kLastRetry = 60s;

// The engine on Linux is speech-dispatcher's client; without the server it cannot speak.
bool serverMissing(const QStringList& engines) {
    return engines == QStringList{QStringLiteral("speechd")} &&
           qEnvironmentVariableIsEmpty("SPEECHD_ADDRESS") &&
           QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty();
}

// Slow speech for listening once more, still at a speed a sentence holds together at.
constexpr double kSlowRate = -0.5;

// American English where the engine has it, else any English; any Japanese.
QLocale localeOf(SpeechLanguage language) {
    return language == SpeechLanguage::Japanese ? QLocale(QLocale::Japanese, QLocale::Japan)
                                                : QLocale(QLocale::English, QLocale::UnitedStates);
}

// The wanted locale where the engine has it, else another of its language.
const QLocale* voiceFor(const QList<QLocale>& locales, const QLocale& wanted) {
    auto found = std::find(locales.begin(), locales.end(), wanted);
    if (found == locales.end()) {
        found = std::find_if(locales.begin(), locales.end(), [&wanted](const QLocale& l) {
            return l.language() == wanted.language();
        });
    }
    return found == locales.end() ? nullptr : &*found;
}

}  // namespace

// Owns the engine on the speech thread; every call may wait on the server.
class SpeechWorker : public QObject {
    Q_OBJECT
public:
    // An empty text only asks whether the server answers.
    void say(quint64 serial, const QString& text, const QLocale& wanted, double rate) {
        if (!engine_ || failed_) {
            engine_.reset();  // a server that failed or went away: connect afresh
            engine_ = std::make_unique<QTextToSpeech>();
        }
        const QList<QLocale> locales = engine_->availableLocales();
        failed_ = engine_->state() == QTextToSpeech::Error || locales.isEmpty();
        if (failed_) {
            Q_EMIT answered(serial, kNoServer, {});
            return;
        }
        if (const QLocale* voice = voiceFor(locales, wanted); voice != nullptr && !text.isEmpty()) {
            engine_->stop(QTextToSpeech::BoundaryHint::Immediate);
            if (engine_->locale() != *voice) {
                engine_->setLocale(*voice);
            }
            if (engine_->rate() != rate) {
                engine_->setRate(rate);
            }
            engine_->say(text);
        }
        failed_ = engine_->state() == QTextToSpeech::Error;
        Q_EMIT answered(serial, failed_ ? kNoServer : QString(), locales);
    }

Q_SIGNALS:
    void answered(quint64 serial, const QString& reason, const QList<QLocale>& locales);

private:
    std::unique_ptr<QTextToSpeech> engine_;
    bool failed_ = false;
};

Speaker::Speaker() {
    deadline_.setSingleShot(true);
    deadline_.setInterval(kAnswerTime);
    connect(&deadline_, &QTimer::timeout, this, &Speaker::overdue);
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &Speaker::tryAgain);
}

Speaker::~Speaker() {
    if (!thread_) {
        return;
    }
    thread_->quit();
    // A thread still waiting on a stuck server is left to the end of the process: waiting for
    // it would hold up closing the window.
    if (!thread_->wait(std::chrono::milliseconds(kAnswerTime).count())) {
        worker_->disconnect(this);
        (void)thread_.release();
    }
}

QString Speaker::unavailableReason() {
    if (!checked_) {
        checked_ = true;
        const QStringList engines = QTextToSpeech::availableEngines();
        staticReason_ = engines.isEmpty()        ? kNoEngine
                        : serverMissing(engines) ? kNoServer
                                                 : QString();
    }
    if (!staticReason_.isEmpty()) {
        return staticReason_;
    }
    return stuck_ ? kStopped : reason_;
}

bool Speaker::speak(const QString& text, SpeechLanguage language, SpeechPace pace) {
    if (!unavailableReason().isEmpty()) {
        return false;
    }
    const QLocale wanted = localeOf(language);
    if (answered_ > 0 && voiceFor(locales_, wanted) == nullptr) {
        return false;
    }
    send(text, wanted, pace == SpeechPace::Slow ? kSlowRate : 0);
    return true;
}

bool Speaker::hasVoice(SpeechLanguage language) {
    if (!unavailableReason().isEmpty()) {
        return false;
    }
    if (answered_ == 0) {
        // Not known until the server first answers: it is asked, and changed() follows.
        if (sent_ == 0) {
            send(QString(), localeOf(language));
        }
        return true;
    }
    return voiceFor(locales_, localeOf(language)) != nullptr;
}

void Speaker::send(const QString& text, const QLocale& wanted, double rate) {
    if (!thread_) {
        thread_ = std::make_unique<QThread>();
        thread_->setObjectName(QStringLiteral("speech"));
        worker_ = new SpeechWorker;
        worker_->moveToThread(thread_.get());
        connect(thread_.get(), &QThread::finished, worker_, &QObject::deleteLater);
        connect(worker_, &SpeechWorker::answered, this, &Speaker::answered);
        thread_->start();
    }
    const quint64 serial = ++sent_;
    QMetaObject::invokeMethod(worker_, [worker = worker_, serial, text, wanted, rate] {
        worker->say(serial, text, wanted, rate);
    });
    if (!deadline_.isActive()) {
        deadline_.start();
    }
}

void Speaker::answered(quint64 serial, const QString& reason, const QList<QLocale>& locales) {
    const QString before = unavailableReason();
    const bool firstAnswer = answered_ == 0;
    const bool voicesChanged = !locales.isEmpty() && locales != locales_;
    answered_ = serial;
    stuck_ = false;
    reason_ = reason;
    if (!locales.isEmpty()) {
        locales_ = locales;
    }
    if (answered_ == sent_) {
        deadline_.stop();
    } else {
        deadline_.start();  // the next request's turn
    }
    // A server that failed may be started again: ask it now and then.
    if (reason_.isEmpty()) {
        retry_.stop();
        retryTime_ = kFirstRetry;
    } else if (!retry_.isActive()) {
        retry_.start(retryTime_);
        retryTime_ = std::min<std::chrono::milliseconds>(retryTime_ * 2, kLastRetry);
    }
    // The voices told for the first time, or others since, may make a way available.
    if (unavailableReason() != before || firstAnswer || voicesChanged) {
        Q_EMIT changed();
    }
}

void Speaker::overdue() {
    if (answered_ < sent_ && !stuck_) {
        stuck_ = true;
        Q_EMIT changed();
    }
}

void Speaker::tryAgain() {
    // Nothing more while a request waits: its answer comes when the server answers or goes.
    if (answered_ == sent_) {
        send(QString(), QLocale(QLocale::English));
    }
}

}  // namespace platform::detail

#include "speaker.moc"
