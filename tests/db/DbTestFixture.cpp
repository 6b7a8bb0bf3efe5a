#include "db/DbTestFixture.h"

namespace korvan::test {

void DbLayerFixture::SetUp()
{
    KORVAN_REQUIRE_DATA_SOURCE(GetParam());
    database_.emplace(GetParam(), dir_, "runs.sqlite");
    const std::string error = database_->createTables();
    ASSERT_EQ(error, "");
    openConnection(DbConnection::kDefaultRowsetSizeOrdinary);
}

void DbLayerFixture::TearDown()
{
    connection_.reset();
}

void DbLayerFixture::openConnection(int rowsetSizeOrdinary)
{
    connection_.reset();
    connection_ = database_->open(sink, rowsetSizeOrdinary, 1);
    ASSERT_TRUE(connection_->IsOpen()) << sink.lastText();
    ASSERT_TRUE(sink.empty()) << sink.lastText();
}

void DbLayerFixture::reopen(int rowsetSizeOrdinary)
{
    openConnection(rowsetSizeOrdinary);
}

std::string DbLayerFixture::rawText(const std::string& sql)
{
    return raw().queryText(sql);
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
    std::string sql = "INSERT INTO conkal (azienda, " + schema::physicalColumnName("ID", raw().dialect()) +
                      ", data, ente, minima, euro) VALUES (" + std::to_string(row.azienda) + ", " +
                      std::to_string(row.id) + ", '" + isoDate + "', " + row.ente + ", " + row.minima + ", " + euro +
                      ")";
    ASSERT_TRUE(raw().exec(sql)) << raw().error() << "\n" << sql;
}

} // namespace korvan::test
