// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/window/import_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "exchange/window/messages.h"
#include "platform/platform.h"
#include "platform/window_fit.h"

namespace exchange {

namespace {

// Enough rows to recognise the columns; the whole file may be far longer.
constexpr int kPreviewRows = 50;

// Hidden columns (tags, deck and the like) are never offered.
void fillColumns(QComboBox* box, const QStringList& columns, const QList<int>& hidden,
                 bool withNone) {
    box->clear();
    if (withNone) {
        box->addItem(QStringLiteral("なし"), -1);
    }
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (!hidden.contains(int(i))) {
            box->addItem(columns[i], int(i));
        }
    }
}

QComboBox* columnBox(const Table& table, const QString& name, const QString& accessible,
                     bool withNone) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    fillColumns(box, table.columns, table.hiddenColumns, withNone);
    return box;
}

// A cell shows its start: a field of megabytes would take the table seconds to lay out. A NUL
// shows as its symbol, as the problem list names it.
QString previewText(const QString& cell) {
    constexpr qsizetype kShown = 200;
    QString shown = cell.size() > kShown ? cell.left(kShown) + u'…' : cell;
    return shown.replace(QChar(), QChar(0x2400));
}

void select(QComboBox* box, int column) {
    const int index = box->findData(column);
    box->setCurrentIndex(index < 0 ? 0 : index);
}

}  // namespace

