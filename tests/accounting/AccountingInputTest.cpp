// Entries of the accounting dialogs: price per km, times of day, dates, and
// the amount text written for a run.

#include "accounting/AccountingInput.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace korvan::accounting {
namespace {

TEST(AmountEntry, ReadsDigitsWithOneSeparatorOfEitherKind)
{
    const std::pair<const char*, double> accepted[] = {
        {"0,75", 0.75},   {"0.75", 0.75},           {"+0.75", 0.75}, {"12", 12.0},
        {"1,85  ", 1.85}, {"123456,78", 123456.78}, {"007", 7.0},
    };
    for (const auto& [text, expected] : accepted) {
        const auto value = readAmountEntry(text);
        ASSERT_TRUE(value) << "'" << text << "'";
        EXPECT_DOUBLE_EQ(*value, expected) << "'" << text << "'";
    }
}

TEST(AmountEntry, RefusesWhatWouldBeReadAsAnotherNumber)
{
    // Each of these once passed as the number at its start (1,80, 1,00,
    // 12,50, 1 and 0,50 for the first five).
    for (const char* text : {"1,8,5", "1.000,50", "12,5.3", "1,", ",5", "1.2.3", "1 000", "5 x", " 5", "1e3", "-1", "+",
                             "++5", "", "   ", "0", "0,00", "abc", "5\t"})
        EXPECT_FALSE(readAmountEntry(text)) << "'" << text << "'";
    // The price per km is the same rule.
    for (const char* text : {"1,8,5", "1.000,50", "12,5.3", "1,", ",5"})
        EXPECT_FALSE(parseEuroPerKm(text)) << "'" << text << "'";
}

TEST(EuroPerKmEntry, ReadsTheSameValueInTheItalianLocale)
{
    test::ScopedLocale italian(test::kItalianLocale);
    ASSERT_TRUE(italian.active()) << test::kItalianLocale << " is not installed";
    for (const auto& [text, expected] : {std::pair{"1.85", 1.85}, {"0,75", 0.75}, {"+12,5", 12.5}}) {
        const auto value = parseEuroPerKm(text);
        ASSERT_TRUE(value) << text;
        EXPECT_DOUBLE_EQ(*value, expected) << text;
    }
    EXPECT_EQ(runAmountText(12345, 0.75), "9,26");
    EXPECT_EQ(fourDecimalAmountText(7.25), "7,2500");
}

TEST(EuroPerKmEntry, MoreThanTheEditsEightCharactersIsRefused)
{
    // The dialog's edit holds 8 characters; the batch command refuses what
    // it could not hold instead of reading a cut entry.
    const auto eight = parseEuroPerKm("1.234567");
    ASSERT_TRUE(eight);
    EXPECT_DOUBLE_EQ(*eight, 1.234567);
    for (const char* text : {"123456789", "1.2345678", "1.234567x"})
        EXPECT_FALSE(parseEuroPerKm(text)) << text;
}

TEST(TimeOfDayEntry, FourSeparatorsAndOneOrTwoHourDigits)
{
    for (const char* text : {"8.30", "08:30", "8-30", "08,30", "08.30 dopo"})
        EXPECT_EQ(parseTimeOfDay(text), std::optional<int>(830)) << text;
    EXPECT_EQ(parseTimeOfDay("0.00"), std::optional<int>(0));
    EXPECT_EQ(parseTimeOfDay("23:59"), std::optional<int>(2359));
}

TEST(TimeOfDayEntry, RefusesOutOfRangeAndMalformedTimes)
{
    for (const char* text : {"24.00", "8.60", "830", "8.3", "", "08/30", "a8.30", "108.30", " 8.30"})
        EXPECT_FALSE(parseTimeOfDay(text)) << "'" << text << "'";
}

TEST(DateEntry, TwoDigitYearsAreOfThisCentury)
{
    const auto date = parseDateEntry("01-01-04");
    ASSERT_TRUE(date);
    EXPECT_EQ(formatDateText(*date), "01/01/2004");
    const auto full = parseDateEntry("29.02.2004");
    ASSERT_TRUE(full);
    EXPECT_EQ(formatDateText(*full), "29/02/2004");
}

TEST(DateEntry, RefusesShortFormsImpossibleDatesAndOtherSeparators)
{
    for (const char* text :
         {"1/1/04", "31/02/2004", "29/02/2005", "01:01:2004", "01/13/2004", "", "01/01/200", "00/01/2004"})
        EXPECT_FALSE(parseDateEntry(text)) << "'" << text << "'";
}

TEST(RunAmount, TwoDecimalsRoundedWithAComma)
{
    EXPECT_EQ(runAmountText(12345, 0.75), "9,26");
    EXPECT_EQ(runAmountText(0, 0.75), "0,00");
    EXPECT_EQ(fourDecimalAmountText(12.5), "12,5000");
}

TEST(Weekday, MondayIsZero)
{
    EXPECT_EQ(weekdayIndex({2004, 1, 5}), 0);  // Monday
    EXPECT_EQ(weekdayIndex({2004, 1, 3}), 5);  // Saturday
    EXPECT_EQ(weekdayIndex({2004, 2, 29}), 6); // Sunday
    EXPECT_EQ(weekdayIndex({2005, 3, 1}), 1);  // Tuesday
}

} // namespace
} // namespace korvan::accounting
