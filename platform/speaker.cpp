#include "platform/speaker.h"

#include <QLocale>
#include <QStandardPaths>
#include <QTextToSpeech>

#include <algorithm>

namespace platform::detail {

Speaker::Speaker() = default;

Speaker::~Speaker() = default;

namespace {

const QString kNoEngine = QStringLiteral(
    "読み上げには Qt TextToSpeech のエンジンが要ります (Debian では qt6-speech-speechd-plugin)。");
const QString kNoServer = QStringLiteral(
    "読み上げの仕組み (speech-dispatcher と espeak-ng) が動いていないため、読み上げられません。");

// The engine on Linux is speech-dispatcher's client; without the server it cannot speak.
bool serverMissing(const QStringList& engines) {
    return engines == QStringList{QStringLiteral("speechd")} &&
           qEnvironmentVariableIsEmpty("SPEECHD_ADDRESS") &&
           QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty();
}

}  // namespace

QTextToSpeech* Speaker::engine() {
    if (!started_) {
        started_ = true;
        const QStringList engines = QTextToSpeech::availableEngines();
        if (!engines.isEmpty() && !serverMissing(engines)) {
            engine_ = std::make_unique<QTextToSpeech>();
        }
    }
    return engine_.get();
}

QString Speaker::unavailableReason() {
    // Starting the engine starts the speech server and holds up the window for a moment, so
    // before the first word only what can be seen at no cost counts.
    if (!started_) {
        const QStringList engines = QTextToSpeech::availableEngines();
        if (engines.isEmpty()) {
            return kNoEngine;
        }
        return serverMissing(engines) ? kNoServer : QString();
    }
    if (engine_ == nullptr) {
        return QTextToSpeech::availableEngines().isEmpty() ? kNoEngine : kNoServer;
    }
    if (engine_->state() == QTextToSpeech::Error || engine_->availableLocales().isEmpty()) {
        return kNoServer;
    }
    return {};
}

bool Speaker::speak(const QString& text, SpeechLanguage language) {
    if (engine() == nullptr || !unavailableReason().isEmpty()) {
        return false;
    }
    // American English where the engine has it, else any English; any Japanese.
    const QLocale wanted = language == SpeechLanguage::Japanese
                               ? QLocale(QLocale::Japanese, QLocale::Japan)
                               : QLocale(QLocale::English, QLocale::UnitedStates);
    const QList<QLocale> locales = engine_->availableLocales();
    auto found = std::find(locales.begin(), locales.end(), wanted);
    if (found == locales.end()) {
        found = std::find_if(locales.begin(), locales.end(), [&wanted](const QLocale& l) {
            return l.language() == wanted.language();
        });
    }
    if (found == locales.end()) {
        return false;
    }
    engine_->stop(QTextToSpeech::BoundaryHint::Immediate);
    if (engine_->locale() != *found) {
        engine_->setLocale(*found);
    }
    engine_->say(text);
    return true;
}

}  // namespace platform::detail
