// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/way_items.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "drill/engine/drill_session.h"
#include "platform/platform.h"

namespace drill {

WayItems::WayItems(platform::Platform& platform, DrillSession& session, QMenu* optionMenu)
    : QObject(optionMenu), session_(session), preferences_(platform.preferencesFile()) {
    // Radio items, of which none may be checked: then answers are typed.
    group_ = new QActionGroup(this);
    group_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const auto stored = static_cast<DrillWay>(preferences_.load().drillWay);
    auto addItem = [&](const QString& caption, const QString& name, const QString& toolTip,
                       DrillWay way) {
        QAction* item = optionMenu->addAction(caption);
        item->setObjectName(name);
        item->setCheckable(true);
        item->setToolTip(toolTip);
        item->setChecked(stored == way);
        group_->addAction(item);
        connect(item, &QAction::toggled, this,
                [this, way](bool on) { choose(on ? way : DrillWay::Typed); });
        return item;
    };
    Option_Choice =
        addItem(QStringLiteral("選択式(&M)"), QStringLiteral("Option_Choice"),
                QStringLiteral("4 つの選択肢から答えを選びます（キー 1～4）"), DrillWay::Choice);
    Option_Card = addItem(QStringLiteral("カード(&F)"), QStringLiteral("Option_Card"),
                          QStringLiteral("答えを見て、覚えていたかを自分で判定します"
                                         "（Space で答え、Enter か 1 で ○、2 で ×）"),
                          DrillWay::Card);
    if (stored == DrillWay::Choice || stored == DrillWay::Card) {
        session_.setWay(stored);
    }
}

void WayItems::choose(DrillWay way) {
    // Checking one item unchecks the other first: only the last word counts.
    if (way == DrillWay::Typed && group_->checkedAction() != nullptr) {
        return;
    }
    session_.setWay(way);
    // A file that cannot be written leaves the way for this run only; nothing to report.
    preferences_.update(
        [way](common::Preferences& preferences) { preferences.drillWay = static_cast<int>(way); });
}

void WayItems::updateAvailability(bool drilling) {
    group_->setEnabled(!drilling);
}

}  // namespace drill
