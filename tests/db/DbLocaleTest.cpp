// Numbers cross between text and value in the C locale whatever the C
// library's locale: the users run under it_IT.UTF-8, where the decimal
// point is a comma and strtod/printf would read "1.85" as 1 and write "1,5".

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "db/Values.h"

namespace korvan::test {
namespace {

class ValuesInTheItalianLocale : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(italian_.active()) << kItalianLocale << " is not installed"; }

  private:
    ScopedLocale italian_{kItalianLocale};
};

TEST_F(ValuesInTheItalianLocale, DecimalTextsReadWithEitherSeparator)
{
    EXPECT_DOUBLE_EQ(parseDecimalText("1.85"), 1.85);
    EXPECT_DOUBLE_EQ(parseDecimalText("0,75"), 0.75);
    EXPECT_DOUBLE_EQ(parseDecimalText("+12,5 euro"), 12.5);
    EXPECT_EQ(parseWholeDecimal("12,50"), 12.5);
    EXPECT_EQ(parseWholeDecimal("-0.125"), -0.125);
    EXPECT_EQ(parseWholeDecimal("1,2,3"), std::nullopt);
    EXPECT_EQ(parseWholeInteger("-32768"), -32768);
    EXPECT_EQ(parseIntegerText("2147483647"), 2147483647L);
}

TEST_F(ValuesInTheItalianLocale, AmountsAreWrittenWithTheLayersOwnSeparator)
{
    EXPECT_EQ(formatAmountText(12.5), "000000000000012,5000");
    EXPECT_EQ(formatAmountText(-12.5), "-00000000000012,5000");
    EXPECT_EQ(formatRealText(0.75f), "000000000000000,7500");
    // printf-style texts of the program are C-locale texts too.
    EXPECT_EQ(formatText("%.2f|%d", 9.25875, 7), "9.26|7");
}

class DbInTheItalianLocale : public DbLayerFixture {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(italian_.active()) << kItalianLocale << " is not installed";
        DbLayerFixture::SetUp();
    }

  private:
    ScopedLocale italian_{kItalianLocale};
};

TEST_P(DbInTheItalianLocale, AmountsAreStoredAndReadWhole)
{
    {
        TableCursor cursor(&db(), "conkal");
        ASSERT_TRUE(addConkal(cursor, {.id = 1, .euro = "12,50"})) << sink.lastText();
        ASSERT_TRUE(addConkal(cursor, {.id = 2, .euro = "1.85"})) << sink.lastText();
    }
    {
        // The bulk mode converts the same way.
        TableCursor bulk(&db(), "conkal", true);
        ASSERT_TRUE(addConkal(bulk, {.id = 3, .euro = "0,75"})) << sink.lastText();
        ASSERT_TRUE(bulk.Flush()) << sink.lastText();
    }
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    EXPECT_EQ(rawCount("conkal", "euro = 12.5"), 1);
    EXPECT_EQ(rawCount("conkal", "euro = 1.85"), 1);
    EXPECT_EQ(rawCount("conkal", "euro = 0.75"), 1);

    SelectCursor select(&db());
    select.AddField("conkal", "euro", SqlType::Double);
    select.SetFrom("conkal");
    select.SetOrderBy("conkal.ID");
    ASSERT_TRUE(select.Execute()) << sink.lastText();
    double euro = 0;
    std::string text;
    EXPECT_TRUE(select.GetDouble(0, euro));
    EXPECT_DOUBLE_EQ(euro, 12.5);
    EXPECT_TRUE(select.GetFieldText("conkal.euro", text));
    EXPECT_EQ(text, "000000000000012,5000");
    ASSERT_TRUE(select.MoveNext());
    EXPECT_TRUE(select.GetDouble(0, euro));
    EXPECT_DOUBLE_EQ(euro, 1.85);

    // The table cursor reads the row found by its key by its own rule.
    TableCursor cursor(&db(), "conkal");
    const bool found = fileBackend() ? cursor.SelectIndex("codice") && cursor.SeekKey({"1", "3", "15/01/2004"})
                                     : cursor.FindWhere("azienda = 1 AND ID = 3");
    ASSERT_TRUE(found) << sink.lastText();
    ASSERT_TRUE(cursor.GetField("euro", text));
    EXPECT_EQ(text, fileBackend() ? "000000000000000,7500" : "              0.7500");
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

INSTANTIATE_TEST_SUITE_P(Backends, DbInTheItalianLocale, ::testing::ValuesIn(kAllBackends), backendParamName);

} // namespace
} // namespace korvan::test
