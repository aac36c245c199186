#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QMenu;

class QObject;
class QWidget;

// The help file's topic for each control, opened by F1 while the control has the focus.
namespace editor {

// The editor's topics in the help file.
enum HelpTopic : int {
    kContentsTopic = 0,
    kRemoveTopic = 12,
    kStoreTopic = 13,
    kBoxTopic = 15,
    kUndoTopic = 16,
    kExchangeTopic = 17,
    kListTopic = 35,
    kConverterTopic = 60,
    kViewTopic = 70,
};

// A menu item with its object name (as the design names it), keys and help topic
// (kContentsTopic: the menu's own).
QAction* addMenuItem(QMenu* menu, const QString& caption, const char* name,
                     const QList<QKeySequence>& keys = {}, int helpTopic = kContentsTopic);

void setHelpTopic(QObject* object, int topic);  // a control or a menu item
int helpTopicOf(const QObject* object);         // 0 when it has none
// The topic of widget or of its nearest parent that has one; 0 (the contents) when none has.
int helpTopicAt(const QWidget* widget);

}  // namespace editor