ImportDialog::ImportDialog(Table table, int room, platform::Platform& platform, QWidget* parent)
    : QDialog(parent), table_(std::move(table)), room_(room), platform_(platform) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(kImportTitle);

    tblPreview = new QTableWidget(this);
    tblPreview->setObjectName(QStringLiteral("tblPreview"));
    tblPreview->setAccessibleName(QStringLiteral("取り込む行の見本"));
    tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (auto* corner = tblPreview->findChild<QAbstractButton*>()) {
        corner->setAccessibleName(QStringLiteral("すべて選択"));
    }

    cboQuestion =
        columnBox(table_, QStringLiteral("cboQuestion"), QStringLiteral("問題の列"), false);
    cboAnswers = columnBox(table_, QStringLiteral("cboAnswers"), QStringLiteral("答えの列"), false);
    cboInformation =
        columnBox(table_, QStringLiteral("cboInformation"), QStringLiteral("情報の列"), true);
    select(cboQuestion, table_.suggestedQuestion);
    select(cboAnswers, table_.suggestedAnswers);
    select(cboInformation, table_.suggestedInformation);

    cboSeparator = new QComboBox;
    cboSeparator->setObjectName(QStringLiteral("cboSeparator"));
    cboSeparator->setAccessibleName(QStringLiteral("答えの区切り"));
    // Screen readers read a combo box by its current item, so each names itself in Japanese.
    const std::pair<AnswerSplit, QString> splits[] = {
        {AnswerSplit::FullWidthSemicolon, QStringLiteral("全角セミコロン")},
        {AnswerSplit::FullWidthSlash, QStringLiteral("全角スラッシュ")},
        {AnswerSplit::Comma, QStringLiteral("読点")},
        {AnswerSplit::Semicolon, QStringLiteral("セミコロン")},
        {AnswerSplit::Slash, QStringLiteral("スラッシュ")},
        {AnswerSplit::AsciiComma, QStringLiteral("半角カンマ")}};
    for (const auto& [split, name] : splits) {
        cboSeparator->addItem(QStringLiteral("「%1」%2").arg(splitText(split), name), int(split));
    }
    cboSeparator->addItem(splitText(AnswerSplit::LineBreak), int(AnswerSplit::LineBreak));
    cboSeparator->addItem(QStringLiteral("その他"), int(AnswerSplit::Other));
    cboSeparator->addItem(QStringLiteral("1列に1つ (答えの列から右の列すべて)"),
                          int(AnswerSplit::OnePerColumn));
    txtSeparator = new QLineEdit;
    txtSeparator->setObjectName(QStringLiteral("txtSeparator"));
    txtSeparator->setAccessibleName(QStringLiteral("その他の答えの区切り"));
    txtSeparator->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("MMMMMMMM")));
    selectSplit(proposedMapping(table_).split);
    auto* separatorRow = new QHBoxLayout;
    separatorRow->addWidget(cboSeparator, 1);
    separatorRow->addWidget(txtSeparator);

    chkHeader = new QCheckBox(QStringLiteral("1行目は見出し(&H)"));
    chkHeader->setObjectName(QStringLiteral("chkHeader"));
    chkHeader->setAccessibleName(QStringLiteral("1行目は見出し"));
    chkHeader->setChecked(table_.firstRowIsHeader);
    // A document of entries has no header row.
    if (byEntry()) {
        chkHeader->hide();
    }

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("問題(&Q):"), cboQuestion);
    form->addRow(QStringLiteral("答え(&A):"), cboAnswers);
    form->addRow(QStringLiteral("答えの区切り(&S):"), separatorRow);
    form->addRow(QStringLiteral("情報(&N):"), cboInformation);
    form->addRow(QString(), chkHeader);
    for (QComboBox* box : {cboQuestion, cboAnswers, cboInformation}) {
        if (auto* label = qobject_cast<QLabel*>(form->labelForField(box))) {
            label->setBuddy(box);
        }
    }
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(separatorRow))) {
        label->setBuddy(cboSeparator);
    }

    lblSummary = new QLabel;
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lstProblems = new QListWidget;
    lstProblems->setObjectName(QStringLiteral("lstProblems"));
    lstProblems->setAccessibleName(QStringLiteral("単語にできない行"));

    auto* buttons = new QDialogButtonBox;
    QPushButton* cmdImport =
        buttons->addButton(QStringLiteral("取り込む(&I)"), QDialogButtonBox::AcceptRole);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setAccessibleName(QStringLiteral("取り込む"));
    cmdImport->setDefault(true);
    QPushButton* cmdCancel =
        buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAccessibleName(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ImportDialog::reject);

    lblNotes = new QLabel;
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    lblNotes->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(createReadingChoices());
    layout->addWidget(tblPreview, 3);
    layout->addWidget(lblNotes);
    layout->addLayout(form);
    layout->addWidget(lblSummary);
    layout->addWidget(lstProblems, 1);
    layout->addWidget(buttons);

    for (QComboBox* box : {cboQuestion, cboAnswers, cboInformation, cboSeparator}) {
        connect(box, &QComboBox::currentIndexChanged, this, &ImportDialog::updatePlan);
    }
    connect(txtSeparator, &QLineEdit::textEdited, this, &ImportDialog::updatePlan);
    connect(chkHeader, &QCheckBox::toggled, this, &ImportDialog::updatePlan);
    updatePlan();

    // Room for about six columns of a dozen characters and a screenful of rows, in the
    // fonts that draw them (Japanese comes from a taller fallback font).
    const QFontMetrics metrics(tblPreview->font());
    const int line = metrics.lineSpacing();
    platform::fitToScreen(
        this, {}, {metrics.horizontalAdvance(QStringLiteral("問題の言葉あいう")) * 6, line * 36});
}

Mapping ImportDialog::mapping() const {
    Mapping mapping;
    mapping.question = cboQuestion->currentData().toInt();
    mapping.answers = cboAnswers->currentData().toInt();
    mapping.information = cboInformation->currentData().toInt();
    mapping.split = static_cast<AnswerSplit>(cboSeparator->currentData().toInt());
    mapping.firstRowIsHeader = chkHeader->isChecked();
    mapping.otherSeparator = txtSeparator->text();
    return mapping;
}

void ImportDialog::selectSplit(AnswerSplit split) {
    const QSignalBlocker block(cboSeparator);
    cboSeparator->setCurrentIndex(std::max(cboSeparator->findData(int(split)), 0));
}

