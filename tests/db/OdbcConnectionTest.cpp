// The ODBC back end's own behaviour on each ODBC data source: finding the
// data source, connection failures, statement time-out, unknown types.

#include "db/odbc/OdbcConnection.h"
#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "support/RecordingMessageSink.h"

#include <cstdlib>
#include <fstream>

namespace korvan::test {
namespace {

class OdbcConnectionCase : public DbLayerFixture {
  protected:
    std::string dsn() const { return GetParam() == Backend::PostgresOdbc ? postgresDsn() : sqliteOdbcDsn(); }
    detail::odbc::OdbcConnection& backend() { return dynamic_cast<detail::odbc::OdbcConnection&>(*db().backend()); }
};

TEST_P(OdbcConnectionCase, DriverNameIsTheDescriptionOfTheEnumeratedDataSource)
{
    std::string driverName = "stale";
    auto connection = DbConnection::openOdbc(dsn(), driverName, 25, 1, sink);
    ASSERT_TRUE(connection->IsOpen()) << sink.lastText();
    const std::string expected = GetParam() == Backend::PostgresOdbc ? "PostgreSQL Unicode" : "SQLite3";
    EXPECT_EQ(driverName, expected);
    EXPECT_EQ(connection->DriverName(), expected);
    EXPECT_EQ(connection->Dialect().kind(),
              GetParam() == Backend::PostgresOdbc ? SqlDialect::Kind::QuotedDigits : SqlDialect::Kind::Sqlite);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(OdbcConnectionCase, NameDifferingInLetterCaseIsNotFoundButStillTried)
{
    std::string upper = dsn();
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string driverName = "stale";
    auto connection = DbConnection::openOdbc(upper, driverName, 25, 1, sink);
    EXPECT_EQ(driverName, "");
    EXPECT_EQ(connection->DriverName(), "");
    // unixODBC looks data source names up ignoring case, so the attempt
    // reaches the same database, and the dialect still comes from it.
    ASSERT_TRUE(connection->IsOpen()) << sink.lastText();
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    EXPECT_EQ(connection->Dialect().kind(),
              GetParam() == Backend::PostgresOdbc ? SqlDialect::Kind::QuotedDigits : SqlDialect::Kind::Sqlite);
}

TEST_P(OdbcConnectionCase, EveryStatementHasTheQueryTimeOut)
{
    if (GetParam() == Backend::SqliteOdbc)
        GTEST_SKIP() << "the SQLite ODBC driver accepts the time-out and keeps none (its busy Timeout applies)";
    detail::odbc::Statement statement;
    ASSERT_TRUE(statement.allocate(backend().handle()));
    SQLULEN timeout = 0;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLGetStmtAttr(statement.get(), SQL_ATTR_QUERY_TIMEOUT, &timeout, 0, nullptr)));
    EXPECT_EQ(timeout, 360u);
}

// Bulk operations read every row of their cursors: PostgreSQL must plan them
// for all their rows, from the connection's first statement to its last.
TEST_P(OdbcConnectionCase, CursorsArePlannedForEveryRowThroughATransactionUndone)
{
    if (GetParam() == Backend::SqliteOdbc)
        GTEST_SKIP() << "SQLite plans every statement for all its rows";
    auto setting = [&] {
        detail::odbc::Statement statement;
        char text[32] = {};
        SQLLEN length = 0;
        if (!statement.allocate(backend().handle()) ||
            !SQL_SUCCEEDED(
                SQLExecDirect(statement.get(), detail::odbc::sqlText("SHOW cursor_tuple_fraction"), SQL_NTS)) ||
            !SQL_SUCCEEDED(SQLFetch(statement.get())) ||
            !SQL_SUCCEEDED(SQLGetData(statement.get(), 1, SQL_C_CHAR, text, sizeof text, &length)))
            return std::string("unread");
        return std::string(text);
    };
    EXPECT_EQ(setting(), "1");
    db().BeginTrans();
    db().Rollback();
    EXPECT_EQ(setting(), "1");
}

TEST_P(OdbcConnectionCase, TransactionCommandsOutsideATransactionShowNothing)
{
    db().CommitTrans();
    db().Rollback();
    EXPECT_FALSE(db().InTransaction());
    db().BeginTrans();
    EXPECT_TRUE(db().InTransaction());
    db().CommitTrans();
    EXPECT_FALSE(db().InTransaction());
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(OdbcConnectionCase, SelectItemOfAnUnknownTypeIsLeftUnboundAndTheOthersRead)
{
    rawInsertConkal({.id = 4}, "2004-01-15");
    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.AddField("conkal", "euro", 99);
    select.SetFrom("conkal");
    ASSERT_TRUE(select.Execute());
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries[0].text, "ATTENZIONE: tipo dati SQL (99) non riconosciuto.\n\n[Binding colonna fallito]\n");
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
    int id = 0;
    EXPECT_TRUE(select.GetLong(0, id));
    EXPECT_EQ(id, 4);
}

TEST_P(OdbcConnectionCase, SyntaxErrorShowsTheStatementAndTheDriversText)
{
    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    select.SetWhere("ID = = 3");
    EXPECT_FALSE(select.Execute());
    ASSERT_EQ(sink.entries.size(), 1u);
    const std::string prefix = "Errore estrazione Select SQL\n\n" + select.SqlText() + "\n\n";
    EXPECT_EQ(sink.entries[0].text.rfind(prefix, 0), 0u) << sink.entries[0].text;
    EXPECT_GT(sink.entries[0].text.size(), prefix.size());
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Warning);
}

