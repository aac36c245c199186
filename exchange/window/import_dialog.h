#pragma once

#include <QDialog>

#include "exchange/logic/mapping.h"
#include "exchange/logic/table.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;

namespace platform {
class Platform;
}

namespace exchange {

// Shows the rows of a file about to be imported, lets the user map its columns and lists the
// rows that cannot become entries. Accepted only with something to import that fits.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    // room: how many entries the document can still take.
    ImportDialog(Table table, int room, platform::Platform& platform, QWidget* parent = nullptr);

    Mapping mapping() const;
    const ImportPlan& plan() const { return plan_; }

    void accept() override;

private:
    void updatePlan();
    void fillPreview();
    void fillProblems();

    Table table_;
    int room_;
    platform::Platform& platform_;
    ImportPlan plan_;

    QTableWidget* tblPreview;
    QComboBox* cboQuestion;
    QComboBox* cboAnswers;
    QComboBox* cboInformation;
    QComboBox* cboSeparator;
    QCheckBox* chkHeader;
    QLabel* lblSummary;
    QListWidget* lstProblems;
};

}  // namespace exchange
