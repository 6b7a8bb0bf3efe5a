#pragma once

#include "db/Backend.h"
#include "db/MessageSink.h"

#include <sqlite3.h>

namespace korvan::detail::sqlite {

// The embedded file back end: one SQLite database file opened read-write
// (never created), in WAL mode with synchronous=NORMAL so that writes outside
// a transaction survive the process being killed without one disk flush per
// row.
class SqliteConnection : public ConnectionBackend {
  public:
    SqliteConnection(const std::string& path, DbConnection& owner);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    bool isOpen() const override { return db_ != nullptr; }
    void beginTrans() override;
    void commitTrans() override;
    void rollback() override;
    bool inTransaction() const override;
    std::string versionText() const override;
    std::optional<std::vector<CatalogColumn>> describeTable(const std::string& table) override;

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
    void transactionStep(const char* sql, const char* message);

    DbConnection& owner_;
    sqlite3* db_ = nullptr;
};

} // namespace korvan::detail::sqlite
