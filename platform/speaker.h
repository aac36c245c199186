// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>

#include "platform/platform.h"

class QThread;

namespace platform::detail {

class SpeechWorker;

// Qt TextToSpeech on a thread of its own, started only when first needed: on Linux its engine
// is speech-dispatcher's client, whose calls wait for the server's answer for as long as the
// server takes, and a server that cannot open its audio may take minutes. The windows' thread
// only posts requests and reads the last answer, so speech never holds up a window.
class Speaker : public QObject {
    Q_OBJECT
public:
    Speaker();
    ~Speaker() override;

    Speaker(const Speaker&) = delete;
    Speaker& operator=(const Speaker&) = delete;

    QString unavailableReason();
    bool speak(const QString& text, SpeechLanguage language, SpeechPace pace);
    bool hasVoice(SpeechLanguage language);

Q_SIGNALS:
    void changed();  // unavailableReason() changed by itself, or the voices became known

private:
    void send(const QString& text, const QLocale& wanted, double rate = 0);
    void answered(quint64 serial, const QString& reason, const QList<QLocale>& locales);
    void overdue();
    void tryAgain();

    std::unique_ptr<QThread> thread_;
    SpeechWorker* worker_ = nullptr;  // lives on thread_, deleted when it ends
    QString staticReason_;            // what can be seen without starting the engine
    bool checked_ = false;
    quint64 sent_ = 0;
    quint64 answered_ = 0;
    bool stuck_ = false;  // a request went unanswered too long
    QString reason_;      // from the last answer
    QList<QLocale> locales_;
    QTimer deadline_;
    QTimer retry_;
    std::chrono::milliseconds retryTime_{2000};
};

}  // namespace platform::detail