TEST_P(OdbcConnectionCase, ClosingInsideATransactionKeepsNothing)
{
    std::string driverName;
    auto connection = DbConnection::openOdbc(dsn(), driverName, 25, 1, sink);
    connection->BeginTrans();
    {
        TableCursor cursor(connection.get(), "conkal");
        ASSERT_TRUE(addConkal(cursor, {.id = 9}));
    }
    connection.reset();
    // Both drivers undo the open transaction silently (through the SQLite
    // driver the transaction is the engine's own, begun by SQL).
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    EXPECT_EQ(rawCount("conkal", "ID = 9"), 0);
}

INSTANTIATE_TEST_SUITE_P(Odbc, OdbcConnectionCase, ::testing::ValuesIn(kOdbcBackends), backendParamName);

TEST(OdbcOpen, MissingDataSourceGivesTheConnectionErrorAndStaysClosed)
{
    RecordingMessageSink sink;
    std::string driverName = "stale";
    auto connection = DbConnection::openOdbc("korvan_nonesiste", driverName, 25, 1, sink);
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_EQ(driverName, "");
    ASSERT_EQ(sink.entries.size(), 1u);
    const std::string prefix = "Errore in fase di conessione al database \n\n";
    EXPECT_EQ(sink.entries[0].text.rfind(prefix, 0), 0u) << sink.entries[0].text;
    EXPECT_GT(sink.entries[0].text.size(), prefix.size());
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
    sink.clear();
    connection->BeginTrans();
    connection->CommitTrans();
    TableCursor cursor(connection.get(), "conkal");
    EXPECT_FALSE(cursor.IsOpen());
    connection.reset();
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

// A data source on a Microsoft Access driver is named "Access" and gets the
// JET dialect, whether or not its driver can be reached.
TEST(OdbcOpen, AccessDriverDescriptionGivesTheAccessName)
{
    TempDir dir;
    std::ofstream(dir.file("odbc.ini")) << "[korvan_access]\nDescription = Archivio corse\n"
                                           "Driver = Microsoft Access Driver (*.mdb, *.accdb)\n\n"
                                           "[korvan_other]\nDriver = Microsofts Access\n";
    const char* previous = std::getenv("ODBCINI");
    const std::string saved = previous ? previous : "";
    setenv("ODBCINI", dir.file("odbc.ini").c_str(), 1);
    RecordingMessageSink sink;
    std::string driverName;
    auto access = DbConnection::openOdbc("korvan_access", driverName, 25, 1, sink);
    EXPECT_EQ(driverName, "Access");
    EXPECT_TRUE(access->Dialect().isJet());
    EXPECT_EQ(access->Dialect().periodDateLiteral({2004, 1, 2}), "#01/02/2004#");
    auto other = DbConnection::openOdbc("korvan_other", driverName, 25, 1, sink);
    EXPECT_EQ(driverName, "Microsofts Access");
    EXPECT_FALSE(other->Dialect().isJet());
    if (previous)
        setenv("ODBCINI", saved.c_str(), 1);
    else
        unsetenv("ODBCINI");
}

} // namespace
} // namespace korvan::test
