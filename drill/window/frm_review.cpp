// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/frm_review.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/file_labels.h"
#include "common/preferences.h"
#include "drill/history/drill_history.h"
#include "drill/history/history_sync.h"
#include "drill/window/replay_line.h"
#include "drill/window/sync_panel.h"
#include "platform/platform.h"
#include "platform/window_fit.h"
#include "review/review_plan.h"

namespace drill {

namespace {

enum Column { FileColumn, DueColumn, NewColumn, ColumnCount };
constexpr int kPathRole = Qt::UserRole;
constexpr int kUsableRole = Qt::UserRole + 1;
constexpr int kLabelRole = Qt::UserRole + 2;
// Long enough for a held arrow key: every change of the retention replays the reviews.
constexpr int kRetentionDelayMs = 400;
constexpr int kMaxNewWordsShown = 200;
// How often the line on a replay under way is brought up to date.
constexpr int kReplayPollMs = 250;

QString countText(int count) {
    return QStringLiteral("%1 語").arg(count);
}

// Access letters apart from the window's others.
QString reviewWayCaption(DrillWay way) {
    static const char16_t kLetters[common::kDrillWayCount] = {u'T', u'B', u'L', u'M', u'C'};
    return QStringLiteral("%1(&%2)").arg(common::drillWayName(way),
                                         QChar(kLetters[static_cast<int>(way)]));
}

// Whole percent dropping the fraction, as the results line does.
QString retentionText(const review::MeasuredRetention& measured, bool withRight) {
    if (!measured.measured()) {
        return QStringLiteral("まだありません");
    }
    const QString rate = QStringLiteral("%1 % (期日の復習 %2 回")
                             .arg(history::rateOf(measured.right, measured.due))
                             .arg(measured.due);
    return withRight ? rate + QStringLiteral("・正解 %1 回)").arg(measured.right)
                     : rate + QLatin1Char(')');
}

}  // namespace

frmReview::frmReview(history::DrillHistory& history, review::ReviewTime now,
                     platform::Platform& platform, QWidget* parent, WordFileKeys* fileKeys,
                     history::HistorySync* sync)
    : QDialog(parent),
      history_(history),
      now_(now),
      wordFileKeys_(fileKeys != nullptr ? *fileKeys : ownKeys_),
      platform_(platform) {
    setObjectName(QStringLiteral("frmReview"));
    setWindowTitle(QStringLiteral("復習の予定"));

    lstFiles = new QTreeWidget(this);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->setAccessibleName(QStringLiteral("単語ファイル"));
    lstFiles->setRootIsDecorated(false);
    lstFiles->setColumnCount(ColumnCount);
    lstFiles->setHeaderLabels(
        {QStringLiteral("単語ファイル"), QStringLiteral("復習"), QStringLiteral("新しい語")});
    lstFiles->header()->setStretchLastSection(false);
    lstFiles->header()->setSectionResizeMode(FileColumn, QHeaderView::Stretch);
    auto* fileLabel = new QLabel(QStringLiteral("単語ファイル(&F):"), this);
    fileLabel->setBuddy(lstFiles);

    chart_ = new QChart();
    chart_->legend()->hide();
    // Room for the bars and their axes rather than for a frame.
    chart_->setMargins(QMargins(2, 2, 2, 2));
    chart_->setBackgroundRoundness(0);
    chtForecast = new QChartView(chart_, this);
    chtForecast->setObjectName(QStringLiteral("chtForecast"));
    chtForecast->setAccessibleName(QStringLiteral("今後 30 日の復習"));
    chtForecast->viewport()->setAccessibleName(QStringLiteral("今後 30 日の復習"));
    chtForecast->setRenderHint(QPainter::Antialiasing);
    // A picture: what it says is read out from the line below it.
    chtForecast->setFocusPolicy(Qt::NoFocus);
    lblForecast = new QLabel(this);
    lblForecast->setObjectName(QStringLiteral("lblForecast"));
    // Described, not named: a name would stand in for the figures a screen reader should read.
    lblForecast->setAccessibleDescription(QStringLiteral("今後の復習"));

    lblRetention = new QLabel(this);
    lblRetention->setObjectName(QStringLiteral("lblRetention"));
    lblRetention->setAccessibleDescription(QStringLiteral("実際の記憶率"));
    lblRetention->setWordWrap(true);
    lblReplay = new QLabel(this);
    lblReplay->setObjectName(QStringLiteral("lblReplay"));
    lblReplay->setAccessibleDescription(QStringLiteral("復習の予定の計算"));
    lblReplay->hide();
    replayPoll_ = new QTimer(this);
    replayPoll_->setInterval(kReplayPollMs);
    spnRetention = new QSpinBox(this);
    spnRetention->setObjectName(QStringLiteral("spnRetention"));
    spnRetention->setAccessibleName(QStringLiteral("目標の記憶率"));
    spnRetention->setRange(static_cast<int>(std::lround(common::Preferences::kMinRetention * 100)),
                           static_cast<int>(std::lround(common::Preferences::kMaxRetention * 100)));
    spnRetention->setSuffix(QStringLiteral(" %"));
    const common::Preferences preferences =
        common::PreferencesFile(platform_.preferencesFile()).load();
    spnRetention->setValue(static_cast<int>(std::lround(preferences.desiredRetention * 100)));
    history_.setDesiredRetention(preferences.desiredRetention);
    history_.setDayStart(preferences.dayStartsAt);
    auto* retentionLabel = new QLabel(QStringLiteral("目標の記憶率(&R):"), this);
    retentionLabel->setBuddy(spnRetention);
    spnNewWords = new QSpinBox(this);
    spnNewWords->setObjectName(QStringLiteral("spnNewWords"));
    spnNewWords->setAccessibleName(QStringLiteral("1 日の新しい語"));
    spnNewWords->setRange(0, kMaxNewWordsShown);
    spnNewWords->setSuffix(QStringLiteral(" 語"));
    spnNewWords->setValue(std::min(preferences.dailyNewWords, kMaxNewWordsShown));
    auto* newWordsLabel = new QLabel(QStringLiteral("1 日の新しい語(&N):"), this);
    newWordsLabel->setBuddy(spnNewWords);
    retentionDelay_ = new QTimer(this);
    retentionDelay_->setSingleShot(true);
    retentionDelay_->setInterval(kRetentionDelayMs);
    waysDrilled_ = history_.waysDrilled();
    std::sort(waysDrilled_.begin(), waysDrilled_.end());
    // Only once a way other than typed was drilled.
    auto* reviewWaysRow = new QHBoxLayout;
    if (waysDrilled_.size() > 1) {
        reviewWaysRow->addWidget(new QLabel(QStringLiteral("今日の復習で出す向き:"), this));
        for (const DrillWay way : waysDrilled_) {
            auto* box = new QCheckBox(reviewWayCaption(way), this);
            box->setObjectName(QStringLiteral("chkReviewWay%1").arg(static_cast<int>(way)));
            box->setAccessibleName(QStringLiteral("今日の復習: ") + common::drillWayName(way));
            box->setChecked(!preferences.reviewWaysLeftOut.contains(way));
            connect(box, &QCheckBox::toggled, this,
                    [this, way](bool included) { chkReviewWay_Change(way, included); });
            reviewWaysRow->addWidget(box);
            chkReviewWays_.append(box);
        }
        reviewWaysRow->addStretch(1);
    }
    if (sync != nullptr) {
        syncPanel_ = new SyncPanel(*sync, platform_, this);
        // What another machine brought changes the counts.
        connect(sync, &history::HistorySync::merged, this, &frmReview::fillFiles);
    }

    auto* buttons = new QDialogButtonBox(this);
    cmdStart = buttons->addButton(QStringLiteral("開始(&S)"), QDialogButtonBox::AcceptRole);
    cmdStart->setObjectName(QStringLiteral("cmdStart"));
    cmdStart->setAccessibleName(QStringLiteral("開始"));
    cmdStart->setDefault(true);
    cmdRemove =
        buttons->addButton(QStringLiteral("一覧から外す(&D)"), QDialogButtonBox::ActionRole);
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));
    cmdRemove->setAccessibleName(QStringLiteral("一覧から外す"));
    // Only while reviews given with the clock set ahead wait to count.
    cmdAside = buttons->addButton(QStringLiteral("進んだ時計の記録を外す(&A)"),
                                  QDialogButtonBox::ActionRole);
    cmdAside->setObjectName(QStringLiteral("cmdAside"));
    cmdAside->setAccessibleName(QStringLiteral("進んだ時計の記録を外す"));
    cmdAside->setVisible(history_.reviewsAhead() > 0);
    cmdClose = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAccessibleName(QStringLiteral("閉じる"));

    // The measured retention has a line of its own: beside the spin box it wrapped mid-figure.
    // The two settings side by side, the buttons on a row of their own, so that the window
    // still fits a small screen at twice the scale.
    auto* settingsRow = new QHBoxLayout;
    settingsRow->addWidget(retentionLabel);
    settingsRow->addWidget(spnRetention);
    settingsRow->addWidget(newWordsLabel);
    settingsRow->addWidget(spnNewWords);
    settingsRow->addStretch(1);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(buttons, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileLabel);
    layout->addWidget(lstFiles, 1);
    layout->addWidget(chtForecast, 1);
    layout->addWidget(lblForecast);
    layout->addWidget(lblRetention);
    layout->addWidget(lblReplay);
    layout->addLayout(settingsRow);
    layout->addLayout(reviewWaysRow);
    if (syncPanel_ != nullptr) {
        layout->addWidget(syncPanel_);
    }
    layout->addLayout(bottomRow);

    connect(lstFiles, &QTreeWidget::currentItemChanged, this, &frmReview::lstFiles_Change);
    connect(lstFiles, &QTreeWidget::itemActivated, this, &frmReview::cmdStart_Click);
    connect(spnRetention, &QSpinBox::valueChanged, this, &frmReview::spnRetention_Change);
    connect(spnNewWords, &QSpinBox::valueChanged, this, &frmReview::spnNewWords_Change);
    connect(retentionDelay_, &QTimer::timeout, this, &frmReview::applyRetention);
    connect(replayPoll_, &QTimer::timeout, this, &frmReview::showReplay);
    connect(this, &QDialog::finished, this, [this] {
        if (retentionDelay_->isActive()) {
            retentionDelay_->stop();
            applyRetention();
        }
    });
    connect(cmdStart, &QPushButton::clicked, this, &frmReview::cmdStart_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmReview::cmdRemove_Click);
    connect(cmdAside, &QPushButton::clicked, this, &frmReview::cmdAside_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    fillFiles();
    showReplay();

    const QFontMetrics metrics = fontMetrics();
    const int em = metrics.horizontalAdvance(QLatin1Char('M'));
    // The chart keeps room for its axes; the list scrolls.
    chtForecast->setMinimumHeight(metrics.lineSpacing() * 10);
    lstFiles->setMinimumHeight(metrics.lineSpacing() * 3);
    platform::fitToScreen(this, {{lstFiles, QSize(em * 50, metrics.lineSpacing() * 8)},
                                 {chtForecast, QSize(em * 50, metrics.lineSpacing() * 14)}});
    lstFiles->setFocus(Qt::OtherFocusReason);
    if (syncPanel_ != nullptr) {
        syncPanel_->merge();
    }
}

