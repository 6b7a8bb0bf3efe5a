#pragma once

#include "db/Backend.h"
#include "db/MessageSink.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/OdbcStatement.h"

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

namespace korvan::detail::odbc {

// Which database is behind the data source, for the few choices that
// depend on it (how blocks of rows are inserted and how many parameters a
// statement may carry).
enum class DbmsKind { PostgreSql, Sqlite, Access, Other };

// Writes a cursor holds back for the transaction it works in (batches of an
// all-or-nothing transaction): they are stored before any other statement
// runs on the connection and before the commit, and forgotten when the
// transaction is undone.
class PendingWrites {
  public:
    virtual ~PendingWrites() = default;
    // Stores what is held back; false when that failed (shown).
    virtual bool sendPending() = 0;
    virtual void discardPending() = 0;
};

// An ODBC data source reached through the driver manager: the environment
// and the connection, the transactions, and the cursors made on it.
class OdbcConnection : public ConnectionBackend {
  public:
    OdbcConnection(const std::string& dsn, DbConnection& owner, std::string& driverName, SqlDialect& dialect);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    bool isOpen() const override { return open_; }
    bool supportsTransactions() const override { return transactions_; }
    // SQLite through its driver waits for the writer lock as long as the
    // data source's Timeout says, whatever `waitMilliseconds` is.
    LockAttempt beginLocked(const LockScope& scope, int waitMilliseconds, LockConflict& conflict) override;
    LockAttempt addLock(const LockScope& scope, int waitMilliseconds, LockConflict& conflict) override;
    bool commitTrans() override;
    bool rollback() override;
    bool savepointStep(const std::string& sql) override;
    bool executeStatement(const std::string& sql, const std::string& failureText) override;
    bool executeCounting(const std::string& sql, const std::string& failureText, long& rows) override;
    bool inTransaction() const override { return inTransaction_; }
    std::string versionText() const override { return {}; }
    std::optional<std::vector<CatalogColumn>> describeTable(const std::string& table) override;
    void describeFailure(DbError& error) override;

    std::unique_ptr<TableCursorBackend> openTable(const std::string& tableName, bool bulkInsert,
                                                  int blobBytes) override;
    std::unique_ptr<SelectCursorBackend> newSelect() override;
    std::unique_ptr<DeleteCursorBackend> newDelete() override;
    std::unique_ptr<UpdateCursorBackend> newUpdate() override;

    SQLHDBC handle() const { return dbc_; }
    // What the catalogue says of a table, asked once while no statement of
    // this connection may have changed the tables (see CatalogCache).
    std::vector<ColumnInfo> tableColumns(const std::string& table) { return catalog_.columns(dbc_, table); }
    std::vector<std::string> primaryKeyColumns(const std::string& table) { return catalog_.primaryKey(dbc_, table); }
    DbConnection& owner() const { return owner_; }
    DbmsKind dbms() const { return dbms_; }
    // The most parameter markers one statement may carry on this database.
    int parameterLimit() const;
    // The driver says the connection is gone (a stopped server, a broken
    // protocol): nothing more can be done on it.
    bool connectionDead() const;
    // The column name in the driver's identifier quotes.
    std::string quoteIdentifier(const std::string& name) const override;
    // A table name as statements write it: a plain word as it is (so that
    // PostgreSQL folds it as the program's SQL expects), any other name
    // ("Order Details", "Umsätze") quoted.
    std::string tableReference(const std::string& table) const;
    // Runs a statement without a result; the driver's text in `error`, the
    // rows it changed in `rows`.
    bool execute(const std::string& sql, std::string* error = nullptr, long* rows = nullptr);
    // The SQLSTATE of the last execute that failed ("" after a success).
    const std::string& lastExecuteState() const { return lastExecuteState_; }
    void show(const std::string& text, MessageIcon icon = MessageIcon::Error) const;

    // Transactions begun so far: tells held-back writes whether theirs is
    // still the one open.
    long transactionCount() const { return transactionCount_; }
    void addPendingWrites(PendingWrites* writes);
    void removePendingWrites(PendingWrites* writes);
    // Stores every write held back; false when one failed (shown).
    bool sendPendingWrites();

    // Makes the statements that follow stand or fall together: a savepoint
    // inside the caller's transaction, else (when `several` statements
    // follow) a transaction of their own. endGroup keeps or undoes them.
    enum class Group { None, Savepoint, OwnTransaction };
    Group beginGroup(bool several);
    void endGroup(Group group, bool keep);

  private:
    bool connect(const std::string& dsn, std::string& driverName);
    bool endTransaction(bool commit, const char* message);
    // SQLite through its driver: the transaction is run with SQL statements
    // (BEGIN IMMEDIATE, COMMIT, ROLLBACK), the driver staying in autocommit
    // mode, because the driver's own transactions begin deferred.
    bool sqlTransactions() const { return dbms_ == DbmsKind::Sqlite; }

    DbConnection& owner_;
    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool open_ = false;
    bool inTransaction_ = false;
    bool transactions_ = true;
    std::string quote_ = "\"";
    DbmsKind dbms_ = DbmsKind::Other;
    std::string lastExecuteState_; // SQLSTATE of the last failed execute
    long transactionCount_ = 0;
    std::vector<PendingWrites*> pending_;
    bool sendingPending_ = false;
    CatalogCache catalog_;
};

} // namespace korvan::detail::odbc
