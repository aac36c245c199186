#include "drill/history/sqlite_history.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>

#include <utility>

namespace drill::history {

namespace {

constexpr int kBusyMilliseconds = 5000;

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS drills ("
    " id INTEGER PRIMARY KEY, started TEXT NOT NULL, seconds INTEGER NOT NULL,"
    " word_file TEXT NOT NULL, mode INTEGER NOT NULL, asked INTEGER NOT NULL,"
    " right_answers INTEGER NOT NULL, rate INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS missed ("
    " drill_id INTEGER NOT NULL REFERENCES drills(id), position INTEGER NOT NULL,"
    " question TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS missed_by_drill ON missed(drill_id, position)",
};

// Sorts as text in time order.
QString timeText(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QString failure(const QSqlQuery& query) {
    return query.lastError().text();
}

// SQLite answers "locked" at once, without waiting out the busy timeout, where waiting could
// deadlock (switching the journal mode, a reader becoming a writer): such steps are tried again.
bool execRetrying(QSqlQuery& query, const QString& statement) {
    const QDeadlineTimer deadline(kBusyMilliseconds);
    while (!query.exec(statement)) {
        const QString code = query.lastError().nativeErrorCode();
        const bool busy = code == QLatin1String("5") || code == QLatin1String("6");
        if (!busy || deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

}  // namespace

int rateOf(qint64 right, qint64 asked) {
    return asked > 0 ? static_cast<int>(right * 100 / asked) : 0;
}

SqliteHistory::SqliteHistory(QString path)
    : path_(std::move(path)),
      connection_(QStringLiteral("kx_history_%1").arg(reinterpret_cast<quintptr>(this), 0, 16)) {}

SqliteHistory::~SqliteHistory() {
    if (QSqlDatabase::contains(connection_)) {
        database().close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

QString SqliteHistory::defaultPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("history.sqlite"));
}

QSqlDatabase SqliteHistory::database() const {
    return QSqlDatabase::database(connection_, false);
}

QString SqliteHistory::open() {
    if (ready_) {
        return {};
    }
    if (!QSqlDatabase::contains(connection_)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(path_);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyMilliseconds));
    }
    QSqlDatabase db = database();
    if (!db.isValid()) {
        return QStringLiteral("SQLite driver not available");
    }
    if (path_ != QLatin1String(":memory:")) {
        QDir().mkpath(QFileInfo(path_).absolutePath());
    }
    if (!db.isOpen() && !db.open()) {
        return db.lastError().text();
    }
    QSqlQuery query(db);
    auto fail = [&query, &db] {
        const QString reason = failure(query);
        db.close();
        return reason;
    };
    // A file that is not a database fails here, at its first read.
    for (const char* statement :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON"}) {
        if (!execRetrying(query, QString::fromLatin1(statement))) {
            return fail();
        }
    }
    // Under the write lock, so that a second program creating the tables at the same moment
    // waits instead of failing on the upgrade from reading to writing.
    if (!execRetrying(query, QStringLiteral("BEGIN IMMEDIATE"))) {
        return fail();
    }
    for (const char* statement : kSchema) {
        if (!query.exec(QString::fromLatin1(statement))) {
            const QString reason = failure(query);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
            return reason;
        }
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        return fail();
    }
    ready_ = true;
    return {};
}

QString SqliteHistory::record(const DrillRecord& drill) {
    if (QString reason = open(); !reason.isEmpty()) {
        return reason;
    }
    QSqlDatabase db = database();
    QSqlQuery query(db);
    // The write lock up front, so that a busy database is waited for rather than failing on
    // the upgrade from reading to writing.
    if (!execRetrying(query, QStringLiteral("BEGIN IMMEDIATE"))) {
        return failure(query);
    }
    auto rollBack = [&query, &db] {
        const QString reason = failure(query);
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return reason;
    };
    query.prepare(QStringLiteral(
        "INSERT INTO drills (started, seconds, word_file, mode, asked, right_answers, rate)"
        " VALUES (?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(timeText(drill.started));
    query.addBindValue(drill.seconds);
    query.addBindValue(drill.wordFile);
    query.addBindValue(static_cast<int>(drill.mode));
    query.addBindValue(drill.asked);
    query.addBindValue(drill.right);
    query.addBindValue(drill.rate);
    if (!query.exec()) {
        return rollBack();
    }
    const QVariant id = query.lastInsertId();
    if (!drill.missed.isEmpty()) {
        query.prepare(
            QStringLiteral("INSERT INTO missed (drill_id, position, question) VALUES (?, ?, ?)"));
        QVariantList ids;
        QVariantList positions;
        QVariantList questions;
        for (qsizetype i = 0; i < drill.missed.size(); ++i) {
            ids.append(id);
            positions.append(static_cast<qint64>(i));
            questions.append(drill.missed.at(i));
        }
        query.addBindValue(ids);
        query.addBindValue(positions);
        query.addBindValue(questions);
        if (!query.execBatch()) {
            return rollBack();
        }
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        return rollBack();
    }
    return {};
}

Drills SqliteHistory::drills() {
    Drills result;
    if (QString reason = open(); !reason.isEmpty()) {
        result.error = reason;
        return result;
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("BEGIN"))) {
        result.error = failure(query);
        return result;
    }
    QHash<qint64, qsizetype> byId;
    if (query.exec(
            QStringLiteral("SELECT id, started, seconds, word_file, mode, asked, right_answers,"
                           " rate FROM drills ORDER BY started DESC, id DESC"))) {
        while (query.next()) {
            DrillRecord drill;
            drill.started = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
            drill.seconds = query.value(2).toLongLong();
            drill.wordFile = query.value(3).toString();
            drill.mode = static_cast<common::DrillModeValue>(query.value(4).toInt());
            drill.asked = query.value(5).toLongLong();
            drill.right = query.value(6).toLongLong();
            drill.rate = query.value(7).toInt();
            byId.insert(query.value(0).toLongLong(), result.records.size());
            result.records.append(std::move(drill));
        }
    } else {
        result.error = failure(query);
    }
    if (result.error.isEmpty() && query.exec(QStringLiteral("SELECT drill_id, question FROM missed"
                                                            " ORDER BY drill_id, position"))) {
        while (query.next()) {
            const auto found = byId.constFind(query.value(0).toLongLong());
            if (found != byId.constEnd()) {
                result.records[*found].missed.append(query.value(1).toString());
            }
        }
    } else if (result.error.isEmpty()) {
        result.error = failure(query);
    }
    query.exec(QStringLiteral("COMMIT"));
    return result;
}

}  // namespace drill::history
