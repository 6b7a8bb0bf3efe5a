// Writes over ODBC: bulk blocks refused in part, the two ways of sending a
// block, deletes by key, texts with accents and apostrophes, and the update
// cursor's refusals.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "db/TransactionGuard.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcTableCursor.h"

#include <vector>

namespace korvan::test {
namespace {

using detail::odbc::BlockWriter;

class OdbcWrites : public DbLayerFixture {
  protected:
    static ConkalRow row(long id, int azienda = 1)
    {
        return {.azienda = azienda, .id = id, .data = "15/01/2004", .euro = formatText("%ld,5", id)};
    }
    void rawRow(long id, int azienda = 1) { rawInsertConkal(row(id, azienda), "2004-01-15"); }

    detail::odbc::OdbcConnection& backend() { return dynamic_cast<detail::odbc::OdbcConnection&>(*db().backend()); }

    // Adds rows first..last; returns the totals written and rejected.
    std::pair<int, int> addRows(detail::TableCursorBackend& cursor, long first, long last)
    {
        int written = 0;
        int rejected = 0;
        for (long id = first; id <= last; ++id) {
            ConkalRow r = row(id);
            std::string azienda = std::to_string(r.azienda), key = std::to_string(r.id);
            EXPECT_TRUE(cursor.addNew());
            cursor.setField("azienda", azienda);
            cursor.setField("ID", key);
            cursor.setField("data", r.data);
            cursor.setField("ente", r.ente);
            cursor.setField("minima", r.minima);
            cursor.setField("euro", r.euro);
            EXPECT_TRUE(cursor.update());
            written += cursor.rowsWritten();
            rejected += cursor.rowsRejected();
        }
        EXPECT_TRUE(cursor.flush() || cursor.rowsRejected() > 0);
        return {written + cursor.rowsWritten(), rejected + cursor.rowsRejected()};
    }

    void checkDuplicateInTheMiddleOfABlock(BlockWriter::Method method)
    {
        rawInsertConkal({.id = 13, .euro = "0,75"}, "2004-01-15");
        detail::odbc::OdbcTableCursor cursor(backend(), "conkal", true, 0);
        ASSERT_TRUE(cursor.isOpen());
        cursor.blockWriter()->setMethod(method);
        EXPECT_EQ(addRows(cursor, 1, 25), std::make_pair(24, 1));
        EXPECT_EQ(rawCount("conkal"), 25);
        EXPECT_EQ(rawCount("conkal", "ID = 13 AND euro = 0.75"), 1); // the row already there is kept
        ASSERT_EQ(sink.entries.size(), 1u);
        EXPECT_EQ(sink.entries[0].text.rfind("Errore aggiornamento tavola (conkal)\n\n - ", 0), 0u)
            << sink.entries[0].text;
        EXPECT_GT(sink.entries[0].text.size(), std::string("Errore aggiornamento tavola (conkal)\n\n - ").size());
        EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
    }
};

TEST_P(OdbcWrites, DuplicateInTheMiddleOfAMultiRowBlockKeepsTheOtherRows)
{
    checkDuplicateInTheMiddleOfABlock(BlockWriter::Method::MultiRowInsert);
}

TEST_P(OdbcWrites, DuplicateInTheMiddleOfAParameterArrayKeepsTheOtherRows)
{
    checkDuplicateInTheMiddleOfABlock(BlockWriter::Method::ParameterArray);
}

TEST_P(OdbcWrites, RefusedRowInsideTheCallersTransactionLosesNothingElse)
{
    rawRow(30);
    db().BeginTrans();
    {
        TableCursor single(&db(), "conkal");
        ASSERT_TRUE(addConkal(single, row(100)));
        TableCursor cursor(&db(), "conkal", true);
        for (long id = 26; id <= 35; ++id)
            ASSERT_TRUE(addConkal(cursor, row(id)));
        EXPECT_FALSE(cursor.Flush());
        EXPECT_EQ(cursor.RowsWritten(), 9);
        EXPECT_EQ(cursor.RowsRejected(), 1);
    }
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries[0].text.rfind("Errore scarico buffer tavola (conkal)\n\n - ", 0), 0u);
    EXPECT_TRUE(db().InTransaction());
    db().CommitTrans();
    EXPECT_EQ(sink.entries.size(), 1u) << sink.lastText();
    EXPECT_EQ(rawCount("conkal"), 11);
    EXPECT_EQ(rawCount("conkal", "ID = 100"), 1);
}

TEST_P(OdbcWrites, RefusedRowsAtCloseAreReportedOnceOrLeftToTheCaller)
{
    rawRow(2);
    {
        TableCursor cursor(&db(), "conkal", true);
        for (long id = 1; id <= 3; ++id)
            ASSERT_TRUE(addConkal(cursor, row(id)));
    }
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries[0].text.rfind("Errore chiusura tavola (conkal)\n\n - ", 0), 0u);
    EXPECT_EQ(rawCount("conkal"), 3);

