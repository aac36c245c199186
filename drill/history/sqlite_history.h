#pragma once

#include <QString>

#include "drill/history/drill_history.h"

class QSqlDatabase;

namespace drill::history {

// The history in an SQLite database file, shared by every drill program of the user: WAL mode
// and a busy timeout let two programs that end a drill at the same moment both record.
class SqliteHistory final : public DrillHistory {
public:
    // ":memory:" keeps the history in memory, for as long as this object lives.
    explicit SqliteHistory(QString path);
    ~SqliteHistory() override;

    SqliteHistory(const SqliteHistory&) = delete;
    SqliteHistory& operator=(const SqliteHistory&) = delete;

    QString record(const DrillRecord& drill) override;
    Drills drills() override;

    // The user's history file in the program's data folder.
    static QString defaultPath();

private:
    // Opens and prepares the database when it is not yet; the reason when it cannot.
    QString open();
    QSqlDatabase database() const;

    QString path_;
    QString connection_;
    bool ready_ = false;
};

}  // namespace drill::history
