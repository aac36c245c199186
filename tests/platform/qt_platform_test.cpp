#include "platform/qt_platform.h"
#include "platform/file_dialog_setup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>

#include <functional>

using platform::Answer;
using platform::Buttons;
using platform::FileDialog;
using platform::FileDialogKind;
using platform::Icon;
using platform::ImeMode;
using platform::MessageBox;
using platform::QtPlatform;

namespace {

// QtPlatform whose help requests (and, when asked to, message boxes) are only recorded.
class RecordingPlatform : public QtPlatform {
public:
    using QtPlatform::QtPlatform;

    void showHelp(QWidget* parent, const QString& helpFile, int topic) override {
        helpRequests.push_back(topic);
        if (openHelp) {
            QtPlatform::showHelp(parent, helpFile, topic);
        }
    }
    Answer showMessage(QWidget* parent, const MessageBox& box) override {
        if (recordMessages) {
            messages.push_back(box);
            return Answer::Ok;
        }
        return QtPlatform::showMessage(parent, box);
    }

    bool openHelp = false;
    bool recordMessages = false;
    std::vector<int> helpRequests;
    std::vector<MessageBox> messages;
};

// Runs action on the first modal widget other than `except` once the event loop of the code
// under test has shown it, and activated it where the window system does so in time.
void whenModal(const std::function<void(QWidget*)>& action, QWidget* except = nullptr) {
    auto* timer = new QTimer(qApp);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool shown = modal != nullptr && modal != except && modal->isVisible();
        ++*ticks;
        if (shown && (modal->isActiveWindow() || *ticks > 100)) {
            timer->deleteLater();
            timer->stop();
            action(modal);
            if (testing::Test::HasFatalFailure() && modal->isVisible()) {
                modal->close();  // an assertion left it open
            }
        } else if (*ticks > 1000) {
            timer->deleteLater();
            timer->stop();
            ADD_FAILURE() << "no modal window appeared";
            if (modal != nullptr) {
                modal->close();  // rather than hang
            }
        }
    });
    timer->start(5);
}

// A help file with topics 1 to 60, long enough to scroll.
QString writeHelpFile(const QTemporaryDir& folder) {
    QString path = folder.filePath(QStringLiteral("Kotobax.hlp"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
    }
    QString html = QStringLiteral("<html><body><h1>目次</h1>");
    for (int topic = 1; topic <= 60; ++topic) {
        html += QStringLiteral("<h2><a name=\"topic%1\"></a>項目 %1</h2>").arg(topic);
        html += QStringLiteral("<p>説明</p>").repeated(5);
    }
    file.write((html + QStringLiteral("</body></html>")).toUtf8());
    return path;
}

QWidget* helpViewer() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("helpViewer")) {
            return widget;
        }
    }
    return nullptr;
}

// Where the keyboard is inside window, as a user's key press would go.
QWidget* keyTarget(QWidget* window) {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && window->isAncestorOf(focus) ? focus : window;
}

QDialogButtonBox* buttonsOf(QWidget* box) {
    return box->findChild<QDialogButtonBox*>();
}

}  // namespace

// The close box and Escape answer Cancel, else No, else OK; Enter presses the default button.
TEST(QtPlatformMessageBox, AnswerByKeyboardAndCloseBox) {
    enum class Act { Escape, CloseBox, Enter, ClickNo };
    const struct {
        const char* what;
        Buttons buttons;
        Answer defaultButton;
        Act act;
        Answer expected;
    } cases[] = {
        {"Escape on OK", Buttons::Ok, Answer::Ok, Act::Escape, Answer::Ok},
        {"Escape on Yes/No", Buttons::YesNo, Answer::Yes, Act::Escape, Answer::No},
        {"Escape on Yes/No/Cancel", Buttons::YesNoCancel, Answer::Yes, Act::Escape, Answer::Cancel},
        {"close box on Yes/No/Cancel", Buttons::YesNoCancel, Answer::No, Act::CloseBox,
         Answer::Cancel},
        {"Enter on default Yes", Buttons::YesNo, Answer::Yes, Act::Enter, Answer::Yes},
        {"Enter on default No", Buttons::YesNo, Answer::No, Act::Enter, Answer::No},
        {"Enter on default Cancel", Buttons::YesNoCancel, Answer::Cancel, Act::Enter,
         Answer::Cancel},
        {"click No", Buttons::YesNoCancel, Answer::Yes, Act::ClickNo, Answer::No},
    };
    QWidget window;
    window.show();
    for (const auto& c : cases) {
        RecordingPlatform platform;
        whenModal([&](QWidget* box) {
            switch (c.act) {
                case Act::Escape:
                    QTest::keyClick(keyTarget(box), Qt::Key_Escape);
                    break;
                case Act::CloseBox:
                    box->close();
                    break;
                case Act::Enter:
                    QTest::keyClick(keyTarget(box), Qt::Key_Return);
                    break;
                case Act::ClickNo:
                    buttonsOf(box)->button(QDialogButtonBox::No)->click();
                    break;
            }
        });
        const MessageBox box{QStringLiteral("本文"), QStringLiteral("題"), Icon::Question,
                             c.buttons, c.defaultButton};
        EXPECT_EQ(platform.showMessage(&window, box), c.expected) << c.what;
    }
}

