#pragma once

// A copy's source on the program's own connection: a SQLite file (opened
// read-only) or an ODBC data source. Tables are read with one unordered
// SELECT each, through the select cursor in blocks.

#include "transfer/CopySource.h"

namespace korvan {
class DbConnection;
}

namespace korvan::transfer {

class DatabaseSource : public CopySource {
  public:
    // `connection` is open and outlives the source.
    DatabaseSource(DbConnection& connection, std::string name);

    const std::string& name() const override { return name_; }
    bool fileBackEnd() const override;
    std::optional<std::vector<CatalogColumn>> describe(const std::string& table) override;
    long countRows(const std::string& table, std::string& error) override;
    std::unique_ptr<TableReader> read(const std::string& table, const std::vector<ReadColumn>& columns,
                                      std::string& error) override;

  private:
    DbConnection& connection_;
    std::string name_;
};

} // namespace korvan::transfer
