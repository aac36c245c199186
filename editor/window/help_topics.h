// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/help_topic.h"

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QMenu;

class QObject;
class QWidget;

// The help file's topic for each control, opened by F1 while the control has the focus.
namespace editor {

// The editor's topics in the help file, by the names its windows use.
inline constexpr int kContentsTopic = common::topicNumber(common::HelpTopic::Contents);
inline constexpr int kRemoveTopic = common::topicNumber(common::HelpTopic::Remove);
inline constexpr int kStoreTopic = common::topicNumber(common::HelpTopic::Store);
inline constexpr int kBoxTopic = common::topicNumber(common::HelpTopic::Box);
inline constexpr int kUndoTopic = common::topicNumber(common::HelpTopic::Undo);
inline constexpr int kExchangeTopic = common::topicNumber(common::HelpTopic::Exchange);
inline constexpr int kListTopic = common::topicNumber(common::HelpTopic::List);
inline constexpr int kConverterTopic = common::topicNumber(common::HelpTopic::Converter);
inline constexpr int kViewTopic = common::topicNumber(common::HelpTopic::View);

// A menu item with its object name (as the design names it), keys and help topic
// (kContentsTopic: the menu's own).
QAction* addMenuItem(QMenu* menu, const QString& caption, const char* name,
                     const QList<QKeySequence>& keys = {}, int helpTopic = kContentsTopic);

void setHelpTopic(QObject* object, int topic);  // a control or a menu item
int helpTopicOf(const QObject* object);         // 0 when it has none
// The topic of widget or of its nearest parent that has one; 0 (the contents) when none has.
int helpTopicAt(const QWidget* widget);

}  // namespace editor
