#include "db/sqlite/SqliteConnection.h"

#include "db/DbConnection.h"
#include "db/Values.h"
#include "db/sqlite/SqliteChangeCursors.h"
#include "db/sqlite/SqliteSelectCursor.h"
#include "db/sqlite/SqliteStatement.h"
#include "db/sqlite/SqliteTableCursor.h"

#include <filesystem>

namespace korvan::detail {

std::unique_ptr<ConnectionBackend> openSqliteBackend(const std::string& path, SqliteAccess access, DbConnection& owner)
{
    return std::make_unique<sqlite::SqliteConnection>(path, access, owner);
}

} // namespace korvan::detail

namespace korvan::detail::sqlite {

namespace {

// How long a statement waits for a lock another connection holds briefly
// (a commit, a checkpoint).
constexpr int kBusyTimeoutMs = 5000;

// A large page cache keeps an operation's changes in memory until it
// commits: spilling them to the file early would lock out every reader of
// the file for the rest of the operation.
constexpr const char* kCacheSize = "PRAGMA cache_size=-65536";

int openFlags(SqliteAccess access)
{
    // The connection is used by one thread only: no mutex around every call.
    const int mode = access == SqliteAccess::ReadOnly    ? SQLITE_OPEN_READONLY
                     : access == SqliteAccess::CreateNew ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                                         : SQLITE_OPEN_READWRITE;
    return mode | SQLITE_OPEN_NOMUTEX;
}

std::string queryText(sqlite3* db, const char* sql, bool& ok)
{
    Statement statement;
    ok = prepare(db, sql, statement) && sqlite3_step(statement.get()) == SQLITE_ROW;
    if (!ok)
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    return text ? text : "";
}

// The file as an immutable database: read without the locks and the shared
// memory a write-ahead log needs, for a file in a folder that cannot be
// written.
std::string immutableUri(const std::string& path)
{
    std::string uri = "file:";
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#')
            uri += formatText("%%%02X", static_cast<unsigned char>(c));
        else
            uri += c;
    }
    return uri + "?immutable=1";
}

// Opens the file and checks that it is a usable runs database, without
// writing to it; "" or the reason.
std::string openFile(const std::string& path, SqliteAccess access, sqlite3*& db)
{
    // An empty name would open a private temporary database.
    if (path.empty())
        return sqlite3_errstr(SQLITE_CANTOPEN);
    if (access == SqliteAccess::CreateNew) {
        std::error_code ignored;
        if (std::filesystem::exists(path, ignored))
            return "Il file esiste già: una nuova base dati si crea solo in un file nuovo.";
    }
    int rc = sqlite3_open_v2(path.c_str(), &db, openFlags(access), nullptr);
    if (rc != SQLITE_OK && access == SqliteAccess::ReadWriteOrReadOnly) {
        sqlite3_close(db);
        db = nullptr;
        rc = sqlite3_open_v2(path.c_str(), &db, openFlags(SqliteAccess::ReadOnly), nullptr);
    }
    if (rc != SQLITE_OK)
        return errorText(db);
    if ((access == SqliteAccess::ReadWrite || access == SqliteAccess::CreateNew) &&
        sqlite3_db_readonly(db, "main") == 1)
        return sqlite3_errstr(SQLITE_READONLY);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Reading the catalogue fails on a file that is not a database; a
    // database without tables (an empty file is one) holds no runs.
    bool ok = false;
    const char* const countTables = "SELECT count(*) FROM sqlite_master WHERE type = 'table'";
    std::string tables = queryText(db, countTables, ok);
    // A file with a write-ahead log is read through shared memory beside it,
    // which a read-only folder cannot hold: a connection that never writes
    // reads it as immutable.
    const int code = sqlite3_errcode(db);
    if (!ok && sqlite3_db_readonly(db, "main") == 1 && (code == SQLITE_READONLY || code == SQLITE_CANTOPEN)) {
        sqlite3_close(db);
        db = nullptr;
        if (sqlite3_open_v2(immutableUri(path).c_str(), &db, openFlags(SqliteAccess::ReadOnly) | SQLITE_OPEN_URI,
                            nullptr) != SQLITE_OK)
            return errorText(db);
        tables = queryText(db, countTables, ok);
    }
    if (!ok)
        return errorText(db);
    if (tables == "0" && access != SqliteAccess::CreateNew)
        return "Il file non contiene alcuna tabella: non è una base dati delle corse.";
    // Settings of this connection only; the file keeps its journal mode.
    // With a write-ahead log a commit that survives a killed process needs
    // no disk flush of its own; other modes keep the engine's full flushes.
    if (queryText(db, "PRAGMA journal_mode", ok) == "wal" && !execute(db, "PRAGMA synchronous=NORMAL"))
        return errorText(db);
    if (!execute(db, kCacheSize) || !execute(db, "PRAGMA wal_autocheckpoint=10000") ||
        !execute(db, "PRAGMA journal_size_limit=67108864"))
        return errorText(db);
    return {};
}

} // namespace

