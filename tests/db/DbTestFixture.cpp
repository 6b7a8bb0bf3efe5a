#include "db/DbTestFixture.h"

namespace korvan::test {

std::string backendName(const ::testing::TestParamInfo<BackendKind>& info)
{
    switch (info.param) {
    case BackendKind::SqliteFile:
        return "SqliteFile";
    case BackendKind::PostgresOdbc:
        return "PostgresOdbc";
    case BackendKind::SqliteOdbc:
        return "SqliteOdbc";
    }
    return "Unknown";
}

void PrintTo(BackendKind kind, std::ostream* out)
{
    *out << backendName(::testing::TestParamInfo<BackendKind>(kind, 0));
}

::testing::internal::ParamGenerator<BackendKind> allBackends()
{
    return ::testing::Values(BackendKind::SqliteFile, BackendKind::PostgresOdbc, BackendKind::SqliteOdbc);
}

void DbLayerFixture::SetUp()
{
    std::string dsn;
    if (GetParam() == BackendKind::SqliteFile) {
        sqlitePath_ = dir_.file("runs.sqlite");
        raw_.emplace(tools::RawDatabase::sqliteFile(sqlitePath_));
    } else {
        dsn = GetParam() == BackendKind::PostgresOdbc ? postgresDsn() : sqliteOdbcDsn();
        if (dsn.empty()) {
            if (odbcRequired())
                FAIL() << "the ODBC data source of this back end is not configured";
            GTEST_SKIP() << "no ODBC data source configured for this back end";
        }
        raw_.emplace(tools::RawDatabase::odbc(dsn));
    }
    ASSERT_TRUE(raw_->ok()) << raw_->error();
    std::string error;
    ASSERT_TRUE(tools::createTables(*raw_, true, error)) << error;
    openConnection(DbConnection::kDefaultRowsetSizeOrdinary);
}

void DbLayerFixture::TearDown()
{
    connection_.reset();
}

void DbLayerFixture::openConnection(int rowsetSizeOrdinary)
{
    connection_.reset();
    if (GetParam() == BackendKind::SqliteFile) {
        connection_ = DbConnection::openSqlite(sqlitePath_, rowsetSizeOrdinary, 1, sink);
    } else {
        std::string driverName;
        const std::string dsn = GetParam() == BackendKind::PostgresOdbc ? postgresDsn() : sqliteOdbcDsn();
        connection_ = DbConnection::openOdbc(dsn, driverName, rowsetSizeOrdinary, 1, sink);
    }
    ASSERT_TRUE(connection_->IsOpen()) << sink.lastText();
    ASSERT_TRUE(sink.empty()) << sink.lastText();
}

void DbLayerFixture::reopen(int rowsetSizeOrdinary)
{
    openConnection(rowsetSizeOrdinary);
}

std::string DbLayerFixture::rawText(const std::string& sql)
{
    return raw_->queryText(sql);
}

long DbLayerFixture::rawCount(const std::string& table, const std::string& where)
{
    const std::string text = rawText("SELECT COUNT(*) FROM " + table + (where.empty() ? "" : " WHERE " + where));
    return text.empty() ? -1 : std::stol(text);
}

bool DbLayerFixture::addConkal(TableCursor& cursor, const ConkalRow& row)
{
    return cursor.AddNew() && cursor.SetField("azienda", std::to_string(row.azienda)) &&
           cursor.SetField("ID", std::to_string(row.id)) && cursor.SetField("data", row.data) &&
           cursor.SetField("ente", row.ente) && cursor.SetField("minima", row.minima) &&
           cursor.SetField("euro", row.euro) && cursor.Update();
}

void DbLayerFixture::rawInsertConkal(const ConkalRow& row, const std::string& isoDate)
{
    std::string euro = row.euro.empty() ? "NULL" : row.euro;
    for (char& c : euro)
        if (c == ',')
            c = '.';
    std::string sql = "INSERT INTO conkal (azienda, " + schema::physicalColumnName("ID", raw_->dialect()) +
                      ", data, ente, minima, euro) VALUES (" + std::to_string(row.azienda) + ", " +
                      std::to_string(row.id) + ", '" + isoDate + "', " + row.ente + ", " + row.minima + ", " + euro +
                      ")";
    ASSERT_TRUE(raw_->exec(sql)) << raw_->error() << "\n" << sql;
}

} // namespace korvan::test
