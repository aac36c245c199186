// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/drill_ways.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "drill/engine/drill_session.h"
#include "platform/platform.h"

namespace drill {

namespace {

const QString kListeningTip = QStringLiteral(
    "問題を読み上げます。聞こえた問題を入力します（F5: もう一度、Shift+F5: ゆっくり）");

}  // namespace

DrillWays::DrillWays(platform::Platform& platform, DrillSession& session, QMenu* optionMenu)
    : QObject(optionMenu),
      platform_(platform),
      session_(session),
      preferences_(platform.preferencesFile()) {
    Option_Way = optionMenu->addMenu(QStringLiteral("出題の向き(&Q)"));
    Option_Way->setObjectName(QStringLiteral("Option_Way"));
    Option_Way->setToolTipsVisible(true);
    group_ = new QActionGroup(this);
    group_->setExclusive(true);
    Option_WayForward = addWay(QStringLiteral("問題→答え(&F)"), QStringLiteral("Option_WayForward"),
                               DrillWay::Typed, QStringLiteral("問題を見て、答えを入力します"));
    Option_WayBackward = addWay(
        QStringLiteral("答え→問題(&B)"), QStringLiteral("Option_WayBackward"), DrillWay::Reversed,
        QStringLiteral("答えを見て、問題を入力します（単語帳は変わりません）"));
    Option_WayListening =
        addWay(QStringLiteral("聞き取り(&L)"), QStringLiteral("Option_WayListening"),
               DrillWay::Listening, kListeningTip);
    addWay(QStringLiteral("選択式(&M)"), QStringLiteral("Option_Choice"), DrillWay::Choice,
           QStringLiteral("4 つの選択肢から答えを選びます（キー 1～4）"));
    addWay(QStringLiteral("カード(&C)"), QStringLiteral("Option_Card"), DrillWay::Card,
           QStringLiteral("答えを見て、覚えていたかを自分で判定します"
                          "（Space で答え、Enter か 1 で ○、2 で ×）"));

    const DrillWay stored = preferences_.load().drillWay;
    for (QAction* item : group_->actions()) {
        if (item->data().toInt() == static_cast<int>(stored)) {
            item->setChecked(true);
            session_.setWay(stored);
        }
    }
    if (group_->checkedAction() == nullptr) {
        Option_WayForward->setChecked(true);
    }
    platform_.onSpeechChanged(this, [this] { updateAvailability(session_.drilling()); });
    connect(Option_Way, &QMenu::aboutToShow, this, [this] {
        voicesWanted_ = true;
        updateAvailability(session_.drilling());
    });
}

QAction* DrillWays::addWay(const QString& caption, const QString& name, DrillWay way,
                           const QString& toolTip) {
    QAction* item = Option_Way->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(true);
    item->setToolTip(toolTip);
    item->setData(static_cast<int>(way));
    group_->addAction(item);
    connect(item, &QAction::triggered, this, [this, way] { choose(way); });
    return item;
}

void DrillWays::choose(DrillWay way) {
    if (!session_.setWay(way)) {
        return;
    }
    // A file that cannot be written leaves the choice for this run only.
    preferences_.update([way](common::Preferences& preferences) { preferences.drillWay = way; });
}

void DrillWays::updateAvailability(bool drilling) {
    Option_Way->menuAction()->setEnabled(!drilling);
    if (drilling) {
        return;
    }
    const auto chosen = static_cast<DrillWay>(group_->checkedAction()->data().toInt());
    // Asking the speech server for its voices costs more than the rest of the start together:
    // asked only once listening is chosen or the ways are on show.
    voicesWanted_ = voicesWanted_ || chosen == DrillWay::Listening;
    if (!voicesWanted_) {
        session_.setWay(chosen);
        return;
    }
    const QString reason = listeningUnavailable();
    Option_WayListening->setEnabled(reason.isEmpty());
    Option_WayListening->setToolTip(reason.isEmpty() ? kListeningTip : reason);
    session_.setWay(chosen == DrillWay::Listening && !reason.isEmpty() ? DrillWay::Typed : chosen);
}

QString DrillWays::listeningUnavailable() {
    if (QString reason = platform_.speechUnavailableReason(); !reason.isEmpty()) {
        return reason;
    }
    if (!session_.fileLoaded()) {
        return {};
    }
    if (session_.questionsAreJapanese()) {
        return platform_.hasVoice(platform::SpeechLanguage::Japanese)
                   ? QString()
                   : QStringLiteral("この単語帳の問題を読み上げる日本語の声がありません。");
    }
    return platform_.hasVoice(platform::SpeechLanguage::English)
               ? QString()
               : QStringLiteral("この単語帳の問題を読み上げる英語の声がありません。");
}

}  // namespace drill
