// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <array>
#include <utility>

#include "common/atomic_file.h"
#include "common/folder_lock.h"
#include "common/zoom.h"

namespace common {

namespace {

const QString kSpeakQuestions = QStringLiteral("drill/speakQuestions");
const QString kLenientJudging = QStringLiteral("drill/lenientJudging");
const QString kDrillZoom = QStringLiteral("drill/zoom");
const QString kEditorZoom = QStringLiteral("editor/zoom");
const QString kDesiredRetention = QStringLiteral("review/desiredRetention");
const QString kDailyNewWords = QStringLiteral("review/dailyNewWords");
const QString kDayStartsAt = QStringLiteral("review/dayStartsAt");
const QString kNearMiss = QStringLiteral("drill/nearMiss");
const QString kOptionalParentheses = QStringLiteral("drill/optionalParentheses");
const QString kOptionalPlaceholder = QStringLiteral("drill/optionalPlaceholder");
const QString kDrillWay = QStringLiteral("drill/way");

// In the file by name, so that it reads the same whatever the enumeration's order.
const std::array<std::pair<NearMissChoice, QLatin1StringView>, 3> kNearMissNames{{
    {NearMissChoice::Judge, QLatin1StringView("judge")},
    {NearMissChoice::Retry, QLatin1StringView("retry")},
    {NearMissChoice::Accept, QLatin1StringView("accept")},
}};
const QString kReviewWaysLeftOut = QStringLiteral("review/waysLeftOut");
const QString kHistoryCsvFolder = QStringLiteral("history/csvFolder");
const QString kHistoryJournalFolder = QStringLiteral("history/journalFolder");
const QString kSyncFolder = QStringLiteral("sync/folder");
const QString kMachineId = QStringLiteral("sync/machineId");

// Only the words QSettings itself writes count; anything else is damage.
bool readBool(const QSettings& settings, const QString& key, bool fallback) {
    const QString text = settings.value(key).toString();
    if (text == QLatin1String("true")) {
        return true;
    }
    if (text == QLatin1String("false")) {
        return false;
    }
    return fallback;
}

int readZoom(const QSettings& settings, const QString& key, int fallback) {
    bool ok = false;
    const int percent = settings.value(key).toString().toInt(&ok);
    return ok && isZoomStep(percent) ? percent : fallback;
}

double readRetention(const QSettings& settings, double fallback) {
    bool ok = false;
    const double retention = settings.value(kDesiredRetention).toString().toDouble(&ok);
    return ok && retention >= Preferences::kMinRetention && retention <= Preferences::kMaxRetention
               ? retention
               : fallback;
}

NearMissChoice readNearMiss(const QSettings& settings, NearMissChoice fallback) {
    const QString text = settings.value(kNearMiss).toString();
    for (const auto& [choice, name] : kNearMissNames) {
        if (text == name) {
            return choice;
        }
    }
    return fallback;
}

QString nearMissName(NearMissChoice choice) {
    for (const auto& [known, name] : kNearMissNames) {
        if (known == choice) {
            return name;
        }
    }
    return kNearMissNames.front().second;
}

int readInt(const QSettings& settings, const QString& key, int lo, int hi, int fallback) {
    bool ok = false;
    const int value = settings.value(key).toString().toInt(&ok);
    return ok && value >= lo && value <= hi ? value : fallback;
}

const QString kScratchMark = QStringLiteral(".tmp-");

// Scratch folders are named after the file, the mark and six letters or digits.
void removeScratchFolders(const QFileInfo& file) {
    const QString prefix = file.fileName() + kScratchMark;
    static const QRegularExpression kRandomPart(QStringLiteral("^[A-Za-z0-9]{6}$"));
    const QDir folder = file.absoluteDir();
    for (const QString& name :
         folder.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        if (name.startsWith(prefix) && kRandomPart.match(name.sliced(prefix.size())).hasMatch()) {
            QDir(folder.filePath(name)).removeRecursively();
        }
    }
}

}  // namespace

PreferencesFile::PreferencesFile(QString path) : path_(std::move(path)) {}

QString PreferencesFile::leftoverPath() const {
    return path_ + QStringLiteral(".new");
}

// An earlier version removed the file before renaming its new text into place: a crash
// between the two left only the new text, whole, beside it.
QString PreferencesFile::sourcePath() const {
    if (QFileInfo(path_).isFile()) {
        return path_;
    }
    return QFileInfo(leftoverPath()).isFile() ? leftoverPath() : QString();
}

Preferences PreferencesFile::load() const {
    Preferences preferences;
    const QString source = sourcePath();
    if (source.isEmpty()) {
        return preferences;
    }
    // Each value stands on its own: Qt keeps what it could parse of a damaged file, and a
    // second reader of the same file is not told of the damage.
    const QSettings settings(source, QSettings::IniFormat);
    preferences.speakQuestions = readBool(settings, kSpeakQuestions, preferences.speakQuestions);
    preferences.lenientJudging = readBool(settings, kLenientJudging, preferences.lenientJudging);
    preferences.drillZoom = readZoom(settings, kDrillZoom, preferences.drillZoom);
    preferences.editorZoom = readZoom(settings, kEditorZoom, preferences.editorZoom);
    preferences.desiredRetention = readRetention(settings, preferences.desiredRetention);
    preferences.dailyNewWords = readInt(settings, kDailyNewWords, 0, Preferences::kMaxDailyNewWords,
                                        preferences.dailyNewWords);
    preferences.dayStartsAt = readInt(settings, kDayStartsAt, 0, 23, preferences.dayStartsAt);
    preferences.nearMiss = readNearMiss(settings, preferences.nearMiss);
    preferences.optionalParentheses =
        readBool(settings, kOptionalParentheses, preferences.optionalParentheses);
    preferences.optionalPlaceholder =
        readBool(settings, kOptionalPlaceholder, preferences.optionalPlaceholder);
    preferences.drillWay = drillWayOf(readInt(settings, kDrillWay, 0, kDrillWayCount - 1,
                                              static_cast<int>(preferences.drillWay)));
    // Numbers this version does not know are no ways to leave out.
    for (const QString& number : settings.value(kReviewWaysLeftOut)
                                     .toString()
                                     .split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int way = number.toInt(&ok);
        if (ok && way >= 0 && way < kDrillWayCount) {
            preferences.reviewWaysLeftOut.append(static_cast<DrillWay>(way));
        }
    }
    preferences.historyCsvFolder = settings.value(kHistoryCsvFolder).toString();
    preferences.historyJournalFolder = settings.value(kHistoryJournalFolder).toString();
    preferences.syncFolder = settings.value(kSyncFolder).toString();
    preferences.machineId = settings.value(kMachineId).toString();
    return preferences;
}

bool PreferencesFile::update(const std::function<void(Preferences&)>& change) const {
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        return false;
    }
    // Both programs change the file, one at a time: while the lock is held, a scratch folder
    // beside the file is one a program killed during its change left behind.
    const QFileInfo target(replacedFile(path_));
    const FolderLock lock(target.absolutePath(), 2000);
    if (lock.held()) {
        removeScratchFolders(target);
    }
    const QString source = sourcePath();
    Preferences preferences = load();
    change(preferences);

