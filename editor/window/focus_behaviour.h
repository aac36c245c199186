// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/logic/input_options.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <optional>

class QWidget;

namespace platform {
class Platform;
}

namespace editor {

// Applies the input options to text boxes each time one gets the focus: the input-method mode
// of its kind, and the whole-text selection when that option is on.
class FocusBehaviour : public QObject {
    Q_OBJECT
public:
    FocusBehaviour(platform::Platform& platform, const InputOptions& options,
                   QObject* parent = nullptr);

    // A QLineEdit, QPlainTextEdit or QTextEdit. A box of no kind gets the selection only.
    void attach(QWidget* box, std::optional<BoxKind> kind);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void gotFocus(QWidget* box, std::optional<BoxKind> kind, QEvent* event);

    platform::Platform& platform_;
    const InputOptions& options_;
    QHash<QObject*, QWidget*> boxOfWatched_;  // the box, or a text edit's viewport
    QHash<QWidget*, std::optional<BoxKind>> kinds_;
    QPointer<QWidget> selectOnRelease_;  // focused by a click: select once the click is done
};

}  // namespace editor
