#include "drill/window/frm_history.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QStandardPaths>
#include <QTableView>
#include <QTimeZone>
#include <QVBoxLayout>
#include <QValueAxis>

#include <utility>

#include "common/word_file.h"
#include "drill/history/history_report.h"
#include "platform/platform.h"
#include "platform/window_fit.h"

namespace drill {

namespace {

const QString kTitle = QStringLiteral("成績の記録");
const QString kCsvTitle = QStringLiteral("CSV に書き出す");
constexpr qsizetype kMostMissedShown = 20;

}  // namespace

// The records as table rows, without copying them into items.
class HistoryModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRecords(const QList<history::DrillRecord>* records) {
        beginResetModel();
        records_ = records;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() || records_ == nullptr ? 0 : static_cast<int>(records_->size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(kHeaders.size());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            return kHeaders.value(section);
        }
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const history::DrillRecord& r = records_->at(index.row());
        if (role == Qt::TextAlignmentRole) {
            return index.column() == 1 || (index.column() >= 4 && index.column() <= 6)
                       ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                       : QVariant();
        }
        if (role == Qt::ToolTipRole && index.column() == 2) {
            return QDir::toNativeSeparators(r.wordFile);
        }
        if (role != Qt::DisplayRole) {
            return {};
        }
        switch (index.column()) {
            case 0:
                return history::startedText(r.started, zone_);
            case 1:
                return r.seconds;
            case 2:
                return QFileInfo(r.wordFile).fileName();
            case 3:
                return history::modeName(r.mode);
            case 4:
                return r.asked;
            case 5:
                return r.right;
            case 6:
                return QStringLiteral("%1 %").arg(r.rate);
            default:
                return r.missed.join(QStringLiteral(" / "));
        }
    }

private:
    inline static const QStringList kHeaders{
        QStringLiteral("開始日時"), QStringLiteral("時間 (秒)"),   QStringLiteral("単語ファイル"),
        QStringLiteral("モード"),   QStringLiteral("問題数"),      QStringLiteral("正解数"),
        QStringLiteral("正解率"),   QStringLiteral("間違えた問題")};
    const QList<history::DrillRecord>* records_ = nullptr;
    // Looked up once: the system's zone is slow to build for every cell.
    QTimeZone zone_ = QTimeZone::systemTimeZone();
};

