// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

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
#include <QTableView>
#include <QTimeZone>
#include <QVBoxLayout>
#include <QValueAxis>

#include <utility>

#include "common/atomic_file.h"
#include "common/file_labels.h"
#include "common/preferences.h"
#include "drill/engine/slip_codes.h"
#include "drill/history/history_report.h"
#include "drill/history/sqlite_history.h"
#include "drill/window/save_name.h"
#include "platform/platform.h"
#include "platform/window_fit.h"

namespace drill {

namespace {

const QString kTitle = QStringLiteral("成績の記録");
const QString kCsvTitle = QStringLiteral("CSV に書き出す");
constexpr qsizetype kMostMissedShown = 20;
// Every kind there is.
constexpr qsizetype kSlipsShown = 10;

}  // namespace

// The drills as table rows, read a page at a time as the table is scrolled.
class HistoryModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // labels: what the list of files shows for each word file.
    void show(history::DrillHistory* history, const QString& wordFile,
              QHash<QString, QString> labels) {
        beginResetModel();
        history_ = history;
        labels_ = std::move(labels);
        wordFile_ = wordFile;
        rows_.clear();
        atEnd_ = false;
        endResetModel();
        fetchMore({});
    }
    bool canFetchMore(const QModelIndex& parent) const override {
        return !parent.isValid() && history_ != nullptr && !atEnd_;
    }
    void fetchMore(const QModelIndex& parent) override {
        if (!canFetchMore(parent)) {
            return;
        }
        const QList<history::DrillRecord> page = history_->page(wordFile_, rows_.size(), kPage);
        atEnd_ = page.size() < kPage;
        if (page.isEmpty()) {
            return;
        }
        const auto first = static_cast<int>(rows_.size());
        beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
        rows_.append(page);
        endInsertRows();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
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
        const history::DrillRecord& r = rows_.at(index.row());
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
                return labels_.value(r.wordFile, QFileInfo(r.wordFile).fileName());
            case 3:
                return history::modeName(r.mode, r.again, r.way);
            case 4:
                return r.asked;
            case 5:
                return r.right;
            case 6:
                return history::rateText(r);
            default:
                return r.missed.join(QStringLiteral(" / "));
        }
    }

private:
    static constexpr qsizetype kPage = 200;
    inline static const QStringList kHeaders{
        QStringLiteral("開始日時"), QStringLiteral("時間 (秒)"),   QStringLiteral("単語ファイル"),
        QStringLiteral("モード"),   QStringLiteral("問題数"),      QStringLiteral("正解数"),
        QStringLiteral("正解率"),   QStringLiteral("間違えた問題")};
    history::DrillHistory* history_ = nullptr;
    QString wordFile_;
    QHash<QString, QString> labels_;
    QList<history::DrillRecord> rows_;
    bool atEnd_ = true;
    // Looked up once: the system's zone is slow to build for every cell.
    QTimeZone zone_ = QTimeZone::systemTimeZone();
};

namespace {

std::unique_ptr<history::DrillHistory> historyOf(const QList<history::DrillRecord>& records) {
    auto kept = std::make_unique<history::SqliteHistory>(QStringLiteral(":memory:"));
    for (auto it = records.crbegin(); it != records.crend(); ++it) {
        kept->record(*it);
    }
    return kept;
}

}  // namespace

frmHistory::frmHistory(history::DrillHistory& history, const QString& currentFile,
                       platform::Platform& platform, QWidget* parent)
    : frmHistory(nullptr, &history, currentFile, platform, parent) {}

frmHistory::frmHistory(const QList<history::DrillRecord>& records, const QString& currentFile,
                       platform::Platform& platform, QWidget* parent)
    : frmHistory(historyOf(records), nullptr, currentFile, platform, parent) {}

