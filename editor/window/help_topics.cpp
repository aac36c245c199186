// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/help_topics.h"

#include <QAction>
#include <QMenu>
#include <QVariant>
#include <QWidget>

namespace editor {

namespace {
constexpr char kHelpTopicProperty[] = "kxHelpTopic";
}

void setHelpTopic(QObject* object, int topic) {
    object->setProperty(kHelpTopicProperty, topic);
}

int helpTopicOf(const QObject* object) {
    return object->property(kHelpTopicProperty).toInt();
}

int helpTopicAt(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (const int topic = helpTopicOf(w)) {
            return topic;
        }
    }
    return 0;
}

QAction* addMenuItem(QMenu* menu, const QString& caption, const char* name,
                     const QList<QKeySequence>& keys, int helpTopic) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    if (helpTopic != kContentsTopic) {
        setHelpTopic(action, helpTopic);
    }
    return action;
}

}  // namespace editor
