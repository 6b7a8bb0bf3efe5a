// Values exchanged as they are stored (SetValue, GetValue), on every back end:
// the copy between engines relies on them coming back bit for bit, in a table
// whose name and columns need quoting.

#include "db/Catalog.h"
#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "refdata/Schema.h"

#include <cmath>
#include <cstring>

namespace korvan::test {
namespace {

// A table of every kind the copy makes, with a name no plain word is.
const schema::Table& exactTable()
{
    static const schema::Table table{"Valori esatti",
                                     {{"Numero", SqlType::Integer},
                                      {"piccolo", SqlType::SmallInt},
                                      {"Sì o no", SqlType::Bit},
                                      {"doppio", SqlType::Double},
                                      {"singolo", SqlType::Real},
                                      {"giorno", SqlType::Date},
                                      {"testo", SqlType::VarChar, 20},
                                      {"largo", SqlType::VarChar, 300},
                                      {"lungo", SqlType::LongVarChar},
                                      {"byte", SqlType::LongVarBinary}},
                                     {"Numero"}};
    return table;
}

FieldValue integer(long long v)
{
    FieldValue value;
    value.setInteger(v);
    return value;
}
FieldValue real(double v)
{
    FieldValue value;
    value.setReal(v);
    return value;
}
FieldValue text(const std::string& v)
{
    FieldValue value;
    value.setText(v);
    return value;
}
FieldValue bytes(const std::string& v)
{
    FieldValue value;
    value.setBytes(v);
    return value;
}
FieldValue date(int y, int m, int d)
{
    FieldValue value;
    value.setDate({y, m, d});
    return value;
}
FieldValue null()
{
    return {};
}

std::string accented(int characters)
{
    std::string result;
    for (int i = 0; i < characters; ++i)
        result += i % 3 == 0 ? "à" : i % 3 == 1 ? "e" : "ß";
    return result;
}

// How a value reads for a failure report: kind and content.
std::string shown(const FieldValue& value)
{
    if (value.kind == FieldValue::Kind::Real)
        return formatText("real %a", value.real);
    return std::to_string(static_cast<int>(value.kind)) + " " + describeFieldValue(value);
}

class DbExactValues : public DbLayerFixture {
  protected:
    void SetUp() override
    {
        DbLayerFixture::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        dropTable();
        for (const std::string& sql : schema::createStatements(exactTable(), raw().dialect()))
            ASSERT_TRUE(raw().exec(sql)) << raw().error() << "\n" << sql;
        tableName = schema::physicalName(exactTable().name, raw().dialect());
    }
    void TearDown() override
    {
        if (!IsSkipped() && !std::getenv("KORVAN_KEEP_TEST_TABLE"))
            dropTable();
        DbLayerFixture::TearDown();
    }
    void dropTable() { raw().exec("DROP TABLE IF EXISTS " + schema::sqlName(exactTable().name, raw().dialect())); }

    // The rows as GetValue reads them, ordered by Numero.
    std::vector<std::vector<FieldValue>> readBack()
    {
        SelectCursor select(&db());
        std::string list;
        for (const schema::Column& column : exactTable().columns) {
            const int width = column.sqlType == SqlType::LongVarBinary ? 4096
                              : column.sqlType == SqlType::LongVarChar ? 65535
                                                                       : column.width;
            select.AddField({tableName, column.name, column.sqlType, width});
            list +=
                (list.empty() ? "" : ", ") + db().QuoteIdentifier(schema::physicalName(column.name, raw().dialect()));
        }
        select.SetSqlText("SELECT " + list + " FROM " + db().QuoteIdentifier(tableName) + " ORDER BY 1");
        std::vector<std::vector<FieldValue>> rows;
        for (bool row = select.Execute(true); row; row = select.MoveNext()) {
            rows.emplace_back(exactTable().columns.size());
            for (size_t i = 0; i < rows.back().size(); ++i)
                EXPECT_TRUE(select.GetValue(static_cast<int>(i), rows.back()[i])) << exactTable().columns[i].name;
        }
        return rows;
    }

