#pragma once

#include <QString>
#include <QStringList>
#include <QTimeZone>

#include "drill/history/drill_history.h"

class QSqlDatabase;

namespace drill::history {

// The history in an SQLite database file, shared by every drill program of the user: WAL mode
// and a short busy timeout let two programs that end a drill at the same moment both record.
// What cannot be recorded now (a lock held elsewhere, a database of a newer program) waits in
// a pending file beside it and is recorded at the next open or drill that can write. A file
// that is not a database is moved aside and a new history started.
class SqliteHistory final : public DrillHistory {
public:
    // ":memory:" keeps the history in memory, for as long as this object lives. Drills are
    // counted on the days of zone.
    explicit SqliteHistory(QString path, QTimeZone zone = QTimeZone::systemTimeZone());
    ~SqliteHistory() override;

    SqliteHistory(const SqliteHistory&) = delete;
    SqliteHistory& operator=(const SqliteHistory&) = delete;

    QString record(const DrillRecord& drill) override;
    Drills drills() override;
    QStringList wordFiles() override;
    QList<DrillRecord> page(const QString& wordFile, qint64 offset, qint64 limit) override;
    QList<DayRate> dailyRates(const QString& wordFile) override;
    QList<MissCount> mostMissed(const QString& wordFile, qsizetype limit) override;
    QStringList takeNotices() override;

    // The schema version this program reads and writes (PRAGMA user_version).
    static int schemaVersion();
    // The user's history file in the program's data folder.
    static QString defaultPath();
    QString pendingPath() const { return path_ + QStringLiteral(".pending"); }

private:
    QString open();
    QString connect(bool& damaged);
    QString upgrade(int version);
    QString moveAside();
    void close();
    QSqlDatabase database() const;
    bool inMemory() const;
    QString insert(const DrillRecord& drill);
    QString keepPending(const DrillRecord& drill);
    void recordPending();
    void readFailed(const QString& reason);

    QString path_;
    QTimeZone zone_;
    QString connection_;
    bool ready_ = false;
    bool readOnly_ = false;
    QStringList notices_;
    QString lastReadFailure_;
};

}  // namespace drill::history
