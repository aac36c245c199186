#include "editor/window/frm_edit.h"

#include "common/help_topic.h"
#include "common/messages.h"
#include "common/settings.h"
#include "common/word_file.h"
#include "editor/window/entry_form_view.h"
#include "editor/window/entry_list_model.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/help_topics.h"
#include "platform/name_repair.h"
#include "platform/platform.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QTextDocument>
#include <QUndoStack>
#include <QVBoxLayout>

namespace editor {

using common::kCrLf;

namespace {

const QString kOpenTitle = QStringLiteral("ﾌｧｲﾙを開く");
constexpr int kListTopic = common::topicNumber(common::HelpTopic::List);
constexpr int kBoxTopic = common::topicNumber(common::HelpTopic::Box);
constexpr int kStoreTopic = common::topicNumber(common::HelpTopic::Store);
constexpr int kRemoveTopic = common::topicNumber(common::HelpTopic::Remove);
constexpr int kConverterTopic = common::topicNumber(common::HelpTopic::Converter);
constexpr int kUndoTopic = common::topicNumber(common::HelpTopic::Undo);
constexpr int kExchangeTopic = common::topicNumber(common::HelpTopic::Exchange);

QPushButton* makeButton(const QString& caption, const char* name, int helpTopic, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(true);  // Enter presses the button that has the focus
    setHelpTopic(button, helpTopic);
    return button;
}

}  // namespace

frmEdit::frmEdit(platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent), platform_(platform) {
    setObjectName(QStringLiteral("frmEdit"));
    setWindowTitle(QStringLiteral("Kotobax 4  単語ﾌｧｲﾙ編集"));
    undoStack_ = new QUndoStack(this);
    // Only the saved state is clean, so the save question comes exactly when the file and the
    // window differ.
    connect(undoStack_, &QUndoStack::indexChanged, this,
            [this] { document_.setModified(!undoStack_->isClean()); });
    buildWindow();
    buildMenus();
    applySettings();
    attachTools();
    startEmpty();
    lstQuestion_->setFocus();
}

frmEdit::~frmEdit() {
    // Emptied on its way out, the history reports to this window: it goes while the window
    // is still whole.
    delete undoStack_;
}

void frmEdit::buildWindow() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    model_ = new EntryListModel(document_, this);
    lstQuestion_ = new EntryListView(central);
    lstQuestion_->setObjectName(QStringLiteral("lstQuestion"));
    lstQuestion_->setModel(model_);
    setHelpTopic(lstQuestion_, kListTopic);
    connect(lstQuestion_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmEdit::listChangedByUser);
    connect(lstQuestion_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmEdit::listChangedByUser);
    connect(lstQuestion_, &QAbstractItemView::clicked, this, &frmEdit::listChangedByUser);
    connect(lstQuestion_, &EntryListView::menuRequested, this, &frmEdit::lstQuestion_MouseUp);
    lstQuestion_->setMayChoose([this] { return ConfirmEntryStored(); });

    cmdReverse_ = makeButton(QStringLiteral("←\n→"), "cmdReverse", kRemoveTopic, central);
    cmdReverse_->setToolTip(QStringLiteral("選択されている項目の逆問題を生成"));
    connect(cmdReverse_, &QPushButton::clicked, this, &frmEdit::cmdReverse_Click);
    cmdRemove_ = makeButton(QStringLiteral("削除(&D)"), "cmdRemove", kRemoveTopic, central);
    connect(cmdRemove_, &QPushButton::clicked, this, &frmEdit::cmdRemove_Click);

