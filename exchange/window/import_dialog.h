// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

#include <functional>
#include <optional>

#include "exchange/logic/mapping.h"
#include "exchange/logic/table.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
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

    // Lets the user read the file again with another field separator or as HTML; `reread`
    // gives nullopt when the user cancelled it.
    using Reread = std::function<std::optional<Table>(ReadOptions)>;
    void offerReading(Reread reread);

private:
    void updatePlan();
    // The rows as read, but the answers as the mapping splits them.
    void fillPreview();
    void selectSplit(AnswerSplit split);
    // The field separator and HTML choices, hidden until a reader is offered.
    QWidget* createReadingChoices();
    void showReadingChoices();
    void reread();
    // Column names: the header row's when it is one, else the file's own.
    QStringList columnNames() const;
    void relabelColumns();
    void fillProblems();
    // Whether the rows are a document's entries rather than a text's lines.
    bool byEntry() const { return table_.numbering == RowNumbering::Entry; }

    Table table_;
    int room_;
    platform::Platform& platform_;
    ImportPlan plan_;

    QTableWidget* tblPreview;
    QComboBox* cboQuestion;
    QComboBox* cboAnswers;
    QComboBox* cboInformation;
    QComboBox* cboSeparator;
    QLineEdit* txtSeparator;
    QCheckBox* chkHeader;
    Reread reread_;
    QWidget* fraReading;
    QComboBox* cboFieldSeparator;
    QLineEdit* txtFieldSeparator;
    QCheckBox* chkHtml;
    QLabel* lblNotes;
    QLabel* lblSummary;
    QListWidget* lstProblems;
};

}  // namespace exchange
