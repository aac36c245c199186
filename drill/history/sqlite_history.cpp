// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/sqlite_history.h"

#include "drill/history/drill_record_json.h"
#include "drill/history/review_replay.h"
#include "drill/history/sqlite_detail.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <utility>
#include <vector>

namespace drill::history {

namespace {

// Short, so that a lock held by another program never freezes a window: what cannot be
// written in time waits in the pending file.
constexpr int kBusyMilliseconds = 200;

// One version's step: its schema, made in one short transaction with the other steps', and what
// the drills recorded before it need filled in, a range of drill ids at a time beside the window
// (each statement binds the first id and the id past the last; done once for each id, also where
// a program of this version has recorded drills meanwhile).
// Last, the indexes over the old drills, each in a step of its own (over many drills, one costs
// more than the rest of the upgrade).
struct Upgrade {
    std::vector<const char*> schema;
    std::vector<const char*> fill = {};
    std::vector<const char*> indexes = {};
};

// The steps that bring a database from each version to the next, in order. A later program
// appends its steps and never changes these. Files from before versioning (version 0) may have
// the first step's tables already.
const std::vector<Upgrade> kUpgrades{
    {{
        "CREATE TABLE IF NOT EXISTS drills ("
        " id INTEGER PRIMARY KEY, started TEXT NOT NULL, seconds INTEGER NOT NULL,"
        " word_file TEXT NOT NULL, mode INTEGER NOT NULL, asked INTEGER NOT NULL,"
        " right_answers INTEGER NOT NULL, rate INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS missed ("
        " drill_id INTEGER NOT NULL REFERENCES drills(id), position INTEGER NOT NULL,"
        " question TEXT NOT NULL)",
        "CREATE INDEX IF NOT EXISTS missed_by_drill ON missed(drill_id, position)",
    }},
    // Drills over missed entries; what the history window shows, without reading every drill.
    {{
         "ALTER TABLE drills ADD COLUMN again INTEGER NOT NULL DEFAULT 0",
         // The learner's day, so that the chart's daily sums need no date arithmetic.
         "ALTER TABLE drills ADD COLUMN day TEXT",
         "CREATE TABLE word_files (word_file TEXT PRIMARY KEY, last_started TEXT NOT NULL)"
         " WITHOUT ROWID",
         "CREATE TABLE miss_counts (word_file TEXT NOT NULL, question TEXT NOT NULL,"
         " drills INTEGER NOT NULL, PRIMARY KEY (word_file, question)) WITHOUT ROWID",
         // Triggers, so that a program from before this version keeps them right as well.
         "CREATE TRIGGER drills_day AFTER INSERT ON drills WHEN NEW.day IS NULL BEGIN"
         " UPDATE drills SET day = date(NEW.started, 'localtime') WHERE id = NEW.id;"
         " END",
         "CREATE TRIGGER drills_word_file AFTER INSERT ON drills BEGIN"
         " INSERT OR IGNORE INTO word_files VALUES (NEW.word_file, NEW.started);"
         " UPDATE word_files SET last_started = NEW.started"
         "  WHERE word_file = NEW.word_file AND last_started < NEW.started;"
         " END",
         "CREATE TRIGGER missed_count AFTER INSERT ON missed WHEN NOT EXISTS ("
         " SELECT 1 FROM missed WHERE drill_id = NEW.drill_id AND question = NEW.question"
         "  AND rowid <> NEW.rowid) BEGIN"
         " INSERT OR IGNORE INTO miss_counts SELECT word_file, NEW.question, 0 FROM drills"
         "  WHERE id = NEW.drill_id;"
         " UPDATE miss_counts SET drills = drills + 1 WHERE question = NEW.question"
         "  AND word_file = (SELECT word_file FROM drills WHERE id = NEW.drill_id);"
         " END",
     },
     {
         "UPDATE drills SET day = date(started, 'localtime') WHERE id >= ? AND id < ?"
         " AND day IS NULL",
         // Added to what the triggers count of the drills recorded since.
         "INSERT INTO word_files SELECT word_file, MAX(started) FROM drills"
         " WHERE id >= ? AND id < ? GROUP BY word_file ON CONFLICT (word_file) DO UPDATE"
         " SET last_started = excluded.last_started WHERE excluded.last_started > last_started",
         "INSERT INTO miss_counts SELECT d.word_file, m.question, COUNT(DISTINCT m.drill_id)"
         " FROM missed m JOIN drills d ON d.id = m.drill_id WHERE m.drill_id >= ?"
         " AND m.drill_id < ? GROUP BY d.word_file, m.question ON CONFLICT (word_file, question)"
         " DO UPDATE SET drills = drills + excluded.drills",
     },
     {
         "CREATE INDEX drills_by_started ON drills(started)",
         "CREATE INDEX drills_by_file ON drills(word_file, started)",
         "CREATE INDEX drills_by_day ON drills(word_file, again, day, asked, right_answers)",
     }},
    // Reviews. A word's state is derived from its reviews and rebuilt by replaying them;
    // review_files keeps the sums the review window shows.
    {{
        "CREATE TABLE review_files (id INTEGER PRIMARY KEY, word_file TEXT NOT NULL UNIQUE,"
        " last_review INTEGER NOT NULL, hidden INTEGER NOT NULL DEFAULT 0,"
        " due_reviews INTEGER NOT NULL DEFAULT 0, due_right INTEGER NOT NULL DEFAULT 0)",
        // The key in hexadecimal, so that a list of keys can be looked up in one query.
        "CREATE TABLE words (id INTEGER PRIMARY KEY, word_key TEXT NOT NULL UNIQUE,"
        " phase INTEGER NOT NULL, stability REAL NOT NULL, difficulty REAL NOT NULL,"
        " due INTEGER NOT NULL, last_review INTEGER NOT NULL, elapsed_days INTEGER NOT NULL,"
        " scheduled_days INTEGER NOT NULL, learning_step INTEGER NOT NULL,"
        " reps INTEGER NOT NULL, lapses INTEGER NOT NULL)",
        "CREATE INDEX words_by_due ON words(due)",
        // Instants in UTC milliseconds; was_due: the word was in review and due when answered.
        "CREATE TABLE reviews (id INTEGER PRIMARY KEY, at INTEGER NOT NULL,"
        " word_id INTEGER NOT NULL REFERENCES words(id), grade INTEGER NOT NULL,"
        " answer_ms INTEGER NOT NULL, file_id INTEGER NOT NULL REFERENCES review_files(id),"
        " was_due INTEGER NOT NULL)",
        "CREATE INDEX reviews_by_word ON reviews(word_id, at)",
        "CREATE TABLE file_words (file_id INTEGER NOT NULL, word_id INTEGER NOT NULL,"
        " PRIMARY KEY (file_id, word_id)) WITHOUT ROWID",
        // What the states were computed with: another retention or scheduler replays them.
        "CREATE TABLE review_meta (name TEXT PRIMARY KEY, value) WITHOUT ROWID",
    }},
    // The typical slips of each drill's answers, counted by kind.
    {{
        "CREATE TABLE slips (drill_id INTEGER NOT NULL REFERENCES drills(id),"
        " kind TEXT NOT NULL, count INTEGER NOT NULL)",
        "CREATE INDEX slips_by_drill ON slips(drill_id)",
    }},
    // How each drill asked (DrillWay); the drills from before asked only the typed way.
    {{
        "ALTER TABLE drills ADD COLUMN way INTEGER NOT NULL DEFAULT 0",
    }},
    // Other machines' records taken in: each machine's sequence numbers as runs of consecutive
    // numbers instead of a row each. The tables were made by the first merge before; the rows of
    // a history that merged are joined into runs here, leaving every gap open.
    {{
        "CREATE TABLE IF NOT EXISTS sync_machines (id INTEGER PRIMARY KEY, machine TEXT NOT NULL"
        " UNIQUE, seq INTEGER NOT NULL, merged_at INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS sync_files (name TEXT PRIMARY KEY, position INTEGER NOT NULL,"
        " tail BLOB NOT NULL) WITHOUT ROWID",
        "CREATE TABLE IF NOT EXISTS sync_ranges (machine_id INTEGER NOT NULL,"
        " first INTEGER NOT NULL, last INTEGER NOT NULL, PRIMARY KEY (machine_id, first))"
        " WITHOUT ROWID",
        "CREATE TABLE IF NOT EXISTS sync_records (machine_id INTEGER NOT NULL,"
        " seq INTEGER NOT NULL, PRIMARY KEY (machine_id, seq)) WITHOUT ROWID",
        // Numbers in a run less their place in it are the same for the whole run.
        "INSERT INTO sync_ranges SELECT machine_id, MIN(seq), MAX(seq) FROM (SELECT machine_id,"
        " seq, seq - ROW_NUMBER() OVER (PARTITION BY machine_id ORDER BY seq) AS run"
        " FROM sync_records) GROUP BY machine_id, run",
        "DROP TABLE sync_records",
    }},
};

bool isBusy(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6");
}

const QByteArray kSqliteHeader = QByteArrayLiteral("SQLite format 3\0");

// Sorts as text in time order.
QString timeText(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

// Only a file that is plainly no database, never one another program has just started.
bool plainlyNoDatabase(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0) {
        return false;
    }
    return file.read(kSqliteHeader.size()) != kSqliteHeader;
}

QString selectDrills(const QString& wordFile) {
    return QStringLiteral(
               "SELECT id, started, seconds, word_file, mode, again, asked, right_answers, rate,"
               " way FROM drills %1 ORDER BY started DESC, id DESC LIMIT ? OFFSET ?")
        .arg(wordFile.isEmpty() ? QString() : QStringLiteral("WHERE word_file = ?"));
}

}  // namespace

namespace detail {

QString failure(const QSqlQuery& query) {
    return query.lastError().text();
}

// SQLite answers "locked" at once, without waiting out the busy timeout, where waiting could
// deadlock (switching the journal mode, a reader becoming a writer): such steps are tried again.
bool execRetrying(QSqlQuery& query, const QString& statement) {
    const QDeadlineTimer deadline(kBusyMilliseconds);
    while (!query.exec(statement)) {
        if (!isBusy(query.lastError()) || deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

}  // namespace detail

using detail::execRetrying;
using detail::failure;

int rateOf(qint64 right, qint64 asked) {
    return asked > 0 ? static_cast<int>(right * 100 / asked) : 0;
}

SqliteHistory::SqliteHistory(QString path, QTimeZone zone, Access access)
    : path_(std::move(path)),
      zone_(std::move(zone)),
      connection_(QStringLiteral("kx_history_%1").arg(reinterpret_cast<quintptr>(this), 0, 16)),
      access_(access) {}

SqliteHistory::~SqliteHistory() {
    replay_.reset();  // stops after the step under way; the next program goes on from there
    close();
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::removeDatabase(connection_);
    }
}

int SqliteHistory::schemaVersion() {
    return static_cast<int>(kUpgrades.size());
}

QString SqliteHistory::defaultPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // The folder is named after the program asking; the history is the drill program's, also
    // when the editor asks.
    if (const QString asking = QCoreApplication::applicationName();
        !asking.isEmpty() && folder.endsWith(QLatin1Char('/') + asking)) {
        folder.chop(asking.size());
        folder += QLatin1String("Kotobax");
    }
    return QDir(folder).filePath(QStringLiteral("history.sqlite"));
}

QSqlDatabase SqliteHistory::database() const {
    return QSqlDatabase::database(connection_, false);
}

bool SqliteHistory::inMemory() const {
    return path_ == QLatin1String(":memory:");
}

void SqliteHistory::close() {
    if (QSqlDatabase::contains(connection_)) {
        database().close();
    }
    ready_ = false;
    stateCache_.forget();
    mergeCache_ = {};
    checkpointsLeft_ = false;  // a connection opened anew copies the journal back itself
}

QString SqliteHistory::open() {
    if (access_ == Access::ReadOnly) {
        // Opened afresh for every read: the way it is read depends on whether a drill program
        // has it open at the moment.
        close();
        return connectReadOnly();
    }
    if (ready_ && !fileReplaced()) {
        return {};
    }
    bool damaged = false;
    QString reason = connect(damaged);
    if (damaged) {
        close();
        if (const QString aside = moveAside(); !aside.isEmpty()) {
            notices_.append(
                QStringLiteral("成績の記録が壊れていたため、新しい記録を始めました。\r\n"
                               "壊れた記録は次の場所に移しました:\r\n") +
                QDir::toNativeSeparators(aside));
            reason = connect(damaged);
        }
    }
    if (reason.isEmpty() && !inMemory()) {
        identity_ = common::fileIdentity(path_);
    }
    if (reason.isEmpty() && !readOnly_) {
        recordPending();
    }
    return reason;
}

bool SqliteHistory::notYetCreated() const {
    return !ready_ && access_ == Access::ReadWrite && !inMemory() && !QFileInfo::exists(path_) &&
           !QFileInfo::exists(path_ + QStringLiteral("-wal")) &&
           !QFileInfo::exists(pendingPath()) && !QFileInfo::exists(renamesPath());
}

QString SqliteHistory::creationRefused() const {
    QFileInfo folder(QFileInfo(path_).absolutePath());
    while (!folder.exists() && !folder.isRoot()) {
        folder = QFileInfo(folder.absolutePath());  // the folder it would be created in
    }
    if (folder.isDir() && folder.isWritable()) {
        return {};
    }
    return QStringLiteral("%1 cannot be created in %2")
        .arg(QDir::toNativeSeparators(path_), QDir::toNativeSeparators(folder.filePath()));
}

// A history restored from a backup or removed while this program runs: what comes next goes
// into the file now at the path, never into one nobody will read again.
bool SqliteHistory::fileReplaced() {
    if (inMemory() || common::fileIdentity(path_) == identity_) {
        return false;
    }
    close();
    // The journal beside it is the old file's, which SQLite no longer writes back once its file
    // has gone: left there, it would be read as the new file's.
    QFile::remove(path_ + QStringLiteral("-wal"));
    QFile::remove(path_ + QStringLiteral("-shm"));
    notices_.append(
        QStringLiteral("成績の記録のファイルが置き換えられたか消されたため、"
                       "開き直しました。\r\nこれからの成績は次のファイルに残します:\r\n") +
        QDir::toNativeSeparators(path_));
    return true;
}

// Opens the database and brings its schema up to date; damaged tells that it is no database.
QString SqliteHistory::connect(bool& damaged) {
    damaged = false;
    if (!QSqlDatabase::contains(connection_)) {
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    }
    QSqlDatabase db = database();
    if (!db.isValid()) {
        return QStringLiteral("SQLite driver not available");
    }
    if (!inMemory()) {
        QDir().mkpath(QFileInfo(path_).absolutePath());
        if (QFileInfo(path_).isDir()) {
            damaged = true;
            return QStringLiteral("%1 is a folder").arg(QDir::toNativeSeparators(path_));
        }
    }
    db.setDatabaseName(path_);
    readOnly_ = false;
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyMilliseconds));
    if (!db.open()) {
        return db.lastError().text();
    }
    int version = 0;
    {
        // A file that is not a database fails here, at its first read.
        QSqlQuery query(db);
        if (!execRetrying(query, QStringLiteral("PRAGMA user_version")) || !query.next()) {
            const QString reason = failure(query);
            const QString code = query.lastError().nativeErrorCode();
            damaged = (code == QLatin1String("26") || code == QLatin1String("11")) &&
                      plainlyNoDatabase(path_);
            query.finish();
            db.close();
            return reason;
        }
        version = query.value(0).toInt();
    }
    if (version > schemaVersion()) {
        // A newer program's history: read what this one knows of it, never write into it.
        db.close();
        db.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyMilliseconds));
        if (!db.open()) {
            return db.lastError().text();
        }
        readOnly_ = true;
        notices_.append(
            QStringLiteral("成績の記録はこのプログラムより新しい版で作られているため、"
                           "読むだけにしました。\r\nこれからの成績は次のファイルに残します:\r\n") +
            QDir::toNativeSeparators(pendingPath()));
        ready_ = true;
        return {};
    }
    QSqlQuery query(db);
    for (const char* statement :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON",
          // The words of every file and their index stay in memory between the review
          // window's queries, instead of being read again for each file (32 MiB at most).
          "PRAGMA cache_size=-32768"}) {
        if (!execRetrying(query, QString::fromLatin1(statement))) {
            const QString reason = failure(query);
            query.finish();
            db.close();
            return reason;
        }
    }
    if (version < schemaVersion()) {
        if (QString reason = upgrade(version); !reason.isEmpty()) {
            query.finish();
            db.close();
            return reason;
        }
    }
    ready_ = true;
    // An upgrade's filling in, begun here or left by a program that ended before it was done.
    filling_ =
        query.exec(QStringLiteral("SELECT 1 FROM review_meta WHERE name = 'upgrade_fill'")) &&
        query.next();
    query.finish();
    if (filling_) {
        continueReplay();
        leaveCheckpointsToReplay(replay_ && replay_->running());
    }
    return {};
}

