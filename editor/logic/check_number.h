#pragma once

#include <QtGlobal>

#include <span>

class QAction;

namespace editor {

// GetCheckNumber: the index of the first checked item of a menu array, 0 when none is.
qint16 getCheckNumber(std::span<QAction* const> items);

}  // namespace editor
