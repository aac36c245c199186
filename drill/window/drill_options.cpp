// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/drill_options.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>

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
    connect(Option_SpeakAgain, &QAction::triggered, this,
            [this] { speak(platform::SpeechPace::Normal); });
    Option_SpeakSlowly = optionMenu->addAction(QStringLiteral("ゆっくり読み上げる(&S)"));
    Option_SpeakSlowly->setObjectName(QStringLiteral("Option_SpeakSlowly"));
    Option_SpeakSlowly->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
    connect(Option_SpeakSlowly, &QAction::triggered, this,
            [this] { speak(platform::SpeechPace::Slow); });

    Option_Lenient = addJudgingItem(
        optionMenu, QStringLiteral("ゆるやかに判定する(&L)"), QStringLiteral("Option_Lenient"),
        QStringLiteral("前後の空白、大文字と小文字、全角と半角の違いを許して判定します"),
        stored.lenientJudging);
    connect(Option_Lenient, &QAction::toggled, this, [this](bool on) {
        store(&common::Preferences::lenientJudging, on);
        // The optional parts belong to lenient judging.
        updateAvailability(session_.drilling());
    });
    Option_OptionalParentheses = addJudgingItem(
        optionMenu, QStringLiteral("かっこ内を省略可(&K)"),
        QStringLiteral("Option_OptionalParentheses"),
        QStringLiteral("解答のかっこ内は入力しても省略しても正解にします（ゆるやかな判定のとき）"),
        stored.optionalParentheses);
    connect(Option_OptionalParentheses, &QAction::toggled, this,
            [this](bool on) { store(&common::Preferences::optionalParentheses, on); });
    Option_OptionalPlaceholder = addJudgingItem(
        optionMenu, QStringLiteral("～を省略可(&W)"), QStringLiteral("Option_OptionalPlaceholder"),
        QStringLiteral("解答の「～」は入力しても省略しても正解にします（ゆるやかな判定のとき）"),
        stored.optionalPlaceholder);
    connect(Option_OptionalPlaceholder, &QAction::toggled, this,
            [this](bool on) { store(&common::Preferences::optionalPlaceholder, on); });
    Option_NearMissRetry =
        addJudgingItem(optionMenu, QStringLiteral("ほぼ正解ならもう一度(&R)"),
                       QStringLiteral("Option_NearMissRetry"),
                       QStringLiteral("数文字違いの英語の答えは、数えずにもう一度入力できます"),
                       stored.nearMiss == common::NearMissChoice::Retry);
    Option_NearMissAccept = addJudgingItem(
        optionMenu, QStringLiteral("ほぼ正解なら正解(&C)"), QStringLiteral("Option_NearMissAccept"),
        QStringLiteral("数文字違いの英語の答えは、違いを示して正解にします"),
        stored.nearMiss == common::NearMissChoice::Accept);
    for (QAction* item : {Option_NearMissRetry, Option_NearMissAccept}) {
        connect(item, &QAction::toggled, this,
                [this, item](bool on) { nearMissChanged(item, on); });
    }
    // After each item's own handler, which may uncheck the other near-miss item.
    for (QAction* item : {Option_Lenient, Option_OptionalParentheses, Option_OptionalPlaceholder,
                          Option_NearMissRetry, Option_NearMissAccept}) {
        connect(item, &QAction::toggled, this, &DrillOptions::applyJudging);
    }
    applyJudging();

    optionMenu->addSeparator()->setObjectName(QStringLiteral("H17102"));
    zoomItems_ = platform::addZoomItems(
        optionMenu, [this] { return zoom_; }, [this](int wanted) { zoom(wanted); }, fits);
    // The stored zoom may not fit this screen: it is kept for a larger one until changed.
    zoom_ = zoomTo_(stored.drillZoom);
    zoomItems_.updateOnOpening(zoom_, [this] { return zoom_; });

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

QAction* DrillOptions::addJudgingItem(QMenu* menu, const QString& caption, const QString& name,
                                      const QString& toolTip, bool checked) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(true);
    item->setChecked(checked);
    item->setToolTip(toolTip);
    return item;
}

void DrillOptions::nearMissChanged(QAction* item, bool on) {
    QAction* other = item == Option_NearMissRetry ? Option_NearMissAccept : Option_NearMissRetry;
    if (on && other->isChecked()) {
        const QSignalBlocker quiet(other);
        other->setChecked(false);
    }
    const common::NearMissChoice choice =
        !on ? common::NearMissChoice::Judge
            : (item == Option_NearMissRetry ? common::NearMissChoice::Retry
                                            : common::NearMissChoice::Accept);
    preferences_.update(
        [choice](common::Preferences& preferences) { preferences.nearMiss = choice; });
}

void DrillOptions::applyJudging() {
    CheckOptions options;
    options.lenient = Option_Lenient->isChecked();
    options.nearMiss = Option_NearMissRetry->isChecked()    ? NearMissRule::Retry
                       : Option_NearMissAccept->isChecked() ? NearMissRule::Accept
                                                            : NearMissRule::Off;
    options.optionalParentheses = options.lenient && Option_OptionalParentheses->isChecked();
    options.optionalPlaceholder = options.lenient && Option_OptionalPlaceholder->isChecked();
    session_.setCheckOptions(options);
}

void DrillOptions::updateAvailability(bool drilling) {
    for (QAction* item : {Option_Lenient, Option_NearMissRetry, Option_NearMissAccept}) {
        item->setEnabled(!drilling);
    }
    for (QAction* item : {Option_OptionalParentheses, Option_OptionalPlaceholder}) {
        item->setEnabled(!drilling && Option_Lenient->isChecked());
    }
}

void DrillOptions::updateSpeech() {
    const QString reason = platform_.speechUnavailableReason();
    Option_Speak->setEnabled(reason.isEmpty());
    Option_Speak->setToolTip(reason.isEmpty() ? QStringLiteral("出題のたびに問題を読み上げます")
                                              : reason);
    for (QAction* item : {Option_SpeakAgain, Option_SpeakSlowly}) {
        item->setEnabled(reason.isEmpty() && speaking() && !question_.isEmpty());
    }
}

bool DrillOptions::speaking() const {
    return Option_Speak->isChecked() ||
           (session_.drilling() && session_.way() == DrillWay::Listening);
}

bool DrillOptions::questionAsked(const QString& question) {
    question_ = question;
    const bool spoken = speaking() && speak(platform::SpeechPace::Normal);
    // The first words may have shown that speech does not work after all.
    updateSpeech();
    return spoken;
}

void DrillOptions::questionGone() {
    question_.clear();
    for (QAction* item : {Option_SpeakAgain, Option_SpeakSlowly}) {
        item->setEnabled(false);
    }
}

bool DrillOptions::speak(platform::SpeechPace pace) {
    if (question_.isEmpty() || !speaking() || !platform_.speechUnavailableReason().isEmpty()) {
        return false;
    }
    return platform::speakInItsLanguage(platform_, question_, pace);
}

void DrillOptions::store(bool common::Preferences::*option, bool on) {
    // A file that cannot be written leaves the option for this run only; nothing to report.
    preferences_.update(
        [option, on](common::Preferences& preferences) { preferences.*option = on; });
}

}  // namespace drill
