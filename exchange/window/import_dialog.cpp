#include "exchange/window/import_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "exchange/window/messages.h"
#include "platform/platform.h"
#include "platform/window_fit.h"

namespace exchange {

namespace {

// Enough rows to recognise the columns; the whole file may be far longer.
constexpr int kPreviewRows = 50;

QComboBox* columnBox(const QStringList& columns, const QString& name, const QString& accessible,
                     bool withNone) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    if (withNone) {
        box->addItem(QStringLiteral("なし"), -1);
    }
    for (qsizetype i = 0; i < columns.size(); ++i) {
        box->addItem(columns[i], int(i));
    }
    return box;
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
    fillPreview();

    cboQuestion =
        columnBox(table_.columns, QStringLiteral("cboQuestion"), QStringLiteral("問題の列"), false);
    cboAnswers =
        columnBox(table_.columns, QStringLiteral("cboAnswers"), QStringLiteral("答えの列"), false);
    cboInformation = columnBox(table_.columns, QStringLiteral("cboInformation"),
                               QStringLiteral("情報の列"), true);
    select(cboQuestion, table_.suggestedQuestion);
    select(cboAnswers, table_.suggestedAnswers);
    select(cboInformation, table_.suggestedInformation);

    cboSeparator = new QComboBox;
    cboSeparator->setObjectName(QStringLiteral("cboSeparator"));
    cboSeparator->setAccessibleName(QStringLiteral("答えの区切り"));
    // Screen readers read a combo box by its current item, so each names itself in Japanese.
    const std::pair<AnswerSplit, QString> splits[] = {
        {AnswerSplit::Semicolon, QStringLiteral("セミコロン")},
        {AnswerSplit::Slash, QStringLiteral("スラッシュ")},
        {AnswerSplit::Comma, QStringLiteral("読点")}};
    for (const auto& [split, name] : splits) {
        cboSeparator->addItem(QStringLiteral("「%1」%2").arg(splitText(split), name), int(split));
    }
    cboSeparator->addItem(QStringLiteral("1列に1つ (答えの列から右の列すべて)"),
                          int(AnswerSplit::OnePerColumn));

    chkHeader = new QCheckBox(QStringLiteral("1行目は見出し(&H)"));
    chkHeader->setObjectName(QStringLiteral("chkHeader"));
    chkHeader->setAccessibleName(QStringLiteral("1行目は見出し"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("問題(&Q):"), cboQuestion);
    form->addRow(QStringLiteral("答え(&A):"), cboAnswers);
    form->addRow(QStringLiteral("答えの区切り(&S):"), cboSeparator);
    form->addRow(QStringLiteral("情報(&N):"), cboInformation);
    form->addRow(QString(), chkHeader);
    for (QComboBox* box : {cboQuestion, cboAnswers, cboInformation, cboSeparator}) {
        if (auto* label = qobject_cast<QLabel*>(form->labelForField(box))) {
            label->setBuddy(box);
        }
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

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tblPreview, 3);
    layout->addLayout(form);
    layout->addWidget(lblSummary);
    layout->addWidget(lstProblems, 1);
    layout->addWidget(buttons);

    for (QComboBox* box : {cboQuestion, cboAnswers, cboInformation, cboSeparator}) {
        connect(box, &QComboBox::currentIndexChanged, this, &ImportDialog::updatePlan);
    }
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
    return mapping;
}

void ImportDialog::fillPreview() {
    const int rows = int(std::min<qsizetype>(table_.rows.size(), kPreviewRows));
    tblPreview->setColumnCount(int(table_.columns.size()));
    tblPreview->setHorizontalHeaderLabels(table_.columns);
    tblPreview->setRowCount(rows);
    // Rows are numbered by the line they start on, as the problems below name them.
    QStringList lines;
    for (int r = 0; r < rows; ++r) {
        lines.append(QString::number(table_.sourceLines.value(r, r + 1)));
    }
    tblPreview->setVerticalHeaderLabels(lines);
    for (int r = 0; r < rows; ++r) {
        const QStringList& row = table_.rows[r];
        for (int c = 0; c < row.size() && c < table_.columns.size(); ++c) {
            tblPreview->setItem(r, c, new QTableWidgetItem(row[c]));
        }
    }
    tblPreview->resizeColumnsToContents();
}

void ImportDialog::updatePlan() {
    plan_ = planImport(table_, mapping());
    lblSummary->setText(QStringLiteral("単語にできる行: %1 件　単語にできない行: %2 件")
                            .arg(plan_.entries.size())
                            .arg(plan_.problems.size()));
    lstProblems->clear();
    for (const RowProblem& problem : plan_.problems) {
        lstProblems->addItem(describe(problem));
    }
}

void ImportDialog::accept() {
    const auto warn = [this](const QString& text) {
        platform_.showMessage(this, {text, kImportTitle, platform::Icon::Warning});
    };
    if (plan_.entries.isEmpty()) {
        warn(kNothingToImport);
        return;
    }
    if (plan_.entries.size() > room_) {
        warn(tooManyToImport(int(plan_.entries.size()), room_));
        return;
    }
    if (!plan_.problems.isEmpty()) {
        platform::MessageBox box{
            QStringLiteral("%1 行は単語にできません。\r\n残りの %2 件だけを取り込みますか？")
                .arg(plan_.problems.size())
                .arg(plan_.entries.size()),
            kImportTitle, platform::Icon::Question, platform::Buttons::YesNo, platform::Answer::No};
        if (platform_.showMessage(this, box) != platform::Answer::Yes) {
            return;
        }
    }
    QDialog::accept();
}

}  // namespace exchange
