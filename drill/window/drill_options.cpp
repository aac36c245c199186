// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/drill_options.h"

#include <QAction>
#include <QMenu>

#include <utility>

#include "drill/engine/drill_session.h"
#include "platform/platform.h"

namespace drill {

DrillOptions::DrillOptions(platform::Platform& platform, DrillSession& session, QMenu* optionMenu,
                           std::function<int(int)> zoomTo, const std::function<bool(int)>& fits)
    : QObject(optionMenu),
      platform_(platform),
      session_(session),
      preferences_(platform.preferencesFile()),
      zoomTo_(std::move(zoomTo)) {
    const common::Preferences stored = preferences_.load();
    optionMenu->addSeparator()->setObjectName(QStringLiteral("H17101"));
    // Why an item is unavailable is told in its tool tip.
    optionMenu->setToolTipsVisible(true);

    Option_Speak = optionMenu->addAction(QStringLiteral("問題を読み上げる(&P)"));
    Option_Speak->setObjectName(QStringLiteral("Option_Speak"));
    Option_Speak->setCheckable(true);
    Option_Speak->setChecked(stored.speakQuestions);
    connect(Option_Speak, &QAction::toggled, this, [this](bool on) {
        store(&common::Preferences::speakQuestions, on);
        updateSpeech();
    });

    Option_SpeakAgain = optionMenu->addAction(QStringLiteral("もう一度読み上げる(&A)"));
    Option_SpeakAgain->setObjectName(QStringLiteral("Option_SpeakAgain"));
    Option_SpeakAgain->setShortcut(QKeySequence(Qt::Key_F5));
    connect(Option_SpeakAgain, &QAction::triggered, this, &DrillOptions::speak);

    Option_Lenient = optionMenu->addAction(QStringLiteral("ゆるやかに判定する(&L)"));
    Option_Lenient->setObjectName(QStringLiteral("Option_Lenient"));
    Option_Lenient->setCheckable(true);
    Option_Lenient->setChecked(stored.lenientJudging);
    Option_Lenient->setToolTip(
        QStringLiteral("前後の空白、大文字と小文字、全角と半角の違いを許して判定します"));
    session_.setLenientJudging(stored.lenientJudging);
    connect(Option_Lenient, &QAction::toggled, this, [this](bool on) {
        session_.setLenientJudging(on);
        store(&common::Preferences::lenientJudging, on);
    });

    optionMenu->addSeparator()->setObjectName(QStringLiteral("H17102"));
    zoomItems_ = platform::addZoomItems(
        optionMenu, [this] { return zoom_; }, [this](int wanted) { zoom(wanted); }, fits);
    // The stored zoom may not fit this screen: it is kept for a larger one until changed.
    zoom_ = zoomTo_(stored.drillZoom);
    zoomItems_.update(zoom_);

    connect(optionMenu, &QMenu::aboutToShow, this, &DrillOptions::updateSpeech);
    platform_.onSpeechChanged(this, [this] { updateSpeech(); });
    updateSpeech();
}

void DrillOptions::zoom(int wanted) {
    zoom_ = zoomTo_(wanted);
    zoomItems_.update(zoom_);
    const int zoom = zoom_;
    preferences_.update([zoom](common::Preferences& preferences) { preferences.drillZoom = zoom; });
}

void DrillOptions::updateAvailability(bool drilling) {
    Option_Lenient->setEnabled(!drilling);
}

void DrillOptions::updateSpeech() {
    const QString reason = platform_.speechUnavailableReason();
    Option_Speak->setEnabled(reason.isEmpty());
    Option_Speak->setToolTip(reason.isEmpty() ? QStringLiteral("出題のたびに問題を読み上げます")
                                              : reason);
    Option_SpeakAgain->setEnabled(reason.isEmpty() && Option_Speak->isChecked() &&
                                  !question_.isEmpty());
}

void DrillOptions::questionAsked(const QString& question) {
    question_ = question;
    if (Option_Speak->isChecked()) {
        speak();
        // The first words may have shown that speech does not work after all.
        updateSpeech();
    }
}

void DrillOptions::questionGone() {
    question_.clear();
    Option_SpeakAgain->setEnabled(false);
}

void DrillOptions::speak() {
    if (question_.isEmpty() || !Option_Speak->isChecked() ||
        !platform_.speechUnavailableReason().isEmpty()) {
        return;
    }
    platform::speakInItsLanguage(platform_, question_);
}

void DrillOptions::store(bool common::Preferences::*option, bool on) {
    // A file that cannot be written leaves the option for this run only; nothing to report.
    preferences_.update(
        [option, on](common::Preferences& preferences) { preferences.*option = on; });
}

}  // namespace drill
