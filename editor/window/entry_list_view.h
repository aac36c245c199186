// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QListView>
#include <QPoint>

#include <functional>
#include <optional>

namespace editor {

// lstQuestion: extended selection, with the current position kept apart from the selection.
// A right click neither selects nor moves the current position: it only asks for the menu.
class EntryListView : public QListView {
    Q_OBJECT
public:
    explicit EntryListView(QWidget* parent = nullptr);

    std::optional<int> currentPosition() const;
    // Moves the focus mark without selecting anything; nullopt leaves no current position.
    void setCurrentPosition(std::optional<int> position);
    bool hasSelection() const;
    QList<int> selectedPositions() const;  // ascending
    void setSelectedPositions(const QList<int>& positions);
    // Asked before a left click or a key may choose another entry; false keeps the list as
    // it is (the form holds typing that the user wants to keep).
    void setMayChoose(std::function<bool()> mayChoose) { mayChoose_ = std::move(mayChoose); }

Q_SIGNALS:
    void menuRequested(const QPoint& globalPos);
    // Enter: the window's default command.
    void submitted();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool mayChoose() const { return !mayChoose_ || mayChoose_(); }

    std::function<bool()> mayChoose_;
};

}  // namespace editor