QString SqliteHistory::connectReadOnly() {
    readOnly_ = true;
    if (!QFileInfo(path_).isFile()) {
        return QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path_));
    }
    if (!QSqlDatabase::contains(connection_)) {
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    }
    QSqlDatabase db = database();
    if (!db.isValid()) {
        return QStringLiteral("SQLite driver not available");
    }
    // Even a read-only reader creates the journal files beside a database in WAL mode. Without
    // a journal no drill program has it open and the file holds all: it is read as it lies,
    // creating nothing. With one, it is read through the journal as any reader does.
    QString uri =
        QUrl::fromLocalFile(QFileInfo(path_).absoluteFilePath()).toString(QUrl::FullyEncoded);
    uri += QFileInfo::exists(path_ + QStringLiteral("-wal"))
               ? QStringLiteral("?mode=ro")
               : QStringLiteral("?mode=ro&immutable=1");
    db.setDatabaseName(uri);
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1")
            .arg(kBusyMilliseconds));
    if (!db.open()) {
        return db.lastError().text();
    }
    QSqlQuery query(db);
    if (!execRetrying(query, QStringLiteral("PRAGMA user_version")) || !query.next()) {
        const QString reason = failure(query);
        query.finish();
        db.close();
        return reason;
    }
    // An older history has not what this program reads, a newer one may mean it otherwise.
    if (const int version = query.value(0).toInt(); version != schemaVersion()) {
        query.finish();
        db.close();
        return QStringLiteral("the history has schema version %1, this program reads %2")
            .arg(version)
            .arg(schemaVersion());
    }
    ready_ = true;
    return {};
}

