// Statements assembled, run and walked by the select cursor.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "db/Values.h"

namespace korvan::test {
namespace {

class DbSelect : public DbLayerFixture {};

TEST_P(DbSelect, BuildSqlSpellsTheStatementExactly)
{
    SelectCursor select(&db());
    EXPECT_FALSE(select.BuildSql());
    select.AddField("corse", "ID", SqlType::Integer);
    EXPECT_FALSE(select.BuildSql());
    select.AddField("corse", "ente", SqlType::SmallInt);
    select.SetFrom("corse");
    select.SetWhere("corse.azienda = 3");
    select.SetOrderBy("corse.ID");
    ASSERT_TRUE(select.BuildSql());
    EXPECT_EQ(select.SqlText(), "SELECT corse.ID, corse.ente FROM corse WHERE corse.azienda = 3 ORDER BY corse.ID ");
    EXPECT_FALSE(select.SetWhere(""));
    select.SetGroupBy("corse.ID, corse.ente");
    ASSERT_TRUE(select.BuildSql());
    EXPECT_EQ(select.SqlText(),
              "SELECT corse.ID, corse.ente FROM corse GROUP BY corse.ID, corse.ente ORDER BY corse.ID ");
}

TEST_P(DbSelect, EmptyResultEndsAtOnceWithoutAMessage)
{
    SelectCursor select(&db());
    select.AddField("corse", "ID", SqlType::Integer);
    select.SetFrom("corse");
    EXPECT_FALSE(select.Execute());
    EXPECT_FALSE(select.MoveNext());
    int value = 5;
    EXPECT_FALSE(select.GetLong(0, value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbSelect, GetFieldTextTakesTheQualifiedNameEverywhereAndTheBareNameOnTheFile)
{
    raw().exec("INSERT INTO regent (codice, denom) VALUES (12, 'Provincia   ')");
    SelectCursor select(&db());
    select.AddField("regent", "codice", SqlType::SmallInt);
    select.AddField("regent", "denom", SqlType::VarChar);
    select.SetFrom("regent");
    ASSERT_TRUE(select.Execute()) << sink.lastText();
    std::string text;
    EXPECT_TRUE(select.GetFieldText("regent.codice", text));
    EXPECT_EQ(text, "12");
    EXPECT_TRUE(select.GetFieldText("regent.denom", text));
    EXPECT_EQ(text, "Provincia");
    EXPECT_EQ(select.GetFieldText("denom", text), fileBackend());
    if (fileBackend()) {
        EXPECT_EQ(text, "Provincia");
        EXPECT_FALSE(select.GetFieldText("regent.nome", text));
        EXPECT_EQ(sink.lastText().rfind(
                      "Errore campo (regent.nome) nella select corrente\n\n" + select.SqlText() + "\n\n", 0),
                  0u);
    } else {
        EXPECT_TRUE(sink.empty()) << sink.lastText();
    }
}

TEST_P(DbSelect, BlankTextKeepsOneBlank)
{
    raw().exec("INSERT INTO linee (ID, ente, linea, denom) VALUES (1, 2, '   ', '')");
    SelectCursor select(&db());
    select.AddField("linee", "linea", SqlType::VarChar);
    select.SetFrom("linee");
    ASSERT_TRUE(select.Execute()) << sink.lastText();
    std::string text;
    EXPECT_TRUE(select.GetFieldText("linee.linea", text));
    // PostgreSQL's VARCHAR keeps the blanks as given too.
    EXPECT_EQ(text, " ");
}

TEST_P(DbSelect, PeriodConditionWithTheDialectsLiteralSelectsExactlyThePeriod)
{
    const char* days[] = {"2003-12-31", "2004-01-01", "2004-01-15", "2004-01-31", "2004-02-01", "2005-01-15"};
    long id = 1;
    for (const char* day : days)
        rawInsertConkal({.id = id++}, day);
    const SqlDialect& dialect = db().Dialect();
    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    select.SetWhere("conkal.data >= " + dialect.periodDateLiteral({2004, 1, 1}) +
                    " AND conkal.data <= " + dialect.periodDateLiteral({2004, 1, 31}));
    select.SetOrderBy("conkal.ID");
    ASSERT_TRUE(select.Execute()) << sink.lastText();
    std::vector<int> ids;
    do {
        int value = 0;
        select.GetLong(0, value);
        ids.push_back(value);
    } while (select.MoveNext());
    EXPECT_EQ(ids, (std::vector<int>{2, 3, 4}));
}

TEST_P(DbSelect, MoveFirstWalksAgain)
{
    for (long id = 1; id <= 3; ++id)
        rawInsertConkal({.id = id}, "2004-01-01");
    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    select.SetOrderBy("conkal.ID");
    ASSERT_TRUE(select.Execute());
    while (select.MoveNext()) {
    }
    ASSERT_TRUE(select.MoveFirst());
    int value = 0;
    EXPECT_TRUE(select.GetLong(0, value));
    EXPECT_EQ(value, 1);
}

TEST_P(DbSelect, SyntaxErrorShowsTheStatementWithTheWarningIcon)
{
    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    select.SetWhere("conkal.ID = = 3");
    EXPECT_FALSE(select.Execute());
    ASSERT_EQ(sink.entries.size(), 1u);
    const std::string head = fileBackend() ? "Errore sintassi SQL\n\n" : "Errore estrazione Select SQL\n\n";
    EXPECT_EQ(sink.entries[0].text.rfind(head + select.SqlText() + "\n\n", 0), 0u) << sink.entries[0].text;
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(select.MoveNext());
}

TEST_P(DbSelect, CountRowsCountsWhatTheWalkWouldRead)
{
    for (long id = 1; id <= 7; ++id)
        rawInsertConkal({.id = id}, "2004-01-15");
    SelectCursor select(&db());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    select.SetWhere("conkal.ID > 2");
    EXPECT_EQ(select.CountRows(), 5);
    select.SetWhere("conkal.ID > 100");
    EXPECT_EQ(select.CountRows(), 0);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

INSTANTIATE_TEST_SUITE_P(Backends, DbSelect, ::testing::ValuesIn(kAllBackends), backendParamName);

} // namespace
} // namespace korvan::test
