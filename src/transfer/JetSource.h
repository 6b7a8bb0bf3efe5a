#pragma once

// A copy's source in a JET file (*.mdb of Access 97 to 2003, *.accdb of
// Access 2007 on), read through MDB Tools' libmdb and never written. Before
// libmdb reads anything the file is checked: not empty, a JET or ACE file by
// its first page, a whole number of pages long, and every page a table
// lists within the file, so that a truncated or foreign file is refused with
// a clear message instead of being read as garbage. Values come raw from the
// rows (numbers, money, JET dates as their stored doubles) and texts as
// libmdb decodes them to UTF-8.

#include "transfer/CopySource.h"

#include <memory>

namespace korvan::transfer {

class JetSource : public CopySource {
  public:
    // Opens the file; "" or the reason it cannot be read.
    static std::unique_ptr<JetSource> open(const std::string& path, std::string& error);
    ~JetSource() override;
    JetSource(const JetSource&) = delete;
    JetSource& operator=(const JetSource&) = delete;

    const std::string& name() const override { return path_; }
    bool fileBackEnd() const override { return false; }
    // The user tables of the file, in its catalogue's order.
    std::vector<std::string> tableNames() const;
    // "JET3", "JET4" or "ACE".
    const std::string& version() const { return version_; }
    std::optional<std::vector<CatalogColumn>> describe(const std::string& table) override;
    long countRows(const std::string& table, std::string& error) override;
    std::unique_ptr<TableReader> read(const std::string& table, const std::vector<ReadColumn>& columns,
                                      std::string& error) override;

    struct File; // libmdb's handle and what the checks found

  private:
    JetSource(std::unique_ptr<File> file, std::string path, std::string version);

    std::unique_ptr<File> file_;
    std::string path_;
    std::string version_;
};

// The first look at a file that should be a JET file: "" when its first
// page, length and page size are those of one, otherwise why not (empty, not
// a JET or ACE file, truncated). `pageSize` gets the file's page size.
std::string jetFileProblem(const std::string& path, int& pageSize);

} // namespace korvan::transfer
