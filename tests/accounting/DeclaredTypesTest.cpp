// A runs database declared the way SQLite tools write it: every small
// integer declared INTEGER and the runs' length REAL. The values are the same
// numbers, and every operation reads them as such.

#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "refdata/PickLists.h"
#include "refdata/Schema.h"
#include "support/AccountingFixture.h"

#include <gtest/gtest.h>

namespace korvan::accounting {
namespace {

using korvan::test::AccountingDbTest;
using korvan::test::flagsOn;
using Rows = std::vector<std::string>;

constexpr int kAuthority = 10;
constexpr int kCompany = 3;
constexpr int kPayer = 40;

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

class NaturalDeclarations : public AccountingDbTest {
  protected:
    void SetUp() override
    {
        AccountingDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (const schema::Table& table : schema::tables()) {
            exec(schema::dropStatement(table));
            for (std::string sql : schema::createStatements(table, raw->dialect())) {
                replaceAll(sql, " SMALLINT", " INTEGER");
                if (table.name == "corse")
                    replaceAll(sql, ", lung INTEGER", ", lung REAL");
                exec(sql);
            }
        }
    }
};

TEST_P(NaturalDeclarations, PickListsShowTheRealCodes)
{
    exec("INSERT INTO regent (codice, denom) VALUES (10, 'Regione')");
    exec("INSERT INTO regazi (codice, denom) VALUES (3, 'Autolinee')");
    addRun(kCompany, 1, kAuthority, 1000);
    addLine(0, kAuthority, "12");
    EXPECT_EQ(refdata::allAuthorities(connection.get()), (std::vector<std::string>{"0010 - Regione"}));
    EXPECT_EQ(refdata::authoritiesWithLines(connection.get()), (std::vector<std::string>{"0010 - Regione"}));
    EXPECT_EQ(refdata::companiesOfAuthority(connection.get(), kAuthority),
              (std::vector<std::string>{"0003 - Autolinee"}));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(NaturalDeclarations, AssignmentReadsLengthsDeclaredReal)
{
    addRun(kCompany, 1, kAuthority, 12345);
    AssignmentRequest request;
    request.contractAuthority = kAuthority;
    request.contractCompany = kCompany;
    request.euroPerKm = 0.75;
    EXPECT_EQ(runContractAssignment(connection.get(), request, sink, feedback).added, 1);
    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|10|1|9.26"}));
    EXPECT_EQ(sink.entries.size(), 1u) << sink.entries.front().text;
}

TEST_P(NaturalDeclarations, CalendarReadsMonthsAndCarriesPayersDeclaredInteger)
{
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    addRun(kCompany, 1, kAuthority, 1000);
    addConcors(kCompany, 1, kAuthority, true, 1.0);
    addConkal(kCompany, 1, "2004-03-02", kPayer, false, 7.25);
    addMonth(kCompany, 1, 1, 2004, 3, flagsOn({1, 2, 3}));

    const CalendarResult result =
        generateServiceDays(connection.get(), {kAuthority, kCompany, {2004, 1, 1}, {2004, 12, 31}}, sink, feedback);

    EXPECT_EQ(result.inserted, 3);
    EXPECT_EQ(conkalRows(kCompany),
              (Rows{"1|01/03/2004|10|1|0.00", "1|02/03/2004|40|0|7.25", "1|03/03/2004|10|1|0.00"}));
    EXPECT_EQ(sink.entries.size(), 1u) << sink.entries.front().text;
}

KORVAN_ALL_BACKENDS(NaturalDeclarations);

} // namespace
} // namespace korvan::accounting