int frmReview::desiredRetentionPercent() const {
    return spnRetention->value();
}

void frmReview::fillFiles() {
    const QString chosen = chosenFile();
    const QSignalBlocker blocker(lstFiles);
    lstFiles->clear();
    fileKeys_.clear();
    fileWays_.clear();
    const QList<review::FileReviews> files = history_.reviewFiles(now_);
    QStringList paths;
    for (const review::FileReviews& file : files) {
        paths.append(file.wordFile);
    }
    const QStringList labels = common::fileLabels(paths);
    // The words of every file that can be read, counted in one question to the history.
    QList<WordFileKeys::Words> fileWords;
    QList<QList<QByteArray>> readable;
    for (const review::FileReviews& file : files) {
        fileWords.append(wordFileKeys_.of(file.wordFile));
        if (fileWords.back().outcome.ok()) {
            readable.append(fileWords.back().keys);
        }
    }
    const QList<review::ReviewCounts> readableCounts = history_.reviewCountsEach(readable, now_);
    Q_ASSERT(readableCounts.size() == readable.size());
    qsizetype counted = 0;
    bool wayRows = false;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const review::FileReviews& file = files[i];
        auto* item = new QTreeWidgetItem(lstFiles);
        const QString& name = labels[i];
        item->setData(FileColumn, kPathRole, file.wordFile);
        item->setData(FileColumn, kLabelRole, name);
        item->setToolTip(FileColumn, QDir::toNativeSeparators(file.wordFile));
        item->setTextAlignment(DueColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(NewColumn, Qt::AlignRight | Qt::AlignVCenter);
        const WordFileKeys::Words& words = fileWords[i];
        if (!words.outcome.ok()) {
            // What the history knows of it; its words cannot be drilled from here.
            item->setText(FileColumn, name + (words.outcome.kind == common::OutcomeKind::NotFound
                                                  ? QStringLiteral(" (見つかりません)")
                                                  : QStringLiteral(" (読めません)")));
            item->setText(DueColumn, countText(file.due));
            item->setText(NewColumn, QStringLiteral("—"));
            item->setData(FileColumn, kUsableRole, false);
            for (int column = 0; column < ColumnCount; ++column) {
                item->setForeground(column, palette().brush(QPalette::Disabled, QPalette::Text));
            }
            continue;
        }
        // A word the file holds twice is one word.
        const review::ReviewCounts batched = readableCounts.value(counted++);
        const QList<review::WayCounts> ways =
            waysDrilled_.size() > 1 ? review::countsByWay(history_, words.keys, waysDrilled_, now_)
                                    : QList<review::WayCounts>{};
        review::ReviewCounts counts = ways.isEmpty() ? batched : review::ReviewCounts{};
        for (const review::WayCounts& way : ways) {
            counts.due += way.counts.due;
            counts.fresh += way.counts.fresh;
        }
        fileKeys_.insert(file.wordFile, words.keys);
        item->setText(FileColumn, name);
        item->setText(DueColumn, countText(counts.due));
        item->setText(NewColumn, countText(counts.fresh));
        item->setData(FileColumn, kUsableRole, true);
        if (ways.size() > 1 || (ways.size() == 1 && ways[0].way != DrillWay::Typed)) {
            addWayRows(item, ways);
            wayRows = true;
            QList<DrillWay>& listed = fileWays_[file.wordFile];
            for (const review::WayCounts& way : ways) {
                listed.append(way.way);
            }
        }
    }
    lstFiles->setRootIsDecorated(wayRows);
    lstFiles->resizeColumnToContents(DueColumn);
    lstFiles->resizeColumnToContents(NewColumn);
    int current = 0;
    for (int row = 0; row < lstFiles->topLevelItemCount(); ++row) {
        if (lstFiles->topLevelItem(row)->data(FileColumn, kPathRole).toString() == chosen) {
            current = row;
        }
    }
    if (lstFiles->topLevelItemCount() > 0) {
        lstFiles->setCurrentItem(lstFiles->topLevelItem(current));
    }
    lstFiles_Change();
}

