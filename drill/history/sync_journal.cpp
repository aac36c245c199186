// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/sync_journal.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>

#include "drill/history/drill_record_json.h"

namespace drill::history {

namespace {

const QString kSuffix = QStringLiteral(".kxjournal");

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};

qint64 millis(review::ReviewTime time) {
    return time.time_since_epoch().count();
}

review::ReviewTime timeAt(const QJsonObject& json) {
    return review::ReviewTime(
        std::chrono::milliseconds(json.value(QLatin1String("at")).toInteger()));
}

QString hex(const QByteArray& key) {
    return QString::fromLatin1(key.toHex());
}

QByteArray keyAt(const QJsonObject& json, QLatin1String name) {
    return QByteArray::fromHex(json.value(name).toString().toLatin1());
}

QJsonObject contentJson(const JournalRecord& record) {
    return std::visit(Overloaded{
                          [](const DrillRecord& drill) {
                              return QJsonObject{{QStringLiteral("type"), QStringLiteral("drill")},
                                                 {QStringLiteral("drill"), toJson(drill)}};
                          },
                          [](const review::ReviewRecord& review) {
                              return QJsonObject{
                                  {QStringLiteral("type"), QStringLiteral("review")},
                                  {QStringLiteral("at"), millis(review.time)},
                                  {QStringLiteral("key"), hex(review.wordKey)},
                                  {QStringLiteral("grade"), static_cast<int>(review.grade)},
                                  {QStringLiteral("answerMs"), review.answerMilliseconds},
                                  {QStringLiteral("wordFile"), review.wordFile}};
                          },
                          [](const review::WordRename& rename) {
                              return QJsonObject{{QStringLiteral("type"), QStringLiteral("rename")},
                                                 {QStringLiteral("at"), millis(rename.time)},
                                                 {QStringLiteral("wordFile"), rename.wordFile},
                                                 {QStringLiteral("old"), hex(rename.oldKey)},
                                                 {QStringLiteral("new"), hex(rename.newKey)}};
                          },
                      },
                      record.content);
}

// None where the object lacks what the record cannot do without.
std::optional<JournalContent> contentOf(const QJsonObject& json) {
    const QString type = json.value(QLatin1String("type")).toString();
    if (type == QLatin1String("drill")) {
        const QJsonValue drill = json.value(QLatin1String("drill"));
        DrillRecord record = fromJson(drill.toObject());
        if (!drill.isObject() || !record.started.isValid()) {
            return std::nullopt;
        }
        return record;
    }
    if (type == QLatin1String("review")) {
        const int grade = json.value(QLatin1String("grade")).toInt();
        review::ReviewRecord review{timeAt(json), keyAt(json, QLatin1String("key")),
                                    static_cast<review::Grade>(grade),
                                    json.value(QLatin1String("answerMs")).toInteger(),
                                    json.value(QLatin1String("wordFile")).toString()};
        if (review.wordKey.isEmpty() || grade < static_cast<int>(review::Grade::Again) ||
            grade > static_cast<int>(review::Grade::Good) || !json.contains(QLatin1String("at"))) {
            return std::nullopt;
        }
        return review;
    }
    if (type == QLatin1String("rename")) {
        review::WordRename rename{timeAt(json), json.value(QLatin1String("wordFile")).toString(),
                                  keyAt(json, QLatin1String("old")),
                                  keyAt(json, QLatin1String("new"))};
        if (rename.oldKey.isEmpty() || rename.newKey.isEmpty() || rename.oldKey == rename.newKey) {
            return std::nullopt;
        }
        return rename;
    }
    return std::nullopt;
}

}  // namespace

qint64 JournalRecord::at() const {
    return std::visit(
        Overloaded{
            [](const DrillRecord& drill) { return drill.started.toMSecsSinceEpoch(); },
            [](const review::ReviewRecord& review) { return millis(review.time); },
            [](const review::WordRename& rename) { return millis(rename.time); },
        },
        content);
}

QByteArray journalLine(const JournalRecord& record) {
    QJsonObject json = contentJson(record);
    json.insert(QStringLiteral("v"), kJournalVersion);
    json.insert(QStringLiteral("machine"), record.machine);
    json.insert(QStringLiteral("seq"), record.sequence);
    return QJsonDocument(json).toJson(QJsonDocument::Compact) + '\n';
}

ParsedLine parseJournalLine(QByteArrayView line) {
    ParsedLine parsed;
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray());
    if (!document.isObject()) {
        return parsed;
    }
    const QJsonObject json = document.object();
    parsed.newer = json.value(QLatin1String("v")).toInt() > kJournalVersion;
    const QString machine = json.value(QLatin1String("machine")).toString();
    const qint64 sequence = json.value(QLatin1String("seq")).toInteger();
    if (machine.isEmpty() || sequence <= 0) {
        return parsed;
    }
    if (std::optional<JournalContent> content = contentOf(json)) {
        parsed.record = JournalRecord{machine, sequence, std::move(*content)};
    }
    return parsed;
}

JournalPart readJournal(const QString& path, qint64 from) {
    JournalPart part;
    part.end = from;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        part.error = file.errorString();
        return part;
    }
    if (from < 0 || from > file.size() || !file.seek(from)) {
        part.error = QStringLiteral("%1 is shorter than before").arg(path);
        return part;
    }
    const QByteArray data = file.read(kJournalReadPart);
    qsizetype start = 0;
    for (qsizetype newline = data.indexOf('\n'); newline >= 0;
         start = newline + 1, newline = data.indexOf('\n', start)) {
        const QByteArrayView line = QByteArrayView(data).sliced(start, newline - start);
        if (line.size() > kMaxJournalLine) {
            ++part.skipped;
            continue;
        }
        if (line.trimmed().isEmpty()) {
            continue;
        }
        ParsedLine parsed = parseJournalLine(line);
        part.newer += parsed.newer ? 1 : 0;
        if (parsed.record) {
            part.records.append(std::move(*parsed.record));
            part.ends.append(from + newline + 1);
        } else if (!parsed.newer) {
            ++part.skipped;
        }
    }
    // A line longer than a whole part, with no end in it: passed over, never read for ever.
    if (start == 0 && data.size() == kJournalReadPart) {
        ++part.skipped;
        start = data.size();
    }
    part.end = from + start;
    part.atEnd = data.size() < kJournalReadPart;
    return part;
}

QByteArray journalTail(const QString& path, qint64 end) {
    QFile file(path);
    const qint64 start = std::max<qint64>(0, end - kJournalTail);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(start)) {
        return {};
    }
    return file.read(end - start);
}

bool isJournalName(const QString& fileName) {
    if (fileName.startsWith(QLatin1Char('.'))) {
        return false;  // a sync program's file still arriving
    }
    if (fileName.endsWith(kSuffix)) {
        return true;
    }
    return fileName.contains(kSuffix) && (fileName.contains(QLatin1String(".sync-conflict-")) ||
                                          fileName.contains(QLatin1String(" (conflicted copy")));
}

QString journalFileName(const QString& machine) {
    return machine + kSuffix;
}

QString newMachineId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

}  // namespace drill::history
