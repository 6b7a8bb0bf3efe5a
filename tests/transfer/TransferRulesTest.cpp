// The rules of the copy by themselves: values made into a column's kind or
// refused with a reason, the dates of a JET file, and the checksum of a
// table's rows.

#include "db/SqlTypes.h"
#include "transfer/JetDates.h"
#include "transfer/TableChecksum.h"
#include "transfer/ValueConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace korvan::transfer {
namespace {

FieldValue integer(long long v)
{
    FieldValue value;
    value.setInteger(v);
    return value;
}
FieldValue real(double v)
{
    FieldValue value;
    value.setReal(v);
    return value;
}
FieldValue text(const std::string& v)
{
    FieldValue value;
    value.setText(v);
    return value;
}
FieldValue date(int y, int m, int d, bool withTime = false)
{
    FieldValue value;
    value.setDate({y, m, d}, withTime);
    return value;
}

TEST(ValueConversion, ValuesAreMadeIntoTheColumnsKindOrRefusedWithTheReason)
{
    struct Case {
        const char* what;
        FieldValue in;
        schema::Column column;
        const char* result; // the value converted, or the reason's beginning
    };
    const Case cases[] = {
        {"small integer", integer(-32768), {"c", SqlType::SmallInt}, "-32768"},
        {"beyond a small integer", integer(32768), {"c", SqlType::SmallInt}, "Il numero è fuori dall'intervallo"},
        {"long integer", integer(2147483647), {"c", SqlType::Integer}, "2147483647"},
        {"beyond a long integer", integer(-2147483649LL), {"c", SqlType::Integer}, "Il numero è fuori"},
        {"a whole double in an integer column", real(42.0), {"c", SqlType::Integer}, "42"},
        {"a fraction in an integer column", real(42.5), {"c", SqlType::Integer}, "Il valore non è un intero"},
        {"JET's true", integer(-1), {"c", SqlType::Bit}, "1"},
        {"a bit of 2", integer(2), {"c", SqlType::Bit}, "Il numero è fuori"},
        {"an integer in a double column", integer(7), {"c", SqlType::Double}, "7"},
        {"a text in a double column", text("1,5"), {"c", SqlType::Double}, "Il valore non è un numero"},
        {"no number", real(std::nan("")), {"c", SqlType::Double}, "Il valore non è un numero finito"},
        {"beyond single precision", real(1e39), {"c", SqlType::Real}, "Il numero è troppo grande"},
        {"a date", date(2025, 3, 1), {"c", SqlType::Date}, "01/03/2025"},
        {"no date's stored form", date(1600, 1, 1), {"c", SqlType::Date}, "01/01/1600"},
        {"open-ended's stored form", date(2400, 12, 31), {"c", SqlType::Date}, "31/12/2400"},
        {"before 1600", date(1599, 12, 31), {"c", SqlType::Date}, "La data 31/12/1599 è fuori"},
        {"after 2400", date(2401, 1, 1), {"c", SqlType::Date}, "La data 01/01/2401 è fuori"},
        {"no day of the calendar", date(2025, 2, 29), {"c", SqlType::Date}, "Data impossibile"},
        {"a time of day", date(2025, 3, 1, true), {"c", SqlType::Date}, "La data ha anche un'ora"},
        {"a text in a date column", text("2025-03-01"), {"c", SqlType::Date}, "Il valore memorizzato non è una data"},
        {"trailing blanks kept", text("12  "), {"c", SqlType::VarChar, 4}, "12  "},
        {"characters, not bytes", text("Società"), {"c", SqlType::VarChar, 7}, "Società"},
        {"longer than the column", text("Società!"), {"c", SqlType::VarChar, 7}, "Il testo è più lungo"},
        {"a long text has no width", text(std::string(70000, 'x')), {"c", SqlType::LongVarChar, 10}, ""},
        {"a number as text", integer(12), {"c", SqlType::VarChar, 20}, "12"},
        {"bytes", text("\x01\x02"), {"c", SqlType::LongVarBinary}, "BLOB [2 bytes]"},
        {"bytes in a number", text("x"), {"c", SqlType::Integer}, "Il valore non è un intero"},
    };
    for (const Case& c : cases) {
        FieldValue out;
        std::string reason;
        const bool converted = convertValue(c.in, c.column, out, reason);
        const std::string shown = converted ? describeFieldValue(out) : reason;
        if (std::string(c.result).empty())
            EXPECT_TRUE(converted) << c.what << ": " << reason;
        else
            EXPECT_EQ(shown.rfind(c.result, 0), 0u) << c.what << ": " << shown;
        EXPECT_EQ(converted, reason.empty()) << c.what;
    }
    FieldValue out;
    std::string reason;
    EXPECT_TRUE(convertValue(FieldValue{}, {"c", SqlType::SmallInt}, out, reason));
    EXPECT_TRUE(out.isNull());
}

TEST(JetDates, StoredDaysAndTheirDates)
{
    struct Case {
        double stored;
        const char* date; // "" when there is none
        bool timeOfDay;
    };
    const Case cases[] = {
        {2, "01/01/1900", false},
        {1, "31/12/1899", false},
        {-1, "29/12/1899", false},
        {-1.25, "29/12/1899", true},
        {44532, "02/12/2021", false},
        {44532.5, "02/12/2021", true},
        {44532.000001, "02/12/2021", false},
        {-657434, "01/01/0100", false},
        {2958465.99, "31/12/9999", true},
        {0, "", false},
        {0.75, "", false},
        {-0.5, "", false},
        {2958466, "", false},
        {-657435, "", false},
        {std::nan(""), "", false},
    };
    for (const Case& c : cases) {
        std::string problem;
        const std::optional<JetDate> date = jetStoredDate(c.stored, problem);
        if (!*c.date) {
            EXPECT_FALSE(date) << c.stored;
            EXPECT_EQ(problem.rfind("Data impossibile", 0), 0u) << c.stored << ": " << problem;
            continue;
        }
        ASSERT_TRUE(date) << c.stored << ": " << problem;
        EXPECT_EQ(formatDateText(date->date), c.date) << c.stored;
        EXPECT_EQ(date->timeOfDay, c.timeOfDay) << c.stored;
    }
    EXPECT_EQ(daysFromCivil({1970, 1, 1}), 0);
    for (long long day : {-1000000LL, -1LL, 0LL, 59LL, 11016LL, 2932896LL})
        EXPECT_EQ(daysFromCivil(civilFromDays(day)), day);
}

TEST(TableChecksum, RowsInAnyOrderGiveTheSameSumAndAnyChangeAnother)
{
    const std::vector<schema::Column> columns{
        {"n", SqlType::Integer}, {"t", SqlType::VarChar, 10}, {"x", SqlType::Real}, {"d", SqlType::Double}};
    const std::vector<std::vector<FieldValue>> rows{{integer(1), text("a"), real(0.05), real(0.1)},
                                                    {integer(2), text("a "), real(0.5), real(-0.0)},
                                                    {integer(3), FieldValue{}, real(1), real(3)}};
    TableChecksum forward, backward;
    for (const auto& row : rows)
        forward.add(row, columns);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        backward.add(*it, columns);
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(forward.rows(), 3);
    EXPECT_EQ(forward.text().size(), 16u);

    // A single-precision column compares as the float it holds (a double
    // column of 0.0 as one of -0.0).
    TableChecksum widened;
    widened.add({integer(1), text("a"), real(static_cast<float>(0.05)), real(0.1)}, columns);
    widened.add({integer(2), text("a "), real(0.5), real(0.0)}, columns);
    widened.add(rows[2], columns);
    EXPECT_EQ(widened, forward);

    const std::vector<std::vector<FieldValue>> changed{
        {integer(1), text("a"), real(0.05), real(0.1 + 1e-16)}, // the last bit of a double
        {integer(2), text("a"), real(0.5), real(0.0)},          // a trailing blank
        {integer(3), text(""), real(1), real(3)},               // NULL against an empty text
        {integer(4), FieldValue{}, real(1), real(3)},           // another key
    };
    for (size_t i = 0; i < changed.size(); ++i) {
        TableChecksum other;
        for (size_t r = 0; r < rows.size(); ++r)
            other.add(r == i || (i == 3 && r == 2) ? changed[i] : rows[r], columns);
        EXPECT_NE(other, forward) << "change " << i;
    }
    TableChecksum doubled = forward;
    doubled.add(rows[0], columns);
    EXPECT_NE(doubled.sum(), forward.sum()); // a row twice is another sum
}

} // namespace
} // namespace korvan::transfer
