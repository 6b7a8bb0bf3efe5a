#pragma once

// The database layer's tests run against every back end: the SQLite file,
// PostgreSQL through psqlODBC and SQLite through its ODBC driver. The fixture
// builds the tables with the schema tool (outside the layer), opens the
// connection under test with a recording message sink, and reads what the
// layer stored through the raw connection.

#include "db/ChangeCursors.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/TableCursor.h"
#include "support/BackendTest.h"
#include "support/RecordingMessageSink.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace korvan::test {

// One conkal row as texts, the way the program writes them.
struct ConkalRow {
    int azienda = 1;
    long id = 1;
    std::string data = "15/01/2004";
    std::string ente = "3";
    std::string minima = "1";
    std::string euro = "12,50";
};

class DbLayerFixture : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override;
    void TearDown() override;

    bool fileBackend() const { return GetParam() == Backend::SqliteFile; }
    // Reopens the connection under test with another ordinary rowset size.
    void reopen(int rowsetSizeOrdinary);

    DbConnection& db() { return *connection_; }
    tools::RawDatabase& raw() { return database_->raw(); }

    // Through the raw connection: the first column of the first row, and a
    // count.
    std::string rawText(const std::string& sql);
    long rawCount(const std::string& table, const std::string& where = "");

    // AddNew, SetField of every column, Update.
    bool addConkal(TableCursor& cursor, const ConkalRow& row);
    // Inserts rows through the raw connection (fixture data).
    void rawInsertConkal(const ConkalRow& row, const std::string& isoDate);

    RecordingMessageSink sink;

  private:
    void openConnection(int rowsetSizeOrdinary);

    TempDir dir_;
    std::optional<TestDatabase> database_;
    std::unique_ptr<DbConnection> connection_;
};

} // namespace korvan::test
