#pragma once

#include "editor/logic/search.h"
#include "platform/platform.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace editor {

class FocusBehaviour;
class frmScan;

// What a search needs from the editor window beyond the stored fields.
class SearchHost : public ScanSource {
public:
    // ScanString and ScanFields, kept by the window between searches.
    virtual QString scanString() const = 0;
    virtual void setScanString(const QString& text) = 0;
    virtual int scanFields() const = 0;
    virtual void setScanFields(int fields) = 0;
    virtual int currentPosition() const = 0;  // -1 when no entry is current
    // Grows with every change of the entries.
    virtual quint64 revision() const = 0;
    // Makes the entry current and shows it in the form, as a click on it would.
    virtual void showFound(int position) = 0;
};

// The search dialog and ScanNext. Pending window events are handled while a search runs.
class SearchCommand : public QObject {
    Q_OBJECT
public:
    SearchCommand(QWidget* window, SearchHost& host, platform::Platform& platform,
                  FocusBehaviour& focus);
    ~SearchCommand() override;

    void openDialog();  // Edit_Scan_Click
    void scanNext();    // ScanNext

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Driver;
    QWidget* messageParent() const;
    void tell(const QString& text, platform::Icon icon);

    QWidget* window_;
    SearchHost& host_;
    platform::Platform& platform_;
    FocusBehaviour& focus_;
    QPointer<frmScan> dialog_;
    bool running_ = false;
    bool stopped_ = false;  // the window closed while the search ran
    // Pending events are handled after this many entries without a match.
    int entriesBetweenEvents_ = 64;
};

}  // namespace editor
