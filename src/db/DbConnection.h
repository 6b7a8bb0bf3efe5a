#pragma once

#include "db/Locks.h"
#include "db/MessageSink.h"
#include "db/SqlDialect.h"

#include <memory>
#include <string>

namespace korvan {

namespace detail {
class ConnectionBackend;
}

// Closes the message of the failure that ended a connection.
inline constexpr const char* kConnectionLostNote =
    "La connessione al database si è interrotta: occorre connettersi di nuovo.";

// The last failure the layer reported on a connection, for callers that must
// decide what to do next (go on, give up the transaction, reconnect).
struct DbError {
    std::string text;            // the message shown: the Italian step, then the back end's text
    std::string sqlState;        // the ODBC SQLSTATE; "" on the file back end or when none was given
    int nativeCode = 0;          // the driver's native code; SQLite's extended result code
    bool connectionLost = false; // the failure ended the connection: nothing more can be done on it
};

// How the file back end opens its file.
enum class SqliteAccess {
    ReadWrite,           // fails when the file cannot be written
    ReadOnly,            // never writes: for commands that only read
    ReadWriteOrReadOnly, // read-write when possible, else read-only (writes then refused)
    CreateNew,           // a new database file, created now: the path must not exist yet
};

// The program's one handle on the runs database, over one of two back ends:
// a SQLite file (the embedded file back end) or an ODBC data source. It
// carries the two rowset sizes used for block transfers, the SQL dialect and
// the three transaction operations. Opening always yields an object;
// IsOpen() tells whether it worked, and a failure has already been shown
// through the message sink.
//
// Every failure the layer reports is counted and kept (FailureCount,
// LastError). A failure that ends the connection closes it for good: the
// connection is no longer open and the failures that follow from it are not
// shown again.
class DbConnection {
  public:
    static constexpr int kDefaultRowsetSizeOrdinary = 25;
    static constexpr int kDefaultRowsetSizeBlob = 1;
    // How long BeginTrans waits for a lock held elsewhere when the
    // connection has no LockWaiter.
    static constexpr int kDefaultLockWaitMilliseconds = 30000;

    // The embedded file back end on a SQLite database file, opened as it
    // is: its journal mode is kept and nothing is written by opening it.
    static std::unique_ptr<DbConnection> openSqlite(const std::string& path, int rowsetSizeOrdinary, int rowsetSizeBlob,
                                                    MessageSink& sink,
                                                    SqliteAccess access = SqliteAccess::ReadWriteOrReadOnly);
    // An ODBC data source. `driverNameOut` is set to "" and then to the
    // driver name when the DSN is found among the system's data sources.
    static std::unique_ptr<DbConnection> openOdbc(const std::string& dsn, std::string& driverNameOut,
                                                  int rowsetSizeOrdinary, int rowsetSizeBlob, MessageSink& sink);

    ~DbConnection();
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    bool IsOpen() const;
    bool IsSqlite() const { return isSqlite_; }
    bool IsOdbc() const { return !isSqlite_; }
    // Opened read-only (the file back end): every transaction is refused.
    bool IsReadOnly() const;

    // ODBC: the DSN's driver description, or "Access" for a Microsoft Access
    // driver; empty when the DSN was not found or on the file back end.
    const std::string& DriverName() const { return driverName_; }
    const std::string& SqlitePath() const { return sqlitePath_; }
    const std::string& Dsn() const { return dsn_; }
    // The SQLite library version of the file back end (the about box).
    std::string SqliteVersion() const;

    int RowsetSizeOrdinary() const { return rowsetSizeOrdinary_; }
    int RowsetSizeBlob() const { return rowsetSizeBlob_; }

    // False when the back end cannot do transactions: BeginTrans then does
    // nothing and returns false without a message.
    bool SupportsTransactions() const;
    // Begins a transaction that writes: it first takes the lock of what it
    // changes (db/Locks.h; without a scope, the whole database). While the
    // lock is held elsewhere it waits in short steps as the LockWaiter
    // decides, or without one for at most LockWaitMilliseconds; a wait
    // that ends without the lock shows lockConflictMessage. A failure (a
    // read-only database, the lock refused, a transaction already open) is
    // shown and false returned. Commit and rollback report their failures
    // the same way, and release the locks. Each does nothing and returns
    // false when the connection is not open.
    bool BeginTrans(const LockScope& scope = LockScope::database());
    // Inside a transaction: takes the lock of one more scope, waiting as
    // BeginTrans does; a refusal leaves the transaction as it was.
    bool AddLock(const LockScope& scope);
    bool CommitTrans();
    bool Rollback();
    bool InTransaction() const;
    // Runs one statement that returns no rows (a CREATE TABLE of the tools
    // that build a new database). A failure is shown as `stepText`, a blank
    // line and the back end's text, and false returned.
    bool ExecuteStatement(const std::string& sql, const std::string& stepText);

    // A table or column name in the database's identifier quotes, for
    // statements on names that are not plain words ("Order Details").
    std::string QuoteIdentifier(const std::string& name) const;

    int LockWaitMilliseconds() const { return lockWaitMilliseconds_; }
    void SetLockWaitMilliseconds(int milliseconds) { lockWaitMilliseconds_ = milliseconds < 0 ? 0 : milliseconds; }
    // Who decides how long to wait for a lock (not owned; null: the wait
    // above, without asking).
    void SetLockWaiter(LockWaiter* waiter) { lockWaiter_ = waiter; }

    // Failures (error and warning messages) the layer has reported so far.
    long FailureCount() const { return failureCount_; }
    const DbError& LastError() const { return lastError_; }
    // A failure ended the connection (a lost server, a broken protocol).
    bool ConnectionLost() const { return connectionLost_; }

    const SqlDialect& Dialect() const { return dialect_; }
    // Where the layer's messages go: the caller's sink, through the
    // connection's count of failures.
    MessageSink& Sink() const;

    // For the cursors of this layer.
    detail::ConnectionBackend* backend() const { return backend_.get(); }
    // True inside an all-or-nothing transaction (TransactionGuard): a failed
    // block write is then not retried row by row, since the whole
    // transaction is going to be undone.
    bool InAllOrNothingTransaction() const { return allOrNothing_; }

  private:
    friend class TransactionGuard;
    class Reporter;

    DbConnection(bool isSqlite, int rowsetSizeOrdinary, int rowsetSizeBlob, MessageSink& sink);
    void noteFailure(const std::string& text);
    // BeginTrans and AddLock: tries until the lock is taken or the wait ends.
    bool takeLock(const LockScope& scope, bool inTransaction);
    // TransactionGuard: the first failure from now on is shown with a note
    // that nothing was stored, later ones are not shown.
    void beginAllOrNothing();
    void endAllOrNothing();

    bool isSqlite_;
    int rowsetSizeOrdinary_;
    int rowsetSizeBlob_;
    int lockWaitMilliseconds_ = kDefaultLockWaitMilliseconds;
    LockWaiter* lockWaiter_ = nullptr;
    MessageSink& sink_;
    std::unique_ptr<Reporter> reporter_;
    std::string sqlitePath_;
    std::string dsn_;
    std::string driverName_;
    SqlDialect dialect_;
    std::unique_ptr<detail::ConnectionBackend> backend_;

    long failureCount_ = 0;
    DbError lastError_;
    bool connectionLost_ = false;
    bool allOrNothing_ = false;
    bool allOrNothingFailed_ = false;
};

} // namespace korvan