frmHistory::frmHistory(std::unique_ptr<history::DrillHistory> owned, history::DrillHistory* history,
                       const QString& currentFile, platform::Platform& platform, QWidget* parent)
    : QDialog(parent),
      owned_(std::move(owned)),
      history_(history != nullptr ? *history : *owned_),
      platform_(platform),
      wordFolder_(currentFile.isEmpty() ? QString() : QFileInfo(currentFile).absolutePath()) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(kTitle);

    lstFiles = new QListWidget(this);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->setAccessibleName(QStringLiteral("単語ファイル"));
    lstFiles->addItem(QStringLiteral("すべての単語ファイル"));
    const QStringList wordFiles = history_.wordFiles();
    const QStringList labels = common::fileLabels(wordFiles);
    for (qsizetype i = 0; i < wordFiles.size(); ++i) {
        const QString& file = wordFiles[i];
        fileLabels_.insert(file, labels[i]);
        auto* item = new QListWidgetItem(labels[i], lstFiles);
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
    // Tab moves on to the next control instead of through every cell.
    tblDrills->setTabKeyNavigation(false);
    tblDrills->verticalHeader()->hide();
    tblDrills->verticalHeader()->setDefaultSectionSize(tblDrills->fontMetrics().lineSpacing() + 6);
    tblDrills->horizontalHeader()->setStretchLastSection(true);
    // Columns fit the rows read first.
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
    lstSlips = new QListWidget(this);
    lstSlips->setObjectName(QStringLiteral("lstSlips"));
    lstSlips->setAccessibleName(QStringLiteral("よくある間違い"));

    auto* buttons = new QDialogButtonBox(this);
    cmdCsv = buttons->addButton(QStringLiteral("CSV に書き出す(&C)"), QDialogButtonBox::ActionRole);
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
    auto* slipsLabel = new QLabel(QStringLiteral("よくある間違い(&S):"), this);
    slipsLabel->setBuddy(lstSlips);
    missedColumn->addWidget(slipsLabel);
    missedColumn->addWidget(lstSlips);
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
    model_->show(&history_, chosenFile(), fileLabels_);
    tblDrills->resizeColumnsToContents();
    showChart();
    lstMostMissed->clear();
    for (const history::MissCount& count : history_.mostMissed(chosenFile(), kMostMissedShown)) {
        lstMostMissed->addItem(
            QStringLiteral("%1  (%2 回の練習で)").arg(count.question).arg(count.drills));
    }
    lstSlips->clear();
    for (const history::SlipCount& count : history_.mostFrequentSlips(chosenFile(), kSlipsShown)) {
        const std::optional<SlipKind> kind = slipKindOfCode(count.kind);
        lstSlips->addItem(QStringLiteral("%1: %2 回")
                              .arg(kind ? slipKindText(*kind) : count.kind)
                              .arg(count.count));
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
    if (file.isEmpty()) {
        return;
    }
    const QList<history::DayRate> days = history_.dailyRates(file);
    if (days.isEmpty()) {
        return;
    }
    auto* line = new QLineSeries;
    // One point a day, at its noon.
    auto noon = [](QDate day) { return QDateTime(day, QTime(12, 0)); };
    QList<QPointF> values;
    values.reserve(days.size());
    for (const history::DayRate& day : days) {
        values.append(QPointF(static_cast<qreal>(noon(day.day).toMSecsSinceEpoch()), day.rate));
    }
    line->replace(values);
    QList<QAbstractSeries*> series{line};
    // Markers only where they can be told apart; years of days are drawn as a line.
    constexpr qsizetype kMarkedDays = 200;
    if (values.size() <= kMarkedDays) {
        auto* points = new QScatterSeries;
        points->setMarkerSize(6);
        points->replace(values);
        series.append(points);
    }
    for (QAbstractSeries* one : series) {
        chart_->addSeries(one);
    }

    auto* time = new QDateTimeAxis;
    const QDate first = days.constFirst().day;
    const QDate last = days.constLast().day;
    if (first.year() != last.year()) {
        time->setFormat(QStringLiteral("yyyy/MM/dd"));
        time->setTickCount(4);  // room for the longer labels
    } else {
        time->setFormat(QStringLiteral("MM/dd"));
    }
    time->setRange(noon(first.addDays(first == last ? -1 : 0)),
                   noon(last.addDays(first == last ? 1 : 0)));
    auto* rate = new QValueAxis;
    rate->setRange(0, 100);
    rate->setLabelFormat(QStringLiteral("%d"));
    chart_->addAxis(time, Qt::AlignBottom);
    chart_->addAxis(rate, Qt::AlignLeft);
    for (QAbstractSeries* one : series) {
        one->attachAxis(time);
        one->attachAxis(rate);
    }
}

void frmHistory::cmdCsv_Click() {
    platform::FileDialog dialog;
    dialog.title = kCsvTitle;
    dialog.filter = QStringLiteral("CSV|*.csv");
    dialog.defaultSuffix = QStringLiteral("csv");
    dialog.fileName = QStringLiteral("成績の記録.csv");
    const std::optional<QString> chosen =
        askSaveName(platform_, this, dialog, &common::Preferences::historyCsvFolder, wordFolder_);
    if (!chosen) {
        return;
    }
    // Every drill of the chosen file, not only the rows read so far.
    const QTimeZone zone = QTimeZone::systemTimeZone();
    QByteArray csv = history::historyCsvHeading();
    constexpr qsizetype kPage = 10000;
    for (qint64 offset = 0;; offset += kPage) {
        const QList<history::DrillRecord> page = history_.page(chosenFile(), offset, kPage);
        csv += history::historyCsvRows(page, zone);
        if (page.size() < kPage) {
            break;
        }
    }
    const common::Outcome written = common::writeFileAtomically(*chosen, csv);
    if (!written.ok()) {
        platform_.warn(this, QStringLiteral("書き出せませんでした。"), written, kCsvTitle);
    }
}

}  // namespace drill