void ImportDialog::fillPreview() {
    const Mapping shown = mapping();
    const int rows = int(std::min<qsizetype>(table_.rows.size(), kPreviewRows));
    tblPreview->setColumnCount(int(table_.columns.size()));
    tblPreview->setHorizontalHeaderLabels(table_.columns);
    tblPreview->setRowCount(rows);
    // Rows are numbered by the line they start on (or their entry), as the problems below
    // name them.
    QStringList lines;
    for (int r = 0; r < rows; ++r) {
        lines.append(QString::number(table_.sourceLines.value(r, r + 1)));
    }
    tblPreview->setVerticalHeaderLabels(lines);
    for (int r = 0; r < rows; ++r) {
        const QStringList& row = table_.rows[r];
        for (int c = 0; c < row.size() && c < table_.columns.size(); ++c) {
            tblPreview->setItem(r, c, new QTableWidgetItem(previewText(row[c])));
        }
        // The answers as they will be split, so that a wrong separator shows before importing.
        if (shown.answers >= 0 && shown.answers < table_.columns.size() &&
            !(r == 0 && shown.firstRowIsHeader)) {
            tblPreview->setItem(r, shown.answers,
                                new QTableWidgetItem(
                                    previewText(previewAnswers(row, shown, table_.hiddenColumns))));
        }
    }
    tblPreview->resizeColumnsToContents();
}

QWidget* ImportDialog::createReadingChoices() {
    fraReading = new QWidget;
    fraReading->setObjectName(QStringLiteral("fraReading"));
    fraReading->hide();
    cboFieldSeparator = new QComboBox;
    cboFieldSeparator->setObjectName(QStringLiteral("cboFieldSeparator"));
    cboFieldSeparator->setAccessibleName(QStringLiteral("列の区切り"));
    cboFieldSeparator->addItem(QStringLiteral("タブ"), QString(u'\t'));
    cboFieldSeparator->addItem(QStringLiteral("カンマ"), QStringLiteral(","));
    cboFieldSeparator->addItem(QStringLiteral("セミコロン"), QStringLiteral(";"));
    cboFieldSeparator->addItem(QStringLiteral("その他"), QString());
    txtFieldSeparator = new QLineEdit;
    txtFieldSeparator->setObjectName(QStringLiteral("txtFieldSeparator"));
    txtFieldSeparator->setAccessibleName(QStringLiteral("その他の区切り文字"));
    txtFieldSeparator->setMaxLength(1);
    txtFieldSeparator->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("MMMM")));
    chkHtml = new QCheckBox(QStringLiteral("HTML として読む(&T)"));
    chkHtml->setObjectName(QStringLiteral("chkHtml"));
    chkHtml->setAccessibleName(QStringLiteral("HTML として読む"));

    auto* label = new QLabel(QStringLiteral("列の区切り(&D):"));
    label->setBuddy(cboFieldSeparator);
    auto* row = new QHBoxLayout(fraReading);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label);
    row->addWidget(cboFieldSeparator);
    row->addWidget(txtFieldSeparator);
    row->addSpacing(fontMetrics().averageCharWidth() * 2);
    row->addWidget(chkHtml);
    row->addStretch();
    return fraReading;
}

void ImportDialog::offerReading(Reread reread) {
    reread_ = std::move(reread);
    showReadingChoices();
    connect(cboFieldSeparator, &QComboBox::currentIndexChanged, this, &ImportDialog::reread);
    connect(txtFieldSeparator, &QLineEdit::textEdited, this, &ImportDialog::reread);
    connect(chkHtml, &QCheckBox::toggled, this, &ImportDialog::reread);
}

// Shows what the file was read with.
void ImportDialog::showReadingChoices() {
    const QSignalBlocker blockBox(cboFieldSeparator);
    const QSignalBlocker blockText(txtFieldSeparator);
    const QSignalBlocker blockHtml(chkHtml);
    const int known = cboFieldSeparator->findData(QString(table_.separator));
    const bool other = known < 0 || table_.separator.isNull();
    cboFieldSeparator->setCurrentIndex(other ? cboFieldSeparator->count() - 1 : known);
    if (other) {
        txtFieldSeparator->setText(table_.separator.isNull() ? QString()
                                                             : QString(table_.separator));
    }
    txtFieldSeparator->setEnabled(other);
    chkHtml->setChecked(table_.html);
    fraReading->show();
}

