// Rows written, read and deleted in blocks of the ordinary rowset size.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "db/Values.h"

#include <vector>

namespace korvan::test {
namespace {

class DbBlocks : public DbLayerFixture {
  protected:
    static ConkalRow row(long id)
    {
        const CivilDate date{2004, 1 + static_cast<int>(id % 12), 1 + static_cast<int>(id % 28)};
        return {.azienda = 1, .id = id, .data = formatDateText(date), .euro = formatText("%ld,25", id)};
    }

    // Bulk-inserts rows with IDs first..last; returns RowsWritten of each
    // Update that wrote a block, then of the Flush.
    std::vector<int> bulkInsert(long first, long last)
    {
        std::vector<int> written;
        TableCursor cursor(&db(), "conkal", true);
        EXPECT_TRUE(cursor.IsOpen()) << sink.lastText();
        for (long id = first; id <= last; ++id) {
            EXPECT_TRUE(addConkal(cursor, row(id))) << sink.lastText();
            if (cursor.RowsWritten() > 0)
                written.push_back(cursor.RowsWritten());
        }
        cursor.Flush();
        written.push_back(cursor.RowsWritten());
        return written;
    }
};

TEST_P(DbBlocks, SixtyRowsAreWrittenReadAndDeletedInBlocksOfTwentyFive)
{
    EXPECT_EQ(bulkInsert(1, 60), (std::vector<int>{25, 25, 10}));
    EXPECT_EQ(rawCount("conkal"), 60);
    EXPECT_EQ(rawCount("conkal", "euro = 60.25"), 1);

    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.AddField("conkal", "data", SqlType::Date);
    select.SetFrom("conkal");
    select.SetOrderBy("conkal.ID");
    ASSERT_TRUE(select.Execute()) << sink.lastText();
    int moves = 0;
    long expected = 1;
    do {
        int id = 0;
        std::string date;
        EXPECT_TRUE(select.GetLong(0, id));
        EXPECT_TRUE(select.GetText(1, date));
        EXPECT_EQ(id, expected);
        EXPECT_EQ(date, row(expected).data);
        ++expected;
    } while (select.MoveNext() && ++moves < 100);
    EXPECT_EQ(moves, 59);
    EXPECT_FALSE(select.MoveNext());

    DeleteCursor remove(&db());
    remove.SetColumns("azienda");
    remove.SetTable("conkal");
    remove.SetWhere("conkal.azienda = 1");
    ASSERT_TRUE(remove.Open()) << sink.lastText();
    std::vector<int> deleted;
    do {
        EXPECT_TRUE(remove.Delete()) << sink.lastText();
        deleted.push_back(remove.DeletedCount());
    } while (remove.MoveNext() && deleted.size() < 10);
    EXPECT_EQ(deleted, (std::vector<int>{25, 25, 10}));
    EXPECT_EQ(rawCount("conkal"), 0);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbBlocks, DeleteRemovesOnlyTheSelectedRows)
{
    bulkInsert(1, 30);
    DeleteCursor remove(&db());
    remove.SetColumns("ID");
    remove.SetTable("conkal");
    remove.SetWhere("conkal.ID > 10 AND conkal.ID <= 20");
    ASSERT_TRUE(remove.Open()) << sink.lastText();
    EXPECT_TRUE(remove.Delete());
    EXPECT_EQ(remove.DeletedCount(), 10);
    EXPECT_FALSE(remove.MoveNext());
    EXPECT_EQ(rawCount("conkal"), 20);
    EXPECT_EQ(rawCount("conkal", "ID > 10 AND ID <= 20"), 0);

    DeleteCursor none(&db());
    none.SetColumns("ID");
    none.SetTable("conkal");
    none.SetWhere("conkal.ID > 1000");
    EXPECT_FALSE(none.Open());
    EXPECT_FALSE(none.Delete());
    EXPECT_EQ(none.DeletedCount(), 0);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbBlocks, DeleteAllRemovesTheSelectionWithOneStatementAndCountsIt)
{
    bulkInsert(1, 60);
    struct Case {
        const char* where;
        bool deleted;
        int count;
        long left;
    };
    const Case cases[] = {
        {"conkal.ID > 1000", true, 0, 60}, // nothing selected
        {"conkal.ID > 10 AND conkal.ID <= 47", true, 37, 23},
        {"conkal.nocolumn = 1", false, 0, 23}, // refused: told, nothing removed
        {"", true, 23, 0},                     // the whole table
    };
    for (const Case& c : cases) {
        sink.entries.clear();
        DeleteCursor remove(&db());
        remove.SetColumns("ID");
        remove.SetTable("conkal");
        remove.SetWhere(c.where);
        EXPECT_EQ(remove.DeleteAll(), c.deleted) << c.where << ": " << sink.lastText();
        EXPECT_EQ(remove.DeletedCount(), c.count) << c.where;
        EXPECT_EQ(rawCount("conkal"), c.left) << c.where;
        EXPECT_EQ(sink.empty(), c.deleted) << c.where << ": " << sink.lastText();
    }
}

TEST_P(DbBlocks, ABlockWithARefusedRowCountsWhatWasStoredAndWhatWasNot)
{
    rawInsertConkal(row(7), formatIsoDate(*parseDateText(row(7).data)));
    int written = 0;
    int rejected = 0;
    {
        TableCursor cursor(&db(), "conkal", true);
        for (long id = 1; id <= 25; ++id) {
            ASSERT_TRUE(addConkal(cursor, row(id))) << sink.lastText();
            written += cursor.RowsWritten();
            rejected += cursor.RowsRejected();
        }
    }
    // The duplicate key is refused; no row of the block is lost silently.
    EXPECT_EQ(written + rejected, 25);
    EXPECT_EQ(rawCount("conkal"), 1 + written);
    ASSERT_FALSE(sink.empty());
    EXPECT_EQ(sink.entries[0].text.rfind("Errore aggiornamento tavola (conkal)\n\n - ", 0), 0u) << sink.lastText();
    if (fileBackend()) {
        EXPECT_EQ(written, 24);
        EXPECT_EQ(rejected, 1);
        EXPECT_EQ(sink.entries.size(), 1u);
    }
}

TEST_P(DbBlocks, RefusedRowsAreReportedByTheStepThatWroteThem)
{
    rawInsertConkal(row(2), formatIsoDate(*parseDateText(row(2).data)));
    {
        TableCursor cursor(&db(), "conkal", true);
        ASSERT_TRUE(addConkal(cursor, row(1)) && addConkal(cursor, row(2)));
        cursor.Flush();
        EXPECT_EQ(cursor.RowsWritten() + cursor.RowsRejected(), 2);
        ASSERT_EQ(sink.entries.size(), 1u);
        EXPECT_EQ(sink.entries[0].text.rfind("Errore scarico buffer tavola (conkal)\n\n - ", 0), 0u)
            << sink.entries[0].text;
        ASSERT_TRUE(addConkal(cursor, row(2)));
    }
    ASSERT_EQ(sink.entries.size(), 2u);
    EXPECT_EQ(sink.entries[1].text.rfind("Errore chiusura tavola (conkal)\n\n - ", 0), 0u) << sink.entries[1].text;
    EXPECT_EQ(sink.entries[1].icon, MessageIcon::Error);
}

TEST_P(DbBlocks, RowsPendingAtCloseAreStored)
{
    {
        TableCursor cursor(&db(), "conkal", true);
        for (long id = 1; id <= 7; ++id)
            ASSERT_TRUE(addConkal(cursor, row(id)));
        EXPECT_EQ(rawCount("conkal"), 0);
    }
    EXPECT_EQ(rawCount("conkal"), 7);
}

TEST_P(DbBlocks, BulkRowsBelongToTheCallersTransaction)
{
    db().BeginTrans();
    EXPECT_EQ(bulkInsert(1, 30), (std::vector<int>{25, 5}));
    db().Rollback();
    EXPECT_EQ(rawCount("conkal"), 0);
    db().BeginTrans();
    bulkInsert(1, 30);
    db().CommitTrans();
    EXPECT_EQ(rawCount("conkal"), 30);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbBlocks, RowsetSizeComesFromTheConnection)
{
    reopen(1000);
    EXPECT_EQ(bulkInsert(1, 2500), (std::vector<int>{1000, 1000, 500}));
    EXPECT_EQ(rawCount("conkal"), 2500);
    DeleteCursor remove(&db());
    remove.SetColumns("ID");
    remove.SetTable("conkal");
    ASSERT_TRUE(remove.Open()) << sink.lastText();
    std::vector<int> deleted;
    do {
        EXPECT_TRUE(remove.Delete()) << sink.lastText();
        deleted.push_back(remove.DeletedCount());
    } while (remove.MoveNext() && deleted.size() < 10);
    EXPECT_EQ(deleted, (std::vector<int>{1000, 1000, 500}));
    EXPECT_EQ(rawCount("conkal"), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, DbBlocks, ::testing::ValuesIn(kAllBackends), backendParamName);

} // namespace
} // namespace korvan::test
