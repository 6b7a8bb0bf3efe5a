#include "support/BackendTest.h"

#include "db/Values.h"

namespace korvan::test {

std::string backendParamName(const ::testing::TestParamInfo<Backend>& info)
{
    return backendName(info.param);
}

void PrintTo(Backend backend, std::ostream* out)
{
    *out << backendName(backend);
}

void RunsDatabaseTest::SetUp()
{
    KORVAN_REQUIRE_DATA_SOURCE(GetParam());
    database.emplace(GetParam(), dir);
    const std::string error = database->createTables();
    ASSERT_EQ(error, "");
    raw = &database->raw();
    connection = database->open(sink);
    ASSERT_TRUE(connection && connection->IsOpen()) << sink.lastText();
}

void RunsDatabaseTest::TearDown()
{
    connection.reset();
    raw = nullptr;
    database.reset();
}

void RunsDatabaseTest::exec(const std::string& sql)
{
    ASSERT_TRUE(raw->exec(sql)) << sql << "\n" << raw->error();
}

long RunsDatabaseTest::count(const std::string& table, const std::string& where)
{
    return parseIntegerText(raw->queryText("SELECT COUNT(*) FROM " + table + (where.empty() ? "" : " WHERE " + where)));
}

} // namespace korvan::test