void ImportDialog::reread() {
    QString separator = cboFieldSeparator->currentData().toString();
    const bool other = separator.isEmpty();
    txtFieldSeparator->setEnabled(other);
    if (other) {
        separator = txtFieldSeparator->text();
        if (separator.isEmpty()) {
            return;  // until one is typed
        }
    }
    std::optional<Table> read = reread_(ReadOptions{separator[0], chkHtml->isChecked(), {}});
    if (read && !read->outcome.ok()) {
        platform_.warn(this, QStringLiteral("この読み方では読めません。"), read->outcome,
                       kImportTitle);
    }
    if (!read || !read->outcome.ok()) {
        showReadingChoices();  // back to what the preview shows
        return;
    }
    table_ = std::move(*read);
    for (QComboBox* box : {cboQuestion, cboAnswers, cboInformation}) {
        const QSignalBlocker block(box);
        const int chosen = box->currentData().toInt();
        fillColumns(box, table_.columns, table_.hiddenColumns, box == cboInformation);
        const int index = box->findData(chosen);
        box->setCurrentIndex(std::max(index, 0));
    }
    selectSplit(proposedMapping(table_).split);
    updatePlan();
}

QStringList ImportDialog::columnNames() const {
    QStringList names = table_.columns;
    if (chkHeader->isChecked() && !table_.rows.isEmpty()) {
        const QStringList& header = table_.rows.first();
        for (int i = 0; i < int(names.size()) && i < int(header.size()); ++i) {
            if (!table_.hiddenColumns.contains(i) && !header[i].trimmed().isEmpty()) {
                names[i] = header[i].trimmed();
            }
        }
    }
    return names;
}

void ImportDialog::relabelColumns() {
    const QStringList names = columnNames();
    tblPreview->setHorizontalHeaderLabels(names);
    for (QComboBox* box : {cboQuestion, cboAnswers, cboInformation}) {
        for (int i = 0; i < box->count(); ++i) {
            const int column = box->itemData(i).toInt();
            if (column >= 0 && column < names.size()) {
                box->setItemText(i, names[column]);
            }
        }
    }
    if (tblPreview->rowCount() > 0) {
        tblPreview->setRowHidden(0, chkHeader->isChecked());
    }
    lblNotes->setText(table_.notes.join(u'\n'));
    lblNotes->setVisible(!table_.notes.isEmpty());
}

void ImportDialog::updatePlan() {
    txtSeparator->setEnabled(cboSeparator->currentData().toInt() == int(AnswerSplit::Other));
    fillPreview();
    relabelColumns();
    plan_ = planImport(table_, mapping());
    const QString rows = byEntry() ? QStringLiteral("項目") : QStringLiteral("行");
    lblSummary->setText(QStringLiteral("単語にできる%1: %2 件　単語にできない%1: %3 件")
                            .arg(rows)
                            .arg(plan_.entries.size())
                            .arg(plan_.problems.size()));
    fillProblems();
}

void ImportDialog::fillProblems() {
    // Enough to see what is wrong; hundreds of thousands would take the list seconds.
    constexpr qsizetype kListed = 1000;
    lstProblems->clear();
    for (qsizetype i = 0; i < plan_.problems.size() && i < kListed; ++i) {
        lstProblems->addItem(describe(plan_.problems[i]));
    }
    if (plan_.problems.size() > kListed) {
        const qsizetype more = plan_.problems.size() - kListed;
        lstProblems->addItem(byEntry() ? QStringLiteral("ほか %1 個の項目").arg(more)
                                       : QStringLiteral("ほか %1 行").arg(more));
    }
}

void ImportDialog::accept() {
    if (plan_.entries.isEmpty()) {
        platform_.warn(this, kNothingToImport, kImportTitle);
        return;
    }
    if (plan_.entries.size() > room_) {
        platform_.warn(this, tooManyToImport(int(plan_.entries.size()), room_), kImportTitle);
        return;
    }
    if (!plan_.problems.isEmpty()) {
        // A kvtml document has entries, not lines.
        const QString refused = byEntry() ? QStringLiteral("%1 個の項目は単語にできません。")
                                          : QStringLiteral("%1 行は単語にできません。");
        platform::MessageBox box{
            refused.arg(plan_.problems.size()) +
                QStringLiteral("\r\n残りの %1 件だけを取り込みますか？").arg(plan_.entries.size()),
            kImportTitle, platform::Icon::Question, platform::Buttons::YesNo, platform::Answer::No};
        if (platform_.showMessage(this, box) != platform::Answer::Yes) {
            return;
        }
    }
    QDialog::accept();
}

}  // namespace exchange
