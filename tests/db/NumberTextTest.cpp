// The number conversions every value goes through: the same texts as the C
// library gives in the C locale, whatever locale the process runs under.

#include "db/NumberText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace korvan {
namespace {

std::string cPrintf(const char* format, double value)
{
    char text[512];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

TEST(NumberText, FixedTextRoundsAsPrintfDoesInTheCLocale)
{
    // Exact binary halves (k / 8) round to even as printf does; the other
    // values cover the ordinary amounts.
    for (int k = -40000; k <= 40000; ++k) {
        const double half = k / 8.0;
        ASSERT_EQ(fixedText(half, 2), cPrintf("%.2f", half)) << half;
        const double amount = k * 0.001 * 0.75;
        ASSERT_EQ(fixedText(amount, 2), cPrintf("%.2f", amount)) << amount;
        ASSERT_EQ(fixedText(amount, 4), cPrintf("%.4f", amount)) << amount;
    }
    EXPECT_EQ(fixedText(1e300, 4), cPrintf("%.4f", 1e300));
    EXPECT_EQ(fixedText(-0.0, 2), "-0.00");
}

TEST(NumberText, PaddedTextPutsZerosAfterTheSignAndBlanksBeforeIt)
{
    EXPECT_EQ(paddedFixedText(12.5, 4, 20, '0'), "000000000000012.5000");
    EXPECT_EQ(paddedFixedText(-12.5, 4, 20, '0'), "-00000000000012.5000");
    EXPECT_EQ(paddedFixedText(-12.5, 4, 20, ' '), "            -12.5000");
    EXPECT_EQ(paddedFixedText(123456789012345678.0, 4, 20, '0'), cPrintf("%020.4f", 123456789012345678.0));
    EXPECT_EQ(paddedFixedText(INFINITY, 4, 8, '0'), cPrintf("%08.4f", INFINITY));
}

TEST(NumberText, ShortestTextReadsBackAsTheSameValue)
{
    EXPECT_EQ(shortestText(12345.6), "12345.6");
    EXPECT_EQ(shortestText(2147483648.0), "2147483648");
}

TEST(NumberText, LeadingDecimalIsReadAsStrtodReadsIt)
{
    size_t used = 0;
    EXPECT_EQ(readLeadingDecimal(" \t+1.5e3x", &used), 1500.0);
    EXPECT_EQ(used, 8u);
    EXPECT_EQ(readLeadingDecimal("-.5"), -0.5);
    EXPECT_EQ(readLeadingDecimal("1.2.3", &used), 1.2);
    EXPECT_EQ(used, 3u);
    EXPECT_EQ(readLeadingDecimal("12,5", &used), 12.0);
    EXPECT_EQ(used, 2u);
    EXPECT_EQ(readLeadingDecimal("7e", &used), 7.0);
    EXPECT_EQ(used, 1u);
    for (const char* notANumber : {"", " ", ".", ".x", "+-1", "inf", "nan", "x0", "e5", "1e999"})
        EXPECT_EQ(readLeadingDecimal(notANumber, &used), std::nullopt) << notANumber;
    EXPECT_EQ(used, 0u);
}

TEST(NumberText, LeadingIntegerIsReadAsStrtollReadsIt)
{
    size_t used = 0;
    EXPECT_EQ(readLeadingInteger("+42abc", &used), 42);
    EXPECT_EQ(used, 3u);
    EXPECT_EQ(readLeadingInteger("  -7", &used), -7);
    EXPECT_EQ(used, 4u);
    EXPECT_EQ(readLeadingInteger("12.9"), 12);
    EXPECT_EQ(readLeadingInteger("-9223372036854775808"), -9223372036854775807LL - 1);
    for (const char* notANumber : {"", "-", "+ 1", "x1", "9223372036854775808"})
        EXPECT_EQ(readLeadingInteger(notANumber), std::nullopt) << notANumber;
}

TEST(NumberText, ItalianLocaleChangesNothing)
{
    test::ScopedLocale italian(test::kItalianLocale);
    ASSERT_TRUE(italian.active()) << test::kItalianLocale << " is not installed";
    EXPECT_EQ(fixedText(9.25875, 2), "9.26");
    EXPECT_EQ(paddedFixedText(-0.5, 4, 10, ' '), "   -0.5000");
    EXPECT_EQ(readLeadingDecimal("1.85"), 1.85);
}

} // namespace
} // namespace korvan