    std::string tableName;
};

TEST_P(DbExactValues, ValuesWrittenInBulkComeBackAsTheyWereStored)
{
    const std::vector<std::vector<FieldValue>> rows = {
        {integer(1), null(), null(), null(), null(), null(), null(), null(), null(), null()},
        {integer(2), integer(-32768), integer(0), real(0.1 + 0.2), real(static_cast<float>(0.05)), date(1600, 1, 1),
         text("12  "), text(accented(300)), text(accented(2000)), bytes(std::string("a\0b\xff", 4))},
        {integer(2147483647), integer(32767), integer(1), real(-1234.5678e-300), real(-3.25), date(2400, 12, 31),
         text(""), text(" "), text("riga\nsotto"), bytes("")},
    };
    {
        TableCursor cursor(&db(), tableName, true, 4096);
        ASSERT_TRUE(cursor.IsOpen()) << sink.lastText();
        for (const auto& row : rows) {
            ASSERT_TRUE(cursor.AddNew());
            for (size_t i = 0; i < row.size(); ++i)
                EXPECT_TRUE(cursor.SetValue(exactTable().columns[i].name, row[i])) << sink.lastText();
            ASSERT_TRUE(cursor.Update());
        }
        EXPECT_TRUE(cursor.Flush()) << sink.lastText();
    }
    ASSERT_TRUE(sink.empty()) << sink.lastText();
    const auto back = readBack();
    ASSERT_EQ(back.size(), rows.size());
    // SQLite's ODBC driver reads a double through a text of 15 digits, and
    // stores the bytes of the parameter before for an empty byte array.
    const bool sqliteDriver = GetParam() == Backend::SqliteOdbc;
    auto sameReal = [sqliteDriver](double a, double b) {
        return sqliteDriver ? std::fabs(a - b) <= std::fabs(a) * 1e-15 : a == b;
    };
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const FieldValue& want = rows[r][c];
            const FieldValue& got = back[r][c];
            if (sqliteDriver && want.kind == FieldValue::Kind::Bytes && want.bytes.empty())
                continue;
            const bool single = exactTable().columns[c].sqlType == SqlType::Real;
            const bool same = want.kind == got.kind &&
                              (want.kind != FieldValue::Kind::Integer || want.integer == got.integer) &&
                              (want.kind != FieldValue::Kind::Real ||
                               (single ? static_cast<float>(want.real) == static_cast<float>(got.real)
                                       : sameReal(want.real, got.real))) &&
                              (want.kind != FieldValue::Kind::Date || want.date == got.date) &&
                              ((want.kind != FieldValue::Kind::Text && want.kind != FieldValue::Kind::Bytes) ||
                               want.bytes == got.bytes);
            EXPECT_TRUE(same) << "row " << r << " column " << exactTable().columns[c].name << ": wrote " << shown(want)
                              << ", read " << shown(got);
        }
}

TEST_P(DbExactValues, ValuesAColumnCannotHoldAreRefusedAndTheirRowIsNotStored)
{
    struct Case {
        const char* column;
        FieldValue value;
    };
    const std::vector<Case> cases = {
        {"piccolo", integer(32768)},   {"Numero", integer(2147483648LL)}, {"testo", text(accented(21))},
        {"giorno", integer(20250101)}, {"doppio", text("1,5")},           {"byte", date(2025, 1, 1)},
    };
    TableCursor cursor(&db(), tableName, true);
    ASSERT_TRUE(cursor.IsOpen()) << sink.lastText();
    long number = 10;
    for (const Case& c : cases) {
        sink.clear();
        ASSERT_TRUE(cursor.AddNew());
        cursor.SetValue("Numero", integer(++number));
        EXPECT_FALSE(cursor.SetValue(c.column, c.value)) << c.column << " " << describeFieldValue(c.value);
        EXPECT_NE(sink.lastText().find(std::string("Errore campo (") + c.column + ") della tavola (" + tableName),
                  std::string::npos)
            << sink.lastText();
        cursor.Update();
    }
    cursor.Flush();
    EXPECT_EQ(cursor.RowsRejected(), static_cast<int>(cases.size()));
    EXPECT_TRUE(readBack().empty());
}

TEST_P(DbExactValues, TheCatalogueTellsWidthsAndTheKey)
{
    const auto columns = describeTable(&db(), tableName);
    ASSERT_TRUE(columns.has_value());
    ASSERT_EQ(columns->size(), exactTable().columns.size());
    EXPECT_EQ((*columns)[0].keyPosition, 1);
    EXPECT_EQ((*columns)[1].keyPosition, 0);
    EXPECT_EQ((*columns)[6].width, 20);
    EXPECT_EQ((*columns)[7].width, 300);
    const auto conkal = describeTable(&db(), "conkal");
    ASSERT_TRUE(conkal.has_value());
    std::vector<int> keys;
    for (const CatalogColumn& column : *conkal)
        keys.push_back(column.keyPosition);
    EXPECT_EQ(keys, (std::vector<int>{1, 2, 3, 0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Backends, DbExactValues, ::testing::ValuesIn(kAllBackends), backendParamName);

} // namespace
} // namespace korvan::test