    // QSettings writes only files of its own: the new text is made whole in a scratch folder
    // beside the file, so that nothing of a damaged file survives, and then moved into place.
    const QTemporaryDir scratch(target.filePath() + kScratchMark + QStringLiteral("XXXXXX"));
    const QString text = scratch.filePath(target.fileName());
    {
        QSettings out(text, QSettings::IniFormat);
        if (!source.isEmpty()) {
            const QSettings old(source, QSettings::IniFormat);
            for (const QString& key : old.allKeys()) {
                out.setValue(key, old.value(key));
            }
        }
        out.setValue(kSpeakQuestions, preferences.speakQuestions);
        out.setValue(kLenientJudging, preferences.lenientJudging);
        out.setValue(kDrillZoom, preferences.drillZoom);
        out.setValue(kEditorZoom, preferences.editorZoom);
        // Whole percents as the learner chooses them, never a long binary fraction.
        out.setValue(kDesiredRetention, QString::number(preferences.desiredRetention, 'g', 4));
        out.setValue(kDailyNewWords, preferences.dailyNewWords);
        out.setValue(kDayStartsAt, preferences.dayStartsAt);
        out.setValue(kNearMiss, nearMissName(preferences.nearMiss));
        out.setValue(kOptionalParentheses, preferences.optionalParentheses);
        out.setValue(kOptionalPlaceholder, preferences.optionalPlaceholder);
        out.setValue(kDrillWay, static_cast<int>(preferences.drillWay));
        QStringList leftOut;
        for (const DrillWay way : preferences.reviewWaysLeftOut) {
            leftOut.append(QString::number(static_cast<int>(way)));
        }
        out.setValue(kReviewWaysLeftOut, leftOut.join(QLatin1Char(' ')));
        if (!preferences.historyCsvFolder.isEmpty()) {
            out.setValue(kHistoryCsvFolder, preferences.historyCsvFolder);
        }
        if (!preferences.historyJournalFolder.isEmpty()) {
            out.setValue(kHistoryJournalFolder, preferences.historyJournalFolder);
        }
        // Sharing turned off leaves no folder behind.
        for (const auto& [key, value] : {std::pair(kSyncFolder, preferences.syncFolder),
                                         std::pair(kMachineId, preferences.machineId)}) {
            if (value.isEmpty()) {
                out.remove(key);
            } else {
                out.setValue(key, value);
            }
        }
        out.sync();
        if (!scratch.isValid() || out.status() != QSettings::NoError) {
            return false;
        }
    }
    if (!moveFileInPlace(path_, text).ok()) {
        return false;
    }
    // Only now is a leftover no longer the only copy.
    QFile::remove(leftoverPath());
    return true;
}

}  // namespace common
