// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/focus_behaviour.h"

#include "platform/platform.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace editor {

namespace {

bool hasSelection(const QWidget* box) {
    if (const auto* line = qobject_cast<const QLineEdit*>(box)) {
        return line->hasSelectedText();
    }
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(box)) {
        return plain->textCursor().hasSelection();
    }
    if (const auto* rich = qobject_cast<const QTextEdit*>(box)) {
        return rich->textCursor().hasSelection();
    }
    return false;
}

void selectWholeText(QWidget* box) {
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->selectAll();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
        plain->selectAll();
    } else if (auto* rich = qobject_cast<QTextEdit*>(box)) {
        rich->selectAll();
    }
}

// A line edit selects everything by itself when tabbed into; with the option off it keeps
// just the caret, as the other boxes do.
void dropSelection(QWidget* box) {
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->deselect();
    }
}

QWidget* viewportOf(QWidget* box) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(box)) {
        return area->viewport();
    }
    return nullptr;
}

}  // namespace

FocusBehaviour::FocusBehaviour(platform::Platform& platform, const InputOptions& options,
                               QObject* parent)
    : QObject(parent), platform_(platform), options_(options) {}

void FocusBehaviour::attach(QWidget* box, std::optional<BoxKind> kind) {
    kinds_.insert(box, kind);
    boxOfWatched_.insert(box, box);
    box->installEventFilter(this);
    if (QWidget* viewport = viewportOf(box)) {
        boxOfWatched_.insert(viewport, box);
        viewport->installEventFilter(this);
    }
    connect(box, &QObject::destroyed, this, [this, box, viewport = viewportOf(box)] {
        kinds_.remove(box);
        boxOfWatched_.remove(box);
        boxOfWatched_.remove(viewport);
    });
}

bool FocusBehaviour::eventFilter(QObject* watched, QEvent* event) {
    QWidget* box = boxOfWatched_.value(watched);
    if (box == nullptr) {
        return false;
    }
    if (event->type() == QEvent::FocusIn && watched == box) {
        gotFocus(box, kinds_.value(box), event);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && selectOnRelease_ == box) {
        selectOnRelease_.clear();
        // Let the click place the caret first; a drag that selected something keeps it.
        watched->event(event);
        if (!hasSelection(box) && box->hasFocus()) {
            selectWholeText(box);
        }
        return true;
    }
    return false;
}

void FocusBehaviour::gotFocus(QWidget* box, std::optional<BoxKind> kind, QEvent* event) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // Coming back from another window or a menu is not a new visit to the box.
    const bool returning = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
    if (!returning && kind) {
        platform_.setImeMode(box, options_.imeMode(*kind));
    }
    // The box handles its focus first, so that what follows decides the selection.
    static_cast<QObject*>(box)->event(event);
    if (returning) {
        return;
    }
    if (!options_.focusSelect()) {
        if (reason != Qt::MouseFocusReason) {
            dropSelection(box);
        }
        return;
    }
    if (reason == Qt::MouseFocusReason) {
        selectOnRelease_ = box;
    } else {
        selectWholeText(box);
    }
}

}  // namespace editor
