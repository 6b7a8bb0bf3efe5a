#pragma once

#include "db/Backend.h"
#include "db/MessageSink.h"

#include <sqlite3.h>

namespace korvan::detail::sqlite {

// The embedded file back end: one SQLite database file, never created and
// opened as it is. Its journal mode is the file's own (a runs database on a
// network share cannot use WAL): opening writes nothing, so a file that is
// not a runs database is refused untouched. Transactions begin IMMEDIATE,
// taking the file's one writer lock at once whatever their scope, so that
// two writers run one after the other.
class SqliteConnection : public ConnectionBackend {
  public:
    SqliteConnection(const std::string& path, SqliteAccess access, DbConnection& owner);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    bool isOpen() const override { return db_ != nullptr; }
    bool isReadOnly() const override;
    LockAttempt beginLocked(const LockScope& scope, int waitMilliseconds, LockConflict& conflict) override;
    bool commitTrans() override;
    bool rollback() override;
    bool savepointStep(const std::string& sql) override;
    bool executeStatement(const std::string& sql, const std::string& failureText) override;
    bool executeCounting(const std::string& sql, const std::string& failureText, long& rows) override;
    bool inTransaction() const override;
    std::string versionText() const override;
    std::string quoteIdentifier(const std::string& name) const override;
    std::optional<std::vector<CatalogColumn>> describeTable(const std::string& table) override;
    void describeFailure(DbError& error) override;

    std::unique_ptr<TableCursorBackend> openTable(const std::string& tableName, bool bulkInsert,
                                                  int blobBytes) override;
    std::unique_ptr<SelectCursorBackend> newSelect() override;
    std::unique_ptr<DeleteCursorBackend> newDelete() override;
    std::unique_ptr<UpdateCursorBackend> newUpdate() override;

    sqlite3* handle() const { return db_; }
    DbConnection& owner() const { return owner_; }
    // Shows a message through the connection's sink.
    void show(const std::string& text, MessageIcon icon = MessageIcon::Error) const;

  private:
    bool transactionStep(const char* sql, const char* message);

    DbConnection& owner_;
    sqlite3* db_ = nullptr;
};

} // namespace korvan::detail::sqlite
