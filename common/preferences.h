// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include <functional>

#include "common/drill_way.h"

namespace common {

// What the drill does with an answer a few letters off a right one.
enum class NearMissChoice { Judge, Retry, Accept };

// The programs' own options, kept apart from "qrvwr.dat", whose bytes the Windows programs
// share. Every option defaults to the behaviour a new user expects.
struct Preferences {
    bool speakQuestions = false;
    bool lenientJudging = false;
    int drillZoom = 100;  // percent, a step of common/zoom.h
    int editorZoom = 100;
    // Today's review: the share of words the schedule aims to keep remembered, kept within
    // kMinRetention..kMaxRetention, and the never-drilled words added each day.
    double desiredRetention = kDefaultRetention;
    int dailyNewWords = 20;
    // The hour of local time (0..23) the learner's day starts at, for "today" and the schedule.
    int dayStartsAt = 4;
    // Judging: near misses, and parts of a right answer that may be left out (with lenient
    // judging only).
    NearMissChoice nearMiss = NearMissChoice::Judge;
    bool optionalParentheses = false;
    bool optionalPlaceholder = false;
    // How the drill asks; the settings record knows only the typed way.
    DrillWay drillWay = DrillWay::Typed;
    // The ways today's review leaves out; it asks every way a file's words were drilled in.
    QList<DrillWay> reviewWaysLeftOut;
    // Where the history's CSV export last went; empty until it has.
    QString historyCsvFolder;
    // The folder a sync program shares between the learner's machines, where each machine keeps
    // a journal of its drills and reviews; empty while sharing is off. The machine's id names
    // its journal there: made once and kept.
    QString syncFolder;
    QString machineId;
    // Where the whole history was last written out as a journal; empty until it has.
    QString historyJournalFolder;

    static constexpr double kDefaultRetention = 0.90;
    static constexpr double kMinRetention = 0.70;
    static constexpr double kMaxRetention = 0.97;
    static constexpr int kMaxDailyNewWords = 9999;

    friend bool operator==(const Preferences&, const Preferences&) = default;
};

// One INI file shared by both programs. A missing, unreadable or damaged file, and any value
// that does not parse, gives the defaults; nothing here ever fails loudly.
class PreferencesFile {
public:
    explicit PreferencesFile(QString path);

    const QString& path() const { return path_; }
    Preferences load() const;

    // Reads the file again (the other program may have changed it), applies the change and
    // replaces the whole file in one step, keeping keys this version does not know. A damaged
    // file is replaced. False when the file cannot be written.
    bool update(const std::function<void(Preferences&)>& change) const;

private:
    QString leftoverPath() const;
    QString sourcePath() const;

    QString path_;
};

}  // namespace common
