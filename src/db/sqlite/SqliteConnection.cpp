#include "db/sqlite/SqliteConnection.h"

#include "db/DbConnection.h"
#include "db/sqlite/SqliteChangeCursors.h"
#include "db/sqlite/SqliteSelectCursor.h"
#include "db/sqlite/SqliteStatement.h"
#include "db/sqlite/SqliteTableCursor.h"

namespace korvan::detail {

std::unique_ptr<ConnectionBackend> openSqliteBackend(const std::string& path, DbConnection& owner)
{
    return std::make_unique<sqlite::SqliteConnection>(path, owner);
}

} // namespace korvan::detail

namespace korvan::detail::sqlite {

namespace {

constexpr int kBusyTimeoutMs = 5000;

// Opens the file and checks that it is a usable database; "" or the reason.
std::string openFile(const std::string& path, sqlite3*& db)
{
    // An empty name would open a private temporary database.
    if (path.empty())
        return sqlite3_errstr(SQLITE_CANTOPEN);
    // The connection is used by one thread only: no mutex around every call.
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        return errorText(db);
    if (sqlite3_db_readonly(db, "main") == 1)
        return sqlite3_errstr(SQLITE_READONLY);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Reading the catalogue fails on a file that is not a database.
    Statement check;
    if (!prepare(db, "SELECT count(*) FROM sqlite_master", check) || sqlite3_step(check.get()) != SQLITE_ROW)
        return errorText(db);
    check.reset();
    // A committed transaction survives a killed process with WAL and
    // synchronous=NORMAL, and costs no disk flush of its own.
    Statement journal;
    if (!prepare(db, "PRAGMA journal_mode=WAL", journal) || sqlite3_step(journal.get()) != SQLITE_ROW)
        return errorText(db);
    journal.reset();
    if (!execute(db, "PRAGMA synchronous=NORMAL"))
        return errorText(db);
    // Bulk writes commit one block at a time: checkpointing every 10,000
    // pages (about 40 MB) instead of every 1,000 saves most of the copying
    // and disk flushes; the log is cut back to 64 MB afterwards.
    if (!execute(db, "PRAGMA wal_autocheckpoint=10000") || !execute(db, "PRAGMA journal_size_limit=67108864"))
        return errorText(db);
    return {};
}

} // namespace

SqliteConnection::SqliteConnection(const std::string& path, DbConnection& owner) : owner_(owner)
{
    const std::string failure = openFile(path, db_);
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

void SqliteConnection::transactionStep(const char* sql, const char* message)
{
    if (!execute(db_, sql))
        show(message + errorText(db_));
}

void SqliteConnection::beginTrans()
{
    transactionStep("BEGIN", "Errore in fase di avvio della transazione\n\n");
}

void SqliteConnection::commitTrans()
{
    transactionStep("COMMIT", "Errore in fase di convalida della transazione\n\n");
}

void SqliteConnection::rollback()
{
    transactionStep("ROLLBACK", "Errore in fase di ripristino della transazione\n\n");
}

bool SqliteConnection::inTransaction() const
{
    return db_ && sqlite3_get_autocommit(db_) == 0;
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
