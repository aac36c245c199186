// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/name_repair.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/file_names.h"

namespace platform {

namespace {

constexpr qsizetype kListed = 20;  // more would not fit a message box
const QString kRepairTitle = QStringLiteral("ﾌｧｲﾙ名の変換");

}  // namespace

bool offerNameRepair(Platform& platform, QWidget* parent, const QString& folder,
                     QSet<QString>& asked) {
    if (folder.isEmpty()) {
        return false;
    }
    const QFileInfo info(folder);
    const QString dir = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    if (asked.contains(dir)) {
        return false;
    }
    const QList<common::NameRepair> repairs = common::namesToRepair(dir);
    if (repairs.isEmpty()) {
        return false;
    }
    asked.insert(dir);
    const QString crLf = QStringLiteral("\r\n");
    QString text =
        QStringLiteral("このﾌｫﾙﾀﾞには、Windows の文字ｺｰﾄﾞの名前のため開けないﾌｧｲﾙがあります。") +
        crLf + QDir::toNativeSeparators(dir) + crLf +
        QStringLiteral("次のように日本語の名前に変えますか？") + crLf;
    for (qsizetype i = 0; i < repairs.size() && i < kListed; ++i) {
        text += crLf + QFile::decodeName(repairs.at(i).name) + QStringLiteral(" → ") +
                repairs.at(i).japanese;
    }
    if (repairs.size() > kListed) {
        text += crLf + QStringLiteral("ほか %1 個").arg(repairs.size() - kListed);
    }
    const MessageBox question{text,           kRepairTitle, Icon::Question,
                              Buttons::YesNo, Answer::No,   std::nullopt};
    if (platform.showMessage(parent, question) != Answer::Yes) {
        return false;
    }
    if (const QStringList failed = common::repairNames(dir, repairs); !failed.isEmpty()) {
        platform.warn(
            parent,
            QStringLiteral("名前を変えられなかったﾌｧｲﾙがあります。") + crLf + failed.join(crLf),
            kRepairTitle);
        return failed.size() < repairs.size();
    }
    return true;
}

QString argumentPath(Platform& platform, QWidget* parent, const QByteArray& argument,
                     QSet<QString>& asked) {
    const QString path = QFileInfo(QFile::decodeName(argument)).absoluteFilePath();
    const qsizetype slash = argument.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : argument.left(qMax<qsizetype>(slash, 1));
    const QByteArray name = argument.sliced(slash + 1);
    if (common::isSystemText(argument) || !common::isSystemText(folder)) {
        return path;
    }
    const QString folderPath = QFileInfo(QFile::decodeName(folder)).absoluteFilePath();
    for (const common::NameRepair& repair : common::namesToRepair(folderPath)) {
        if (repair.name != name) {
            continue;
        }
        if (offerNameRepair(platform, parent, folderPath, asked)) {
            const QString renamed = QDir(folderPath).filePath(repair.japanese);
            if (QFileInfo::exists(renamed)) {
                return renamed;
            }
        }
        platform.warn(
            parent,
            QStringLiteral("「%1」は名前が Windows の文字ｺｰﾄﾞで書かれているため開けません。")
                .arg(repair.japanese),
            kRepairTitle);
        return {};
    }
    return path;
}

}  // namespace platform