void frmReview::addWayRows(QTreeWidgetItem* file, const QList<review::WayCounts>& ways) {
    for (const review::WayCounts& way : ways) {
        auto* row = new QTreeWidgetItem(file);
        // Chosen, it stands for its file.
        for (const int role : {kPathRole, kUsableRole, kLabelRole}) {
            row->setData(FileColumn, role, file->data(FileColumn, role));
        }
        row->setText(FileColumn, common::drillWayName(way.way));
        row->setText(DueColumn, countText(way.counts.due));
        row->setText(NewColumn, countText(way.counts.fresh));
        row->setTextAlignment(DueColumn, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(NewColumn, Qt::AlignRight | Qt::AlignVCenter);
    }
    file->setExpanded(true);
}

void frmReview::chkReviewWay_Change(DrillWay way, bool included) {
    common::PreferencesFile(platform_.preferencesFile())
        .update([way, included](common::Preferences& p) {
            p.reviewWaysLeftOut.removeAll(way);
            if (!included) {
                p.reviewWaysLeftOut.append(way);
            }
        });
}

QString frmReview::chosenFile() const {
    const QTreeWidgetItem* item = lstFiles->currentItem();
    return item != nullptr ? item->data(FileColumn, kPathRole).toString() : QString();
}

QString frmReview::chosenLabel() const {
    const QTreeWidgetItem* item = lstFiles->currentItem();
    return item != nullptr ? item->data(FileColumn, kLabelRole).toString() : QString();
}

bool frmReview::chosenExists() const {
    const QTreeWidgetItem* item = lstFiles->currentItem();
    return item != nullptr && item->data(FileColumn, kUsableRole).toBool();
}

void frmReview::lstFiles_Change() {
    cmdStart->setEnabled(chosenExists());
    cmdRemove->setEnabled(lstFiles->currentItem() != nullptr && !chosenExists());
    showForecast();
    showRetention();
}

void frmReview::showForecast() {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    const QString file = chosenFile();
    chart_->setTitle(
        file.isEmpty()
            ? QStringLiteral("今日から何日後に何語を復習するか")
            : QStringLiteral("「%1」: 今日から何日後に何語を復習するか").arg(chosenLabel()));
    // A file read counts its words as they are now; one that cannot be read, those last
    // reviewed in it.
    const auto keys = fileKeys_.constFind(file);
    const QList<int> counts = keys != fileKeys_.cend()
                                  ? history_.forecastOf(now_, kForecastDays, *keys)
                                  : history_.forecast(now_, kForecastDays, file);
    const int week =
        std::accumulate(counts.begin(), counts.begin() + std::min<qsizetype>(7, counts.size()), 0);
    lblForecast->setText(QStringLiteral("今日: %1　明日: %2　7 日間: %3　30 日間: %4")
                             .arg(countText(counts.value(0)), countText(counts.value(1)),
                                  countText(week),
                                  countText(std::accumulate(counts.begin(), counts.end(), 0))));

    auto* bars = new QBarSet(QStringLiteral("復習する語"));
    for (const int count : counts) {
        bars->append(count);
    }
    auto* series = new QBarSeries;
    series->append(bars);
    chart_->addSeries(series);
    // Days from today, a label a week: thirty dates do not fit under thirty narrow bars.
    auto* dayAxis = new QValueAxis;
    dayAxis->setRange(-0.5, counts.size() - 0.5);
    dayAxis->setTickType(QValueAxis::TicksDynamic);
    dayAxis->setTickAnchor(0);
    dayAxis->setTickInterval(7);
    dayAxis->setLabelFormat(QStringLiteral("%d"));
    dayAxis->setGridLineVisible(false);
    auto* countAxis = new QValueAxis;
    const int most = counts.isEmpty() ? 0 : *std::max_element(counts.begin(), counts.end());
    countAxis->setRange(0, std::max(most, 4));
    countAxis->setLabelFormat(QStringLiteral("%d"));
    countAxis->applyNiceNumbers();
    chart_->addAxis(dayAxis, Qt::AlignBottom);
    chart_->addAxis(countAxis, Qt::AlignLeft);
    series->attachAxis(dayAxis);
    series->attachAxis(countAxis);
}

// The chosen file's figure, with every file's beside it.
void frmReview::showRetention() {
    const QString goal = QStringLiteral("目標 %1 %").arg(spnRetention->value());
    const review::MeasuredRetention all = history_.measuredRetention(QString());
    const QString file = chosenFile();
    if (file.isEmpty()) {
        lblRetention->setText(
            QStringLiteral("実際の記憶率: %1　%2").arg(retentionText(all, true), goal));
        return;
    }
    // A line each: side by side they wrapped mid-figure.
    QString text = QStringLiteral("「%1」の実際の記憶率: %2　%3\nすべての単語ファイル: %4")
                       .arg(chosenLabel(), retentionText(history_.measuredRetention(file), true),
                            goal, retentionText(all, false));
    const auto keys = fileKeys_.constFind(file);
    if (const auto ways = fileWays_.constFind(file);
        ways != fileWays_.cend() && keys != fileKeys_.cend()) {
        QStringList perWay;
        for (const DrillWay way : *ways) {
            perWay.append(
                common::drillWayName(way) + QLatin1Char(' ') +
                retentionText(history_.measuredRetentionOf(file, review::wayKeysOf(*keys, way)),
                              false));
        }
        text += QStringLiteral("\n向きごと: ") + perWay.join(QStringLiteral("　"));
    }
    lblRetention->setText(text);
}

void frmReview::applyRetention() {
    const double retention = spnRetention->value() / 100.0;
    common::PreferencesFile(platform_.preferencesFile())
        .update([retention](common::Preferences& p) { p.desiredRetention = retention; });
    history_.setDesiredRetention(retention);
    fillFiles();
    showReplay();
}

// The states are rebuilt beside the window after a change of the retention: a line tells how far,
// and the counts are shown again once they are done. Closing the window loses nothing: the
// rebuild goes on, and what the program's end leaves is finished at the next start.
void frmReview::showReplay() {
    const review::ReplayProgress progress = history_.replayProgress();
    if (progress.underWay()) {
        lblReplay->setText(ReplayLine::text(progress));
        lblReplay->show();
        replayPoll_->start();
        return;
    }
    if (replayPoll_->isActive()) {
        replayPoll_->stop();
        fillFiles();
        showRetention();
    }
    lblReplay->hide();
}

void frmReview::spnNewWords_Change(int count) {
    common::PreferencesFile(platform_.preferencesFile()).update([count](common::Preferences& p) {
        p.dailyNewWords = count;
    });
}

void frmReview::spnRetention_Change() {
    retentionDelay_->start();
}

void frmReview::cmdStart_Click() {
    if (!chosenExists()) {
        return;
    }
    Q_EMIT startReview(chosenFile());
    accept();
}

void frmReview::cmdRemove_Click() {
    const QString file = chosenFile();
    if (file.isEmpty() || chosenExists()) {
        return;
    }
    if (const QString reason = history_.removeReviewFile(file); !reason.isEmpty()) {
        platform::MessageBox box;
        box.text = QStringLiteral("一覧から外せませんでした。\r\n") + reason;
        box.title = windowTitle();
        box.icon = platform::Icon::Warning;
        platform_.showMessage(this, box);
        return;
    }
    fillFiles();
}

// The reviews are moved, never deleted: a table of their own keeps them.
void frmReview::cmdAside_Click() {
    const qint64 ahead = history_.reviewsAhead();
    if (ahead <= 0) {
        cmdAside->hide();
        return;
    }
    platform::MessageBox box;
    box.title = windowTitle();
    box.text = QStringLiteral(
                   "時計が進んでいた時の記録が %1 件あります。\r\n"
                   "これらを予定から外し、別の表に移して残しますか？")
                   .arg(ahead);
    box.icon = platform::Icon::Question;
    box.buttons = platform::Buttons::YesNo;
    box.defaultButton = platform::Answer::No;
    if (platform_.showMessage(this, box) != platform::Answer::Yes) {
        return;
    }
    if (const QString reason = history_.putReviewsAheadAside(); !reason.isEmpty()) {
        box.text = QStringLiteral("記録を外せませんでした。\r\n") + reason;
        box.icon = platform::Icon::Warning;
        box.buttons = platform::Buttons::Ok;
        box.defaultButton = platform::Answer::Ok;
        platform_.showMessage(this, box);
        return;
    }
    cmdAside->hide();
    fillFiles();
    showRetention();
}

}  // namespace drill
