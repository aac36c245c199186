#pragma once

#include <QString>

#include <memory>

#include "platform/platform.h"

class QTextToSpeech;

namespace platform::detail {

// Qt TextToSpeech, started only when first needed: on Linux its engine starts the speech
// server, which a program that never speaks should not pay for.
class Speaker {
public:
    Speaker();
    ~Speaker();

    Speaker(const Speaker&) = delete;
    Speaker& operator=(const Speaker&) = delete;

    QString unavailableReason();
    bool speak(const QString& text, SpeechLanguage language);

private:
    QTextToSpeech* engine();

    std::unique_ptr<QTextToSpeech> engine_;
    bool started_ = false;
};

}  // namespace platform::detail