    form_ = new EntryFormView(central);
    form_->setObjectName(QStringLiteral("entryForm"));
    setHelpTopic(form_->txtQuestion(), kBoxTopic);
    for (int i = 0; i < kAnswerBoxes; ++i) {
        setHelpTopic(form_->txtRight(i), kBoxTopic);
    }
    setHelpTopic(form_->txtInformation(), kBoxTopic);
    setHelpTopic(form_->cmdMoreRight(), kBoxTopic);
    connect(form_->cmdMoreRight(), &QPushButton::clicked, this, &frmEdit::cmdMoreRight_Click);
    form_->txtQuestion()->installEventFilter(this);
    for (int i = 0; i < kAnswerBoxes; ++i) {
        form_->txtRight(i)->installEventFilter(this);
    }
    form_->txtInformation()->installEventFilter(this);

    cmdAdd_ = makeButton(QStringLiteral("追加(&A)"), "cmdAdd", kStoreTopic, central);
    cmdAdd_->setDefault(true);
    connect(cmdAdd_, &QPushButton::clicked, this, &frmEdit::cmdAdd_Click);
    connect(form_, &EntryFormView::submitted, cmdAdd_, &QPushButton::click);
    connect(lstQuestion_, &EntryListView::submitted, cmdAdd_, &QPushButton::click);
    cmdInsert_ = makeButton(QStringLiteral("挿入(&I)"), "cmdInsert", kStoreTopic, central);
    connect(cmdInsert_, &QPushButton::clicked, this, &frmEdit::cmdInsert_Click);
    cmdChange_ = makeButton(QStringLiteral("更新(&C)"), "cmdChange", kStoreTopic, central);
    connect(cmdChange_, &QPushButton::clicked, this, &frmEdit::cmdChange_Click);

    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(cmdReverse_);
    listButtons->addWidget(cmdRemove_);
    auto* left = new QVBoxLayout;
    left->addWidget(lstQuestion_, 1);
    left->addLayout(listButtons);

    auto* storeButtons = new QHBoxLayout;
    storeButtons->addStretch();
    storeButtons->addWidget(cmdAdd_);
    storeButtons->addWidget(cmdInsert_);
    storeButtons->addWidget(cmdChange_);
    auto* right = new QVBoxLayout;
    right->addWidget(form_, 1);
    right->addLayout(storeButtons);

    auto* columns = new QHBoxLayout(central);
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);

    QWidget* const order[] = {lstQuestion_,
                              form_->txtQuestion(),
                              form_->txtRight(0),
                              form_->txtRight(1),
                              form_->txtRight(2),
                              form_->txtRight(3),
                              form_->cmdMoreRight(),
                              form_->txtInformation(),
                              cmdAdd_,
                              cmdInsert_,
                              cmdChange_,
                              cmdReverse_,
                              cmdRemove_};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }

    // What a screen reader says, without the access-key marks of the captions.
    lstQuestion_->setAccessibleName(QStringLiteral("問題の一覧"));
    cmdReverse_->setAccessibleName(QStringLiteral("逆問題生成"));
    cmdRemove_->setAccessibleName(QStringLiteral("削除"));
    cmdAdd_->setAccessibleName(QStringLiteral("追加"));
    cmdInsert_->setAccessibleName(QStringLiteral("挿入"));
    cmdChange_->setAccessibleName(QStringLiteral("更新"));

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] {
        platform_.showHelp(this, helpFile(), helpTopicAt(QApplication::focusWidget()));
    });

    fitScreen();
}

void frmEdit::fitScreen() {
    // At a large scale the first size can pass the screen.
    resize(firstSize().expandedTo(minimumSizeHint()));
}

QSize frmEdit::firstSize() const {
    return QSize(680, 440).boundedTo(availableRoom());
}

QSize frmEdit::availableRoom() const {
    constexpr double kFrameRoom = 0.9;
    return screen()->availableGeometry().size() * kFrameRoom;
}

QAction* frmEdit::addItem(QMenu* menu, const QString& caption, const char* name,
                          const QList<QKeySequence>& keys, int helpTopic,
                          const std::function<void()>& handler) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    if (helpTopic != 0) {
        setHelpTopic(action, helpTopic);
    }
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void frmEdit::buildMenus() {
    buildFileMenu();
    buildEditMenu();
    buildOptionMenu();
}