frmHistory::frmHistory(QList<history::DrillRecord> records, const QString& currentFile,
                       platform::Platform& platform, QWidget* parent)
    : QDialog(parent), platform_(platform), records_(std::move(records)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(kTitle);

    lstFiles = new QListWidget(this);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->setAccessibleName(QStringLiteral("単語ファイル"));
    lstFiles->addItem(QStringLiteral("すべての単語ファイル"));
    for (const QString& file : history::wordFilesOf(records_)) {
        auto* item = new QListWidgetItem(QFileInfo(file).fileName(), lstFiles);
        item->setData(Qt::UserRole, file);
        item->setToolTip(QDir::toNativeSeparators(file));
    }
    auto* fileLabel = new QLabel(QStringLiteral("単語ファイル(&F):"), this);
    fileLabel->setBuddy(lstFiles);

    model_ = new HistoryModel(this);
    tblDrills = new QTableView(this);
    tblDrills->setObjectName(QStringLiteral("tblDrills"));
    tblDrills->setAccessibleName(QStringLiteral("ドリルの記録"));
    tblDrills->setModel(model_);
    tblDrills->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblDrills->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblDrills->verticalHeader()->hide();
    tblDrills->verticalHeader()->setDefaultSectionSize(tblDrills->fontMetrics().lineSpacing() + 6);
    tblDrills->horizontalHeader()->setStretchLastSection(true);
    // Columns fit the first rows, not all ten thousand of a long history.
    tblDrills->horizontalHeader()->setResizeContentsPrecision(200);
    if (auto* corner = tblDrills->findChild<QAbstractButton*>()) {
        corner->setAccessibleName(QStringLiteral("すべて選択"));
    }

    chart_ = new QChart();
    chart_->legend()->hide();
    chtRate = new QChartView(chart_, this);
    chtRate->setObjectName(QStringLiteral("chtRate"));
    chtRate->setAccessibleName(QStringLiteral("正解率の推移"));
    chtRate->viewport()->setAccessibleName(QStringLiteral("正解率の推移"));
    chtRate->setRenderHint(QPainter::Antialiasing);

    lstMostMissed = new QListWidget(this);
    lstMostMissed->setObjectName(QStringLiteral("lstMostMissed"));
    lstMostMissed->setAccessibleName(QStringLiteral("よく間違える問題"));

    auto* buttons = new QDialogButtonBox(this);
    cmdCsv = buttons->addButton(kCsvTitle, QDialogButtonBox::ActionRole);
    cmdCsv->setObjectName(QStringLiteral("cmdCsv"));
    cmdCsv->setAccessibleName(kCsvTitle);
    cmdClose = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAccessibleName(QStringLiteral("閉じる"));
    connect(cmdCsv, &QPushButton::clicked, this, &frmHistory::cmdCsv_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    // Sizes from the fonts that draw them: a table of a dozen rows, a list of its longest lines.
    const QFontMetrics metrics = fontMetrics();
    const int em = metrics.horizontalAdvance(QLatin1Char('M'));
    const QSize tableRoom(em * 60, metrics.lineSpacing() * 12);
    const QSize chartRoom(em * 40, metrics.lineSpacing() * 14);
    const QSize missedRoom(em * 18, lstMostMissed->sizeHint().height());
    lstFiles->setMaximumWidth(em * 16);

    auto* files = new QVBoxLayout;
    files->addWidget(fileLabel);
    files->addWidget(lstFiles);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chtRate, 3);
    auto* missedColumn = new QVBoxLayout;
    auto* missedLabel = new QLabel(QStringLiteral("よく間違える問題(&M):"), this);
    missedLabel->setBuddy(lstMostMissed);
    missedColumn->addWidget(missedLabel);
    missedColumn->addWidget(lstMostMissed);
    bottom->addLayout(missedColumn, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(tblDrills, 1);
    right->addLayout(bottom, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(files);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    // The current word file when it has a history, else the one drilled last.
    int current = lstFiles->count() > 1 ? 1 : 0;
    for (int row = 1; row < lstFiles->count(); ++row) {
        if (lstFiles->item(row)->data(Qt::UserRole).toString() == currentFile) {
            current = row;
        }
    }
    lstFiles->setCurrentRow(current);
    lstFiles_Change();
    connect(lstFiles, &QListWidget::currentRowChanged, this, &frmHistory::lstFiles_Change);
    platform::fitToScreen(
        this, {{tblDrills, tableRoom}, {chtRate, chartRoom}, {lstMostMissed, missedRoom}});
    tblDrills->setFocus(Qt::OtherFocusReason);
}

frmHistory::~frmHistory() = default;

QString frmHistory::chosenFile() const {
    const QListWidgetItem* item = lstFiles->currentItem();
    return item != nullptr ? item->data(Qt::UserRole).toString() : QString();
}

void frmHistory::lstFiles_Change() {
    shown_ = history::recordsOf(records_, chosenFile());
    model_->setRecords(&shown_);
    tblDrills->resizeColumnsToContents();
    showChart();
    lstMostMissed->clear();
    for (const history::MissCount& count : history::mostMissed(shown_, kMostMissedShown)) {
        lstMostMissed->addItem(QStringLiteral("%1  (%2 回)").arg(count.question).arg(count.misses));
    }
}

void frmHistory::showChart() {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    const QString file = chosenFile();
    chart_->setTitle(file.isEmpty() ? QStringLiteral("単語ファイルを選ぶと正解率の推移を表示します")
                                    : QStringLiteral("正解率 (%)"));
    if (file.isEmpty() || shown_.isEmpty()) {
        return;
    }
    auto* line = new QLineSeries;
    auto* points = new QScatterSeries;
    points->setMarkerSize(6);
    QList<QPointF> values;
    values.reserve(shown_.size());
    // Oldest first, along the time axis.
    for (auto it = shown_.crbegin(); it != shown_.crend(); ++it) {
        values.append(QPointF(static_cast<qreal>(it->started.toMSecsSinceEpoch()), it->rate));
    }
    line->replace(values);
    points->replace(values);
    chart_->addSeries(line);
    chart_->addSeries(points);

    auto* time = new QDateTimeAxis;
    QDateTime first = shown_.constLast().started;
    QDateTime last = shown_.constFirst().started;
    // Days apart show the day, drills of one day the time, drills within an hour the seconds,
    // so that the labels along the axis differ.
    constexpr qint64 kTwoDays = 2 * 24 * 3600;
    constexpr qint64 kHour = 3600;
    const qint64 span = first.secsTo(last);
    time->setFormat(span >= kTwoDays ? QStringLiteral("MM/dd")
                    : span >= kHour  ? QStringLiteral("HH:mm")
                                     : QStringLiteral("HH:mm:ss"));
    if (first == last) {
        first = first.addSecs(-3600);
        last = last.addSecs(3600);
    }
    time->setRange(first.toLocalTime(), last.toLocalTime());
    auto* rate = new QValueAxis;
    rate->setRange(0, 100);
    rate->setLabelFormat(QStringLiteral("%d"));
    chart_->addAxis(time, Qt::AlignBottom);
    chart_->addAxis(rate, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(line), static_cast<QAbstractSeries*>(points)}) {
        series->attachAxis(time);
        series->attachAxis(rate);
    }
}

void frmHistory::cmdCsv_Click() {
    platform::FileDialog dialog;
    dialog.kind = platform::FileDialogKind::Save;
    dialog.title = kCsvTitle;
    dialog.filter = QStringLiteral("CSV|*.csv");
    dialog.defaultSuffix = QStringLiteral("csv");
    dialog.fileName = QStringLiteral("成績の記録.csv");
    dialog.initialFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const std::optional<QString> chosen = platform_.askFileName(this, dialog);
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    const common::WriteResult written = common::writeFileAtomically(
        *chosen, history::historyCsv(shown_, QTimeZone::systemTimeZone()));
    if (!written.ok) {
        platform::MessageBox box;
        box.text = QStringLiteral("書き出せませんでした。\r\n") + written.error;
        box.title = kCsvTitle;
        box.icon = platform::Icon::Warning;
        platform_.showMessage(this, box);
    }
}

}  // namespace drill
