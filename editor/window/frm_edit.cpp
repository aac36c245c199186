// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/frm_edit.h"

#include "common/settings.h"
#include "editor/logic/editor_texts.h"
#include "editor/logic/review_line.h"
#include "editor/window/edit_commands.h"
#include "editor/window/entry_commands.h"
#include "editor/window/entry_form_view.h"
#include "editor/window/entry_list_model.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/file_commands.h"
#include "editor/window/help_topics.h"
#include "editor/window/option_commands.h"
#include "platform/platform.h"
#include "review/review_clock.h"
#include "review/review_plan.h"
#include "review/review_store.h"
#include "review/word_key.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QTimeZone>
#include <QVBoxLayout>

namespace editor {

namespace {

QPushButton* makeButton(const QString& caption, const char* name, int helpTopic, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(true);  // Enter presses the button that has the focus
    setHelpTopic(button, helpTopic);
    return button;
}

}  // namespace

frmEdit::frmEdit(platform::Platform& platform, QWidget* parent)
    : frmEdit(platform, nullptr, parent) {}

frmEdit::frmEdit(platform::Platform& platform, review::ReviewStore& history, QWidget* parent)
    : frmEdit(platform, &history, parent) {}

frmEdit::frmEdit(platform::Platform& platform, review::ReviewStore* history, QWidget* parent)
    : QMainWindow(parent),
      platform_(platform),
      history_(history),
      session_(std::make_unique<EditorSession>(*this)) {
    setObjectName(QStringLiteral("frmEdit"));
    setWindowTitle(kEditorTitle);
    buildWindow();
    buildMenus();
    applySettings();
    files_ = std::make_unique<FileCommands>(*this, *session_, platform_);
    entries_ = std::make_unique<EntryCommands>(*this, *session_, platform_);
    tools_ = std::make_unique<EditCommands>(*this, *session_, platform_);
    options_ = std::make_unique<OptionCommands>(*this, *session_, platform_);
    startEmpty();
    lstQuestion_->setFocus();
}

frmEdit::~frmEdit() {
    // The model watches the session's document, which goes before the window's children.
    delete model_;
}

void frmEdit::buildWindow() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    model_ = new EntryListModel(session_->document(), this);
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
    lstQuestion_->setMayChoose([this] { return entries_->confirmEntryStored(); });

    auto* cmdReverse = makeButton(QStringLiteral("←\n→"), "cmdReverse", kRemoveTopic, central);
    cmdReverse->setToolTip(QStringLiteral("選択されている項目の逆問題を生成"));
    auto* cmdRemove = makeButton(QStringLiteral("削除(&D)"), "cmdRemove", kRemoveTopic, central);

    form_ = new EntryFormView(central);
    form_->setObjectName(QStringLiteral("entryForm"));
    setHelpTopic(form_->txtQuestion(), kBoxTopic);
    for (int i = 0; i < kAnswerBoxes; ++i) {
        setHelpTopic(form_->txtRight(i), kBoxTopic);
    }
    setHelpTopic(form_->txtInformation(), kBoxTopic);
    setHelpTopic(form_->cmdMoreRight(), kBoxTopic);

    auto* cmdAdd = makeButton(QStringLiteral("追加(&A)"), "cmdAdd", kStoreTopic, central);
    cmdAdd->setDefault(true);
    connect(form_, &EntryFormView::submitted, cmdAdd, &QPushButton::click);
    connect(lstQuestion_, &EntryListView::submitted, cmdAdd, &QPushButton::click);
    auto* cmdInsert = makeButton(QStringLiteral("挿入(&I)"), "cmdInsert", kStoreTopic, central);
    auto* cmdChange = makeButton(QStringLiteral("更新(&C)"), "cmdChange", kStoreTopic, central);

    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(cmdReverse);
    listButtons->addWidget(cmdRemove);
    auto* left = new QVBoxLayout;
    left->addWidget(lstQuestion_, 1);
    left->addLayout(listButtons);