TEST(QtPlatformMessageBox, ShowsTextTitleIconAndButtonsAsGiven) {
    QWidget window;
    window.show();
    const struct {
        MessageBox box;
        QString shownText;
        bool hasIcon;
        QDialogButtonBox::StandardButtons buttons;
    } cases[] = {
        {{QStringLiteral("このﾌｧｲﾙは古いﾊﾞｰｼﾞｮﾝのものです。\r\n新しいﾊﾞｰｼﾞｮﾝに変換しますか？"),
          QStringLiteral("ﾌｧｲﾙを開く"), Icon::Question, Buttons::YesNo, Answer::Yes, 60},
         QStringLiteral("このﾌｧｲﾙは古いﾊﾞｰｼﾞｮﾝのものです。\n新しいﾊﾞｰｼﾞｮﾝに変換しますか？"),
         true,
         QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Help},
        {{QStringLiteral("Good luck!"), QStringLiteral("Start!")},
         QStringLiteral("Good luck!"),
         false,
         QDialogButtonBox::Ok},
        {{QStringLiteral("  a & b  "), QStringLiteral("Open"), Icon::Warning, Buttons::YesNoCancel,
          Answer::No},
         QStringLiteral("  a & b  "),
         true,
         QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel},
    };
    for (const auto& c : cases) {
        RecordingPlatform platform;
        whenModal([&](QWidget* box) {
            EXPECT_EQ(box->windowTitle(), c.box.title);
            EXPECT_EQ(box->findChild<QLabel*>(QStringLiteral("messageText"))->text(), c.shownText);
            EXPECT_EQ(box->findChild<QLabel*>(QStringLiteral("messageIcon")) != nullptr, c.hasIcon);
            EXPECT_EQ(buttonsOf(box)->standardButtons(), c.buttons);
            // The keyboard starts on the default button.
            EXPECT_TRUE(QTest::qWaitForWindowActive(box));
            const auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
            EXPECT_TRUE(focused != nullptr && focused->isDefault());
            box->close();
        });
        platform.showMessage(&window, c.box);
    }
}

// Help (the button or F1) opens the topic and leaves the box open for the answer; the viewer
// takes keys while the box waits, whether or not the box has an owner.
TEST(QtPlatformMessageBox, HelpLeavesTheBoxOpenAndTheViewerUsable) {
    QTemporaryDir temp;
    RecordingPlatform platform(writeHelpFile(temp));
    platform.openHelp = true;
    QWidget window;
    window.show();
    const MessageBox box{QStringLiteral("逆問題の生成を行います。\r\nよろしいですか？"),
                         QStringLiteral("逆問題"),
                         Icon::Question,
                         Buttons::YesNo,
                         Answer::Yes,
                         12};
    for (QWidget* owner : {&window, static_cast<QWidget*>(nullptr)}) {
        QApplication::setActiveWindow(&window);
        platform.helpRequests.clear();
        whenModal([&](QWidget* shown) {
            buttonsOf(shown)->button(QDialogButtonBox::Help)->click();
            QTest::keyClick(keyTarget(shown), Qt::Key_F1);
            QWidget* viewer = helpViewer();
            ASSERT_NE(viewer, nullptr);
            EXPECT_TRUE(viewer->isVisible());
            // Through the window system, where a modal box would swallow the key.
            QTest::keyClick(viewer->windowHandle(), Qt::Key_Escape);
            EXPECT_FALSE(viewer->isVisible());
            EXPECT_TRUE(shown->isVisible());
            buttonsOf(shown)->button(QDialogButtonBox::Yes)->click();
        });
        EXPECT_EQ(platform.showMessage(owner, box), Answer::Yes);
        EXPECT_EQ(platform.helpRequests, (std::vector<int>{12, 12}));
    }
}

