// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "common/help_topic.h"
#include "every_window.h"
#include "file_bytes.h"
#include "platform/scripted_platform.h"

namespace {

using kxtest::EveryWindow;

QString helpHtml() {
    return QString::fromUtf8(kxtest::readBytes(QStringLiteral(KX_SOURCE_DIR "/help/Kotobax.hlp")));
}

QString plain(const QString& html) {
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

// A row of a table in the help: the items its first cell names ("表示の大きさ → 拡大 / 縮小"
// names three) and what its last cell says of them.
struct HelpRow {
    QStringList names;
    QString says;
};

// The rows of the tables in the section that starts at the anchor, up to the next section.
QList<HelpRow> rowsOfSection(const QString& html, const QString& anchor) {
    const qsizetype start = html.indexOf(QStringLiteral("<a name=\"%1\">").arg(anchor));
    if (start < 0) {
        return {};
    }
    const qsizetype end = html.indexOf(QStringLiteral("<h2>"), start);
    const QString section = html.mid(start, end < 0 ? -1 : end - start);
    static const QRegularExpression kRow(QStringLiteral("<tr>(.*?)</tr>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression kCell(QStringLiteral("<t[dh][^>]*>(.*?)</t[dh]>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    // Between blanks, so that a caption may hold an arrow of its own ("問題→答え").
    static const QRegularExpression kParts(QStringLiteral(" [→/] "));
    QList<HelpRow> rows;
    for (const auto& row : kRow.globalMatch(section)) {
        QStringList cells;
        for (const auto& cell : kCell.globalMatch(row.captured(1))) {
            cells.append(plain(cell.captured(1)));
        }
        if (cells.size() >= 2) {
            QStringList names;
            for (const QString& part : cells.first().split(kParts)) {
                names.append(part.trimmed());
            }
            rows.append({names, cells.last()});
        }
    }
    return rows;
}

// A menu item's caption as the help writes it: "復習の予定(&P)..." is "復習の予定...".
QString captionOf(const QAction* item) {
    static const QRegularExpression kAccessLetter(QStringLiteral("\\(&.\\)"));
    return QString(item->text()).remove(kAccessLetter).remove(u'&');
}

// Every item of the menu and its submenus, the submenus' own captions included.
void collectItems(const QMenu* menu, QStringList& items) {
    for (const QAction* item : menu->actions()) {
        if (!item->isSeparator()) {
            items.append(captionOf(item));
        }
        if (item->menu() != nullptr) {
            collectItems(item->menu(), items);
        }
    }
}

TEST(HelpFile, LiesBesideTheProgramsWithASectionForEveryTopicAskedFor) {
    const QByteArray bytes = kxtest::readBytes(QStringLiteral(KX_SOURCE_DIR "/help/Kotobax.hlp"));
    EXPECT_EQ(kxtest::readBytes(QStringLiteral(KX_BIN_DIR "/Kotobax.hlp")), bytes);
    QStringDecoder decoder(QStringDecoder::Utf8);
    QTextDocument document;
    document.setHtml(decoder(bytes));
    ASSERT_FALSE(decoder.hasError()) << "UTF-8 throughout";
    // The anchors as the viewer finds them.
    QStringList anchors;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            anchors += it.fragment().charFormat().anchorNames();
        }
    }
    for (const common::HelpTopic section : common::kHelpSections) {
        const int topic = common::topicNumber(section);
        EXPECT_TRUE(anchors.contains(QStringLiteral("topic%1").arg(topic))) << topic;
    }
}

// Each program's menus are explained item by item in the program's menu section: a row naming
// the item and saying what it does.
TEST(HelpFile, ExplainsEveryMenuItemOfBothPrograms) {
    drill::test::GivenRandom random;
    platform::ScriptedPlatform platform;
    const QString html = helpHtml();
    const std::pair<std::unique_ptr<QMainWindow>, QString> programs[] = {
        {std::make_unique<drill::frmMain>(platform, random), QStringLiteral("drillmenu")},
        {std::make_unique<editor::frmEdit>(platform), QStringLiteral("editormenu")}};
    for (const auto& [window, anchor] : programs) {
        SCOPED_TRACE(anchor.toStdString());
        const QList<HelpRow> rows = rowsOfSection(html, anchor);
        ASSERT_FALSE(rows.isEmpty());
        QStringList items;
        for (const QAction* menu : window->menuBar()->actions()) {
            ASSERT_NE(menu->menu(), nullptr);
            collectItems(menu->menu(), items);
        }
        ASSERT_GT(items.size(), 10);
        QStringList unexplained;
        for (const QString& item : items) {
            const bool explained = std::any_of(rows.begin(), rows.end(), [&](const HelpRow& row) {
                return row.names.contains(item) && !row.says.isEmpty() &&
                       !row.names.contains(row.says);
            });
            if (!explained) {
                unexplained.append(item);
            }
        }
        unexplained.removeDuplicates();
        EXPECT_EQ(unexplained, QStringList());
    }
}

// Every window has a heading of its own that names it by its title.
TEST_F(EveryWindow, HelpHasASectionForEveryWindow) {
    static const QRegularExpression kHeading(QStringLiteral("<h[23]>(.*?)</h[23]>"));
    QStringList headings;
    for (const auto& heading : kHeading.globalMatch(helpHtml())) {
        headings.append(plain(heading.captured(1)));
    }
    for (const kxtest::WindowCase& c : windows()) {
        platform::ScriptedPlatform platform;
        const std::unique_ptr<QWidget> window = c.create(platform);
        const QString title = window->windowTitle().simplified();
        if (qobject_cast<platform::detail::MessageDialog*>(window.get()) != nullptr) {
            continue;  // a message, which its text explains
        }
        EXPECT_TRUE(std::any_of(headings.begin(), headings.end(),
                                [&](const QString& heading) { return heading.contains(title); }))
            << c.name << ": " << title.toStdString();
    }
}

}  // namespace