    auto* storeButtons = new QHBoxLayout;
    storeButtons->addStretch();
    storeButtons->addWidget(cmdAdd);
    storeButtons->addWidget(cmdInsert);
    storeButtons->addWidget(cmdChange);
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
                              cmdAdd,
                              cmdInsert,
                              cmdChange,
                              cmdReverse,
                              cmdRemove};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }

    // What a screen reader says, without the access-key marks of the captions.
    lstQuestion_->setAccessibleName(QStringLiteral("問題の一覧"));
    cmdReverse->setAccessibleName(QStringLiteral("逆問題生成"));
    cmdRemove->setAccessibleName(QStringLiteral("削除"));
    cmdAdd->setAccessibleName(QStringLiteral("追加"));
    cmdInsert->setAccessibleName(QStringLiteral("挿入"));
    cmdChange->setAccessibleName(QStringLiteral("更新"));

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

QPushButton* frmEdit::button(const char* name) const {
    return centralWidget()->findChild<QPushButton*>(QLatin1String(name));
}

void frmEdit::buildMenus() {
    const struct {
        QMenu** menu;
        QString caption;
        QString name;
    } menus[] = {{&fileMenu_, QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("File_Top")},
                 {&editMenu_, QStringLiteral("編集(&E)"), QStringLiteral("Edit_Top")},
                 {&optionMenu_, QStringLiteral("ｵﾌﾟｼｮﾝ(&P)"), QStringLiteral("Option_Top")}};
    for (const auto& m : menus) {
        *m.menu = menuBar()->addMenu(m.caption);
        (*m.menu)->setObjectName(m.name);
        (*m.menu)->installEventFilter(this);  // F1 on its items
    }
}