TEST(QtPlatformFileDialog, StartsInTheFolderOfTheRememberedFile) {
    QTemporaryDir temp;
    const QString words = temp.filePath(QStringLiteral("words"));
    ASSERT_TRUE(QDir().mkpath(words));
    QFile existing(words + QStringLiteral("/a.qvw"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    const QString here = QDir::currentPath();
    const QString elsewhere = temp.path();

    const struct {
        const char* what;
        QString fileName;
        QString initialFolder;
        platform::detail::DialogStart expected;
    } cases[] = {
        {"nothing", {}, {}, {here, {}}},
        {"blank stored path", {}, QStringLiteral("   "), {here, {}}},
        {"a folder", {}, words, {words, {}}},
        {"an existing file", {}, existing.fileName(), {words, {}}},
        {"a file gone from an existing folder", {}, words + "/gone.qvw", {words, {}}},
        {"a file in a folder that is gone", {}, words + "/gone/x.qvw", {here, {}}},
        {"remembered name wins", existing.fileName(), elsewhere, {words, "a.qvw"}},
        {"remembered name without a folder", "b.qvw", words, {words, "b.qvw"}},
        {"remembered name in a folder that is gone",
         words + "/gone/x.qvw",
         elsewhere,
         {elsewhere, "x.qvw"}},
    };
    for (const auto& c : cases) {
        FileDialog dialog;
        dialog.fileName = c.fileName;
        dialog.initialFolder = c.initialFolder;
        EXPECT_EQ(platform::detail::dialogStart(dialog), c.expected) << c.what;
    }
}

TEST(QtPlatformFileDialog, OpenAndSaveDialogs) {
    QTemporaryDir temp;
    const QString chosen = temp.filePath(QStringLiteral("last.qvw"));
    QFile file(chosen);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QWidget window;
    window.show();

    const struct {
        FileDialogKind kind;
        bool accept;
        QFileDialog::AcceptMode mode;
        QFileDialog::FileMode fileMode;
        std::optional<QString> expected;
    } cases[] = {
        {FileDialogKind::Open, true, QFileDialog::AcceptOpen, QFileDialog::ExistingFile,
         QDir::toNativeSeparators(chosen)},
        {FileDialogKind::Open, false, QFileDialog::AcceptOpen, QFileDialog::ExistingFile, {}},
        {FileDialogKind::Save, false, QFileDialog::AcceptSave, QFileDialog::AnyFile, {}},
    };
    for (const auto& c : cases) {
        QtPlatform platform;
        FileDialog request;
        request.kind = c.kind;
        request.title = QStringLiteral("ファイルを開く");
        request.initialFolder = chosen;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), request.title);
            EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(temp.path()).canonicalPath());
            EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("QRV単語帳 (*.qvw)")});
            EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("qvw"));
            EXPECT_EQ(dialog->acceptMode(), c.mode);
            EXPECT_EQ(dialog->fileMode(), c.fileMode);
            EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
            if (c.accept) {  // typed without the suffix, which the dialog adds
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(name, nullptr);
                name->clear();
                QTest::keyClicks(name, QStringLiteral("last"));
                QTest::keyClick(name, Qt::Key_Return);
            } else {
                dialog->reject();
            }
        });
        EXPECT_EQ(platform.askFileName(&window, request), c.expected);
    }
}

