#pragma once

#include <QList>
#include <QListView>
#include <QPoint>

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

Q_SIGNALS:
    void menuRequested(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
};

}  // namespace editor
