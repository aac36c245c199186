// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextLayout>
#include <QtMath>

#include <type_traits>

#include "common/preferences.h"
#include "common/settings.h"
#include "common/text_script.h"
#include "common/zoom.h"
#include "drill/engine/drill_texts.h"
#include "drill/engine/missed_entries.h"
#include "drill/engine/right_pages.h"
#include "drill/history/drill_history.h"
#include "drill/history/history_sync.h"
#include "drill/window/about.h"
#include "drill/window/after_drill.h"
#include "drill/window/card_buttons.h"
#include "drill/window/choice_buttons.h"
#include "drill/window/difference_view.h"
#include "drill/window/drill_clock.h"
#include "drill/window/drill_layout.h"
#include "drill/window/drill_options.h"
#include "drill/window/drill_ways.h"
#include "drill/window/replay_line.h"
#include "drill/window/review_commands.h"
#include "platform/name_repair.h"
#include "platform/platform.h"
#include "platform/zoom_items.h"
#include "review/review_clock.h"

#ifndef KX_VERSION_MAJOR
#define KX_VERSION_MAJOR 2
#endif
#ifndef KX_VERSION_MINOR
#define KX_VERSION_MINOR 0
#endif

namespace drill {

namespace {

const QString kHelpFileName = QStringLiteral("Kotobax.hlp");
const QString kEditorBaseName = QStringLiteral("Brelmi");
const QString kQuestionRole = QStringLiteral("ドリルの終わりには結果を表示します");

// The window's named Japanese font, or one drawn to its measures; else the system's own font,
// whose Japanese glyphs the system supplies. (Some Japanese fonts have a line spacing too tall
// for boxes one line high.)
// The families are looked up once per run, and only those installed are named: a missing
// family costs the font matcher a search of all installed fonts each time a font is resolved.
// The system's font is named as the application's font names it, so that the search for the
// Japanese glyphs it lacks is made once for both, not once per name.
QFont namedFont(double pointSize, bool bold = false) {
    static const QStringList families = [] {
        QStringList installed;
        for (const QString& family :
             {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
              QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic")}) {
            if (QFontDatabase::hasFamily(family)) {
                installed.append(family);
            }
        }
        const QStringList system = QGuiApplication::font().families();
        installed.append(system.isEmpty() ? QStringList{QFont().defaultFamily()} : system);
        return installed;
    }();
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// Read-only boxes are clicked into but skipped by the Tab key, on the button-face colour.
template <typename Box>
void makeDisplayBox(Box* box) {
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    box->setPalette(palette);
    if constexpr (std::is_same_v<Box, QPlainTextEdit>) {
        // A border filled as a rectangle, as the one-line boxes have: the style's frame line
        // is lost at a fractional scale where the box starts between two pixels.
        box->setStyleSheet(QStringLiteral("QPlainTextEdit { border: 1px solid palette(mid); }"));
    }
}

// One-line boxes are only a line high: a thin border, no padding, and the text at the top, so
// that the box's height is the line's plus fixed chrome (see kSlimChrome).
void makeSlim(QLineEdit* box) {
    box->setStyleSheet(
        QStringLiteral("QLineEdit { border: 1px solid palette(mid); padding: 0; }"
                       "QLineEdit[readOnly=\"true\"] { background: palette(button); }"));
    box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// The border and the line edit's own one-pixel margin, above and below the line.
constexpr int kSlimChrome = 2 * 1 + 2 * 1;

int plainTextChrome(const QPlainTextEdit* box) {
    return 2 * box->frameWidth() + 2 * qCeil(box->document()->documentMargin());
}

// Controls keep their place; where the system's font is wider than the named one, the caption's
// size comes down until it fits, rather than being cut off at the window's edge.
void shrinkToFit(QWidget* control) {
    QFont font = control->font();
    while (control->sizeHint().width() > control->width() && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        control->setFont(font);
    }
}

// Multi-line boxes hold the programs' CR LF line breaks as paragraph breaks.
QString toDisplayLines(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A damaged word file may hold a field of megabytes without a break, and laying that out
// would freeze the window for minutes. A box shows the beginning of such a field; judging
// still uses all of it.
constexpr qsizetype kMaxShownLength = 32767;

QString shownPart(const QString& text) {
    if (text.size() <= kMaxShownLength) {
        return text;
    }
    return text.left(text[kMaxShownLength - 1].isHighSurrogate() ? kMaxShownLength - 1
                                                                 : kMaxShownLength);
}

}  // namespace

frmMain::frmMain(platform::Platform& platform, RandomSource& random, QWidget* parent)
    : frmMain(platform, random, HistoryChoice{nullptr, nullptr}, parent) {}

frmMain::frmMain(platform::Platform& platform, RandomSource& random, history::DrillHistory& history,
                 QWidget* parent)
    : frmMain(platform, random, HistoryChoice{&history, nullptr}, parent) {}

frmMain::frmMain(platform::Platform& platform, RandomSource& random, history::DrillHistory& history,
                 const review::ReviewClock& clock, QWidget* parent)
    : frmMain(platform, random, HistoryChoice{&history, &clock}, parent) {}

frmMain::frmMain(platform::Platform& platform, RandomSource& random, HistoryChoice history,
                 QWidget* parent)
    : QMainWindow(parent),
      noHistory_(history.history != nullptr ? nullptr : std::make_unique<history::NoHistory>()),
      systemClock_(history.clock != nullptr ? nullptr
                                            : std::make_unique<review::SystemReviewClock>()),
      platform_(platform),
      session_(random),
      versionMajor_(KX_VERSION_MAJOR),
      versionMinor_(KX_VERSION_MINOR) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Kotobax4"));
    history::DrillHistory& store = history.history != nullptr ? *history.history : *noHistory_;
    const review::ReviewClock& clock = history.clock != nullptr ? *history.clock : *systemClock_;
    if (history.history != nullptr) {
        // Word states follow the retention and the day the learner chose.
        const common::Preferences preferences =
            common::PreferencesFile(platform_.preferencesFile()).load();
        store.setDesiredRetention(preferences.desiredRetention);
        store.setDayStart(preferences.dayStartsAt);
        session_.keepReviews(store, clock);
    }
    after_ = new AfterDrill(this, session_, platform_, store,
                            [this](const QList<common::Entry>& entries) {
                                if (session_.startOver(mode_, entries)) {
                                    drillStarted();
                                }
                            });
    reviews_ = new ReviewCommands(
        this, session_, platform_, store, clock,
        [this](const QString& path) { openWordFile(path); }, [this] { drillStarted(); });
    createControls();
    createMenus();
    lblReplay = new ReplayLine(store, this);
    menuBar()->setCornerWidget(lblReplay);
    Form_Load();
    updateAvailability();
    lblReplay->follow();
}

frmMain::~frmMain() {
    Form_Unload();
}

void frmMain::setVersion(int major, int minor) {
    versionMajor_ = major;
    versionMinor_ = minor;
}

void frmMain::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    txtQuestion0 = new QPlainTextEdit(client);
    txtQuestion0->setObjectName(QStringLiteral("txtQuestion0"));
    txtQuestion0->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtQuestion0->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtQuestion0->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtQuestion0->setTabChangesFocus(true);
    txtQuestion0->setFont(namedFont(14.25, true));
    makeDisplayBox(txtQuestion0);
    txtQuestion0->setPlainText(toDisplayLines(QStringLiteral("Kotobax 4\r\n")));
    txtQuestion0->hide();

    txtQuestion1 = new QLineEdit(client);
    txtQuestion1->setObjectName(QStringLiteral("txtQuestion1"));
    txtQuestion1->setFont(namedFont(14.25, true));
    makeDisplayBox(txtQuestion1);
    makeSlim(txtQuestion1);
    txtQuestion1->setText(QStringLiteral("Kotobax 4"));

    const std::array<QString, 2> visibilityCaptions{QStringLiteral("ON"), QStringLiteral("OFF")};
    for (int i = 0; i < 2; ++i) {
        optVisibility[i] = new QRadioButton(visibilityCaptions[i], client);
        optVisibility[i]->setObjectName(QStringLiteral("optVisibility%1").arg(i));
        optVisibility[i]->setToolTip(QStringLiteral("Scroll bar"));
        connect(optVisibility[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked) {
                optVisibility_Click(i);
            }
        });
    }
    optVisibility[1]->setChecked(true);

    for (int i = 0; i < 4; ++i) {
        txtRight[i] = new QLineEdit(client);
        txtRight[i]->setObjectName(QStringLiteral("txtRight%1").arg(i));
        txtRight[i]->setFont(namedFont(12));
        makeDisplayBox(txtRight[i]);
        makeSlim(txtRight[i]);
        txtRight[i]->setText(QString::number(i + 1));
    }

    vsRight = new QScrollBar(Qt::Vertical, client);
    vsRight->setObjectName(QStringLiteral("vsRight"));
    vsRight->setRange(0, 0);
    vsRight->setSingleStep(1);
    vsRight->setPageStep(1);
    vsRight->setFocusPolicy(Qt::StrongFocus);
    vsRight->hide();
    connect(vsRight, &QScrollBar::valueChanged, this, &frmMain::vsRight_Change);

    txtInformation = new QPlainTextEdit(client);
    txtInformation->setObjectName(QStringLiteral("txtInformation"));
    txtInformation->setToolTip(QStringLiteral("Information"));
    txtInformation->setTabChangesFocus(true);
    makeDisplayBox(txtInformation);
    txtInformation->setPlainText(toDisplayLines(QStringLiteral("ﾌｧｲﾙを開いてください。\r\n")));

    txtAnswer = new QLineEdit(client);
    txtAnswer->setObjectName(QStringLiteral("txtAnswer"));
    txtAnswer->setText(QStringLiteral("Answer"));
    makeSlim(txtAnswer);
    txtAnswer->installEventFilter(this);

    lblDifference = new DifferenceView(client);
    differenceFont_ = namedFont(12);

    cmdOK = new QPushButton(QStringLiteral("OK"), client);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setEnabled(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmMain::cmdOK_Click);

    lblResult = new QLabel(QStringLiteral("㊤"), client);
    lblResult->setObjectName(QStringLiteral("lblResult"));
    lblResult->setFont(namedFont(18));
    lblResult->setToolTip(QStringLiteral("Judgment"));

    framTime = new QFrame(client);
    framTime->setObjectName(QStringLiteral("framTime"));
    framTime->setFrameShape(QFrame::NoFrame);
    framTime->setToolTip(QStringLiteral("Indicator ( Click : On/Off )"));
    framTime->installEventFilter(this);

    lblTime = new QLabel(elapsedText(0), framTime);
    lblTime->setObjectName(QStringLiteral("lblTime"));
    lblTime->installEventFilter(this);

    lblCount = new QLabel(QStringLiteral("0 / 0"), framTime);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblCount->installEventFilter(this);

    TIM = new DrillClock(lblTime, this);
    TIM->setObjectName(QStringLiteral("TIM"));

    setTabOrder(optVisibility[0], optVisibility[1]);
    setTabOrder(optVisibility[1], vsRight);
    setTabOrder(vsRight, txtAnswer);
    setTabOrder(txtAnswer, cmdOK);

    // What a screen reader says. Labels that show a value keep it as their name.
    const QString question = QStringLiteral("問題");
    txtQuestion0->setAccessibleName(question);
    txtQuestion0->setAccessibleDescription(kQuestionRole);
    txtQuestion1->setAccessibleName(question);
    txtQuestion1->setAccessibleDescription(kQuestionRole);
    optVisibility[0]->setAccessibleName(QStringLiteral("問題の横スクロールバーを表示"));
    optVisibility[1]->setAccessibleName(QStringLiteral("問題の横スクロールバーを隠す"));
    for (int i = 0; i < 4; ++i) {
        txtRight[i]->setAccessibleName(QStringLiteral("正解 %1").arg(i + 1));
    }
    vsRight->setAccessibleName(QStringLiteral("正解のページ"));
    vsRight->setAccessibleDescription(QStringLiteral("4 つを超える正解を 4 つずつ表示します"));
    txtInformation->setAccessibleName(QStringLiteral("情報"));
    txtAnswer->setAccessibleName(QStringLiteral("解答"));
    cmdOK->setAccessibleDescription(
        QStringLiteral("解答を判定します。もう一度押すと次の問題に進みます"));
    lblResult->setAccessibleDescription(QStringLiteral("判定"));
    framTime->setAccessibleName(QStringLiteral("経過時間と正解数"));
    framTime->setAccessibleDescription(QStringLiteral("クリックで表示と非表示を切り替えます"));
    lblTime->setAccessibleDescription(QStringLiteral("経過時間"));
    lblCount->setAccessibleDescription(
        QStringLiteral("正解数 / 解答数 (Overcoming mode では残りの問題数)"));

    createWayControls(client);
    for (QWidget* control : std::initializer_list<QWidget*>{
             txtQuestion0, txtQuestion1, optVisibility[0], optVisibility[1], txtRight[0],
             txtRight[1], txtRight[2], txtRight[3], txtInformation, txtAnswer, cmdOK, lblResult,
             lblTime, lblCount}) {
        normalFonts_.emplace_back(control, control->font());
    }
    applyLayout(common::kZoomNormal);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

bool frmMain::zoomFits(int percent) {
    const bool fits = fitsAt(percent);
    applyLayout(zoom_);
    return fits;
}

bool frmMain::fitsAt(int percent) {
    const QSize client = applyLayout(percent);
    // The frame is known once shown; before, a title bar's height stands for it.
    const QSize frame = isVisible() ? frameGeometry().size() - geometry().size()
                                    : QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QSize whole = client + frame + QSize(0, menuBar()->sizeHint().height());
    const QSize available = screen()->availableGeometry().size();
    return whole.width() <= available.width() && whole.height() <= available.height();
}

int frmMain::zoomTo(int wanted) {
    zoom_ = common::fittingZoom(wanted, [this](int percent) { return fitsAt(percent); });
    applyLayout(zoom_);
    layout()->activate();
    return zoom_;
}

QSize frmMain::applyLayout(int zoomPercent) {
    for (const auto& [control, font] : normalFonts_) {
        control->setFont(platform::zoomedFont(font, zoomPercent));
    }
    BoxMetrics metrics;
    metrics.questionLine = std::max(japaneseLineHeight(txtQuestion0->font()),
                                    japaneseLineHeight(txtQuestion1->font()));
    metrics.questionChrome = plainTextChrome(txtQuestion0);
    metrics.questionBar = txtQuestion0->horizontalScrollBar()->sizeHint().height();
    metrics.slimQuestionChrome = kSlimChrome;
    metrics.rightLine = japaneseLineHeight(txtRight[0]->font());
    metrics.slimChrome = kSlimChrome;
    metrics.informationLine = japaneseLineHeight(txtInformation->font());
    metrics.informationChrome = plainTextChrome(txtInformation);
    metrics.answerLine = japaneseLineHeight(txtAnswer->font());
    const QFont differenceFont = platform::zoomedFont(differenceFont_, zoomPercent);
    metrics.differenceLine = japaneseLineHeight(differenceFont);
    metrics.optionHeight =
        std::max(optVisibility[0]->sizeHint().height(), optVisibility[1]->sizeHint().height());
    metrics.commandHeight = std::max(cmdOK->sizeHint().height(), lblResult->sizeHint().height());
    metrics.indicatorHeight = std::max(lblTime->sizeHint().height(), lblCount->sizeHint().height());
    const DrillGeometry g = layoutDrill(metrics, zoomPercent / double(common::kZoomNormal));

    centralWidget()->setFixedSize(g.client);
    txtQuestion0->setGeometry(g.questionMulti);
    txtQuestion1->setGeometry(g.questionSingle);
    for (int i = 0; i < 2; ++i) {
        optVisibility[i]->setGeometry(g.options[i]);
        shrinkToFit(optVisibility[i]);
    }
    for (int i = 0; i < 4; ++i) {
        txtRight[i]->setGeometry(g.rights[i]);
    }
    vsRight->setGeometry(g.rightPages);
    txtInformation->setGeometry(g.information);
    txtAnswer->setGeometry(g.answer);
    // The choices in the rows of the answers, each as wide as an answer and its scroll bar.
    std::array<QRect, AnswerChoices::kMaxChoices> choiceRows;
    for (int i = 0; i < AnswerChoices::kMaxChoices; ++i) {
        choiceRows.at(i) =
            QRect(g.rights.at(i).topLeft(), QPoint(g.rightPages.right(), g.rights.at(i).bottom()));
    }
    choices_->setGeometry(choiceRows);
    card_->setGeometry(g.answer);
    lblDifference->setGeometry(g.difference);
    lblDifference->setBaseFont(differenceFont);
    cmdOK->setGeometry(g.ok);
    lblResult->setGeometry(g.result);
    framTime->setGeometry(g.indicator);
    lblTime->setGeometry(g.time);
    lblCount->setGeometry(g.count);
    return g.client;
}

void frmMain::createMenus() {
    Menu_Top = menuBar()->addMenu(QStringLiteral("&Menu"));
    Menu_Top->setObjectName(QStringLiteral("Menu_Top"));
    auto addItem = [this](QMenu* menu, const QString& caption, const QString& name,
                          const QKeySequence& shortcut, void (frmMain::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        if (handler != nullptr) {
            connect(action, &QAction::triggered, this, handler);
        }
        return action;
    };
    Menu_Open = addItem(Menu_Top, QStringLiteral("&Open"), QStringLiteral("Menu_Open"),
                        QKeySequence(Qt::CTRL | Qt::Key_O), &frmMain::Menu_Open_Click);
    Menu_Start = addItem(Menu_Top, QStringLiteral("&Start"), QStringLiteral("Menu_Start"),
                         QKeySequence(Qt::CTRL | Qt::Key_S), &frmMain::Menu_Start_Click);
    Menu_Top->addSeparator()->setObjectName(QStringLiteral("H13260"));
    Menu_GiveUp = addItem(Menu_Top, QStringLiteral("&Stop"), QStringLiteral("Menu_GiveUp"),
                          QKeySequence(Qt::CTRL | Qt::Key_G), &frmMain::Menu_GiveUp_Click);
    Menu_Overrule = addItem(
        Menu_Top, QStringLiteral("今の解答を正解にする(&R)"), QStringLiteral("Menu_Overrule"),
        QKeySequence(Qt::SHIFT | Qt::Key_Return), &frmMain::Menu_Overrule_Click);
    Menu_Top->addSeparator()->setObjectName(QStringLiteral("H13262"));
    Menu_History = addItem(Menu_Top, QStringLiteral("成績の記録(&K)"),
                           QStringLiteral("Menu_History"), {}, nullptr);
    connect(Menu_History, &QAction::triggered, after_, &AfterDrill::showHistory);
    Menu_Review = addItem(Menu_Top, QStringLiteral("今日の復習(&T)"), QStringLiteral("Menu_Review"),
                          {}, nullptr);
    connect(Menu_Review, &QAction::triggered, reviews_, &ReviewCommands::startTodaysReview);
    Menu_ReviewPlan = addItem(Menu_Top, QStringLiteral("復習の予定(&P)..."),
                              QStringLiteral("Menu_ReviewPlan"), {}, nullptr);
    connect(Menu_ReviewPlan, &QAction::triggered, reviews_, &ReviewCommands::showReviewPlan);
    Menu_Top->addSeparator()->setObjectName(QStringLiteral("H13261"));
    Menu_Version = addItem(Menu_Top, QStringLiteral("&Version"), QStringLiteral("Menu_Version"), {},
                           &frmMain::Menu_Version_Click);
    Menu_Help = addItem(Menu_Top, QStringLiteral("&Help"), QStringLiteral("Menu_Help"), {},
                        &frmMain::Menu_Help_Click);
    Menu_Exit =
        addItem(Menu_Top, QStringLiteral("E&xit"), QStringLiteral("Menu_Exit"), {}, nullptr);
    connect(Menu_Exit, &QAction::triggered, this, &QWidget::close);

    Option_Top = menuBar()->addMenu(QStringLiteral("&Option"));
    Option_Top->setObjectName(QStringLiteral("Option_Top"));
    Option_Normal = addItem(Option_Top, QStringLiteral("&Normal mode"),
                            QStringLiteral("Option_Normal"), {}, nullptr);
    Option_Endless = addItem(Option_Top, QStringLiteral("&Endless mode"),
                             QStringLiteral("Option_Endless"), {}, nullptr);
    Option_Conquering = addItem(Option_Top, QStringLiteral("&Overcoming mode"),
                                QStringLiteral("Option_Conquering"), {}, nullptr);
    // Check marks, not the radio marks of an exclusive action group; clicking the checked
    // item leaves it checked.
    const std::array<std::pair<QAction*, common::DrillModeValue>, 3> modes{
        {{Option_Normal, common::kNormalMode},
         {Option_Endless, common::kEndlessMode},
         {Option_Conquering, common::kOvercomingMode}}};
    for (const auto& [item, mode] : modes) {
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, mode = mode] { checkMode(mode); });
    }
    ways_ = new DrillWays(platform_, session_, Option_Top);
    Option_Top->addSeparator()->setObjectName(QStringLiteral("H17100"));
    Option_Edit = addItem(Option_Top, QStringLiteral("E&dit"), QStringLiteral("Option_Edit"), {},
                          &frmMain::Option_Edit_Click);
    options_ = new DrillOptions(
        platform_, session_, Option_Top, [this](int wanted) { return zoomTo(wanted); },
        [this](int percent) { return zoomFits(percent); });

    connect(Menu_Top, &QMenu::aboutToShow, this, &frmMain::updateAvailability);
    connect(Option_Top, &QMenu::aboutToShow, this, &frmMain::updateAvailability);
}

void frmMain::Form_Load() {
    const QString folder = platform_.programFolder();
    settings_ = common::loadDrillSettings(common::settingsFilePath(folder));
    switch (settings_.drillMode) {
        case common::kEndlessMode:
            checkMode(common::kEndlessMode);
            break;
        case common::kOvercomingMode:
            checkMode(common::kOvercomingMode);
            break;
        default:
            checkMode(common::kNormalMode);
            break;
    }
    helpFile_ = folder + kHelpFileName;
}

void frmMain::checkMode(common::DrillModeValue mode) {
    mode_ = mode;
    Option_Normal->setChecked(mode == common::kNormalMode);
    Option_Endless->setChecked(mode == common::kEndlessMode);
    Option_Conquering->setChecked(mode == common::kOvercomingMode);
}

void frmMain::Form_Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    TIM->stop();
    // The answer on screen is kept as a review; the drill itself ends unrecorded.
    session_.stop();
    const QString folder = platform_.programFolder();
    const QString path = common::settingsFilePath(folder);
    auto record = [&](const common::SettingsRecord& fresh) {
        return common::drillRecordToSave(fresh, QDir::toNativeSeparators(session_.wordFileName()),
                                         mode_, folder);
    };
    if (const common::Outcome saved =
            common::updateSettings(path, common::kDrillRecordLength, record);
        !saved.ok()) {
        platform_.warn(this, common::settingsNotSavedText(path, saved),
                       QString::fromUtf16(common::kSettingsNotSavedTitle));
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// Back from another window (the review window changes the retention): the history may work.
void frmMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        lblReplay->follow();
    }
    QMainWindow::changeEvent(event);
}

// Commands follow the availability rules in every state, also through their shortcut keys.
void frmMain::updateAvailability() {
    const bool drilling = session_.drilling();
    Menu_Open->setEnabled(!drilling);
    Menu_Start->setEnabled(session_.fileLoaded() && !drilling);
    Menu_GiveUp->setEnabled(drilling);
    Menu_Overrule->setEnabled(session_.canOverrule());
    Menu_Review->setEnabled(session_.fileLoaded() && !drilling);
    setWindowTitle(session_.windowTitle());
    for (QAction* item : {Option_Normal, Option_Endless, Option_Conquering, Option_Edit}) {
        item->setEnabled(!drilling);
    }
    options_->updateAvailability(drilling);
    ways_->updateAvailability(drilling);
}

void frmMain::Menu_Open_Click() {
    if (session_.drilling()) {
        return;
    }
    // Until a file has been chosen the dialog starts where the settings file says.
    const QString& last = session_.wordFileName();
    const QString folder = last.isEmpty() ? settings_.lastPath() : QString();
    // Qt's dialog cannot show names in the Windows code page: offered before it opens there.
    platform::offerNameRepair(platform_, this, last.isEmpty() ? folder : last, namesOffered_);
    platform::FileDialog dialog;
    dialog.kind = platform::FileDialogKind::Open;
    dialog.fileName = last;
    dialog.initialFolder = folder;
    dialog.namesOffered = &namesOffered_;
    const std::optional<QString> chosen = platform_.askFileName(this, dialog);
    if (chosen && !chosen->isEmpty()) {
        openWordFile(*chosen);
    }
}

void frmMain::openWordFile(const QString& path) {
    if (session_.drilling()) {
        return;
    }
    setInformationText(kOpening);
    common::Outcome outcome;
    {
        const auto busy = platform_.busy();
        outcome = session_.open(path);
    }
    showReadOutcome(outcome, true);
}

void frmMain::reloadWordFile() {
    setInformationText(kReloading);
    common::Outcome outcome;
    {
        const auto busy = platform_.busy();
        outcome = session_.reload();
    }
    showReadOutcome(outcome, false);
}

void frmMain::showReadOutcome(const common::Outcome& outcome, bool opened) {
    if (!outcome.ok()) {
        platform_.warn(this, outcome.reason, kOpenTitle);
        setInformationText(QString());
    } else if (opened) {
        showLoadedInformation();
    } else {
        setInformationText(QString());
    }
    lblReplay->follow();  // reading the file's reviews may have set some going
    // However the file came, the answer box's input method follows what is typed.
    japaneseAnswers_ = session_.fileLoaded() && session_.typesJapanese();
    updateAvailability();
}

void frmMain::Menu_Start_Click() {
    if (session_.start(mode_)) {
        drillStarted();
    }
}

void frmMain::drillStarted() {
    // The way may have changed since the file came: the box still focused from the drill
    // before is given the mode anew.
    if (const bool japanese = session_.typesJapanese(); japanese != japaneseAnswers_) {
        japaneseAnswers_ = japanese;
        imeSwitched_ = true;
    }
    TIM->reset();
    cmdOK->setEnabled(true);
    platform::MessageBox box;
    box.text = kGoodLuck;
    box.title = kStartTitle;
    platform_.showMessage(this, box);
    TIM->start();
    lblTime->setText(elapsedText(0));
    lblCount->setText(session_.countText());
    askNext();
}

void frmMain::askNext() {
    const std::optional<Question> question = session_.next();
    if (!question) {
        endDrill();
        return;
    }
    clearAnswerBoxes();
    vsRight->hide();
    // Listening shows the question only when it cannot be spoken.
    const bool spoken = options_->questionAsked(question->text);
    const bool listening = session_.way() == DrillWay::Listening;
    setQuestionText(listening && spoken ? kListeningPrompt : question->text);
    if (listening) {
        setInformationText(spoken ? kListeningKeys : kNotSpoken);
    }
    txtAnswer->setFocus(Qt::OtherFocusReason);
    if (std::exchange(imeSwitched_, false)) {
        // Switched for one question's answer: the next one starts in the file's mode.
        platform_.setImeMode(
            txtAnswer, japaneseAnswers_ ? platform::ImeMode::On : platform::ImeMode::NoControl);
    }
    showWayControls(*question);
    updateAvailability();
    reviews_->sayReviewFailure();
}

void frmMain::cmdOK_Click() {
    switch (session_.phase()) {
        case DrillPhase::Answering:
            if (session_.way() == DrillWay::Choice) {
                // Enter picks the choice Tab went to; with none to pick, it is a miss.
                if (choices_->focused() >= 0 || choices_->texts().isEmpty()) {
                    choose(choices_->focused());
                }
                break;
            }
            if (session_.way() == DrillWay::Card) {
                card_->revealed() ? gradeCard(true) : revealCard();
                break;
            }
            if (const Verdict verdict = session_.judge(txtAnswer->text()); verdict.tryAgain) {
                showTryAgain(verdict);
            } else {
                showVerdict(verdict);
            }
            break;
        case DrillPhase::Judged:
            askNext();
            break;
        case DrillPhase::Idle:
            break;
    }
}

void frmMain::showAnswers(const Verdict& verdict) {
    for (int box = 0; box < kAnswersPerPage && box < verdict.rights.size(); ++box) {
        setRightText(box, verdict.rights.at(box));
    }
    setInformationText(verdict.information);
    if (!verdict.revealed.isEmpty()) {
        setQuestionText(verdict.revealed);
    }
    if (verdict.lastPage > 0) {
        showRightPages(verdict.joinedRights, verdict.lastPage);
    }
}

void frmMain::showVerdict(const Verdict& verdict) {
    showAnswers(verdict);
    setResultText(verdict.mark);
    if (!verdict.lenientNote.isEmpty()) {
        setResultToolTip(verdict.lenientNote);
    }
    if (verdict.difference) {
        lblDifference->showDifference(*verdict.difference);
    } else {
        lblDifference->clear();  // the one of a try before
    }
    lblCount->setText(session_.countText());
    updateAvailability();
}

void frmMain::showTryAgain(const Verdict& verdict) {
    setInformationText(verdict.message);
    if (verdict.difference) {
        lblDifference->showDifference(*verdict.difference);
    } else {
        lblDifference->clear();
    }
    // Typing replaces the answer at once.
    txtAnswer->setFocus(Qt::OtherFocusReason);
    txtAnswer->selectAll();
    if (verdict.inputMode != InputModeSlip::None) {
        // Kana where Latin letters are asked for, or romaji where Japanese is; after the focus,
        // which gives the box the file's mode.
        platform_.setImeMode(txtAnswer, verdict.inputMode == InputModeSlip::KanaOn
                                            ? platform::ImeMode::Off
                                            : platform::ImeMode::On);
        imeSwitched_ = true;
    }
}

void frmMain::Menu_GiveUp_Click() {
    if (!session_.drilling()) {
        return;
    }
    platform::MessageBox box;
    box.text = kStopQuestion;
    box.title = kStopTitle;
    box.icon = platform::Icon::Question;
    box.buttons = platform::Buttons::YesNo;
    box.defaultButton = platform::Answer::No;
    // No leaves the question on screen as it was.
    if (platform_.showMessage(this, box) == platform::Answer::Yes) {
        endDrill();
    }
}

void frmMain::endDrill() {
    TIM->stop();
    cmdOK->setEnabled(false);
    clearAnswerBoxes();
    const history::DrillRecord record = session_.finish(TIM->seconds());
    hideWayControls();
    setQuestionText(session_.resultsLine());
    if (!session_.reviewClosing().isEmpty()) {
        setInformationText(session_.reviewClosing());
    }
    if (session_.reloadDue()) {
        reloadWordFile();
    }
    reviews_->sayReviewFailure();
    after_->drillEnded(record);
    options_->questionGone();
    updateAvailability();
    lblReplay->follow();
    reviews_->drillEnded();
}

void frmMain::Menu_Overrule_Click() {
    if (session_.canOverrule()) {
        session_.overrule();
        setResultText(kRightMark);
        lblCount->setText(session_.countText());
    }
    updateAvailability();
}

void frmMain::Menu_Version_Click() {
    platform::MessageBox box;
    box.text = versionText(versionMajor_, versionMinor_);
    box.title = QStringLiteral("Information");
    platform_.showMessage(this, box);
}

void frmMain::Menu_Help_Click() {
    platform_.showHelp(this, helpFile_, 0);
}

void frmMain::Option_Edit_Click() {
    if (session_.drilling()) {
        return;
    }
    const QString name = platform::executableName(kEditorBaseName);
    const QString program = platform_.programFolder() + name;
    const QString title = QStringLiteral("Edit");
    if (!QFileInfo(program).isFile()) {
        platform_.warn(this, name + QStringLiteral(" が見つかりません。"), title);
        return;
    }
    if (!platform_.startProgram(program, {})) {
        platform_.warn(this, name + QStringLiteral(" を起動できません。"), title);
    }
}

void frmMain::framTime_Click() {
    lblTime->setVisible(!lblTime->isVisibleTo(framTime));
    lblCount->setVisible(!lblCount->isVisibleTo(framTime));
}

void frmMain::vsRight_Change() {
    const QStringList page = answerPage(vsRightTag_, vsRight->value());
    for (int i = 0; i < kAnswersPerPage; ++i) {
        txtRight[i]->setText(page.at(i));
    }
}

void frmMain::optVisibility_Click(int index) {
    txtQuestion0->setVisible(index == 0);
    txtQuestion1->setVisible(index != 0);
    // Tab reaches the checked option only, as in a group of option buttons.
    for (int i = 0; i < 2; ++i) {
        optVisibility[i]->setFocusPolicy(i == index ? Qt::StrongFocus : Qt::ClickFocus);
    }
    // The learner was typing: the answer stays where it was, ready for Enter.
    if (session_.drilling()) {
        txtAnswer->setFocus(Qt::OtherFocusReason);
    }
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    // Enter anywhere in the window presses the default button, as in a dialog.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier).toInt() == 0) {
        if (cmdOK->isEnabled()) {
            cmdOK->click();
        }
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtAnswer) {
        if (event->type() == QEvent::FocusIn) {
            // Coming back from another window or a menu is not a new visit to the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                platform_.setImeMode(txtAnswer, japaneseAnswers_ ? platform::ImeMode::On
                                                                 : platform::ImeMode::NoControl);
            }
        } else if (event->type() == QEvent::InputMethod) {
            composing_ = !static_cast<QInputMethodEvent*>(event)->preeditString().isEmpty();
        } else if (event->type() == QEvent::FocusOut) {
            composing_ = false;
        } else if (event->type() == QEvent::KeyPress && composing_) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // The input method confirms its conversion with this Enter.
                return true;
            }
        }
        return false;
    }
    if (watched == lblTime || watched == lblCount) {
        // A click on a label is the label's own, not the frame's.
        const QEvent::Type type = event->type();
        return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
               type == QEvent::MouseButtonDblClick;
    }
    if (watched == framTime) {
        if (event->type() == QEvent::MouseButtonPress) {
            framePressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            return framePressed_;
        }
        if (event->type() == QEvent::MouseButtonRelease && framePressed_) {
            framePressed_ = false;
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (framTime->rect().contains(mouse->position().toPoint())) {
                framTime_Click();
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::createWayControls(QWidget* client) {
    choices_ = new ChoiceButtons(client, [this](int choice) { choose(choice); });
    card_ = new CardButtons(
        client, [this] { revealCard(); }, [this](bool right) { gradeCard(right); });
    for (QPushButton* button : choices_->buttons()) {
        button->setFont(namedFont(12));
        normalFonts_.emplace_back(button, button->font());
    }
    for (QPushButton* button : card_->buttons()) {
        normalFonts_.emplace_back(button, button->font());
    }
    setTabOrder(vsRight, choices_->buttons().front());
    for (int i = 1; i < AnswerChoices::kMaxChoices; ++i) {
        setTabOrder(choices_->buttons().at(i - 1), choices_->buttons().at(i));
    }
    setTabOrder(choices_->buttons().back(), txtAnswer);
}

void frmMain::showWayControls(const Question& question) {
    const DrillWay way = session_.way();
    // Choices show what was picked in the answer box; a card has its buttons there.
    const bool picked = way == DrillWay::Choice || way == DrillWay::Card;
    setAnswerTyped(!picked);
    txtAnswer->setVisible(way != DrillWay::Card);
    if (way == DrillWay::Choice) {
        choices_->show(question.choices.texts);
    } else if (way == DrillWay::Card) {
        card_->showQuestion();
    }
    if (picked) {
        cmdOK->setFocus(Qt::OtherFocusReason);
    }
}

void frmMain::hideWayControls() {
    choices_->hide();
    card_->hide();
    if (!session_.drilling()) {
        setAnswerTyped(true);
        txtAnswer->show();
    }
}

void frmMain::setAnswerTyped(bool typed) {
    txtAnswer->setReadOnly(!typed);
    txtAnswer->setFocusPolicy(typed ? Qt::StrongFocus : Qt::NoFocus);
    // The style sheet's read-only colour follows.
    txtAnswer->style()->unpolish(txtAnswer);
    txtAnswer->style()->polish(txtAnswer);
}

void frmMain::choose(int choice) {
    if (session_.phase() != DrillPhase::Answering || session_.way() != DrillWay::Choice) {
        return;
    }
    txtAnswer->setText(choices_->texts().value(choice));
    const Verdict verdict = session_.choose(choice);
    hideWayControls();
    showVerdict(verdict);
    cmdOK->setFocus(Qt::OtherFocusReason);
}

void frmMain::revealCard() {
    if (session_.phase() == DrillPhase::Answering && session_.way() == DrillWay::Card) {
        showAnswers(session_.reveal());
        card_->showAnswers();
    }
}

void frmMain::gradeCard(bool right) {
    if (session_.phase() != DrillPhase::Answering || !card_->revealed()) {
        return;
    }
    const Verdict verdict = session_.grade(right);
    hideWayControls();
    showVerdict(verdict);
}

void frmMain::setQuestionText(const QString& text) {
    const QString shown = shownPart(text);
    txtQuestion0->setPlainText(toDisplayLines(shown));
    txtQuestion1->setText(shown);
    txtQuestion1->setCursorPosition(0);
    // The one-line box cuts a long question at its edge: the whole of it is one hover or one
    // screen-reader query away.
    const int room = txtQuestion1->width() - kSlimChrome;
    const bool cut = txtQuestion1->fontMetrics().horizontalAdvance(shown) > room;
    txtQuestion1->setToolTip(cut ? shown : QString());
    txtQuestion1->setAccessibleDescription(cut ? shown : kQuestionRole);
}

void frmMain::setRightText(int box, const QString& text) {
    txtRight.at(box)->setText(shownPart(text));
    txtRight.at(box)->setCursorPosition(0);
}

void frmMain::showRightPages(const QString& joinedRights, int lastPage) {
    // The new answers are in place before the page changes, so that a bar left on a later
    // page for an earlier entry shows this entry's first page.
    vsRightTag_ = joinedRights;
    vsRight->setMaximum(lastPage);
    vsRight->setValue(0);
    vsRight_Change();
    vsRight->show();
}

void frmMain::showLoadedInformation() {
    QString text = kLoaded + kCrLf + QDir::toNativeSeparators(session_.wordFileName());
    if (const std::optional<review::ReviewCounts> counts = session_.reviewCounts()) {
        const int newLimit =
            common::PreferencesFile(platform_.preferencesFile()).load().dailyNewWords;
        text += kCrLf + reviewCountText(counts->due, counts->fresh,
                                        session_.newWordsLeftToday(newLimit) == 0);
        if (session_.reviewsAhead() > 0) {
            text += kCrLf + kReviewsAhead;
        }
    }
    setInformationText(text);
    loadedShown_ = true;
}

void frmMain::setSync(history::HistorySync* sync) {
    reviews_->setSync(sync);
    connect(sync, &history::HistorySync::merged, this, &frmMain::refreshLoadedCounts);
}

void frmMain::refreshLoadedCounts() {
    // Only the line the open left: a verdict or a drill's own text is not overwritten.
    if (loadedShown_ && session_.fileLoaded() && !session_.drilling()) {
        showLoadedInformation();
    }
}

void frmMain::setInformationText(const QString& text) {
    loadedShown_ = false;
    txtInformation->setPlainText(shownPart(toDisplayLines(text)));
}

void frmMain::setResultText(const QString& text) {
    lblResult->setText(text);
    lblResult->setToolTip(QStringLiteral("Judgment"));
    lblResult->setAccessibleDescription(QStringLiteral("判定"));
}

// A screen reader does not read tool tips: the note goes into the description too.
void frmMain::setResultToolTip(const QString& text) {
    lblResult->setToolTip(text);
    lblResult->setAccessibleDescription(QStringLiteral("判定。") + text);
}

void frmMain::clearAnswerBoxes() {
    for (int box = 0; box < kAnswersPerPage; ++box) {
        setRightText(box, QString());
    }
    setInformationText(QString());
    txtAnswer->clear();
    lblDifference->clear();
    setResultText(QString());
}

}  // namespace drill