void frmEdit::buildFileMenu() {
    fileMenu_ = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    QMenu* file = fileMenu_;
    file->setObjectName(QStringLiteral("File_Top"));
    file->installEventFilter(this);
    addItem(file, QStringLiteral("新規(&N)"), "File_New", {}, 0, [this] { File_New_Click(); });
    addItem(file, QStringLiteral("開く(&O)"), "File_Open", {QKeySequence(Qt::CTRL | Qt::Key_O)}, 0,
            [this] { File_Open_Click(); });
    addItem(file, QStringLiteral("保存(&S)"), "File_Save", {QKeySequence(Qt::CTRL | Qt::Key_S)}, 0,
            [this] { File_Save_Click(); });
    file->addSeparator();
    addItem(file, QStringLiteral("インポート(&I)..."), "File_Import", {}, kExchangeTopic,
            [this] { File_Import_Click(); });
    needEntries_ = {addItem(file, QStringLiteral("エクスポート(&E)..."), "File_Export", {},
                            kExchangeTopic, [this] { File_Export_Click(); }),
                    addItem(file, QStringLiteral("印刷(&P)..."), "File_Print", {}, kExchangeTopic,
                            [this] { File_Print_Click(); }),
                    addItem(file, QStringLiteral("PDF に書き出す..."), "File_Pdf", {},
                            kExchangeTopic, [this] { File_Pdf_Click(); })};
    connect(file, &QMenu::aboutToShow, this, &frmEdit::File_Top_Click);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &frmEdit::File_Top_Click);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &frmEdit::File_Top_Click);
    connect(model_, &QAbstractItemModel::modelReset, this, &frmEdit::File_Top_Click);
    File_Top_Click();
    file->addSeparator();
    addItem(file, QStringLiteral("終了(&X)"), "File_Exit", {}, 0, [this] { File_Exit_Click(); });
}