SqliteConnection::SqliteConnection(const std::string& path, SqliteAccess access, DbConnection& owner) : owner_(owner)
{
    const std::string failure = openFile(path, access, db_);
    if (failure.empty())
        return;
    show("Errore in fase di apertura del database\n\n" + failure);
    sqlite3_close(db_);
    db_ = nullptr;
}

SqliteConnection::~SqliteConnection()
{
    if (!db_)
        return;
    if (sqlite3_close(db_) != SQLITE_OK) {
        show("Errore in fase di sconnessione del data base\n\n" + errorText(db_));
        sqlite3_close_v2(db_);
    }
    db_ = nullptr;
}

void SqliteConnection::show(const std::string& text, MessageIcon icon) const
{
    owner_.Sink().showMessage(text, icon);
}

bool SqliteConnection::transactionStep(const char* sql, const char* message)
{
    if (execute(db_, sql))
        return true;
    show(message + errorText(db_));
    return false;
}

bool SqliteConnection::isReadOnly() const
{
    return db_ && sqlite3_db_readonly(db_, "main") == 1;
}

LockAttempt SqliteConnection::beginLocked(const LockScope& /*scope*/, int waitMilliseconds, LockConflict& /*conflict*/)
{
    // The writer lock is taken now, not at the first write: an operation
    // reads what it is going to change only once no other writer can change
    // it any more. The file cannot tell who holds it.
    sqlite3_busy_timeout(db_, waitMilliseconds);
    const bool begun = execute(db_, "BEGIN IMMEDIATE");
    const int code = sqlite3_errcode(db_);
    const std::string error = errorText(db_);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (begun)
        return LockAttempt::Taken;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return LockAttempt::Busy;
    show(kBeginTransFailure + error);
    return LockAttempt::Failed;
}

bool SqliteConnection::commitTrans()
{
    return transactionStep("COMMIT", kCommitTransFailure);
}

bool SqliteConnection::rollback()
{
    return transactionStep("ROLLBACK", kRollbackFailure);
}

bool SqliteConnection::savepointStep(const std::string& sql)
{
    return transactionStep(sql.c_str(), kSavepointFailure);
}

bool SqliteConnection::executeStatement(const std::string& sql, const std::string& failureText)
{
    if (execute(db_, sql.c_str()))
        return true;
    show(failureText + errorText(db_));
    return false;
}

bool SqliteConnection::executeCounting(const std::string& sql, const std::string& failureText, long& rows)
{
    rows = 0;
    if (!executeStatement(sql, failureText))
        return false;
    rows = static_cast<long>(sqlite3_changes64(db_));
    return true;
}

void SqliteConnection::describeFailure(DbError& error)
{
    error.nativeCode = db_ ? sqlite3_extended_errcode(db_) : 0;
}

bool SqliteConnection::inTransaction() const
{
    return db_ && sqlite3_get_autocommit(db_) == 0;
}

std::string SqliteConnection::quoteIdentifier(const std::string& name) const
{
    return sqlite::quoteIdentifier(name);
}

std::string SqliteConnection::versionText() const
{
    return std::string("SQLite ") + sqlite3_libversion();
}

std::unique_ptr<TableCursorBackend> SqliteConnection::openTable(const std::string& tableName, bool bulkInsert,
                                                                int /*blobBytes*/)
{
    return std::make_unique<SqliteTableCursor>(*this, tableName, bulkInsert);
}

std::unique_ptr<SelectCursorBackend> SqliteConnection::newSelect()
{
    return std::make_unique<SqliteSelectCursor>(*this);
}

std::unique_ptr<DeleteCursorBackend> SqliteConnection::newDelete()
{
    return std::make_unique<SqliteDeleteCursor>(*this);
}

std::unique_ptr<UpdateCursorBackend> SqliteConnection::newUpdate()
{
    return std::make_unique<SqliteUpdateCursor>(*this);
}

} // namespace korvan::detail::sqlite