bool frmEdit::eventFilter(QObject* watched, QEvent* event) {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (event->type() == QEvent::KeyPress && menu &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 && menu->activeAction()) {
        if (const int topic = helpTopicOf(menu->activeAction())) {
            platform_.showHelp(this, helpFile(), topic);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QString frmEdit::programFolder() const {
    return platform_.programFolder();
}

QString frmEdit::helpFile() const {
    return programFolder() + QStringLiteral("Kotobax.hlp");
}

// Form_Load's reading of the settings file.
void frmEdit::applySettings() {
    session_->applySettings(
        common::loadEditorSettings(common::settingsFilePath(programFolder()), programFolder()));
}

void frmEdit::saveSettings() {
    // Built from the file as it is now, so that what the drill program stored meanwhile stays.
    const QString file = common::settingsFilePath(programFolder());
    auto record = [this](const common::SettingsRecord& fresh) {
        return session_->settingsToSave(fresh, programFolder());
    };
    if (const common::Outcome saved =
            common::updateSettings(file, common::kEditorRecordLength, record);
        !saved.ok()) {
        platform_.warn(this, common::settingsNotSavedText(file, saved),
                       QString::fromUtf16(common::kSettingsNotSavedTitle));
    }
}

void frmEdit::startEmpty() {
    session_->undoStack().clear();
    showForm({});
    updateEntryButtons();
}

QScopedValueRollback<bool> frmEdit::quietList() {
    return QScopedValueRollback<bool>(listQuiet_, true);
}

QScopedValueRollback<bool> frmEdit::steppingHistory() {
    return QScopedValueRollback<bool>(steppingHistory_, true);
}

void frmEdit::appendEntries(const QList<common::Entry>& entries, const QString& text) {
    const int first = session_->document().count();
    {
        const QScopedValueRollback quiet(listQuiet_, true);
        session_->append(entries, text);
    }
    lstQuestion_->scrollTo(model_->index(first, 0));  // in sight, below a long list
}

void frmEdit::listChangedByUser() {
    if (!listQuiet_) {
        lstQuestion_Click();
    }
}

void frmEdit::lstQuestion_Click() {
    if (const std::optional<int> current = lstQuestion_->currentPosition()) {
        showEntry(session_->document().entry(*current));
    }
    updateEntryButtons();
}

void frmEdit::chooseEntry(int position) {
    setCurrentPosition(position);
    setSelectedPositions({position});
    lstQuestion_Click();
}

void frmEdit::showForm(const EntryForm& form) {
    form_->showContents(form);
    formShown_ = form_->contents();
    showReviews(nullptr);
}

void frmEdit::showEntry(const common::Entry& entry) {
    showForm(formFromEntry(entry));
    showReviews(&entry);
}

// The word as stored: typing in the form changes the line only once the entry is stored.
void frmEdit::showReviews(const common::Entry* entry) {
    QLabel* line = form_->lblReview();
    if (entry == nullptr || history_ == nullptr) {
        line->clear();
        return;
    }
    review::WordReviews word = history_->wordReviews(review::wordKey(*entry));
    // An entry edited since the save: its reviews follow it when the file is saved.
    if (const std::optional<int> current = lstQuestion_->currentPosition();
        word.error.isEmpty() && word.reviews == 0 && current &&
        session_->document().entry(*current) == *entry) {
        if (const std::optional<QByteArray> saved = session_->savedKey(*current)) {
            word = history_->wordReviews(*saved);
        }
    }
    line->setText(reviewLine(word, history_->learnerDay(), review::SystemReviewClock().now()));
    // A history that cannot be read takes no room and says nothing.
    line->setVisible(word.error.isEmpty());
}

void frmEdit::recordRenames() {
    QList<review::WordRename>& renames = session_->unrecordedRenames();
    if (history_ == nullptr || history_->renameWords(renames).isEmpty()) {
        renames.clear();
    }
}

bool frmEdit::formEdited() const {
    return form_->contents() != formShown_;
}

void frmEdit::updateEntryButtons() {
    // Insert and Change act on the current entry; without one they would silently do nothing.
    const bool current = lstQuestion_->currentPosition().has_value();
    button("cmdInsert")->setEnabled(current);
    button("cmdChange")->setEnabled(current);
    // A selection made without a current entry (Ctrl+A on a fresh list) can still be removed.
    const bool selected = lstQuestion_->hasSelection();
    button("cmdReverse")->setEnabled(selected);
    button("cmdRemove")->setEnabled(selected);
}

ListState frmEdit::listState() const {
    const Document& document = session_->document();
    ListState state;
    if (const std::optional<int> current = lstQuestion_->currentPosition()) {
        state.current = document.idAt(*current);
    }
    for (const int p : lstQuestion_->selectedPositions()) {
        state.selected.append(document.idAt(p));
    }
    return state;
}

void frmEdit::showListState(const ListState& state) {
    const Document& document = session_->document();
    const std::optional<int> current =
        state.current ? document.positionOf(*state.current) : std::nullopt;
    setCurrentPosition(current);
    setSelectedPositions(document.positionsOf(state.selected));
    // The form follows the current entry unless it holds typing of its own.
    if (current && steppingHistory_ && !formEdited()) {
        showEntry(document.entry(*current));
    }
    updateEntryButtons();
}

void frmEdit::setCurrentPosition(std::optional<int> position) {
    const QScopedValueRollback quiet(listQuiet_, true);
    lstQuestion_->setCurrentPosition(position);
}

void frmEdit::setSelectedPositions(const QList<int>& positions) {
    const QScopedValueRollback quiet(listQuiet_, true);
    lstQuestion_->setSelectedPositions(positions);
}

void frmEdit::lstQuestion_MouseUp(const QPoint& globalPos) {
    editMenu_->popup(globalPos);
}

void frmEdit::closeEvent(QCloseEvent* event) {
    const bool mayClose = entries_->confirmEntryStored() && files_->confirmSave();
    saveSettings();
    if (mayClose) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace editor
