// SQLite's declared types are affinities: the same numbers sit in columns
// declared INTEGER, REAL or NUMERIC. The file back end's numeric getters read
// any stored number their type can hold and report one it cannot hold.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"

namespace korvan::test {
namespace {

class DbDeclaredTypes : public DbLayerFixture {
  protected:
    void SetUp() override
    {
        DbLayerFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(raw().exec("CREATE TABLE numeri (id INTEGER, piccolo INTEGER, lung REAL, importo NUMERIC, "
                               "grande INTEGER, frazione REAL, nome VARCHAR(10))"))
            << raw().error();
        ASSERT_TRUE(raw().exec("INSERT INTO numeri VALUES (1, 5, 12345, 12345, 2147483648, 1.5, 'uno')"));
        ASSERT_TRUE(raw().exec("INSERT INTO numeri VALUES (2, -32768, 2147483647, 7.25, -2147483649, -0.5, NULL)"));
    }

    // The select over every column, on row `id`.
    void select(SelectCursor& cursor, int id)
    {
        for (const char* column : {"piccolo", "lung", "importo", "grande", "frazione", "nome"})
            cursor.AddField("numeri", column, SqlType::Integer);
        cursor.SetFrom("numeri");
        cursor.SetWhere("id = " + std::to_string(id));
        ASSERT_TRUE(cursor.Execute()) << sink.lastText();
    }
};

TEST_P(DbDeclaredTypes, NumbersAreReadWhateverTheirDeclaredType)
{
    SelectCursor cursor(&db());
    select(cursor, 1);
    int value = 0;
    EXPECT_TRUE(cursor.GetShort(0, value)); // INTEGER read as a small integer
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(cursor.GetLong(1, value)); // REAL
    EXPECT_EQ(value, 12345);
    EXPECT_TRUE(cursor.GetLong(2, value)); // NUMERIC
    EXPECT_EQ(value, 12345);
    double real = 0;
    EXPECT_TRUE(cursor.GetDouble(0, real));
    EXPECT_DOUBLE_EQ(real, 5.0);
    EXPECT_TRUE(cursor.GetDouble(4, real));
    EXPECT_DOUBLE_EQ(real, 1.5);
    // A text is no number, silently.
    EXPECT_FALSE(cursor.GetLong(5, value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(sink.empty()) << sink.lastText();

    SelectCursor limits(&db());
    select(limits, 2);
    EXPECT_TRUE(limits.GetShort(0, value));
    EXPECT_EQ(value, -32768);
    EXPECT_TRUE(limits.GetLong(1, value));
    EXPECT_EQ(value, 2147483647);
    EXPECT_TRUE(limits.GetDouble(2, real));
    EXPECT_DOUBLE_EQ(real, 7.25);
    EXPECT_FALSE(limits.GetLong(5, value)); // NULL
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbDeclaredTypes, NumberTheGetterCannotHoldIsReportedNotWrapped)
{
    SelectCursor cursor(&db());
    select(cursor, 1);
    int value = 7;
    // 2,147,483,648 would wrap to a negative length.
    EXPECT_FALSE(cursor.GetLong(3, value));
    EXPECT_EQ(value, 0);
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.lastText().rfind("Errore campo (numeri.grande) nella select corrente\n\n", 0), 0u)
        << sink.lastText();
    EXPECT_NE(sink.lastText().find("Il valore memorizzato (2147483648) non è un intero a 32 bit."), std::string::npos)
        << sink.lastText();
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
    EXPECT_TRUE(cursor.GetShort(1, value)); // 12345 stored as REAL fits 16 bits
    EXPECT_EQ(value, 12345);
    sink.clear();
    EXPECT_FALSE(cursor.GetLong(4, value)); // 1.5 has a fraction
    EXPECT_NE(sink.lastText().find("Il valore memorizzato (1.5) non è un intero a 32 bit."), std::string::npos)
        << sink.lastText();

    SelectCursor limits(&db());
    select(limits, 2);
    sink.clear();
    EXPECT_FALSE(limits.GetShort(1, value)); // 2147483647 as a small integer
    EXPECT_NE(sink.lastText().find("Il valore memorizzato (2147483647) non è un intero a 16 bit."), std::string::npos)
        << sink.lastText();
    EXPECT_FALSE(limits.GetLong(3, value)); // -2147483649
    EXPECT_EQ(sink.entries.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(File, DbDeclaredTypes, ::testing::Values(Backend::SqliteFile), backendParamName);

} // namespace
} // namespace korvan::test
