// The demo database as the program reads it, on every back end: through
// the database layer and the protocol validity of the accounting core.

#include "DemoNetwork.h"
#include "DemoOdbcWriter.h"
#include "DemoSqliteWriter.h"
#include "accounting/ProtocolValidity.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "support/BackendTest.h"
#include "support/RecordingMessageSink.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace korvan::demo {
namespace {

using test::Backend;

class DemoWithProgram : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override
    {
        std::string error;
        const Network network = generateNetwork({300, 2025});
        if (GetParam() == Backend::SqliteFile) {
            ASSERT_TRUE(writeSqliteFile(network, dir.file("demo.sqlite"), error)) << error;
            connection = DbConnection::openSqlite(dir.file("demo.sqlite"), 25, 1, sink);
        } else {
            KORVAN_REQUIRE_DATA_SOURCE(GetParam());
            // The program connects by data source name: the demo goes into
            // the data source's own database through the ODBC writer.
            ASSERT_TRUE(writeOdbc(network, test::dataSourceOf(GetParam()), true, error)) << error;
            std::string driver;
            connection = DbConnection::openOdbc(test::dataSourceOf(GetParam()), driver, 25, 1, sink);
        }
        ASSERT_TRUE(connection && connection->IsOpen()) << sink.lastText();
    }

    // The data source's database is shared with the other test programs:
    // leave it without the demo tables.
    void TearDown() override
    {
        connection.reset();
        if (!test::isOdbc(GetParam()) || test::dataSourceMissing(GetParam()))
            return;
        tools::RawDatabase db = tools::RawDatabase::odbc(test::dataSourceOf(GetParam()));
        for (const schema::Table& table : schema::tables())
            EXPECT_TRUE(db.exec(schema::dropStatement(table))) << db.error();
    }

    std::string intervalsOf(int company)
    {
        const accounting::ProtocolValidity validity = accounting::loadProtocolValidity(connection.get(), company);
        const accounting::CompanyProtocols* protocols = validity.find(company);
        if (!protocols)
            return "none";
        std::string text;
        for (const accounting::ProtocolEntry& protocol : protocols->protocols) {
            text += std::to_string(protocol.number) + ":";
            for (const accounting::DateInterval& interval : protocol.intervals)
                text += std::to_string(interval.start) + "-" + std::to_string(interval.end) + " ";
        }
        return text;
    }

    void checkProtocols();
    void checkLineCodes();

    test::TempDir dir;
    test::RecordingMessageSink sink;
    std::unique_ptr<DbConnection> connection;
};

void DemoWithProgram::checkProtocols()
{
    // Company 1: the summer protocol leaves the whole-year one alone; the
    // kind-'A' protocol 2 with the reset flag would have emptied it.
    EXPECT_EQ(intervalsOf(1), "1:20250101-20251231 2:20250615-20250914 ");
    // Company 2: the new contract from July cuts the old one back to June.
    EXPECT_EQ(intervalsOf(2), "1:20250101-20250630 3:20250701-20251231 ");
    EXPECT_EQ(intervalsOf(3), "1:20250101-20251231 ");
    EXPECT_EQ(intervalsOf(4), "4:20250101-20251231 ");
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

void DemoWithProgram::checkLineCodes()
{
    SelectCursor cursor(connection.get());
    cursor.AddField("corse", "azienda", SqlType::SmallInt);
    cursor.AddField("corse", "ente", SqlType::SmallInt);
    cursor.AddField("corse", "codlinea", SqlType::VarChar);
    cursor.SetFrom("corse");
    cursor.SetGroupBy("azienda, ente, codlinea");
    cursor.SetOrderBy("azienda, ente, codlinea");
    ASSERT_TRUE(cursor.BuildSql());
    ASSERT_TRUE(cursor.Execute()) << sink.lastText();
    std::vector<std::string> codes;
    for (bool row = cursor.HasRow(); row; row = cursor.MoveNext()) {
        std::string code;
        ASSERT_TRUE(cursor.GetText(2, code));
        codes.push_back(code);
    }
    EXPECT_EQ(codes.size(), 41U);
    // The raw codes arrive as stored: "12" and "12  " are two groups of the
    // same contract, and the empty code is an empty text, not NULL.
    const auto has = [&](const std::string& code) { return std::count(codes.begin(), codes.end(), code); };
    EXPECT_EQ(has("12"), 1);
    EXPECT_EQ(has("12  "), 1);
    EXPECT_EQ(has(""), 1);
    EXPECT_EQ(has("SANT'ANNA"), 1);
    EXPECT_EQ(has("101"), 2) << "one per company";
}

// One test per back end: the PostgreSQL case loads the data source's own
// database, which parallel test processes must not share.
TEST_P(DemoWithProgram, ReadsProtocolsAndLineCodesAsTheProgramExpects)
{
    checkProtocols();
    checkLineCodes();
}

INSTANTIATE_TEST_SUITE_P(Backends, DemoWithProgram, ::testing::ValuesIn(test::kAllBackends), test::backendParamName);

} // namespace
} // namespace korvan::demo