void frmEdit::buildEditMenu() {
    editMenu_ = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    editMenu_->setObjectName(QStringLiteral("Edit_Top"));
    editMenu_->installEventFilter(this);
    connect(editMenu_, &QMenu::aboutToShow, this, &frmEdit::Edit_Top_Click);
    undo_ = addItem(editMenu_, QStringLiteral("元に戻す(&U)"), "Edit_Undo",
                    {QKeySequence(Qt::CTRL | Qt::Key_Z)}, kUndoTopic,
                    [this] { stepHistory(&QUndoStack::undo); });
    redo_ = addItem(
        editMenu_, QStringLiteral("やり直し(&Y)"), "Edit_Redo",
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        kUndoTopic, [this] { stepHistory(&QUndoStack::redo); });
    undo_->setEnabled(false);
    redo_->setEnabled(false);
    connect(undoStack_, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(undoStack_, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);
    editMenu_->addSeparator();
    newEntry_ = addItem(editMenu_, QStringLiteral("新しい項目(&W)"), "Edit_NewEntry",
                        {QKeySequence(Qt::CTRL | Qt::Key_E)}, kUndoTopic,
                        [this] { Edit_NewEntry_Click(); });
    editMenu_->addSeparator();
    addItem(editMenu_, QStringLiteral("検索(&S)"), "Edit_Scan",
            {QKeySequence(Qt::CTRL | Qt::Key_F)}, 0, [this] { Edit_Scan_Click(); });
    addItem(editMenu_, QStringLiteral("次を検索(&N)"), "Edit_ScanNext", {QKeySequence(Qt::Key_F3)},
            0, [this] { Edit_ScanNext_Click(); });
    editMenu_->addSeparator()->setObjectName(QStringLiteral("H20030"));
    addItem(editMenu_, QStringLiteral("逆問題生成(&R)"), "Edit_Reverse", {}, 0,
            [this] { Edit_Reverse_Click(); });
}

void frmEdit::buildOptionMenu() {
    QMenu* option = menuBar()->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ(&P)"));
    option->setObjectName(QStringLiteral("Option_Top"));
    option->installEventFilter(this);
    optionFocus_ = addItem(option, QStringLiteral("制御を得たﾎﾞｯｸｽのﾃｷｽﾄを反転(&F)"),
                           "Option_Focus", {}, 0, [this] {
                               Option_Focus_Click();
                               showOptionChecks();
                           });
    optionFocus_->setCheckable(true);
    QMenu* ime = option->addMenu(QStringLiteral("&IMEﾓｰﾄﾞ"));
    ime->setObjectName(QStringLiteral("Option_IME"));
    const struct {
        QString caption;
        QString name;
    } kinds[] = {{QStringLiteral("問題(&Q)"), QStringLiteral("Option_IME_Q")},
                 {QStringLiteral("解答(&R)"), QStringLiteral("Option_IME_R")},
                 {QStringLiteral("情報(&I)"), QStringLiteral("Option_IME_I")}};
    const QString modes[] = {QStringLiteral("なし(&E)"), QStringLiteral("ｵﾝ(&N)"),
                             QStringLiteral("ｵﾌ(&F)")};
    for (int k = 0; k < 3; ++k) {
        QMenu* sub = ime->addMenu(kinds[k].caption);
        sub->setObjectName(kinds[k].name);
        auto* group = new QActionGroup(sub);
        for (int i = 0; i < 3; ++i) {
            QAction* mode = sub->addAction(modes[i]);
            mode->setObjectName(kinds[k].name + QStringLiteral("_Mode%1").arg(i));
            mode->setCheckable(true);
            group->addAction(mode);
            connect(mode, &QAction::triggered, this, [this, k, i] {
                Option_IME_Mode_Click(BoxKind(k), i);
                showOptionChecks();
            });
            imeModeActions_[k][i] = mode;
        }
    }
    buildViewItems(option);
}

bool frmEdit::eventFilter(QObject* watched, QEvent* event) {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (event->type() == QEvent::ShortcutOverride && !menu) {
        // The boxes would take Ctrl+E as the end of the line on X11: the new entry wins.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence keys(key->keyCombination());
        if (newEntry_->shortcut() == keys) {
            return true;
        }
        // A box takes the undo keys even with nothing to undo: then they are the window's.
        auto* line = qobject_cast<QLineEdit*>(watched);
        auto* text = qobject_cast<QPlainTextEdit*>(watched);
        const bool boxUndo =
            line ? line->isUndoAvailable() : text && text->document()->isUndoAvailable();
        const bool boxRedo =
            line ? line->isRedoAvailable() : text && text->document()->isRedoAvailable();
        if ((undo_->shortcuts().contains(keys) && !boxUndo) ||
            (redo_->shortcuts().contains(keys) && !boxRedo)) {
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && menu &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 && menu->activeAction()) {
        if (const int topic = helpTopicOf(menu->activeAction())) {
            platform_.showHelp(this, helpFile(), topic);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QString frmEdit::MyPath() const {
    return platform_.programFolder();
}

QString frmEdit::helpFile() const {
    return MyPath() + QStringLiteral("Kotobax.hlp");
}

// Form_Load's reading of the settings file.
void frmEdit::applySettings() {
    const common::SettingsRecord record =
        common::loadEditorSettings(common::settingsFilePath(MyPath()), MyPath());
    dialogFolder_ = record.lastPath();
    options_.scanFields = record.scanFields;
    options_.focusSelect = record.focusSelect != 0;
    // An index outside 0..2 means nothing: such a box is left alone.
    auto mode = [](qint16 stored) { return stored >= 0 && stored <= 2 ? stored : qint16(0); };
    options_.imeQuestion = mode(record.imeQuestion);
    options_.imeRight = mode(record.imeRight);
    options_.imeInformation = mode(record.imeInformation);
    showOptionChecks();
}

void frmEdit::saveSettings() {
    // Built from the file as it is now, so that what the drill program stored meanwhile stays.
    const QString file = common::settingsFilePath(MyPath());
    auto record = [this](const common::SettingsRecord& fresh) {
        return common::editorRecordToSave(fresh, options_, MyPath());
    };
    if (const common::Outcome saved =
            common::updateSettings(file, common::kEditorRecordLength, record);
        !saved.ok()) {
        platform_.warn(this, common::settingsNotSavedText(file, saved),
                       QString::fromUtf16(common::kSettingsNotSavedTitle));
    }
}

void frmEdit::setFocusSelect(bool on) {
    options_.focusSelect = on;
    showOptionChecks();
}

int frmEdit::imeModeIndex(BoxKind kind) const {
    switch (kind) {
        case BoxKind::Question:
            return options_.imeQuestion;
        case BoxKind::Right:
            return options_.imeRight;
        case BoxKind::Information:
            return options_.imeInformation;
    }
    return 0;
}

void frmEdit::setImeModeIndex(BoxKind kind, int index) {
    const qint16 value = index >= 0 && index <= 2 ? qint16(index) : qint16(0);
    switch (kind) {
        case BoxKind::Question:
            options_.imeQuestion = value;
            break;
        case BoxKind::Right:
            options_.imeRight = value;
            break;
        case BoxKind::Information:
            options_.imeInformation = value;
            break;
    }
    showOptionChecks();
}

void frmEdit::showOptionChecks() {
    optionFocus_->setChecked(options_.focusSelect);
    for (int k = 0; k < 3; ++k) {
        imeModeActions_[k][imeModeIndex(BoxKind(k))]->setChecked(true);
    }
}

void frmEdit::startEmpty() {
    undoStack_->clear();
    showForm({});
    updateEntryButtons();
}

bool frmEdit::ConfirmSave() {
    if (!document_.isModified()) {
        return true;
    }
    const platform::Answer answer = platform_.showMessage(
        this, {QStringLiteral("編集中のﾌｧｲﾙが変更されています。") + kCrLf +
                   QStringLiteral("保存しますか？"),
               QStringLiteral("変更"), platform::Icon::Question, platform::Buttons::YesNoCancel,
               platform::Answer::Yes, std::nullopt});
    switch (answer) {
        case platform::Answer::Yes:
            SaveFile();
            return !document_.isModified();
        case platform::Answer::No:
            return true;
        default:
            return false;
    }
}

QString frmEdit::askFileName(bool forSave) {
    platform::FileDialog dialog;
    dialog.kind = forSave ? platform::FileDialogKind::Save : platform::FileDialogKind::Open;
    dialog.fileName = options_.dialogFileName;
    dialog.initialFolder = dialogFolder_;
    // Qt's dialog cannot show names in the Windows code page: offered before it opens there.
    if (!forSave) {
        platform::offerNameRepair(
            platform_, this, dialog.fileName.isEmpty() ? dialog.initialFolder : dialog.fileName,
            namesOffered_);
    }
    const std::optional<QString> chosen = platform_.askFileName(this, dialog);
    if (!chosen || chosen->isEmpty()) {
        return {};
    }
    options_.dialogFileName = *chosen;
    dialogFolder_.clear();
    return *chosen;
}

QString frmEdit::AskSaveFileName() {
    return askFileName(true);
}

QString frmEdit::AskOpenFileName() {
    return askFileName(false);
}

void frmEdit::SaveFile() {
    // A file read as UTF-8 may hold what Shift_JIS cannot store: writing would turn it into
    // '?' for good, so nothing is written until the user has changed those entries.
    if (const std::optional<QString> refusal =
            common::unstorableRefusal(document_.entries(), common::UnstorableDetail::Entries)) {
        platform_.warn(this, *refusal, QStringLiteral("ﾌｧｲﾙを保存"));
        return;
    }
    const QString path = AskSaveFileName();
    if (path.isEmpty()) {
        return;
    }
    common::Outcome result;
    {
        const auto busy = platform_.busy();
        result = document_.saveFile(path);
    }
    if (!result.ok()) {
        platform_.warn(this, QStringLiteral("ﾌｧｲﾙを保存できませんでした。") + kCrLf + path, result,
                       QStringLiteral("ﾌｧｲﾙを保存"));
    } else {
        wordFile_ = path;
    }
    if (!document_.isModified()) {
        undoStack_->setClean();  // the state the file now holds
    }
}

void frmEdit::LoadFile() {
    const QString path = AskOpenFileName();
    if (!path.isEmpty()) {
        loadWordFile(path);
    }
}

void frmEdit::openWordFile(const QString& path) {
    if (!ConfirmEntryStored() || !ConfirmSave()) {
        return;
    }
    // As if chosen in the dialog: a later Save proposes it.
    options_.dialogFileName = path;
    dialogFolder_.clear();
    loadWordFile(path);
}

void frmEdit::loadWordFile(const QString& path) {
    common::Outcome outcome;
    {
        const auto busy = platform_.busy();
        const QScopedValueRollback quiet(listQuiet_, true);
        outcome = document_.loadFile(path);
    }
    switch (outcome.kind) {
        case common::OutcomeKind::Ok:
            wordFile_ = path;
            startEmpty();
            break;
        case common::OutcomeKind::Invalid:
            platform_.warn(this, QStringLiteral("不正なﾌｧｲﾙです。"), kOpenTitle);
            break;
        case common::OutcomeKind::OldVersion:
            if (platform_.showMessage(
                    this, {QStringLiteral("このﾌｧｲﾙは古いﾊﾞｰｼﾞｮﾝのものです。") + kCrLf +
                               QStringLiteral("新しいﾊﾞｰｼﾞｮﾝに変換しますか？"),
                           kOpenTitle, platform::Icon::Question, platform::Buttons::YesNo,
                           platform::Answer::Yes, kConverterTopic}) == platform::Answer::Yes) {
                startConverter(path);
            }
            break;
        case common::OutcomeKind::TooMany:
            platform_.warn(
                this,
                QStringLiteral("項目が多すぎるため、このﾌｧｲﾙは開けません。") + kCrLf +
                    QStringLiteral("1つのﾌｧｲﾙに入る項目は %1個までです。").arg(common::kMaxEntries),
                kOpenTitle);
            break;
        default:
            platform_.warn(this, QStringLiteral("ﾌｧｲﾙを読み込めませんでした。") + kCrLf + path,
                           kOpenTitle);
            break;
    }
}

void frmEdit::startConverter(const QString& oldFile) {
    const QString program = MyPath() + platform::executableName(QStringLiteral("Renoval"));
    if (!platform_.startProgram(program, {oldFile})) {
        platform_.warn(
            this, QStringLiteral("変換ﾌﾟﾛｸﾞﾗﾑが見つからないか、起動できません。") + kCrLf + program,
            kOpenTitle);
    }
}

void frmEdit::File_New_Click() {
    if (!ConfirmEntryStored() || !ConfirmSave()) {
        return;
    }
    {
        const QScopedValueRollback quiet(listQuiet_, true);
        document_.clear();
    }
    wordFile_.clear();
    startEmpty();
}

void frmEdit::File_Open_Click() {
    if (ConfirmEntryStored() && ConfirmSave()) {
        LoadFile();
    }
}

void frmEdit::File_Save_Click() {
    SaveFile();
}

void frmEdit::File_Exit_Click() {
    close();
}

void frmEdit::closeEvent(QCloseEvent* event) {
    const bool mayClose = ConfirmEntryStored() && ConfirmSave();
    saveSettings();
    if (mayClose) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace editor