// Off makes a box refuse the input method; any other mode leaves the box's own answers.
TEST(QtPlatformIme, BoxRefusesTheInputMethodOnlyWhileOff) {
    QLineEdit line;
    QTextEdit text;
    QtPlatform platform;
    const auto imEnabled = [](QWidget* box) {
        QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImSurroundingText);
        QCoreApplication::sendEvent(box, &query);
        return query.value(Qt::ImEnabled).toBool();
    };
    const struct {
        QWidget* box;
        std::vector<ImeMode> modes;
        bool expected;
    } cases[] = {
        {&line, {}, true},
        {&line, {ImeMode::Off}, false},
        {&line, {ImeMode::Off, ImeMode::On}, true},
        {&line, {ImeMode::Off, ImeMode::NoControl}, true},
        {&text, {ImeMode::Off}, false},
        {&text, {ImeMode::On, ImeMode::Off}, false},
        {&text, {ImeMode::Off, ImeMode::On}, true},
    };
    for (const auto& c : cases) {
        platform.setImeMode(c.box, ImeMode::NoControl);
        for (const ImeMode mode : c.modes) {
            platform.setImeMode(c.box, mode);
        }
        EXPECT_EQ(imEnabled(c.box), c.expected)
            << c.box->metaObject()->className() << " after " << c.modes.size() << " modes";
        EXPECT_EQ(platform::imeMode(c.box), c.modes.empty() ? ImeMode::NoControl : c.modes.back());
    }

    // The other queries still come from the box.
    line.setText(QStringLiteral("word"));
    platform.setImeMode(&line, ImeMode::Off);
    QInputMethodQueryEvent query(Qt::ImSurroundingText);
    QCoreApplication::sendEvent(&line, &query);
    EXPECT_EQ(query.value(Qt::ImSurroundingText).toString(), QStringLiteral("word"));
}

TEST(QtPlatform, BusyPointerNests) {
    QtPlatform platform;
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        const auto outer = platform.busy();
        {
            const auto inner = platform.busy();
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtPlatform, StartProgramReportsWhetherItStarted) {
    QtPlatform platform;
    QTemporaryDir temp;
    QFile notProgram(temp.filePath(QStringLiteral("Brelmi")));
    ASSERT_TRUE(notProgram.open(QIODevice::WriteOnly));
    notProgram.close();  // exists but is not executable

    EXPECT_FALSE(platform.startProgram(temp.filePath(QStringLiteral("missing")), {}));
    EXPECT_FALSE(platform.startProgram(temp.path(), {}));
    EXPECT_FALSE(platform.startProgram(notProgram.fileName(), {}));
    const QString program = QStandardPaths::findExecutable(QStringLiteral("true"));
    if (!program.isEmpty()) {
        EXPECT_TRUE(platform.startProgram(program, {QStringLiteral("x")}));
    }
}

TEST(QtPlatform, ProgramFolderEndsInASeparator) {
    QtPlatform platform;
    const QString folder = platform.programFolder();
    EXPECT_TRUE(folder.endsWith(QDir::separator()));
    EXPECT_EQ(QDir(folder).canonicalPath(),
              QDir(QCoreApplication::applicationDirPath()).canonicalPath());
    EXPECT_EQ(platform.helpFile(), folder + QStringLiteral("Kotobax.hlp"));
}

TEST(QtPlatformHelp, ViewerShowsTheTopicAndIsReused) {
    QTemporaryDir temp;
    const QString helpFile = writeHelpFile(temp);
    RecordingPlatform platform(helpFile);
    platform.openHelp = true;
    const struct {
        int topic;
        QString firstShown;  // the first line in view
    } cases[] = {{12, QStringLiteral("項目 12")},
                 {0, QStringLiteral("目次")},
                 {30, QStringLiteral("項目 30")},
                 {999, QStringLiteral("目次")}};
    QWidget* first = nullptr;
    for (const auto& c : cases) {
        platform.showHelp(nullptr, helpFile, c.topic);
        QWidget* viewer = helpViewer();
        ASSERT_NE(viewer, nullptr);
        first = first != nullptr ? first : viewer;
        EXPECT_EQ(viewer, first);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Kotobax ヘルプ"));
        auto* browser = viewer->findChild<QTextBrowser*>();
        EXPECT_EQ(browser->cursorForPosition(QPoint(4, 4)).block().text(), c.firstShown);
        QTest::keyClick(viewer, Qt::Key_Escape);
        EXPECT_FALSE(viewer->isVisible());
    }
    EXPECT_THAT(platform.messages, testing::IsEmpty());

    platform.recordMessages = true;
    platform.showHelp(nullptr, temp.filePath(QStringLiteral("none.hlp")), 1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages.at(0).text, QStringLiteral("none.hlp が見つかりません。"));
    EXPECT_EQ(platform.messages.at(0).icon, Icon::Warning);
}
