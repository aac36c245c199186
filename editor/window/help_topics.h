#pragma once

class QObject;
class QWidget;

// The help file's topic for each control, opened by F1 while the control has the focus.
namespace editor {

void setHelpTopic(QObject* object, int topic);  // a control or a menu item
int helpTopicOf(const QObject* object);         // 0 when it has none
// The topic of widget or of its nearest parent that has one; 0 (the contents) when none has.
int helpTopicAt(const QWidget* widget);

}  // namespace editor
