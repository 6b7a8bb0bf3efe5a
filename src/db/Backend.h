#pragma once

// The interface each back end (db/sqlite, db/odbc) implements behind the
// public connection and cursor classes. The public classes keep the clause
// texts and assemble statements; back ends run them and convert values by
// their own rules. Every failure is shown through the connection's sink.

#include "db/Catalog.h"
#include "db/DbConnection.h"
#include "db/FieldValue.h"
#include "db/Locks.h"
#include "db/SelectCursor.h"
#include "db/SqlDialect.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvan::detail {

// The messages of the transaction steps, the back end's text following.
inline constexpr const char* kBeginTransFailure = "Errore in fase di avvio della transazione\n\n";
inline constexpr const char* kCommitTransFailure = "Errore in fase di convalida della transazione\n\n";
inline constexpr const char* kRollbackFailure = "Errore in fase di ripristino della transazione\n\n";
inline constexpr const char* kSavepointFailure = "Errore in fase di registrazione delle modifiche\n\n";

// What one try at taking a transaction's lock gave.
enum class LockAttempt {
    Taken,  // the lock is held (and the transaction begun)
    Busy,   // held elsewhere: nothing begun, nothing shown, the conflict filled in
    Failed, // the back end failed (shown)
};

class TableCursorBackend {
  public:
    virtual ~TableCursorBackend() = default;
    virtual bool isOpen() const = 0;
    virtual bool selectIndex(const std::string& indexName) = 0;
    virtual bool seekKey(const std::vector<std::string>& keyTexts) = 0;
    virtual bool findWhere(const std::string& whereText) = 0;
    virtual bool edit() = 0;
    virtual bool addNew() = 0;
    virtual bool update() = 0;
    virtual bool setField(const std::string& columnName, std::string& text) = 0;
    virtual bool getField(const std::string& columnName, std::string& textOut) = 0;
    // Stores `value` as it is in the row being filled; false (after the
    // "Errore campo" message) when the column cannot hold it.
    virtual bool setValue(const std::string& columnName, const FieldValue& value) = 0;
    // A whole number or a date, taken as setField takes its text; a back end
    // that can store it without the text overrides these.
    virtual bool setWholeNumber(const std::string& columnName, long long value)
    {
        std::string text = std::to_string(value);
        return setField(columnName, text);
    }
    virtual bool setDate(const std::string& columnName, const CivilDate& date)
    {
        std::string text = formatDateText(date);
        return setField(columnName, text);
    }
    virtual bool flush() = 0;
    virtual int rowsWritten() const = 0;
    virtual int rowsRejected() const = 0;
    virtual void setReportRejectedRows(bool report) = 0;
};

class SelectCursorBackend {
  public:
    virtual ~SelectCursorBackend() = default;
    // Runs `sql`; true when a row is current. Errors shown, false.
    virtual bool execute(const std::string& sql, const std::vector<SelectItem>& items, int blobBytes) = 0;
    virtual bool moveNext() = 0;
    virtual bool moveFirst() = 0;
    virtual bool getShort(int index, int& value) = 0;
    virtual bool getLong(int index, int& value) = 0;
    virtual bool getDouble(int index, double& value) = 0;
    virtual bool getText(int index, std::string& text) = 0;
    virtual bool getFieldText(const std::string& name, std::string& text) = 0;
    // The value of item `index` of the current row as stored; false when it
    // cannot be read whole (no current row, a text beyond its buffer).
    virtual bool getValue(int index, FieldValue& value) = 0;
};

class DeleteCursorBackend {
  public:
    virtual ~DeleteCursorBackend() = default;
    virtual bool open(const std::string& sql, const std::string& column, const std::string& table) = 0;
    // Deletes the current block; `deleted` gets the rows removed.
    virtual bool deleteBlock(int& deleted) = 0;
    virtual bool moveNext() = 0;
    virtual bool moveFirst() = 0;
};

class UpdateCursorBackend {
  public:
    virtual ~UpdateCursorBackend() = default;
    virtual bool open(const std::string& sql, const std::vector<SelectItem>& items) = 0;
    virtual bool moveNext() = 0;
    // The ODBC rule: Edit always returns true, a failure clears the row.
    virtual bool edit(bool& hasRow) = 0;
    virtual bool setField(const std::string& columnName, const std::string& text) = 0;
    virtual bool update() = 0;
    // Before open: the items whose values the walk reads with getValue.
    virtual void keepValuesOf(const std::vector<int>& items) = 0;
    // The stored value of a kept item on the current row; false without one.
    virtual bool getValue(int index, FieldValue& value) = 0;
};

class ConnectionBackend {
  public:
    virtual ~ConnectionBackend() = default;
    virtual bool isOpen() const = 0;
    virtual bool isReadOnly() const { return false; }
    virtual bool supportsTransactions() const { return true; }
    // Begins a writing transaction holding the lock of `scope`, waiting
    // for it at most `waitMilliseconds` (0: not at all). Busy leaves no
    // transaction and tells who holds the lock where the back end knows.
    virtual LockAttempt beginLocked(const LockScope& scope, int waitMilliseconds, LockConflict& conflict) = 0;
    // Inside the transaction: the lock of one more scope (the run browser
    // moved to another contract). Busy leaves the transaction as it was.
    virtual LockAttempt addLock(const LockScope&, int, LockConflict&) { return LockAttempt::Taken; }
    virtual bool commitTrans() = 0;
    virtual bool rollback() = 0;
    virtual bool inTransaction() const = 0;
    // Inside a transaction: runs "SAVEPOINT x", "RELEASE SAVEPOINT x" or
    // "ROLLBACK TO SAVEPOINT x"; a failure is shown after kSavepointFailure.
    virtual bool savepointStep(const std::string& sql) = 0;
    // Runs one statement that returns no rows; a failure is shown after
    // `failureText` (which ends with its blank line).
    virtual bool executeStatement(const std::string& sql, const std::string& failureText) = 0;
    // The same for an INSERT, UPDATE or DELETE; `rows` gets the rows it
    // changed.
    virtual bool executeCounting(const std::string& sql, const std::string& failureText, long& rows) = 0;
    virtual std::string versionText() const = 0;
    // A table or column name in the database's identifier quotes.
    virtual std::string quoteIdentifier(const std::string& name) const = 0;
    // The columns of a table; nothing when there is no such table.
    virtual std::optional<std::vector<CatalogColumn>> describeTable(const std::string& table) = 0;
    // Completes the record of a failure just shown (`error.text` is set):
    // the back end's codes, and whether the connection survived it.
    virtual void describeFailure(DbError& error) = 0;

    virtual std::unique_ptr<TableCursorBackend> openTable(const std::string& tableName, bool bulkInsert,
                                                          int blobBytes) = 0;
    virtual std::unique_ptr<SelectCursorBackend> newSelect() = 0;
    virtual std::unique_ptr<DeleteCursorBackend> newDelete() = 0;
    virtual std::unique_ptr<UpdateCursorBackend> newUpdate() = 0;
};

// Back end factories, each defined in its own folder.
std::unique_ptr<ConnectionBackend> openSqliteBackend(const std::string& path, SqliteAccess access, DbConnection& owner);
// Sets `driverName` ("Access", the description, or "" when not found) and
// `dialect` from the driver actually reached.
std::unique_ptr<ConnectionBackend> openOdbcBackend(const std::string& dsn, DbConnection& owner, std::string& driverName,
                                                   SqlDialect& dialect);

} // namespace korvan::detail
