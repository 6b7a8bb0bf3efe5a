// A value the table cursor does not take is reported and never stored in
// part: the row is refused (single-row) or dropped and counted (bulk), on
// every back end.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"

namespace korvan::test {
namespace {

class DbRefusedFields : public DbLayerFixture {};

TEST_P(DbRefusedFields, RowWithARefusedFieldIsNotStored)
{
    TableCursor cursor(&db(), "conkal");
    ASSERT_TRUE(cursor.AddNew()) << sink.lastText();
    EXPECT_TRUE(cursor.SetField("azienda", "1") && cursor.SetField("ID", "1") && cursor.SetField("data", "01/02/2004"));
    EXPECT_FALSE(cursor.SetField("euro", "abc"));
    ASSERT_FALSE(sink.empty());
    EXPECT_EQ(sink.lastText().rfind("Errore campo (euro) della tavola (conkal) <abc>\n\n", 0), 0u) << sink.lastText();
    sink.clear();
    EXPECT_FALSE(cursor.Update());
    EXPECT_EQ(cursor.RowsWritten(), 0);
    EXPECT_EQ(sink.lastText(), "Errore aggiornamento tavola (conkal)\n\nValore non accettato nel campo (euro): la riga "
                               "non è stata memorizzata.");
    EXPECT_EQ(rawCount("conkal"), 0);
    // The edit stays open: the field set again with a value is stored.
    EXPECT_TRUE(cursor.SetField("euro", "1,5") && cursor.Update()) << sink.lastText();
    EXPECT_EQ(rawCount("conkal", "euro = 1.5"), 1);
}

TEST_P(DbRefusedFields, TextBeyondAnyColumnIsRefusedWhole)
{
    // 300 bytes: more than the ODBC slot and the file's column hold.
    TableCursor cursor(&db(), "linee");
    ASSERT_TRUE(cursor.AddNew());
    EXPECT_TRUE(cursor.SetField("ID", "1") && cursor.SetField("linea", "A"));
    EXPECT_FALSE(cursor.SetField("denom", std::string(300, 'x')));
    EXPECT_FALSE(cursor.Update());
    EXPECT_EQ(rawCount("linee"), 0);
}

TEST_P(DbRefusedFields, TextLongerThanItsColumnIsRefusedOnEveryBackEnd)
{
    // denom holds 120 characters (accented letters count once). SQLite
    // through its driver would keep any length: the layer refuses the text
    // before it reaches the database, as the file back end does.
    std::string name;
    for (int i = 0; i < 60; ++i)
        name += "à";
    TableCursor cursor(&db(), "linee");
    ASSERT_TRUE(cursor.AddNew());
    EXPECT_TRUE(cursor.SetField("ID", "1") && cursor.SetField("linea", "A"));
    EXPECT_TRUE(cursor.SetField("denom", name)) << "120 bytes, 60 characters";
    EXPECT_TRUE(cursor.Update()) << sink.lastText();
    ASSERT_TRUE(cursor.AddNew());
    EXPECT_TRUE(cursor.SetField("ID", "2") && cursor.SetField("linea", "B"));
    EXPECT_FALSE(cursor.SetField("denom", std::string(121, 'n')));
    EXPECT_FALSE(cursor.Update());
    EXPECT_EQ(rawCount("linee"), 1);
    EXPECT_EQ(sink.lastText().rfind("Errore aggiornamento tavola (linee)", 0), 0u) << sink.lastText();
}

TEST_P(DbRefusedFields, BulkRowWithARefusedFieldIsDroppedAndCountedWithItsBlock)
{
    TableCursor cursor(&db(), "conkal", true);
    ASSERT_TRUE(cursor.IsOpen()) << sink.lastText();
    int written = 0;
    int rejected = 0;
    for (long id = 1; id <= 30; ++id) {
        ConkalRow row{.id = id};
        if (id == 10)
            row.euro = "abc";
        ASSERT_TRUE(cursor.AddNew());
        cursor.SetField("azienda", std::to_string(row.azienda));
        cursor.SetField("ID", std::to_string(row.id));
        cursor.SetField("data", row.data);
        cursor.SetField("ente", row.ente);
        cursor.SetField("minima", row.minima);
        EXPECT_EQ(cursor.SetField("euro", row.euro), id != 10);
        EXPECT_TRUE(cursor.Update());
        written += cursor.RowsWritten();
        rejected += cursor.RowsRejected();
    }
    // The dropped row was counted with the first block.
    EXPECT_TRUE(cursor.Flush()) << sink.lastText();
    written += cursor.RowsWritten();
    rejected += cursor.RowsRejected();
    EXPECT_EQ(written, 29);
    EXPECT_EQ(rejected, 1);
    EXPECT_EQ(rawCount("conkal"), 29);
    EXPECT_EQ(rawCount("conkal", "ID = 10"), 0);
    // Only the refused value was reported.
    ASSERT_EQ(sink.entries.size(), 1u) << sink.lastText();
}

TEST_P(DbRefusedFields, IntegerBeyondItsColumnIsRefusedNotWrapped)
{
    TableCursor cursor(&db(), "conkal");
    ASSERT_TRUE(cursor.AddNew());
    EXPECT_FALSE(cursor.SetField("ID", "4294967297")); // 2^32 + 1 would store 1
    EXPECT_FALSE(cursor.SetField("ente", "70000"));
    EXPECT_TRUE(cursor.SetField("ID", "2147483647"));
    EXPECT_EQ(sink.entries.size(), 2u) << sink.lastText();
}

TEST_P(DbRefusedFields, UpdateCursorReportsAValueItsColumnCannotHold)
{
    rawInsertConkal({.id = 1}, "2004-01-15");
    UpdateCursor cursor(&db());
    cursor.AddField("conkal", "ente", SqlType::SmallInt);
    cursor.SetFrom("conkal");
    ASSERT_TRUE(cursor.Open()) << sink.lastText();
    ASSERT_TRUE(cursor.Edit());
    EXPECT_FALSE(cursor.SetField("ente", "70000"));
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.lastText().rfind("Errore campo (ente) <70000>\n\n", 0), 0u) << sink.lastText();
    cursor.Update();
    EXPECT_EQ(rawCount("conkal", "ente = 3"), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, DbRefusedFields, ::testing::ValuesIn(kAllBackends), backendParamName);

} // namespace
} // namespace korvan::test
