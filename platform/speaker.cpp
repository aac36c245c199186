#include "platform/speaker.h"

#include <QLocale>
#include <QTextToSpeech>

#include <algorithm>

namespace platform::detail {

Speaker::Speaker() = default;

Speaker::~Speaker() = default;

QTextToSpeech* Speaker::engine() {
    if (!started_) {
        started_ = true;
        if (!QTextToSpeech::availableEngines().isEmpty()) {
            engine_ = std::make_unique<QTextToSpeech>();
        }
    }
    return engine_.get();
}

QString Speaker::unavailableReason() {
    QTextToSpeech* speech = engine();
    if (speech == nullptr) {
        return QStringLiteral(
            "読み上げには Qt TextToSpeech のエンジンが要ります"
            " (Debian では qt6-speech-speechd-plugin)。");
    }
    if (speech->state() == QTextToSpeech::Error || speech->availableLocales().isEmpty()) {
        return QStringLiteral(
            "読み上げの仕組み (speech-dispatcher と espeak-ng) が"
            "動いていないため、読み上げられません。");
    }
    return {};
}

bool Speaker::speak(const QString& text, SpeechLanguage language) {
    if (!unavailableReason().isEmpty()) {
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
