#include "common/preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <utility>

#include "common/zoom.h"

namespace common {

namespace {

const QString kSpeakQuestions = QStringLiteral("drill/speakQuestions");
const QString kLenientJudging = QStringLiteral("drill/lenientJudging");
const QString kDrillZoom = QStringLiteral("drill/zoom");
const QString kEditorZoom = QStringLiteral("editor/zoom");

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

}  // namespace

PreferencesFile::PreferencesFile(QString path) : path_(std::move(path)) {}

Preferences PreferencesFile::load() const {
    Preferences preferences;
    if (!QFileInfo(path_).isFile()) {
        return preferences;
    }
    // Each value stands on its own: Qt keeps what it could parse of a damaged file, and a
    // second reader of the same file is not told of the damage.
    const QSettings settings(path_, QSettings::IniFormat);
    preferences.speakQuestions = readBool(settings, kSpeakQuestions, preferences.speakQuestions);
    preferences.lenientJudging = readBool(settings, kLenientJudging, preferences.lenientJudging);
    preferences.drillZoom = readZoom(settings, kDrillZoom, preferences.drillZoom);
    preferences.editorZoom = readZoom(settings, kEditorZoom, preferences.editorZoom);
    return preferences;
}

bool PreferencesFile::update(const std::function<void(Preferences&)>& change) const {
    Preferences preferences = load();
    change(preferences);

    // Written beside the file and then put in its place, so that a damaged file never
    // survives in part and a failed write leaves the old one.
    const QString fresh = path_ + QStringLiteral(".new");
    QFile::remove(fresh);
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        return false;
    }
    {
        QSettings out(fresh, QSettings::IniFormat);
        if (QFileInfo(path_).isFile()) {
            const QSettings old(path_, QSettings::IniFormat);
            for (const QString& key : old.allKeys()) {
                out.setValue(key, old.value(key));
            }
        }
        out.setValue(kSpeakQuestions, preferences.speakQuestions);
        out.setValue(kLenientJudging, preferences.lenientJudging);
        out.setValue(kDrillZoom, preferences.drillZoom);
        out.setValue(kEditorZoom, preferences.editorZoom);
        out.sync();
        if (out.status() != QSettings::NoError) {
            QFile::remove(fresh);
            return false;
        }
    }
    if (QFileInfo::exists(path_) && !QFile::remove(path_)) {
        QFile::remove(fresh);
        return false;
    }
    return QFile::rename(fresh, path_);
}

}  // namespace common