// The schema in one short transaction under the write lock, so that a second program upgrading at
// the same moment waits and then finds it done. The drills there are then are filled in after,
// in steps (fillStep), from the marker left here in the same transaction.
QString SqliteHistory::upgrade(int version) {
    QSqlDatabase db = database();
    detail::Transaction transaction(db);
    if (!transaction.reason().isEmpty()) {
        return transaction.reason();
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return failure(query);
    }
    version = std::min(query.value(0).toInt(), schemaVersion());
    query.finish();
    bool fills = false;
    for (auto step = kUpgrades.begin() + version; step != kUpgrades.end(); ++step) {
        for (const char* statement : step->schema) {
            if (!query.exec(QString::fromLatin1(statement))) {
                return failure(query);
            }
        }
        fills = fills || !step->fill.empty() || !step->indexes.empty();
    }
    if (fills) {
        query.prepare(QStringLiteral(
            "INSERT OR REPLACE INTO review_meta SELECT 'upgrade_fill', ? || ' ' ||"
            " COALESCE(MIN(id), 1) || ' ' || COALESCE(MAX(id) + 1, 1) || ' 0' FROM drills"));
        query.addBindValue(version);
        if (!query.exec()) {
            return failure(query);
        }
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion()))) {
        return failure(query);
    }
    return transaction.commit();
}

