#include "editor/window/help_topics.h"

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

}  // namespace editor