    sink.clear();
    TableCursor quiet(&db(), "conkal", true);
    quiet.SetReportRejectedRows(false);
    for (long id = 3; id <= 5; ++id)
        ASSERT_TRUE(addConkal(quiet, row(id)));
    EXPECT_FALSE(quiet.Flush());
    EXPECT_EQ(quiet.RowsWritten(), 2);
    EXPECT_EQ(quiet.RowsRejected(), 1);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(OdbcWrites, BlocksLargerThanOneStatementAreStoredAndDeletedWhole)
{
    // Beyond the parameter limit of one statement a block is split, and the
    // parts still stand or fall together.
    reopen(11000);
    {
        detail::odbc::OdbcTableCursor cursor(backend(), "conkal", true, 0);
        ASSERT_EQ(cursor.rowsetSize(), 11000);
        EXPECT_EQ(addRows(cursor, 1, 11000), std::make_pair(11000, 0));
    }
    EXPECT_EQ(rawCount("conkal"), 11000);
    DeleteCursor remove(&db());
    remove.SetColumns("ID");
    remove.SetTable("conkal");
    remove.SetWhere("conkal.ID > 10");
    ASSERT_TRUE(remove.Open());
    EXPECT_TRUE(remove.Delete());
    EXPECT_EQ(remove.DeletedCount(), 10990);
    EXPECT_FALSE(remove.MoveNext());
    EXPECT_EQ(rawCount("conkal"), 10);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(OdbcWrites, RowsetOf100000StaysUnderTheParameterLimitOfEveryLibpq)
{
    // libpq before 15.19 drops the connection on a statement of more than
    // 7,498 parameters: a block of 100,000 rows of six columns goes in parts
    // well below that, inside the caller's transaction.
    reopen(100000);
    {
        TransactionGuard guard(&db());
        detail::odbc::OdbcTableCursor cursor(backend(), "conkal", true, 0);
        ASSERT_EQ(cursor.rowsetSize(), 100000);
        EXPECT_EQ(addRows(cursor, 1, 100005), std::make_pair(100005, 0));
        EXPECT_TRUE(guard.Commit());
    }
    EXPECT_EQ(rawCount("conkal"), 100005);
    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    long read = 0;
    for (bool row = select.Execute(); row; row = select.MoveNext())
        ++read;
    EXPECT_EQ(read, 100005);
    DeleteCursor remove(&db());
    remove.SetColumns("ID");
    remove.SetTable("conkal");
    long deleted = 0;
    for (bool row = remove.Open(); row; row = remove.MoveNext())
        if (remove.Delete())
            deleted += remove.DeletedCount();
    EXPECT_EQ(deleted, 100005);
    EXPECT_EQ(rawCount("conkal"), 0);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    EXPECT_TRUE(db().IsOpen());
}

TEST_P(OdbcWrites, BlockBeyondOneStatementLeavesAnOpenSelectReading)
{
    for (long id = 1; id <= 30; ++id)
        rawRow(id, 2);
    reopen(6000);
    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    select.SetWhere("conkal.azienda = 2");
    // No order: SQLite steps through the table as the rows are read.
    ASSERT_TRUE(select.Execute());
    {
        detail::odbc::OdbcTableCursor cursor(backend(), "conkal", true, 0);
        EXPECT_EQ(addRows(cursor, 1, 6000), std::make_pair(6000, 0));
    }
    long read = 1;
    while (select.MoveNext() && read < 100)
        ++read;
    EXPECT_EQ(read, 30);
    EXPECT_EQ(rawCount("conkal"), 6030);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(OdbcWrites, DeleteRemovesTheBlockByKeyNotByTheSelectedValue)
{
    for (long id = 1; id <= 30; ++id) {
        rawRow(id, 1);
        rawRow(id, 2);
    }
    DeleteCursor remove(&db());
    remove.SetColumns("ID");
    remove.SetTable("conkal");
    remove.SetWhere("conkal.azienda = 1 AND conkal.ID <= 27");
    ASSERT_TRUE(remove.Open()) << sink.lastText();
    std::vector<int> deleted;
    do {
        EXPECT_TRUE(remove.Delete());
        deleted.push_back(remove.DeletedCount());
    } while (remove.MoveNext() && deleted.size() < 5);
    EXPECT_EQ(deleted, (std::vector<int>{25, 2}));
    EXPECT_EQ(rawCount("conkal", "azienda = 1"), 3);
    EXPECT_EQ(rawCount("conkal", "azienda = 2"), 30);
    EXPECT_FALSE(remove.MoveFirst());
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(OdbcWrites, DeleteWithoutMovingRemovesOnlyTheFirstBlock)
{
    for (long id = 1; id <= 30; ++id)
        rawRow(id);
    DeleteCursor remove(&db());
    remove.SetColumns("azienda");
    remove.SetTable("conkal");
    ASSERT_TRUE(remove.Open());
    EXPECT_TRUE(remove.Delete());
    EXPECT_EQ(remove.DeletedCount(), 25);
    EXPECT_EQ(rawCount("conkal"), 5);
    // The next block is the five rows left, read after the first was deleted.
    ASSERT_TRUE(remove.MoveNext());
    EXPECT_TRUE(remove.Delete());
    EXPECT_EQ(remove.DeletedCount(), 5);
    EXPECT_EQ(rawCount("conkal"), 0);
}

TEST_P(OdbcWrites, AccentsApostrophesAndSemicolonsRoundTrip)
{
    // Short enough for every column they are written to.
    const std::vector<std::string> names = {"Società Città", "SANT'ANNA", "L; DROP TABLE x;--", "Perché è così"};
    {
        TableCursor cursor(&db(), "regent");
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_TRUE(cursor.AddNew());
            ASSERT_TRUE(cursor.SetField("codice", std::to_string(i + 1)));
            ASSERT_TRUE(cursor.SetField("denom", names[i]));
            ASSERT_TRUE(cursor.Update()) << sink.lastText();
        }
    }
    {
        TableCursor bulk(&db(), "linee", true);
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_TRUE(bulk.AddNew());
            bulk.SetField("ID", std::to_string(i));
            bulk.SetField("ente", "1");
            bulk.SetField("linea", names[i]);
            bulk.SetField("denom", names[i] + "   ");
            ASSERT_TRUE(bulk.Update());
        }
        ASSERT_TRUE(bulk.Flush()) << sink.lastText();
        EXPECT_EQ(bulk.RowsWritten(), 4);
    }
    EXPECT_EQ(rawText("SELECT denom FROM regent WHERE codice = 2"), "SANT'ANNA");
    EXPECT_EQ(rawText("SELECT denom FROM regent WHERE codice = 1"), "Società Città");
    EXPECT_EQ(rawCount("linee", "linea = denom"), 4);

    SelectCursor select(&db());
    select.AddField("regent", "denom", SqlType::VarChar);
    select.SetFrom("regent");
    select.SetWhere("regent.denom = 'SANT''ANNA' OR regent.codice = 4");
    select.SetOrderBy("regent.codice");
    ASSERT_TRUE(select.Execute()) << sink.lastText();
    std::string text;
    EXPECT_TRUE(select.GetFieldText("regent.denom", text));
    EXPECT_EQ(text, "SANT'ANNA");
    ASSERT_TRUE(select.MoveNext());
    EXPECT_TRUE(select.GetText(0, text));
    EXPECT_EQ(text, "Perché è così");

    TableCursor cursor(&db(), "regent");
    ASSERT_TRUE(cursor.FindWhere("codice = 1"));
    EXPECT_TRUE(cursor.GetField("denom", text));
    EXPECT_EQ(text, "Società Città");
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(OdbcWrites, TableCursorReadsTheStoredSentinelDatesAndPaddedNumbers)
{
    {
        TableCursor cursor(&db(), "conkal");
        ASSERT_TRUE(addConkal(cursor, {.id = 1, .data = "00/00/0000", .euro = "12,5"}));
        ASSERT_TRUE(addConkal(cursor, {.id = 2, .data = "99/99/9999", .euro = "-3.25"}));
    }
    TableCursor cursor(&db(), "conkal");
    std::string text;
    ASSERT_TRUE(cursor.FindWhere("ID = 1"));
    EXPECT_TRUE(cursor.GetField("data", text));
    EXPECT_EQ(text, "01/01/1600");
    EXPECT_TRUE(cursor.GetField("euro", text));
    EXPECT_EQ(text, "             12.5000");
    ASSERT_TRUE(cursor.FindWhere("ID = 2"));
    EXPECT_TRUE(cursor.GetField("data", text));
    EXPECT_EQ(text, "31/12/2400");
    EXPECT_TRUE(cursor.GetField("euro", text));
    EXPECT_EQ(text, "             -3.2500");
    // A date that is not ten characters long stores NULL in a single row.
    ASSERT_TRUE(cursor.Edit());
    EXPECT_TRUE(cursor.SetField("data", "1/2/2004"));
    EXPECT_TRUE(cursor.GetField("data", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(cursor.GetField("dato", text));
    EXPECT_FALSE(cursor.SetField("dato", "1"));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(OdbcWrites, UpdateCursorRefusesLongColumnsWithANotice)
{
    ASSERT_TRUE(raw().exec("INSERT INTO linee (" + schema::physicalColumnName("ID", raw().dialect()) +
                           ", ente, linea, denom) VALUES (1, 2, 'L1', 'Centro')"))
        << raw().error();
    UpdateCursor cursor(&db());
    cursor.AddField("linee", "linea", SqlType::LongVarBinary);
    cursor.AddField("linee", "denom", SqlType::LongVarChar);
    cursor.AddField("linee", "ente", SqlType::SmallInt);
    cursor.SetFrom("linee");
    ASSERT_TRUE(cursor.Open()) << sink.lastText();
    ASSERT_TRUE(cursor.Edit());
    EXPECT_TRUE(cursor.SetField("linea", "L2"));
    EXPECT_TRUE(cursor.SetField("denom", "Periferia"));
    EXPECT_TRUE(cursor.SetField("ente", "7"));
    EXPECT_TRUE(cursor.Update()) << sink.lastText();
    ASSERT_EQ(sink.entries.size(), 2u);
    EXPECT_EQ(sink.entries[0].text, "VARBINARY NON GESTITO");
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::None);
    EXPECT_EQ(sink.entries[1].text, "VARCHAR NON GESTIT0");
    EXPECT_EQ(rawCount("linee", "ente = 7 AND linea = 'L1' AND denom = 'Centro'"), 1);
}

TEST_P(OdbcWrites, UpdateCursorChangesEveryRowOfAKeyAcrossBlocks)
{
    // 60 rows read in blocks of 25, each changed by its own key.
    for (long id = 1; id <= 60; ++id)
        rawRow(id);
    UpdateCursor cursor(&db());
    cursor.AddField("conkal", "ID", SqlType::Integer);
    cursor.AddField("conkal", "ente", SqlType::SmallInt);
    cursor.SetFrom("conkal");
    cursor.SetOrderBy("conkal.ID");
    ASSERT_TRUE(cursor.Open());
    int rows = 0;
    do {
        ASSERT_TRUE(cursor.Edit());
        EXPECT_TRUE(cursor.SetField("ente", std::to_string(++rows)));
        EXPECT_TRUE(cursor.Update()) << sink.lastText();
        if (rows == 30) {
            // Without a transaction each change is stored at once, while the
            // read goes on.
            EXPECT_EQ(rawCount("conkal", "ente = ID"), 30);
        }
    } while (cursor.MoveNext() && rows < 100);
    EXPECT_EQ(rows, 60);
    EXPECT_EQ(rawCount("conkal", "ente = ID"), 60);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(OdbcWrites, RefusedRowWhileASelectIsOpenLeavesTheSelectReading)
{
    // psqlODBC reads a declared cursor inside a transaction of its own; a
    // refused row written meanwhile must not end that read.
    for (long id = 1; id <= 60; ++id)
        rawRow(id, 2);
    rawRow(5);
    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    select.SetWhere("conkal.azienda = 2");
    select.SetOrderBy("conkal.ID");
    ASSERT_TRUE(select.Execute());
    long read = 0;
    long written = 0;
    {
        TableCursor cursor(&db(), "conkal", true);
        cursor.SetReportRejectedRows(false);
        do {
            int id = 0;
            select.GetLong(0, id);
            EXPECT_EQ(id, ++read);
            EXPECT_TRUE(addConkal(cursor, row(id)));
            written += cursor.RowsWritten();
        } while (select.MoveNext() && read < 100);
        cursor.Flush();
        written += cursor.RowsWritten();
    }
    EXPECT_EQ(read, 60);
    EXPECT_EQ(written, 59);
    EXPECT_EQ(rawCount("conkal", "azienda = 1"), 60);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

INSTANTIATE_TEST_SUITE_P(Odbc, OdbcWrites, ::testing::ValuesIn(kOdbcBackends), backendParamName);

} // namespace
} // namespace korvan::test
