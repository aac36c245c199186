#pragma once

#include "common/settings.h"
#include "document/input_options.h"

#include <QList>
#include <QObject>

class QAction;

namespace editor {

// The index of the first checked item, 0 when none is checked.
qint16 getCheckNumber(const QList<QAction*>& items);

// The "ｵﾌﾟｼｮﾝ(&P)" menu: its check marks are the options, nothing else holds them.
class OptionMenu : public QObject, public InputOptions {
    Q_OBJECT
public:
    struct Items {
        QAction* focus = nullptr;     // Option_Focus
        QList<QAction*> question;     // Option_IME_Q_Mode(0..2)
        QList<QAction*> right;        // Option_IME_R_Mode(0..2)
        QList<QAction*> information;  // Option_IME_I_Mode(0..2)
    };

    explicit OptionMenu(const Items& items, QObject* parent = nullptr);

    platform::ImeMode imeMode(BoxKind kind) const override;
    bool focusSelect() const override;

    // Check marks from the settings; a stored index outside 0..2 checks "なし(&E)".
    void load(const common::EditorOptions& options);
    void store(common::EditorOptions& options) const;

private:
    void makeModeArray(const QList<QAction*>& items);
    const QList<QAction*>& array(BoxKind kind) const;

    Items items_;
};

}  // namespace editor
