#include "drill/history/history_report.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace drill::history {

namespace {

// A cell that a spreadsheet would take for a formula is kept as text.
QString csvField(QString text) {
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front())) {
        text.prepend(QLatin1Char('\''));
    }
    if (text.contains(QLatin1Char('"')) || text.contains(QLatin1Char(',')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

}  // namespace

QString modeName(common::DrillModeValue mode) {
    switch (mode) {
        case common::kEndlessMode:
            return QStringLiteral("Endless");
        case common::kOvercomingMode:
            return QStringLiteral("Overcoming");
        case common::kNormalMode:
            break;
    }
    return QStringLiteral("Normal");
}

QStringList wordFilesOf(const QList<DrillRecord>& records) {
    QStringList files;
    QSet<QString> seen;
    for (const DrillRecord& record : records) {
        if (!seen.contains(record.wordFile)) {
            seen.insert(record.wordFile);
            files.append(record.wordFile);
        }
    }
    return files;
}

QList<DrillRecord> recordsOf(const QList<DrillRecord>& records, const QString& wordFile) {
    if (wordFile.isEmpty()) {
        return records;
    }
    QList<DrillRecord> chosen;
    std::copy_if(records.begin(), records.end(), std::back_inserter(chosen),
                 [&wordFile](const DrillRecord& r) { return r.wordFile == wordFile; });
    return chosen;
}

QList<MissCount> mostMissed(const QList<DrillRecord>& records, qsizetype limit) {
    QHash<QString, int> counts;
    for (const DrillRecord& record : records) {
        const QSet<QString> once(record.missed.begin(), record.missed.end());
        for (const QString& question : once) {
            ++counts[question];
        }
    }
    QList<MissCount> list;
    list.reserve(counts.size());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        list.append({it.key(), it.value()});
    }
    std::sort(list.begin(), list.end(), [](const MissCount& a, const MissCount& b) {
        return a.misses != b.misses ? a.misses > b.misses : a.question < b.question;
    });
    if (list.size() > limit) {
        list.resize(limit);
    }
    return list;
}

QString startedText(const QDateTime& started, const QTimeZone& zone) {
    return started.toTimeZone(zone).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QByteArray historyCsv(const QList<DrillRecord>& records, const QTimeZone& zone) {
    QString text = QStringLiteral(
        "開始日時,時間 (秒),単語ファイル,モード,問題数,正解数,正解率 (%),間違えた問題\r\n");
    for (const DrillRecord& r : records) {
        const QStringList cells{
            startedText(r.started, zone), QString::number(r.seconds),
            csvField(r.wordFile),         modeName(r.mode),
            QString::number(r.asked),     QString::number(r.right),
            QString::number(r.rate),      csvField(r.missed.join(QStringLiteral(" / ")))};
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

}  // namespace drill::history
