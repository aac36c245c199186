// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Changes the shared files as a second program would at the same moment.
//   kx_shared_file_writer drill|editor FILE: for each number read from stdin, closes that
//   program with its own fields set from the number (slowly), then writes the number back.
//   kx_shared_file_writer preferences FILE: changes the preferences over and over, writing
//   "ready" after the first change, until killed.
#include <QCoreApplication>
#include <QStringList>
#include <QThread>

#include <cstdio>

#include "common/preferences.h"
#include "common/settings.h"

namespace {

int closeOverAndOver(const QString& program, const QString& path) {
    const QString folder = QStringLiteral("/opt/kx");
    char line[32];
    while (std::fgets(line, sizeof line, stdin)) {
        const int k = QByteArray(line).trimmed().toInt();
        auto record = [&](const common::SettingsRecord& fresh) {
            // A desktop busy ending its session: other work between reading and writing.
            QThread::msleep(20);
            if (program == QLatin1String("drill")) {
                return common::drillRecordToSave(fresh, QStringLiteral("/w/%1.qvw").arg(k),
                                                 quint8(k % 3 + 1), folder);
            }
            common::EditorOptions options;
            options.scanFields = quint8(k);
            options.imeQuestion = qint16(k);
            return common::editorRecordToSave(fresh, options, folder);
        };
        const int length = program == QLatin1String("drill") ? common::kDrillRecordLength
                                                             : common::kEditorRecordLength;
        if (!common::updateSettings(path, length, record).ok()) {
            return 1;
        }
        std::printf("%d\n", k);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        return 2;
    }
    if (args.at(1) != QLatin1String("preferences")) {
        return closeOverAndOver(args.at(1), args.at(2));
    }
    const common::PreferencesFile file(args.at(2));
    for (int i = 0;; ++i) {
        if (!file.update([i](common::Preferences& p) { p.drillZoom = 100 + 25 * (i % 9); })) {
            return 1;
        }
        if (i == 0) {
            std::printf("ready\n");
            std::fflush(stdout);
        }
    }
}
