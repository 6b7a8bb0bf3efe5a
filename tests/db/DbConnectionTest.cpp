// Opening, transactions, table cursors by key and update cursors.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"

namespace korvan::test {
namespace {

class DbConnectionCase : public DbLayerFixture {
  protected:
    // Finds a conkal row the way the callers do on each back end.
    bool findConkal(TableCursor& cursor, int azienda, long id, const CivilDate& date)
    {
        if (db().IsSqlite())
            return cursor.SelectIndex("codice") &&
                   cursor.SeekKey({std::to_string(azienda), std::to_string(id), formatDateText(date)});
        return cursor.FindWhere("azienda = " + std::to_string(azienda) + " AND ID = " + std::to_string(id) +
                                " AND data = " + db().Dialect().keyDateLiteral(date));
    }
};

TEST_P(DbConnectionCase, TransactionsCommitAndRollBack)
{
    db().BeginTrans();
    {
        TableCursor cursor(&db(), "conkal");
        ASSERT_TRUE(addConkal(cursor, {.id = 1}));
    }
    db().Rollback();
    EXPECT_EQ(rawCount("conkal"), 0);
    db().BeginTrans();
    {
        TableCursor cursor(&db(), "conkal");
        ASSERT_TRUE(addConkal(cursor, {.id = 2}));
    }
    db().CommitTrans();
    EXPECT_EQ(rawCount("conkal", "ID = 2"), 1);
    EXPECT_EQ(rawCount("conkal"), 1);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbConnectionCase, MissingTableLeavesTheCursorClosedWithAMessage)
{
    TableCursor cursor(&db(), "nonesiste");
    EXPECT_FALSE(cursor.IsOpen());
    EXPECT_FALSE(cursor.AddNew());
    ASSERT_FALSE(sink.empty());
    if (fileBackend()) {
        EXPECT_EQ(sink.entries[0].text.rfind("Errore in fase di apertura della tavola (nonesiste)\n\n", 0), 0u)
            << sink.entries[0].text;
    }
}

TEST_P(DbConnectionCase, RowFoundByKeyIsEditedInPlace)
{
    rawInsertConkal({.id = 7, .euro = "1.5"}, "2004-01-15");
    rawInsertConkal({.id = 7, .euro = "2.5"}, "2004-01-16");
    {
        TableCursor cursor(&db(), "conkal");
        ASSERT_TRUE(findConkal(cursor, 1, 7, {2004, 1, 16})) << sink.lastText();
        std::string text;
        EXPECT_TRUE(cursor.GetField("ID", text));
        EXPECT_EQ(text, "7");
        ASSERT_TRUE(cursor.Edit());
        EXPECT_TRUE(cursor.SetField("euro", "3,75"));
        EXPECT_TRUE(cursor.SetField("minima", "0"));
        EXPECT_TRUE(cursor.Update()) << sink.lastText();
        EXPECT_EQ(cursor.RowsWritten(), 1);
        EXPECT_FALSE(findConkal(cursor, 1, 7, {2004, 1, 17}));
    }
    EXPECT_EQ(rawCount("conkal", "euro = 3.75 AND minima = 0 AND data = '2004-01-16'"), 1);
    EXPECT_EQ(rawCount("conkal", "euro = 1.5 AND minima = 1"), 1);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbConnectionCase, EachBackEndFindsRowsOnlyItsOwnWay)
{
    rawInsertConkal({.id = 7}, "2004-01-15");
    TableCursor cursor(&db(), "conkal");
    if (fileBackend())
        EXPECT_FALSE(cursor.FindWhere("ID = 7"));
    else
        EXPECT_FALSE(cursor.SeekKey({"1", "7", "15/01/2004"}));
    EXPECT_TRUE(cursor.SelectIndex("codice"));
}

TEST_P(DbConnectionCase, UpdateCursorChangesTheSelectedRows)
{
    for (long id = 1; id <= 4; ++id)
        rawInsertConkal({.id = id}, "2004-01-01");
    UpdateCursor cursor(&db());
    cursor.AddField("conkal", "minima", SqlType::Bit);
    cursor.AddField("conkal", "euro", SqlType::Double);
    cursor.SetFrom("conkal");
    cursor.SetWhere("conkal.ID >= 2 AND conkal.ID <= 3");
    cursor.SetOrderBy("conkal.ID");
    ASSERT_TRUE(cursor.Open()) << sink.lastText();
    int rows = 0;
    do {
        ASSERT_TRUE(cursor.Edit());
        EXPECT_TRUE(cursor.SetField("minima", "0"));
        EXPECT_TRUE(cursor.SetField("euro", "99,5"));
        EXPECT_TRUE(cursor.Update()) << sink.lastText();
        ++rows;
    } while (cursor.MoveNext() && rows < 10);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(rawCount("conkal", "minima = 0 AND euro = 99.5"), 2);
    EXPECT_EQ(rawCount("conkal", "minima = 0 AND (ID = 2 OR ID = 3)"), 2);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbConnectionCase, UpdateCursorGivesTheReadFieldsOfEachRowItWalks)
{
    rawInsertConkal({.id = 3}, "2004-02-29");
    rawInsertConkal({.id = 1}, "2004-01-31");
    rawInsertConkal({.id = 2}, "2004-12-01");
    UpdateCursor cursor(&db());
    cursor.AddField("conkal", "euro", SqlType::Double);
    cursor.AddReadField("conkal", "ID", SqlType::Integer);
    cursor.AddReadField("conkal", "data", SqlType::Date);
    cursor.SetFrom("conkal");
    cursor.SetOrderBy("conkal.ID");
    ASSERT_TRUE(cursor.Open()) << sink.lastText();
    std::vector<std::pair<long long, int>> keys;
    FieldValue value;
    do {
        EXPECT_FALSE(cursor.GetValue(0, value)) << "a field to change is not a read field";
        ASSERT_TRUE(cursor.GetValue(1, value));
        ASSERT_EQ(value.kind, FieldValue::Kind::Integer);
        const long long id = value.integer;
        ASSERT_TRUE(cursor.GetValue(2, value));
        ASSERT_EQ(value.kind, FieldValue::Kind::Date);
        keys.emplace_back(id, value.date.key());
        if (id == 2) {
            ASSERT_TRUE(cursor.Edit());
            EXPECT_TRUE(cursor.SetField("euro", "7"));
            EXPECT_TRUE(cursor.Update()) << sink.lastText();
            // The row keeps its key after its change.
            ASSERT_TRUE(cursor.GetValue(1, value));
            EXPECT_EQ(value.integer, 2);
        }
    } while (cursor.MoveNext() && keys.size() < 10);
    EXPECT_EQ(keys, (std::vector<std::pair<long long, int>>{{1, 20040131}, {2, 20041201}, {3, 20040229}}));
    EXPECT_FALSE(cursor.GetValue(1, value)) << "no row after the last";
    EXPECT_EQ(rawCount("conkal", "euro = 7 AND ID = 2"), 1);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbConnectionCase, UpdateCursorOverTwoTablesDoesNotOpen)
{
    rawInsertConkal({.id = 1}, "2004-01-01");
    raw().exec("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (1, 1, 3, 1, 5)");
    UpdateCursor cursor(&db());
    cursor.AddField("conkal", "minima", SqlType::Bit);
    cursor.AddField("concors", "minima", SqlType::Bit);
    cursor.SetFrom("conkal, concors");
    cursor.SetWhere("concors.azienda = conkal.azienda AND concors.ID = conkal.ID");
    EXPECT_FALSE(cursor.Open());
    EXPECT_FALSE(cursor.Edit());
    EXPECT_FALSE(cursor.SetField("minima", "0"));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    EXPECT_EQ(rawCount("conkal", "minima = 1"), 1);
}

// A table changed through the connection after a cursor has met it is
// what the next cursor meets: the connection may remember what the
// catalogue said of a table, but not past a change or an undone transaction.
TEST_P(DbConnectionCase, NextCursorMeetsTheTableAsTheConnectionLeftIt)
{
    struct Case {
        const char* name;
        const char* change;
        bool undone; // the table made, met and changed inside a transaction rolled back
        bool opens;  // the next cursor opens and writes the column added
    };
    const Case cases[] = {
        {"column added", "ALTER TABLE scratch ADD COLUMN extra INTEGER", false, true},
        {"table dropped", "DROP TABLE scratch", false, false},
        {"column added, undone", "ALTER TABLE scratch ADD COLUMN extra INTEGER", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        raw().exec("DROP TABLE IF EXISTS scratch");
        if (c.undone) {
            ASSERT_TRUE(db().BeginTrans()) << sink.lastText();
        }
        ASSERT_TRUE(db().ExecuteStatement("CREATE TABLE scratch (code INTEGER PRIMARY KEY, name VARCHAR(10))", "make"))
            << sink.lastText();
        EXPECT_TRUE(TableCursor(&db(), "scratch").IsOpen()) << sink.lastText();
        ASSERT_TRUE(db().ExecuteStatement(c.change, "change")) << sink.lastText();
        if (c.undone) {
            EXPECT_TRUE(TableCursor(&db(), "scratch").IsOpen()) << sink.lastText();
            ASSERT_TRUE(db().Rollback()) << sink.lastText();
        }
        sink.entries.clear();
        TableCursor next(&db(), "scratch");
        EXPECT_EQ(next.IsOpen(), c.opens) << sink.lastText();
        if (c.opens) {
            ASSERT_TRUE(next.AddNew());
            EXPECT_TRUE(next.SetField("code", "1"));
            EXPECT_TRUE(next.SetField("extra", "7")) << sink.lastText();
            EXPECT_TRUE(next.Update()) << sink.lastText();
            EXPECT_TRUE(next.Flush()) << sink.lastText();
            EXPECT_EQ(rawCount("scratch", "extra = 7"), 1);
        } else {
            EXPECT_FALSE(sink.empty());
        }
    }
    raw().exec("DROP TABLE IF EXISTS scratch");
}

INSTANTIATE_TEST_SUITE_P(Backends, DbConnectionCase, ::testing::ValuesIn(kAllBackends), backendParamName);

} // namespace
} // namespace korvan::test
