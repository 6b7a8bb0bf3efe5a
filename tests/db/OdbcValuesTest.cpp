// The ODBC value rules that only this back end has: getters typed by the
// declared type, NUMERIC columns refused with a notice, and rows of a table
// without a primary key changed by their values.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/OdbcConnection.h"

namespace korvan::test {
namespace {

class OdbcValues : public DbLayerFixture {
  protected:
    void SetUp() override
    {
        DbLayerFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        raw().exec("DROP TABLE korvan_prova");
        ASSERT_TRUE(raw().exec("CREATE TABLE korvan_prova (numero INTEGER, importo NUMERIC(10,2), nota VARCHAR(20))"))
            << raw().error();
    }
    void TearDown() override
    {
        DbLayerFixture::TearDown();
        raw().exec("DROP TABLE korvan_prova");
    }
};

TEST_P(OdbcValues, SelectGettersFollowTheDeclaredTypeAndNullReadsAsZero)
{
    ASSERT_TRUE(raw().exec("INSERT INTO korvan_prova (numero, importo, nota) VALUES (NULL, 12.5, NULL)"));
    SelectCursor select(&db());
    select.AddField("korvan_prova", "numero", SqlType::Integer);
    select.AddField("korvan_prova", "numero", SqlType::SmallInt);
    select.AddField("korvan_prova", "importo", SqlType::Numeric);
    select.AddField("korvan_prova", "nota", SqlType::VarChar);
    select.AddField("korvan_prova", "importo", SqlType::Double);
    select.SetFrom("korvan_prova");
    ASSERT_TRUE(select.Execute()) << sink.lastText();
    std::string text = "x";
    EXPECT_TRUE(select.GetFieldText("korvan_prova.numero", text));
    EXPECT_EQ(text, "0");
    EXPECT_TRUE(select.GetFieldText("korvan_prova.nota", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(select.GetText(2, text));
    EXPECT_EQ(text.rfind("12.5", 0), 0u) << text;
    EXPECT_TRUE(select.GetFieldText("korvan_prova.importo", text));
    int number = 7;
    EXPECT_TRUE(select.GetLong(0, number));
    EXPECT_EQ(number, 0);
    // A getter of another type reads 0 without complaint.
    number = 7;
    EXPECT_TRUE(select.GetShort(0, number));
    EXPECT_EQ(number, 0);
    double value = 0;
    EXPECT_TRUE(select.GetDouble(4, value));
    EXPECT_DOUBLE_EQ(value, 12.5);
    EXPECT_TRUE(select.GetDouble(2, value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(select.GetLong(5, number));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(OdbcValues, NumericColumnIsRefusedWithANoticeAndNothingStored)
{
    const auto columns = detail::odbc::tableColumns(
        dynamic_cast<detail::odbc::OdbcConnection&>(*db().backend()).handle(), "korvan_prova");
    ASSERT_EQ(columns.size(), 3u);
    if (columns[1].sqlType != SqlType::Numeric && columns[1].sqlType != SqlType::Decimal)
        GTEST_SKIP() << "the driver reports NUMERIC(10,2) as type " << columns[1].sqlType << " (SQLite: DOUBLE)";
    TableCursor cursor(&db(), "korvan_prova");
    ASSERT_TRUE(cursor.IsOpen()) << sink.lastText();
    ASSERT_TRUE(cursor.AddNew());
    EXPECT_TRUE(cursor.SetField("numero", "1"));
    // The amount is not stored: neither is the row.
    EXPECT_FALSE(cursor.SetField("importo", "1,5"));
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries[0].text, "DECIMAL NON GESTITO");
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::None);
    EXPECT_FALSE(cursor.Update());
    EXPECT_EQ(sink.lastText(), "Errore aggiornamento tavola (korvan_prova)\n\nValore non accettato nel campo "
                               "(importo): la riga non è stata memorizzata.");
    EXPECT_EQ(rawCount("korvan_prova"), 0);
    EXPECT_TRUE(cursor.SetField("importo", "") && cursor.Update()) << sink.lastText();
    EXPECT_EQ(rawCount("korvan_prova", "numero = 1 AND importo IS NULL"), 1);

    sink.clear();
    ASSERT_TRUE(raw().exec("UPDATE korvan_prova SET importo = 2.5"));
    ASSERT_TRUE(cursor.FindWhere("numero = 1"));
    std::string text = "invariato";
    EXPECT_TRUE(cursor.GetField("importo", text));
    EXPECT_EQ(text, "invariato");
    EXPECT_EQ(sink.lastText(), "DECIMAL NON GESTITO");
}

TEST_P(OdbcValues, RowOfATableWithoutKeyIsChangedByItsValues)
{
    ASSERT_TRUE(raw().exec("INSERT INTO korvan_prova (numero, nota) VALUES (1, 'uno')"));
    ASSERT_TRUE(raw().exec("INSERT INTO korvan_prova (numero, nota) VALUES (1, NULL)"));
    ASSERT_TRUE(raw().exec("INSERT INTO korvan_prova (numero, nota) VALUES (2, 'due')"));
    TableCursor cursor(&db(), "korvan_prova");
    ASSERT_TRUE(cursor.FindWhere("numero = 1 AND nota IS NULL"));
    ASSERT_TRUE(cursor.Edit());
    std::string note = "nuova   ";
    EXPECT_TRUE(cursor.SetField("nota", note));
    EXPECT_EQ(note, "nuova");
    EXPECT_TRUE(cursor.Update()) << sink.lastText();
    EXPECT_EQ(rawCount("korvan_prova", "numero = 1 AND nota = 'nuova'"), 1);
    EXPECT_EQ(rawCount("korvan_prova", "nota = 'uno'"), 1);
    EXPECT_EQ(rawCount("korvan_prova", "nota = 'due'"), 1);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

INSTANTIATE_TEST_SUITE_P(Odbc, OdbcValues, ::testing::ValuesIn(kOdbcBackends), backendParamName);

} // namespace
} // namespace korvan::test
