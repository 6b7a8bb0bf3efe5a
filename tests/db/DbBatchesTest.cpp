// Bulk inserts inside an all-or-nothing transaction: the blocks of the
// rowset size go to the database in batches of many blocks, and still count,
// refuse and report row by row as blocks do.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "db/TransactionGuard.h"
#include "db/Values.h"

#include <vector>

namespace korvan::test {
namespace {

constexpr int kBlock = 10;

class DbBatches : public DbLayerFixture {
  protected:
    void SetUp() override
    {
        DbLayerFixture::SetUp();
        if (!HasFatalFailure() && !IsSkipped())
            reopen(kBlock);
    }

    static ConkalRow row(long id)
    {
        return {.azienda = 1, .id = id, .data = "15/01/2004", .euro = formatText("%ld,25", id)};
    }

    // Adds rows first..last through the cursor; RowsWritten of every Update
    // that wrote, then of the Flush.
    std::vector<int> add(TableCursor& cursor, long first, long last)
    {
        std::vector<int> written;
        for (long id = first; id <= last; ++id) {
            EXPECT_TRUE(addConkal(cursor, row(id))) << sink.lastText();
            if (cursor.RowsWritten() > 0)
                written.push_back(cursor.RowsWritten());
        }
        return written;
    }
};

TEST_P(DbBatches, RowsCountByBlockAndAreAllStoredWithTheTransaction)
{
    {
        TransactionGuard guard(&db());
        ASSERT_TRUE(guard.IsActive()) << sink.lastText();
        {
            TableCursor cursor(&db(), "conkal", true);
            EXPECT_EQ(add(cursor, 1, 35), (std::vector<int>{10, 10, 10}));
            EXPECT_TRUE(cursor.Flush());
            EXPECT_EQ(cursor.RowsWritten(), 5);
        }
        EXPECT_TRUE(guard.Commit()) << sink.lastText();
    }
    EXPECT_EQ(rawCount("conkal"), 35);
    EXPECT_EQ(rawCount("conkal", "ID = 35 AND euro = 35.25"), 1);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbBatches, ARefusedRowInTheMiddleIsReportedWithItsRowAndNothingIsStored)
{
    // Row 57 of 100 (the seventh of the sixth block) repeats a stored key.
    rawInsertConkal(row(57), "2004-01-15");
    {
        TransactionGuard guard(&db());
        ASSERT_TRUE(guard.IsActive()) << sink.lastText();
        {
            TableCursor cursor(&db(), "conkal", true);
            add(cursor, 1, 100);
            cursor.Flush();
        }
        EXPECT_TRUE(guard.Failed());
        EXPECT_FALSE(guard.Commit());
    }
    ASSERT_EQ(sink.entries.size(), 1u) << sink.lastText();
    const std::string& text = sink.entries[0].text;
    EXPECT_EQ(text.rfind("Errore scarico buffer tavola (conkal)\n\n - ", 0), 0u) << text;
    EXPECT_NE(text.find("Riga rifiutata n. 57 (blocco 6, riga 7 del blocco): "), std::string::npos) << text;
    EXPECT_NE(text.find("= 57, "), std::string::npos) << text;
    EXPECT_NE(text.find(kNothingStoredNote), std::string::npos) << text;
    // The table is as it was: the one row stored before.
    EXPECT_EQ(rawCount("conkal"), 1);
    EXPECT_EQ(rawCount("conkal", "ID = 57 AND euro = 57.25"), 1);
}

// Batches of many thousand rows, PostgreSQL storing each full one while the
// next is gathered: a refused row is named whichever batch holds it, and the
// transaction keeps every row or none.
TEST_P(DbBatches, ManyLargeBatchesKeepEveryRowOrNone)
{
    constexpr long kRows = 45000;
    struct Case {
        const char* name;
        long refused; // a row whose key is stored already, 0 for none
        bool commit;
        long stored;       // rows in the table afterwards
        const char* named; // the refused row as the message names it
    };
    const Case cases[] = {
        {"all kept", 0, true, kRows, nullptr},
        {"refused in the first batch", 15000, true, 1, "Riga rifiutata n. 15000 (blocco 1500, riga 10 del blocco): "},
        {"refused in the last full batch", 30001, true, 1,
         "Riga rifiutata n. 30001 (blocco 3001, riga 1 del blocco): "},
        {"undone", 0, false, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        raw().exec("DELETE FROM conkal");
        sink.entries.clear();
        if (c.refused > 0)
            rawInsertConkal(row(c.refused), "2004-01-15");
        {
            TableCursor cursor(&db(), "conkal", true);
            TransactionGuard guard(&db());
            ASSERT_TRUE(guard.IsActive()) << sink.lastText();
            add(cursor, 1, kRows);
            if (c.commit) {
                cursor.Flush();
                EXPECT_EQ(guard.Commit(), c.refused == 0) << sink.lastText();
            }
        }
        EXPECT_EQ(rawCount("conkal"), c.stored);
        if (c.named) {
            ASSERT_EQ(sink.entries.size(), 1u) << sink.lastText();
            EXPECT_NE(sink.entries[0].text.find(c.named), std::string::npos) << sink.entries[0].text;
        } else {
            EXPECT_TRUE(sink.empty()) << sink.lastText();
        }
    }
}

TEST_P(DbBatches, ARowRefusedByAnotherRowOfTheSameBatchIsTheOneNamed)
{
    {
        TransactionGuard guard(&db());
        TableCursor cursor(&db(), "conkal", true);
        add(cursor, 1, 42);
        ASSERT_TRUE(addConkal(cursor, row(13)));
        cursor.Flush();
        EXPECT_FALSE(guard.Commit());
    }
    ASSERT_FALSE(sink.empty());
    EXPECT_NE(sink.entries[0].text.find("Riga rifiutata n. 43 (blocco 5, riga 3 del blocco): "), std::string::npos)
        << sink.entries[0].text;
    EXPECT_EQ(rawCount("conkal"), 0);
}

TEST_P(DbBatches, AQueryOnTheConnectionSeesTheRowsNotYetSent)
{
    TransactionGuard guard(&db());
    TableCursor cursor(&db(), "conkal", true);
    add(cursor, 1, 20);
    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    select.SetWhere("conkal.ID = 20");
    EXPECT_TRUE(select.Execute()) << sink.lastText();
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbBatches, RowsOfAnUndoneTransactionAreNeverStored)
{
    {
        TableCursor cursor(&db(), "conkal", true);
        {
            TransactionGuard guard(&db());
            add(cursor, 1, 30);
        }
        // The cursor closes after its transaction was undone.
    }
    EXPECT_EQ(rawCount("conkal"), 0);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbBatches, TextsAndNullsGoThroughTheBatchAsTheyWere)
{
    {
        TransactionGuard guard(&db());
        {
            TableCursor cursor(&db(), "linee", true);
            const std::vector<std::string> codes{"SANT'ANNA", "a \"b\" \\ c", "Città", "NULL", "{1,2}"};
            for (size_t i = 0; i < codes.size(); ++i) {
                ASSERT_TRUE(cursor.AddNew());
                cursor.SetField("ID", std::to_string(i + 1));
                cursor.SetField("ente", "1");
                cursor.SetField("linea", codes[i]);
                cursor.SetField("denom", std::string());
                ASSERT_TRUE(cursor.Update());
            }
            cursor.Flush();
        }
        EXPECT_TRUE(guard.Commit()) << sink.lastText();
    }
    EXPECT_EQ(rawText("SELECT linea FROM linee WHERE " + schema::physicalColumnName("ID", raw().dialect()) + " = 2"),
              "a \"b\" \\ c");
    EXPECT_EQ(rawCount("linee", "linea = 'SANT''ANNA'"), 1);
    EXPECT_EQ(rawCount("linee", "linea = 'Città'"), 1);
    EXPECT_EQ(rawCount("linee", "linea = 'NULL'"), 1);
    EXPECT_EQ(rawCount("linee", "linea = '{1,2}'"), 1);
    EXPECT_EQ(rawCount("linee", "denom IS NULL"), 5);
}

TEST_P(DbBatches, DeletedBlocksCountAsTheyGoAndAreGoneWhenTheNextQueryRuns)
{
    for (long id = 1; id <= 35; ++id)
        rawInsertConkal(row(id), "2004-01-15");
    TransactionGuard guard(&db());
    std::vector<int> deleted;
    {
        DeleteCursor remove(&db());
        remove.SetColumns("ID");
        remove.SetTable("conkal");
        remove.SetWhere("conkal.ID > 3");
        for (bool block = remove.Open(); block && deleted.size() < 10; block = remove.MoveNext())
            if (remove.Delete())
                deleted.push_back(remove.DeletedCount());
        EXPECT_EQ(deleted, (std::vector<int>{10, 10, 10, 2}));
        SelectCursor select(&db());
        select.AddField("conkal", "ID", SqlType::Integer);
        select.SetFrom("conkal");
        select.SetWhere("conkal.ID > 3");
        EXPECT_FALSE(select.Execute()) << sink.lastText();
    }
    EXPECT_TRUE(guard.Commit()) << sink.lastText();
    EXPECT_EQ(rawCount("conkal"), 3);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbBatches, UpdatedRowsAreSeenByTheNextQueryAndKeptWithTheTransaction)
{
    for (long id = 1; id <= 25; ++id)
        rawInsertConkal(row(id), "2004-01-15");
    TransactionGuard guard(&db());
    {
        UpdateCursor cursor(&db());
        cursor.AddField("conkal", "ente", SqlType::SmallInt);
        cursor.AddField("conkal", "euro", SqlType::Double);
        cursor.SetFrom("conkal");
        cursor.SetWhere("conkal.ID > 5");
        int updated = 0;
        for (bool row = cursor.Open(); row && cursor.HasRow(); row = cursor.MoveNext()) {
            cursor.Edit();
            cursor.SetField("ente", "9");
            cursor.SetField("euro", "7,5");
            updated += cursor.Update() ? 1 : 0;
        }
        EXPECT_EQ(updated, 20);
        SelectCursor select(&db());
        select.AddField("conkal", "ID", SqlType::Integer);
        select.SetFrom("conkal");
        select.SetWhere("conkal.ente = 9");
        EXPECT_TRUE(select.Execute()) << sink.lastText();
    }
    EXPECT_TRUE(guard.Commit()) << sink.lastText();
    EXPECT_EQ(rawCount("conkal", "ente = 9 AND euro = 7.5"), 20);
    EXPECT_EQ(rawCount("conkal", "ente = 3"), 5);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbBatches, ABlockNotDeletedStays)
{
    for (long id = 1; id <= 25; ++id)
        rawInsertConkal(row(id), "2004-01-15");
    TransactionGuard guard(&db());
    {
        DeleteCursor remove(&db());
        remove.SetColumns("ID");
        remove.SetTable("conkal");
        remove.SetWhere("conkal.ID > 0");
        int block = 0;
        for (bool more = remove.Open(); more; more = remove.MoveNext()) {
            if (++block != 2) {
                EXPECT_TRUE(remove.Delete());
            }
        }
        EXPECT_EQ(block, 3);
    }
    EXPECT_TRUE(guard.Commit()) << sink.lastText();
    EXPECT_EQ(rawCount("conkal"), 10);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbBatches, DeletionsOfAnUndoneTransactionAreNeverMade)
{
    for (long id = 1; id <= 15; ++id)
        rawInsertConkal(row(id), "2004-01-15");
    {
        DeleteCursor remove(&db());
        remove.SetColumns("ID");
        remove.SetTable("conkal");
        {
            TransactionGuard guard(&db());
            ASSERT_TRUE(remove.Open());
            EXPECT_TRUE(remove.Delete());
        }
    }
    EXPECT_EQ(rawCount("conkal"), 15);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

INSTANTIATE_TEST_SUITE_P(Backends, DbBatches, ::testing::ValuesIn(kOdbcBackends), backendParamName);

} // namespace
} // namespace korvan::test
