#include "editor/window/help_topics.h"

#include <QVariant>
#include <QWidget>

namespace editor {

namespace {
constexpr char kHelpTopicProperty[] = "kxHelpTopic";
}

void setHelpTopic(QWidget* widget, int topic) {
    widget->setProperty(kHelpTopicProperty, topic);
}

int helpTopicAt(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant topic = w->property(kHelpTopicProperty);
        if (topic.isValid()) {
            return topic.toInt();
        }
    }
    return 0;
}

}  // namespace editor
