#include "option_menu.h"

#include <QAction>

namespace editor {

qint16 getCheckNumber(const QList<QAction*>& items) {
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i]->isChecked()) {
            return qint16(i);
        }
    }
    return 0;
}

OptionMenu::OptionMenu(const Items& items, QObject* parent) : QObject(parent), items_(items) {
    items_.focus->setCheckable(true);
    makeModeArray(items_.question);
    makeModeArray(items_.right);
    makeModeArray(items_.information);
}

void OptionMenu::makeModeArray(const QList<QAction*>& items) {
    for (QAction* item : items) {
        item->setCheckable(true);
        // Choosing an item checks it alone; choosing the checked one keeps it checked.
        connect(item, &QAction::triggered, this, [items, item] {
            for (QAction* other : items) {
                other->setChecked(other == item);
            }
        });
    }
}

const QList<QAction*>& OptionMenu::array(BoxKind kind) const {
    switch (kind) {
        case BoxKind::Question:
            return items_.question;
        case BoxKind::Right:
            return items_.right;
        case BoxKind::Information:
        case BoxKind::Plain:
            break;
    }
    return items_.information;
}

platform::ImeMode OptionMenu::imeMode(BoxKind kind) const {
    if (kind == BoxKind::Plain) {
        return platform::ImeMode::NoControl;
    }
    return imeModeFromIndex(getCheckNumber(array(kind)));
}

bool OptionMenu::focusSelect() const {
    return items_.focus->isChecked();
}

void OptionMenu::load(const common::EditorOptions& options) {
    items_.focus->setChecked(options.focusSelect);
    const auto check = [](const QList<QAction*>& items, qint16 stored) {
        const int index = int(imeModeFromIndex(stored));
        for (qsizetype i = 0; i < items.size(); ++i) {
            items[i]->setChecked(i == index);
        }
    };
    check(items_.question, options.imeQuestion);
    check(items_.right, options.imeRight);
    check(items_.information, options.imeInformation);
}

void OptionMenu::store(common::EditorOptions& options) const {
    options.focusSelect = focusSelect();
    options.imeQuestion = getCheckNumber(items_.question);
    options.imeRight = getCheckNumber(items_.right);
    options.imeInformation = getCheckNumber(items_.information);
}

}  // namespace editor