namespace detail {

namespace {

// Drill ids filled in by one statement of a fill step.
constexpr qint64 kFillIds = 256;

}  // namespace

ReplayStep fillStep(const QSqlDatabase& db, std::chrono::milliseconds budget) {
    ReplayStep step;
    QSqlQuery query(db);
    const QString select =
        QStringLiteral("SELECT value FROM review_meta WHERE name = 'upgrade_fill'");
    // The marker looked for first without the lock: most histories have none.
    if (!query.exec(select) || !query.next()) {
        step.reason = failure(query);
        step.finished = step.reason.isEmpty();
        return step;
    }
    query.finish();
    Transaction transaction(db);
    if (transaction.refused(step)) {
        return step;
    }
    if (!query.exec(select)) {
        step.reason = failure(query);
        return step;
    }
    if (!query.next()) {
        step.finished = true;
        return step;
    }
    // The version upgraded from, the next drill, the one past the last and the indexes made.
    const QStringList marker = query.value(0).toString().split(QLatin1Char(' '));
    query.finish();
    const int version = std::clamp(marker.value(0).toInt(), 0, SqliteHistory::schemaVersion());
    qint64 next = marker.value(1).toLongLong();
    const qint64 last = marker.value(2).toLongLong();
    qsizetype made = marker.value(3).toLongLong();
    std::vector<const char*> fills;
    std::vector<const char*> indexes;
    for (auto upgrade = kUpgrades.begin() + version; upgrade != kUpgrades.end(); ++upgrade) {
        fills.insert(fills.end(), upgrade->fill.begin(), upgrade->fill.end());
        indexes.insert(indexes.end(), upgrade->indexes.begin(), upgrade->indexes.end());
    }
    QElapsedTimer spent;
    spent.start();
    const qint64 from = next;
    while (spent.elapsed() < budget.count() && next < last) {
        const qint64 to = std::min(last, next + kFillIds);
        for (const char* statement : fills) {
            query.prepare(QString::fromLatin1(statement));
            query.addBindValue(next);
            query.addBindValue(to);
            if (!query.exec()) {
                step.reason = failure(query);
                return step;
            }
        }
        next = to;
    }
    // An index over many drills takes a step of its own, begun after no more than a little work.
    for (; spent.elapsed() < budget.count() && next >= last && last - from <= kFillIds &&
           made < qsizetype(indexes.size());
         ++made) {
        if (!query.exec(QString::fromLatin1(indexes.at(made)))) {
            step.reason = failure(query);
            return step;
        }
    }
    // An index counts as a drill.
    step.next = next + made;
    step.last = last + qint64(indexes.size());
    step.finished = step.next >= step.last;
    if (step.finished) {
        query.exec(QStringLiteral("DELETE FROM review_meta WHERE name = 'upgrade_fill'"));
    } else {
        query.prepare(
            QStringLiteral("UPDATE review_meta SET value = ? WHERE name = 'upgrade_fill'"));
        query.addBindValue(
            QStringLiteral("%1 %2 %3 %4").arg(version).arg(next).arg(last).arg(made));
        query.exec();
    }
    if (query.lastError().isValid()) {
        step.reason = failure(query);
        return step;
    }
    transaction.commit(step);
    if (step.reason.isEmpty() && !step.finished && SqliteHistory::fillStepCommitted != nullptr) {
        SqliteHistory::fillStepCommitted();
    }
    return step;
}

}  // namespace detail

