#include "editor/logic/check_number.h"

#include <QAction>

namespace editor {

qint16 getCheckNumber(std::span<QAction* const> items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i]->isChecked()) {
            return qint16(i);
        }
    }
    return 0;
}

}  // namespace editor
