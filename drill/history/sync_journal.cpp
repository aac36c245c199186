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
#include "drill/history/flat_json.h"

namespace drill::history {

namespace {

const QString kSuffix = QStringLiteral(".kxjournal");

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

qint64 millis(review::ReviewTime time) {
    return time.time_since_epoch().count();
}

QString hex(const QByteArray& key) {
    return QString::fromLatin1(key.toHex());
}

// A line's members, as a JSON object or, read faster, a flat one.
class JsonMembers {
public:
    explicit JsonMembers(QJsonObject json) : json_(std::move(json)) {}
    bool contains(QLatin1StringView name) const { return json_.contains(name); }
    QString string(QLatin1StringView name) const { return json_.value(name).toString(); }
    qint64 toInteger(QLatin1StringView name) const { return json_.value(name).toInteger(); }
    int toInt(QLatin1StringView name) const { return json_.value(name).toInt(); }
    QJsonValue value(QLatin1StringView name) const { return json_.value(name); }

private:
    QJsonObject json_;
};

template <class Members>
review::ReviewTime timeAt(const Members& json) {
    return review::ReviewTime(std::chrono::milliseconds(json.toInteger(QLatin1String("at"))));
}

QByteArray keyAt(const JsonMembers& json, QLatin1String name) {
    return QByteArray::fromHex(json.string(name).toLatin1());
}
// Without a copy of the digits: fromHex passes over anything else, as over toLatin1's '?'.
QByteArray keyAt(const FlatJson& json, QLatin1String name) {
    const QByteArrayView digits = json.utf8(name);
    return QByteArray::fromHex(QByteArray::fromRawData(digits.data(), digits.size()));
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

// A drill is an object in the line's object: never flat.
std::optional<DrillRecord> drillOf(const FlatJson&) {
    return std::nullopt;
}
std::optional<DrillRecord> drillOf(const JsonMembers& json) {
    {
        const QJsonValue drill = json.value(QLatin1String("drill"));
        DrillRecord record = fromJson(drill.toObject());
        if (!drill.isObject() || !record.started.isValid()) {
            return std::nullopt;
        }
        return record;
    }
}

// None where the object lacks what the record cannot do without.
template <class Members>
std::optional<JournalContent> contentOf(const Members& json) {
    const QString type = json.string(QLatin1String("type"));
    if (type == QLatin1String("drill")) {
        if (std::optional<DrillRecord> drill = drillOf(json)) {
            return std::move(*drill);
        }
        return std::nullopt;
    }
    if (type == QLatin1String("review")) {
        const int grade = json.toInt(QLatin1String("grade"));
        review::ReviewRecord review{
            timeAt(json), keyAt(json, QLatin1String("key")), static_cast<review::Grade>(grade),
            json.toInteger(QLatin1String("answerMs")), json.string(QLatin1String("wordFile"))};
        if (review.wordKey.isEmpty() || grade < static_cast<int>(review::Grade::Again) ||
            grade > static_cast<int>(review::Grade::Good) || !json.contains(QLatin1String("at"))) {
            return std::nullopt;
        }
        return review;
    }
    if (type == QLatin1String("rename")) {
        review::WordRename rename{timeAt(json), json.string(QLatin1String("wordFile")),
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

namespace {

template <class Members>
ParsedLine parsedFrom(const Members& json) {
    ParsedLine parsed;
    parsed.newer = json.toInt(QLatin1String("v")) > kJournalVersion;
    const QString machine = json.string(QLatin1String("machine"));
    const qint64 sequence = json.toInteger(QLatin1String("seq"));
    if (machine.isEmpty() || sequence <= 0) {
        return parsed;
    }
    if (std::optional<JournalContent> content = contentOf(json)) {
        parsed.record = JournalRecord{machine, sequence, std::move(*content)};
    }
    return parsed;
}

}  // namespace

ParsedLine parseJournalLine(QByteArrayView line) {
    if (const std::optional<FlatJson> flat = FlatJson::parse(line)) {
        return parsedFrom(*flat);
    }
    return parseJournalLineAsJson(line);
}

ParsedLine parseJournalLineAsJson(QByteArrayView line) {
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray());
    if (!document.isObject()) {
        return {};
    }
    return parsedFrom(JsonMembers(document.object()));
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