// The damaged file's new name, or empty when it could not be moved.
QString SqliteHistory::moveAside() {
    if (!plainlyNoDatabase(path_)) {
        return {};  // another program has moved it and started a new one meanwhile
    }
    const QString base =
        path_ + QStringLiteral(".damaged-") + QDate::currentDate().toString(Qt::ISODate);
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside); ++n) {
        aside = base + QStringLiteral("-%1").arg(n);
    }
    if (!QDir().rename(path_, aside)) {
        return {};
    }
    // The journal of a file that is no database belongs to nothing.
    QDir().rename(path_ + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
    QFile::remove(path_ + QStringLiteral("-shm"));
    return aside;
}

// Inside the caller's transaction.
QString SqliteHistory::insert(const DrillRecord& drill) {
    QSqlQuery query(database());
    query.prepare(
        QStringLiteral("INSERT INTO drills (started, seconds, word_file, mode, again, asked,"
                       " right_answers, rate, day, way) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(timeText(drill.started));
    query.addBindValue(drill.seconds);
    query.addBindValue(drill.wordFile);
    query.addBindValue(static_cast<int>(drill.mode));
    query.addBindValue(drill.again ? 1 : 0);
    query.addBindValue(drill.asked);
    query.addBindValue(drill.right);
    query.addBindValue(drill.rate);
    query.addBindValue(drill.started.toTimeZone(zone_).date().toString(Qt::ISODate));
    query.addBindValue(static_cast<int>(drill.way));
    if (!query.exec()) {
        return failure(query);
    }
    const QVariant id = query.lastInsertId();
    if (QString reason = insertSlips(id, drill.slips); !reason.isEmpty()) {
        return reason;
    }
    if (drill.missed.isEmpty()) {
        return {};
    }
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
    return query.execBatch() ? QString() : failure(query);
}

// One row a kind, in the order first found.
QString SqliteHistory::insertSlips(const QVariant& drillId, const QStringList& slips) {
    QStringList kinds;
    QVariantList counts;
    for (const QString& slip : slips) {
        const qsizetype at = kinds.indexOf(slip);
        if (at < 0) {
            kinds.append(slip);
            counts.append(1);
        } else {
            counts[at] = counts.at(at).toInt() + 1;
        }
    }
    if (kinds.isEmpty()) {
        return {};
    }
    QSqlQuery query(database());
    query.prepare(QStringLiteral("INSERT INTO slips (drill_id, kind, count) VALUES (?, ?, ?)"));
    query.addBindValue(QVariantList(kinds.size(), drillId));
    query.addBindValue(QVariantList(kinds.begin(), kinds.end()));
    query.addBindValue(counts);
    return query.execBatch() ? QString() : failure(query);
}

namespace {

// A lock file whose holder cannot be told (a program killed before it wrote its number) is
// taken over after this long; one whose holder is known is taken over as soon as it has ended.
constexpr int kStaleLockMilliseconds = 2500;

// Why the lock beside the pending file could not be taken, in the system's words where the
// system refused it.
QString lockFailure(const QLockFile& lock, const QString& pendingPath) {
    if (lock.error() == QLockFile::LockFailedError) {
        return QStringLiteral("%1 is locked").arg(QDir::toNativeSeparators(pendingPath));
    }
    // The lock says no more than that it could not be created or written: doing the same tells.
    QFile probe(pendingPath + QStringLiteral(".lock"));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        return probe.errorString();
    }
    const bool written = probe.write("0", 1) == 1;
    QString reason = probe.errorString();
    probe.remove();
    return written
               ? QStringLiteral("%1 cannot be locked").arg(QDir::toNativeSeparators(pendingPath))
               : reason;
}

// A write cut short is tried on, so that the file tells the system's reason for the rest.
bool writeAll(QFile& file, const QByteArray& data) {
    for (qint64 done = 0; done < data.size();) {
        const qint64 written = file.write(data.constData() + done, data.size() - done);
        if (written <= 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

QString SqliteHistory::keepPending(const DrillRecord& drill) {
    QLockFile lock(pendingPath() + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMilliseconds);
    // Long enough for another program's flush on a loaded machine, and for a lock left unwritten
    // by a program killed as it took it to go stale.
    if (!lock.tryLock(2 * kStaleLockMilliseconds)) {
        return lockFailure(lock, pendingPath());
    }
    QFile file(pendingPath());
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        return file.errorString();
    }
    QJsonObject json = toJson(drill);
    json.insert(QStringLiteral("id"), QUuid::createUuid().toString(QUuid::WithoutBraces));
    QByteArray line = QJsonDocument(json).toJson(QJsonDocument::Compact) + '\n';
    // A line cut short by a full disk stays a line of its own, never the start of this one.
    const qint64 end = file.size();
    if (end > 0 && (!file.seek(end - 1) || file.read(1) != "\n")) {
        line.prepend('\n');
    }
    bool written = file.seek(end);
    if (written && pendingHalfWritten != nullptr) {
        const qsizetype half = line.size() / 2;
        written = writeAll(file, line.first(half));
        pendingHalfWritten();
        line.remove(0, half);
    }
    if (!written || !writeAll(file, line)) {
        // What was written of it goes, so that a drill reported lost is never recorded.
        const QString reason = file.errorString();
        file.resize(end);
        return reason;
    }
    return {};
}

// Every pending drill in one transaction; the file goes only once they are in. The ids of the
// file's drills are remembered in the same transaction, so that a file left behind by a program
// that ended between the two records none of them again.
void SqliteHistory::recordPending() {
    if (inMemory() || !QFileInfo::exists(pendingPath())) {
        return;
    }
    QLockFile lock(pendingPath() + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMilliseconds);
    if (!lock.tryLock(kBusyMilliseconds)) {
        return;
    }
    QFile file(pendingPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    QList<std::pair<QString, DrillRecord>> pending;
    QStringList ids;
    while (!file.atEnd()) {
        // A line cut short by a crash or a full disk is no drill.
        const QJsonDocument line = QJsonDocument::fromJson(file.readLine());
        if (line.isObject()) {
            const QString id = line.object().value(QLatin1String("id")).toString();
            pending.append({id, fromJson(line.object())});
            if (!id.isEmpty()) {
                ids.append(id);
            }
        }
    }
    file.close();
    QSqlDatabase db = database();
    QSqlQuery query(db);
    if (!execRetrying(query, QStringLiteral("BEGIN IMMEDIATE"))) {
        return;
    }
    auto rollBack = [&db] { QSqlQuery(db).exec(QStringLiteral("ROLLBACK")); };
    QStringList recorded;
    if (!query.exec(QStringLiteral("SELECT value FROM review_meta WHERE name = 'pending'"))) {
        return rollBack();
    }
    if (query.next()) {
        recorded = query.value(0).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    query.finish();
    for (const auto& [id, drill] : pending) {
        if ((id.isEmpty() || !recorded.contains(id)) && !insert(drill).isEmpty()) {
            return rollBack();
        }
    }
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO review_meta VALUES ('pending', ?)"));
    query.addBindValue(ids.join(QLatin1Char(' ')));
    if (!query.exec() || !query.exec(QStringLiteral("COMMIT"))) {
        return rollBack();
    }
    if (pendingCommitted) {
        pendingCommitted();
    }
    file.remove();
}

QString SqliteHistory::record(const DrillRecord& drill) {
    tellRecorded(drill);
    QString reason = open();
    if (reason.isEmpty() && !readOnly_) {
        recordPending();
        QSqlDatabase db = database();
        QSqlQuery query(db);
        // The write lock up front, so that a busy database is waited for rather than failing
        // on the upgrade from reading to writing.
        if (!execRetrying(query, QStringLiteral("BEGIN IMMEDIATE"))) {
            reason = failure(query);
        } else if (reason = insert(drill);
                   reason.isEmpty() && query.exec(QStringLiteral("COMMIT"))) {
            return {};
        } else {
            if (reason.isEmpty()) {
                reason = failure(query);
            }
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        }
    }
    if (access_ == Access::ReadOnly) {
        return reason.isEmpty() ? QStringLiteral("the history is open read-only") : reason;
    }
    if (inMemory()) {
        return reason;
    }
    const QString kept = keepPending(drill);
    return kept.isEmpty() ? QString() : reason + QStringLiteral("\r\n") + kept;
}

void SqliteHistory::readFailed(const QString& reason) {
    // Said once, not at every page of a scrolled table; a read-only reader says it by what it
    // leaves out, at every entry the editor shows.
    if (reason != lastReadFailure_ && access_ == Access::ReadWrite) {
        lastReadFailure_ = reason;
        notices_.append(QStringLiteral("成績の記録を読めませんでした。\r\n") + reason);
    }
}

QStringList SqliteHistory::wordFiles() {
    QStringList files;
    if (const QString reason = open(); !reason.isEmpty()) {
        readFailed(reason);
        return files;
    }
    if (!readOnly_) {
        recordPending();
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT word_file FROM word_files ORDER BY last_started DESC, word_file"))) {
        readFailed(failure(query));
    }
    while (query.next()) {
        files.append(query.value(0).toString());
    }
    return files;
}

QList<common::DrillWay> SqliteHistory::waysDrilled() {
    QList<common::DrillWay> ways{common::DrillWay::Typed};
    if (const QString reason = open(); !reason.isEmpty()) {
        readFailed(reason);
        return ways;
    }
    if (!readOnly_) {
        recordPending();
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT DISTINCT way FROM drills WHERE way <> 0"))) {
        readFailed(failure(query));
    }
    while (query.next()) {
        ways.append(common::drillWayOf(query.value(0).toInt()));
    }
    return ways;
}

QList<DrillRecord> SqliteHistory::page(const QString& wordFile, qint64 offset, qint64 limit) {
    QList<DrillRecord> records;
    if (const QString reason = open(); !reason.isEmpty()) {
        readFailed(reason);
        return records;
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(selectDrills(wordFile));
    if (!wordFile.isEmpty()) {
        query.addBindValue(wordFile);
    }
    query.addBindValue(limit);
    query.addBindValue(offset);
    if (!query.exec()) {
        readFailed(failure(query));
        return records;
    }
    QHash<qint64, qsizetype> byId;
    QStringList ids;
    while (query.next()) {
        DrillRecord drill;
        drill.started = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
        drill.seconds = query.value(2).toLongLong();
        drill.wordFile = query.value(3).toString();
        drill.mode = static_cast<common::DrillModeValue>(query.value(4).toInt());
        drill.again = query.value(5).toInt() != 0;
        drill.asked = query.value(6).toLongLong();
        drill.right = query.value(7).toLongLong();
        drill.rate = query.value(8).toInt();
        drill.way = static_cast<common::DrillWay>(query.value(9).toInt());
        byId.insert(query.value(0).toLongLong(), records.size());
        ids.append(query.value(0).toString());
        records.append(std::move(drill));
    }
    if (ids.isEmpty()) {
        return records;
    }
    // Ids are the database's own integers.
    if (!query.exec(QStringLiteral("SELECT drill_id, question FROM missed WHERE drill_id IN (%1)"
                                   " ORDER BY drill_id, position")
                        .arg(ids.join(QLatin1Char(','))))) {
        readFailed(failure(query));
    }
    while (query.next()) {
        records[byId.value(query.value(0).toLongLong())].missed.append(query.value(1).toString());
    }
    return records;
}

Drills SqliteHistory::drills() {
    Drills result;
    if (QString reason = open(); !reason.isEmpty()) {
        result.error = reason;
        return result;
    }
    result.records = page(QString(), 0, -1);
    return result;
}

QList<DayRate> SqliteHistory::dailyRates(const QString& wordFile) {
    QList<DayRate> days;
    if (const QString reason = open(); !reason.isEmpty()) {
        readFailed(reason);
        return days;
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT day, SUM(right_answers), SUM(asked) FROM drills"
                                 " WHERE again = 0 AND asked > 0 %1 GROUP BY day ORDER BY day")
                      .arg(wordFile.isEmpty() ? QString() : QStringLiteral("AND word_file = ?")));
    if (!wordFile.isEmpty()) {
        query.addBindValue(wordFile);
    }
    if (!query.exec()) {
        readFailed(failure(query));
    }
    while (query.next()) {
        days.append({QDate::fromString(query.value(0).toString(), Qt::ISODate),
                     rateOf(query.value(1).toLongLong(), query.value(2).toLongLong())});
    }
    return days;
}

// select has a %1 for the condition on the word file (named by fileColumn) and ends with a
// limit; it gives a text and a count per row.
template <typename Count>
QList<Count> SqliteHistory::counted(const QString& select, const QString& fileColumn,
                                    const QString& wordFile, qsizetype limit) {
    QList<Count> counts;
    if (const QString reason = open(); !reason.isEmpty()) {
        readFailed(reason);
        return counts;
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(select.arg(wordFile.isEmpty() ? QString()
                                                : QStringLiteral("WHERE %1 = ?").arg(fileColumn)));
    if (!wordFile.isEmpty()) {
        query.addBindValue(wordFile);
    }
    query.addBindValue(static_cast<qint64>(limit));
    if (!query.exec()) {
        readFailed(failure(query));
    }
    while (query.next()) {
        counts.append({query.value(0).toString(), query.value(1).toInt()});
    }
    return counts;
}

QList<MissCount> SqliteHistory::mostMissed(const QString& wordFile, qsizetype limit) {
    return counted<MissCount>(QStringLiteral("SELECT question, SUM(drills) AS n FROM miss_counts"
                                             " %1 GROUP BY question ORDER BY n DESC, question"
                                             " LIMIT ?"),
                              QStringLiteral("word_file"), wordFile, limit);
}

QList<SlipCount> SqliteHistory::mostFrequentSlips(const QString& wordFile, qsizetype limit) {
    return counted<SlipCount>(QStringLiteral("SELECT s.kind, SUM(s.count) AS n FROM slips s"
                                             " JOIN drills d ON d.id = s.drill_id %1"
                                             " GROUP BY s.kind ORDER BY n DESC, s.kind LIMIT ?"),
                              QStringLiteral("d.word_file"), wordFile, limit);
}

QStringList SqliteHistory::takeNotices() {
    return std::exchange(notices_, {});
}

}  // namespace drill::history

std::unique_ptr<review::ReviewStore> review::openUsersReviewsReadOnly() {
    using drill::history::SqliteHistory;
    return std::make_unique<SqliteHistory>(
        SqliteHistory::defaultPath(), QTimeZone::systemTimeZone(), SqliteHistory::Access::ReadOnly);
}
