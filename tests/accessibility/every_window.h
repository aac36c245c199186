// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "drill/history/history_sync.h"
#include "drill/history/sqlite_history.h"
#include "drill/window/about.h"
#include "drill/window/frm_history.h"
#include "drill/window/frm_main.h"
#include "drill/window/frm_missed.h"
#include "drill/window/frm_review.h"
#include "drill_support.h"
#include "editor/window/focus_behaviour.h"
#include "editor/window/frm_add_right.h"
#include "editor/window/frm_edit.h"
#include "editor/window/frm_scan.h"
#include "exchange/window/exchange_commands.h"
#include "exchange/window/import_dialog.h"
#include "platform/help_viewer.h"
#include "platform/message_dialog.h"

// Every window of both programs, for the tests that look at all of them.
namespace kxtest {

class NoInputOptions final : public editor::InputOptions {
public:
    common::ImeMode imeMode(editor::BoxKind) const override { return common::ImeMode::NoControl; }
    bool focusSelect() const override { return false; }
};

struct WindowCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>(platform::Platform&)> create;
};

// Every window of both programs, each made by create.
class EveryWindow : public testing::Test {
protected:
    drill::test::GivenRandom random;
    NoInputOptions options;
    std::unique_ptr<editor::FocusBehaviour> focus;
    drill::history::SqliteHistory reviews{":memory:"};
    std::unique_ptr<drill::history::HistorySync> sync;

    editor::FocusBehaviour& focusOn(platform::Platform& p) {
        focus = std::make_unique<editor::FocusBehaviour>(p, options);
        return *focus;
    }

    std::vector<WindowCase> windows() {
        return {
            {"frmMain",
             [this](platform::Platform& p) { return std::make_unique<drill::frmMain>(p, random); }},
            {"frmEdit",
             [this](platform::Platform& p) {
                 auto window = std::make_unique<editor::frmEdit>(p, reviews);
                 window->document().replaceAll({{"apple", "りんご", ""}});
                 window->chooseEntry(0);  // with the line of its reviews
                 return window;
             }},
            {"frmMissed",
             [](platform::Platform& p) {
                 const drill::MissedEntry missed{{"q", "a", ""}, {"x"}};
                 return std::make_unique<drill::frmMissed>(QList{missed}, "/w.qvw", p, nullptr);
             }},
            {"frmHistory",
             [](platform::Platform& p) {
                 drill::history::DrillRecord drill;
                 drill.started = QDateTime::currentDateTimeUtc();
                 drill.wordFile = "/w.qvw";
                 drill.missed = {"q"};
                 return std::make_unique<drill::frmHistory>(QList{drill}, "/w.qvw", p, nullptr);
             }},
            {"frmReview",
             [this](platform::Platform& p) {
                 const review::ReviewTime now{std::chrono::days(20000)};
                 for (const char* file : {"/w.qvw", "/x.qvw"}) {
                     reviews.recordReview({now, QByteArray(20, 'k'), review::Grade::Good, 0, file});
                 }
                 // With the sync folder's row.
                 sync = std::make_unique<drill::history::HistorySync>(
                     reviews, ":memory:", p.preferencesFile());
                 return std::make_unique<drill::frmReview>(reviews, now, p, nullptr, nullptr,
                                                           sync.get());
             }},
            {"frmAddRight",
             [this](platform::Platform& p) {
                 return std::make_unique<editor::frmAddRight>(QString(), editor::FormAnswers{},
                                                              focusOn(p), p, QString(), nullptr);
             }},
            {"frmScan",
             [this](platform::Platform& p) {
                 return std::make_unique<editor::frmScan>(QString(), focusOn(p), nullptr);
             }},
            {"frmImport",
             [](platform::Platform& p) {
                 exchange::Table table;
                 table.columns = {QStringLiteral("列 1"), QStringLiteral("列 2")};
                 table.rows = {{QStringLiteral("apple"), QString()}};
                 table.sourceLines = {1};
                 return std::make_unique<exchange::ImportDialog>(table, 10, p);
             }},
            {"frmPrintOptions",
             [](platform::Platform&) { return exchange::makePrintOptionsDialog(nullptr); }},
            {"helpViewer",
             [](platform::Platform&) { return std::make_unique<platform::detail::HelpViewer>(); }},
            {"about",
             [](platform::Platform&) {
                 const platform::MessageBox box{
                     drill::versionText(4, 0), QStringLiteral("Information"), platform::Icon::None};
                 return std::make_unique<platform::detail::MessageDialog>(nullptr, box);
             }},
        };
    }
};

}  // namespace kxtest
