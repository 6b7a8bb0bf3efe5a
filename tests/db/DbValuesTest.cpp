// Values written through SetField and read back as text, on every back end.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "refdata/Schema.h"

#include <tuple>
#include <variant>

namespace korvan::test {
namespace {

class DbValues : public DbLayerFixture {
  protected:
    // Writes one conkal row through a single-row table cursor.
    void writeRow(const ConkalRow& row)
    {
        TableCursor cursor(&db(), "conkal");
        ASSERT_TRUE(cursor.IsOpen()) << sink.lastText();
        ASSERT_TRUE(addConkal(cursor, row)) << sink.lastText();
        EXPECT_EQ(cursor.RowsWritten(), 1);
    }

    // GetFieldText of one column of the only conkal row with this ID.
    std::string readText(long id, const std::string& column)
    {
        SelectCursor select(&db());
        select.AddField("conkal", column, column == "data" ? SqlType::Date : SqlType::Double);
        select.SetFrom("conkal");
        select.SetWhere("conkal.ID = " + std::to_string(id));
        std::string text = "<no row>";
        if (select.Execute())
            select.GetFieldText("conkal." + column, text);
        return text;
    }
};

TEST_P(DbValues, DateSentinelsAreStoredAsTheirDatesAndReadBackByTheBackEndRule)
{
    writeRow({.id = 1, .data = "00/00/0000"});
    writeRow({.id = 2, .data = "99/99/9999"});
    EXPECT_EQ(rawCount("conkal", "data = '1600-01-01'"), 1);
    EXPECT_EQ(rawCount("conkal", "data = '2400-12-31'"), 1);
    // The file back end maps the stored dates back to the sentinels; ODBC
    // gives the stored dates unchanged.
    EXPECT_EQ(readText(1, "data"), fileBackend() ? "00/00/0000" : "01/01/1600");
    EXPECT_EQ(readText(2, "data"), fileBackend() ? "99/99/9999" : "31/12/2400");
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbValues, DatesNearTheSentinelYearsReadAsThemselvesOnlyInsideTheRange)
{
    writeRow({.id = 1, .data = "02/01/1601"});
    writeRow({.id = 2, .data = "31/12/2399"});
    writeRow({.id = 3, .data = "01/06/2400"});
    writeRow({.id = 4, .data = "29/02/2004"});
    EXPECT_EQ(readText(1, "data"), "02/01/1601");
    EXPECT_EQ(readText(2, "data"), "31/12/2399");
    EXPECT_EQ(readText(3, "data"), fileBackend() ? "99/99/9999" : "01/06/2400");
    EXPECT_EQ(readText(4, "data"), "29/02/2004");
}

TEST_P(DbValues, EmptyTextStoresNull)
{
    writeRow({.id = 1, .euro = ""});
    EXPECT_EQ(rawCount("conkal", "euro IS NULL"), 1);
    // A NULL number reads "" on the file back end and "0,0" over ODBC.
    EXPECT_EQ(readText(1, "euro"), fileBackend() ? "" : "0,0");
}

TEST_P(DbValues, DoublesAcceptEitherDecimalSeparatorAndReadAsTwentyCharacters)
{
    writeRow({.id = 1, .euro = "12,50"});
    writeRow({.id = 2, .euro = "12.50"});
    writeRow({.id = 3, .euro = "-12,5"});
    EXPECT_EQ(rawCount("conkal", "euro = 12.5"), 2);
    EXPECT_EQ(readText(1, "euro"), "000000000000012,5000");
    EXPECT_EQ(readText(2, "euro"), "000000000000012,5000");
    EXPECT_EQ(readText(3, "euro"), "-00000000000012,5000");
}

TEST_P(DbValues, MisspeltColumnIsRefusedSilentlyOverOdbcWithAMessageOnTheFile)
{
    TableCursor cursor(&db(), "conkal");
    ASSERT_TRUE(cursor.AddNew());
    EXPECT_FALSE(cursor.SetField("eurro", "1"));
    if (fileBackend()) {
        ASSERT_EQ(sink.entries.size(), 1u);
        EXPECT_EQ(sink.entries[0].text.rfind("Errore campo (eurro) della tavola (conkal) <1>\n\n", 0), 0u)
            << sink.entries[0].text;
        EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
    } else {
        EXPECT_TRUE(sink.empty()) << sink.lastText();
    }
}

TEST_P(DbValues, QuotesAccentsAndSemicolonsRoundTrip)
{
    const std::string name = "Città d'Aosta; Società \"Nord\" -- ok";
    const std::string code = "L'1; DROP";
    {
        TableCursor cursor(&db(), "linee");
        ASSERT_TRUE(cursor.IsOpen()) << sink.lastText();
        ASSERT_TRUE(cursor.AddNew() && cursor.SetField("ID", "1") && cursor.SetField("ente", "2") &&
                    cursor.SetField("linea", code) && cursor.SetField("denom", name) && cursor.Update())
            << sink.lastText();
    }
    EXPECT_EQ(rawText("SELECT denom FROM linee"), name);
    SelectCursor select(&db());
    select.AddField("linee", "linea", SqlType::VarChar);
    select.AddField("linee", "denom", SqlType::VarChar);
    select.SetFrom("linee");
    ASSERT_TRUE(select.Execute()) << sink.lastText();
    std::string text;
    EXPECT_TRUE(select.GetText(0, text));
    EXPECT_EQ(text, code);
    EXPECT_TRUE(select.GetFieldText("linee.denom", text));
    EXPECT_EQ(text, name);
    EXPECT_EQ(rawCount("linee"), 1);
}

TEST_P(DbValues, TrueBitReadsMinusOneOnTheFileAndOneOverOdbc)
{
    writeRow({.id = 1, .minima = "1"});
    writeRow({.id = 2, .minima = "0"});
    SelectCursor select(&db());
    select.AddField("conkal", "minima", SqlType::Bit);
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    select.SetOrderBy("conkal.ID");
    ASSERT_TRUE(select.Execute()) << sink.lastText();
    int value = 7;
    EXPECT_TRUE(select.GetShort(0, value));
    EXPECT_EQ(value, fileBackend() ? -1 : 1);
    std::string text;
    EXPECT_TRUE(select.GetFieldText("conkal.minima", text));
    EXPECT_EQ(text, "1");
    ASSERT_TRUE(select.MoveNext());
    EXPECT_TRUE(select.GetShort(0, value));
    EXPECT_EQ(value, 0);
}

// A whole number or a date given as a value is stored, or refused with the
// same message, as its text would be, in a single row and in bulk: a back
// end takes the value straight where the column's rule is the same, every
// other case goes by the text.
TEST_P(DbValues, NumbersAndDatesGivenAsValuesAreStoredAsTheirTexts)
{
    struct Case {
        const char* table;
        const char* column;
        std::variant<long long, CivilDate> value;
    };
    const Case cases[] = {
        {"conkal", "ente", 7LL},
        {"conkal", "ente", -32768LL},
        {"conkal", "ente", 40000LL}, // beyond SMALLINT
        {"conkal", "ID", 2147483647LL},
        {"conkal", "ID", 2147483648LL},
        {"conkal", "minima", 0LL},
        {"conkal", "minima", -1LL}, // a true bit's other text
        {"conkal", "minima", 2LL},
        {"conkal", "euro", 0LL},
        {"conkal", "euro", 9007199254740993LL}, // no double holds it
        {"conkal", "data", CivilDate{2024, 2, 29}},
        {"conkal", "data", CivilDate{2025, 2, 29}},
        {"conkal", "data", CivilDate{999, 1, 1}},
        {"conkal", "data", 20250101LL},
        {"linee", "linea", 42LL},
        {"linee", "linea", CivilDate{2025, 1, 15}},
        // SQLite only: a column without a declared type keeps the text.
        {"libere", "linea", 42LL},
        {"libere", "linea", CivilDate{2025, 1, 15}},
    };
    const bool sqlite = GetParam() != Backend::PostgresOdbc;
    if (sqlite) {
        // The SQLite data source's file outlives the test.
        ASSERT_TRUE(raw().exec("DROP TABLE IF EXISTS libere"));
        ASSERT_TRUE(raw().exec("CREATE TABLE libere (ID INTEGER, ente SMALLINT, linea)")) << raw().error();
    }
    const std::string id = schema::physicalColumnName("ID", raw().dialect());
    for (const Case& c : cases) {
        if (!sqlite && std::string(c.table) == "libere")
            continue;
        const bool conkal = std::string(c.table) == "conkal";
        const std::string text = std::holds_alternative<long long>(c.value)
                                     ? std::to_string(std::get<long long>(c.value))
                                     : formatDateText(std::get<CivilDate>(c.value));
        SCOPED_TRACE(std::string(c.table) + "." + c.column + " = " + text);
        // Row `key` with the case's column set last, as a text or as a value.
        auto write = [&](int key, bool asValue, bool bulk) {
            sink.clear();
            TableCursor cursor(&db(), c.table, bulk);
            bool taken = cursor.AddNew();
            if (conkal)
                taken = taken && cursor.SetField("azienda", std::to_string(key)) && cursor.SetField("ID", "1") &&
                        cursor.SetField("data", "15/01/2004") && cursor.SetField("ente", "3") &&
                        cursor.SetField("minima", "1") && cursor.SetField("euro", "12,50");
            else
                taken = taken && cursor.SetField("ID", std::to_string(key)) && cursor.SetField("ente", "2") &&
                        cursor.SetField("linea", "A");
            if (!asValue)
                taken = cursor.SetField(c.column, text) && taken;
            else if (std::holds_alternative<long long>(c.value))
                taken = cursor.SetField(c.column, std::get<long long>(c.value)) && taken;
            else
                taken = cursor.SetField(c.column, std::get<CivilDate>(c.value)) && taken;
            const std::string fieldMessage = sink.lastText();
            const bool stored = cursor.Update() && (!bulk || cursor.Flush());
            return std::make_tuple(taken, fieldMessage, stored);
        };
        // How the row is stored, its storage class included on SQLite.
        auto stored = [&](int key) {
            const std::string column = schema::physicalColumnName(c.column, raw().dialect());
            const std::string shown = !sqlite ? "CAST(" + column + " AS VARCHAR)" : "quote(" + column + ")";
            return rawText("SELECT " + shown + " FROM " + c.table + " WHERE " + (conkal ? "azienda" : id) + " = " +
                           std::to_string(key));
        };
        for (const bool bulk : {false, true}) {
            SCOPED_TRACE(bulk ? "bulk" : "single row");
            EXPECT_EQ(write(1, false, bulk), write(2, true, bulk));
            EXPECT_EQ(stored(1), stored(2));
            ASSERT_TRUE(raw().exec(std::string("DELETE FROM ") + c.table));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, DbValues, ::testing::ValuesIn(kAllBackends), backendParamName);

} // namespace
} // namespace korvan::test
