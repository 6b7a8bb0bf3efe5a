// The two statements collected from a small fixture database on the SQLite
// file, PostgreSQL through psqlODBC and SQLite through its ODBC driver:
// compared with saved CSV files (the same bytes on every back end), and
// checked where the calendar and itinerary passes used to go wrong (two
// companies whose run IDs coincide, splits of one company's run, the
// itinerary lines of the contributions), for one authority, a period, and
// a broken database.

#include "core/SqlText.h"
#include "db/Values.h"
#include "reports/ContractsStatement.h"
#include "reports/ContributionsStatement.h"
#include "reports/CsvWriter.h"
#include "reports/ReportCollection.h"
#include "support/AccountingFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace korvan::test {
namespace {

using reports::LineKind;
using reports::ReportLine;
using reports::Statement;
using reports::StatementRequest;

std::string expectedFile(const std::string& name)
{
    return std::string(KORVAN_EXPECTED_DIR) + "/" + name;
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string csvOf(const reports::Report& report)
{
    std::ostringstream out;
    EXPECT_TRUE(reports::writeCsv(report, out));
    return out.str();
}

// The first line where two texts differ, for a readable failure.
std::string firstDifference(const std::string& expected, const std::string& actual)
{
    std::istringstream a(expected), b(actual);
    std::string lineA, lineB;
    for (int n = 1;; ++n) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB)
            return "no difference";
        if (lineA != lineB || moreA != moreB)
            return formatText("line %d:\nexpected %s\nactual   %s", n, lineA.c_str(), lineB.c_str());
    }
}

// A small network: authority 10 grants two contracts (companies 1 and 2),
// authority 20 one; 8 and 9 pay additional service (9 is not in `regent`).
// Run 2001 exists in both companies and closes company 1's contract right
// before company 2's begins; only company 2's has an itinerary split.
class StatementsFixtureTest : public AccountingDbTest {
  protected:
    void SetUp() override
    {
        AccountingDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        exec("INSERT INTO regent (codice, denom) VALUES (10, 'Provincia di Valdora  ')");
        exec("INSERT INTO regent (codice, denom) VALUES (20, " + quoteSqlText("Comune d'Altavilla") + ")");
        exec("INSERT INTO regent (codice, denom) VALUES (8, 'Consorzio \"Val Serena\"')");
        exec("INSERT INTO regazi (codice, denom) VALUES (1, 'Società Uno')");
        exec("INSERT INTO regazi (codice, denom) VALUES (2, 'Società Due')");
        addStop(1, 100, "Stazione FS  ");
        addStop(1, 101, "Piazza Duomo");
        addStop(2, 100, "Deposito");
        addLine(0, 10, "101");
        addLine(1, 10, "7");
        addLine(2, 20, "C1");
        addLine(3, 10, "101");
        addLine(4, 20, "C2");

        //     company, ID, authority, line, direction, code, metres, minutes, departure, stop, arrival, stop
        addRunWithLine(1, 1001, 10, 0, "A", "101/A1", 12345, 35, 7 * 60 + 5, 100, 7 * 60 + 40, 101);
        addRunWithLine(1, 1002, 10, 0, "R", "101/R1", 12345, 34, 8 * 60, 101, 8 * 60 + 34, 100);
        addRunWithLine(1, 2001, 10, 1, "A", "7/A1", 5000, 12, 12 * 60, 100, 12 * 60 + 12, 102);
        addRunWithLine(1, 1004, 10, 1, "R", "7/R1", 5000, 12, 13 * 60, 102, 13 * 60 + 12, 100);
        addRunWithLine(2, 2001, 10, 3, "A", "101/A1", 8000, 20, 9 * 60, 100, 9 * 60 + 20, 100);
        addRunWithLine(1, 3001, 20, 2, "A", "C1/A1", 3000, 59, 10 * 60, 101, 10 * 60 + 59, 101);
        addRunWithLine(1, 3002, 20, 4, "A", "C2/A1", 500, 5, 11 * 60, 101, 11 * 60 + 5, 100);

        addConcors(1, 1001, 10, true, 30);
        addConcors(1, 1002, 8, false, 20);
        addConcors(1, 2001, 10, true, 10);
        addConcors(1, 1004, 10, true, 10);
        addConcors(2, 2001, 10, true, 16);
        addConcors(1, 3001, 20, true, 6);
        addConcors(1, 3002, 20, true, 1);

        // March 2025 is the period; a day of February is outside it.
        addConkal(1, 1001, "2025-02-28", 10, true, 0);
        for (const char* day : {"2025-03-03", "2025-03-04", "2025-03-05"})
            addConkal(1, 1001, day, 10, true, 0);
        for (const char* day : {"2025-03-06", "2025-03-07"})
            addConkal(1, 1001, day, 9, false, 17.5);
        for (const char* day : {"2025-03-03", "2025-03-04"})
            addConkal(1, 1002, day, 8, false, 20);
        addConkal(1, 2001, "2025-03-31", 10, true, 0);
        addConkal(1, 1004, "2025-02-03", 10, true, 0);
        for (const char* day : {"2025-03-01", "2025-03-02"})
            addConkal(2, 2001, day, 10, true, 0);
        addConkal(1, 3001, "2025-03-10", 20, true, 0);
        addConkal(1, 3002, "2025-03-10", 20, true, 0);

        // Two arcs of run 1001 paid by 8, one of company 2's run 2001 paid
        // by 9, a minimum-service arc of run 1002 (additional service of 8)
        // and an arc of run 1004, which has no day in March.
        addArc(1, 1001, 1, 8, false, 1.2345, 2000, 4);
        addArc(1, 1001, 2, 8, false, 0.5, 1000, 2);
        addArc(2, 2001, 3, 9, false, 0.25, 500, 1);
        addArc(1, 1002, 1, 10, true, 2, 1000, 3);
        addArc(1, 1004, 1, 8, false, 3, 1000, 3);
    }

    void addStop(int company, long id, const std::string& name)
    {
        exec(formatText("INSERT INTO fermate (azienda, ID, denom) VALUES (%d, %ld, ", company, id) +
             quoteSqlText(name) + ")");
    }

    void addRunWithLine(int company, long id, int authority, int line, const std::string& direction,
                        const std::string& code, long metres, int minutes, int departure, long departureStop,
                        int arrival, long arrivalStop)
    {
        exec(formatText("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, verso, lung, ct_lung, ct_tempo, "
                        "hh_p, mm_p, capol_p, hh_a, mm_a, capol_a) VALUES (%d, %ld, %d, 'x', ",
                        company, id, authority) +
             quoteSqlText(code + "  ") + ", " + quoteSqlText(direction) +
             formatText(", %ld, %ld, %d, %d, %d, %ld, %d, %d, %ld)", metres, metres, minutes, departure / 60,
                        departure % 60, departureStop, arrival / 60, arrival % 60, arrivalStop));
        addRunLine(company, id, authority, line);
    }

    void addArc(int company, long id, int sub, int payer, bool minimum, double euro, long metres, int minutes)
    {
        exec(formatText("INSERT INTO conitine (azienda, ID, codperc, sub, ente, minima, euro, lung, tempo) "
                        "VALUES (%d, %ld, 1, %d, %d, %d, %.4f, %ld, %d)",
                        company, id, sub, payer, minimum ? 1 : 0, euro, metres, minutes));
    }

    StatementRequest march(bool all = true, int authority = 0) const
    {
        StatementRequest request;
        request.allAuthorities = all;
        request.authority = authority;
        request.periodStart = {2025, 3, 1};
        request.periodEnd = {2025, 3, 31};
        return request;
    }

    Statement contracts(const StatementRequest& request)
    {
        std::optional<Statement> statement = reports::collectContractsStatement(connection.get(), request, feedback);
        EXPECT_TRUE(statement) << sink.lastText();
        return statement ? *statement : Statement();
    }

    Statement contributions(const StatementRequest& request)
    {
        std::optional<Statement> statement =
            reports::collectContributionsStatement(connection.get(), request, feedback);
        EXPECT_TRUE(statement) << sink.lastText();
        return statement ? *statement : Statement();
    }

    void expectCsv(const reports::Report& report, const std::string& name)
    {
        const std::string expected = fileText(expectedFile(name));
        const std::string actual = csvOf(report);
        if (std::getenv("KORVAN_WRITE_EXPECTED")) {
            std::ofstream(expectedFile(name), std::ios::binary) << actual;
            return;
        }
        EXPECT_EQ(expected, actual) << name << " " << firstDifference(expected, actual);
    }
};

// "company:run" of the run lines, "L" and "T" for the totals.
std::vector<std::string> lineKeys(const std::vector<ReportLine>& lines)
{
    std::vector<std::string> keys;
    for (const ReportLine& line : lines)
        keys.push_back(line.kind == LineKind::LineTotal       ? "L"
                       : line.kind == LineKind::ContractTotal ? "T"
                                                              : formatText("%d:%ld", line.company, line.runId));
    return keys;
}

TEST_P(StatementsFixtureTest, ContractsAsSavedOnEveryBackEnd)
{
    StatementRequest request = march();
    expectCsv(reports::contractsReport(contracts(request), "01/04/2025 08:00"), "contracts.csv");
    request.analytic = false;
    expectCsv(reports::contractsReport(contracts(request), "01/04/2025 08:00"), "contracts-synthetic.csv");
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(StatementsFixtureTest, ContributionsAsSavedOnEveryBackEnd)
{
    expectCsv(reports::contributionsReport(contributions(march()), "01/04/2025 08:00"), "contributions.csv");
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(StatementsFixtureTest, CompaniesSharingARunIdStayInTheirOwnContracts)
{
    const Statement statement = contracts(march(false, 10));
    EXPECT_EQ(lineKeys(statement.lines),
              (std::vector<std::string>{"1:1001", "1:1001", "1:1001", "1:1001", "1:1002", "1:1002", "L", "1:2001", "L",
                                        "T", "2:2001", "2:2001", "L", "T"}));
    // Company 1's run 2001: its own day, unsplit.
    const ReportLine& first = statement.lines[7];
    EXPECT_EQ(first.days, 1);
    EXPECT_EQ(first.length, 5000);
    EXPECT_EQ(first.amount, 10 * reports::kAmountUnitsPerEuro);
    EXPECT_EQ(first.arrivalText, "12:12 ???") << "stop 102 has no name";
    // Company 2's run 2001: two days, less the arc of authority 9.
    const ReportLine& second = statement.lines[10];
    EXPECT_EQ(second.days, 2);
    EXPECT_EQ(second.length, 7500);
    EXPECT_EQ(second.amount, 2 * 160000 - 2 * 2500);
    EXPECT_EQ(second.departureText, "9:00 Deposito");
    EXPECT_EQ(statement.lines[11].payingAuthority, 9);
    EXPECT_EQ(statement.lines[11].amount, 2 * 2500);
    EXPECT_EQ(statement.lines.back().totalDays, 2);
    EXPECT_EQ(statement.lines.back().grandTotal, 2 * 160000);
}

TEST_P(StatementsFixtureTest, ContributionsCountTheArcsOverThePeriodsDaysOnTheirOwnLine)
{
    const Statement statement = contributions(march(false, 8));
    // Authority 8 pays run 1001's arcs and run 1002's days.
    ASSERT_EQ(lineKeys(statement.lines), (std::vector<std::string>{"1:1001", "1:1002", "L", "T"}));
    const ReportLine& arcs = statement.lines[0];
    EXPECT_TRUE(arcs.arcSplit);
    EXPECT_EQ(arcs.days, 5) << "March only: the day of February does not count";
    EXPECT_EQ(arcs.length, 3000);
    EXPECT_EQ(arcs.amount, 5 * 17345) << "the arcs' daily amount over the days";
    const ReportLine& days = statement.lines[1];
    EXPECT_EQ(days.days, 2);
    EXPECT_EQ(days.length, 11345) << "the minimum-service arc is taken out";
    EXPECT_EQ(days.amount, 2 * 200000 - 2 * 20000);
    EXPECT_EQ(reports::euroText(statement.lines.back().additionalTotal), "44.67");

    // The same money as authority 8's additional service in the contracts
    // statement.
    reports::Amount inContracts = 0;
    for (const ReportLine& line : contracts(march()).lines)
        if (line.isRun() && !line.minimumService && line.payingAuthority == 8)
            inContracts += line.amount;
    EXPECT_EQ(statement.lines.back().additionalTotal, inContracts);
}

TEST_P(StatementsFixtureTest, OneAuthorityAndThePeriodChooseTheRuns)
{
    const Statement authority20 = contracts(march(false, 20));
    EXPECT_EQ(lineKeys(authority20.lines), (std::vector<std::string>{"1:3001", "L", "1:3002", "L", "T"}));
    EXPECT_EQ(authority20.authorityNames.at(20), "Comune d'Altavilla");

    StatementRequest february = march();
    february.periodStart = {2025, 2, 1};
    february.periodEnd = {2025, 2, 28};
    const Statement before = contracts(february);
    // Run 1001's day of February, and run 1004 (only February), split.
    EXPECT_EQ(lineKeys(before.lines),
              (std::vector<std::string>{"1:1001", "1:1001", "L", "1:1004", "1:1004", "L", "T"}));

    StatementRequest none = march();
    none.periodStart = {2025, 4, 1};
    none.periodEnd = {2025, 3, 1};
    EXPECT_TRUE(contracts(none).lines.empty()) << "a start after the end selects nothing";
    EXPECT_TRUE(reports::contractsReport(contracts(none), "").empty());
    EXPECT_TRUE(contributions(none).lines.empty());
}

TEST_P(StatementsFixtureTest, TheReportCommandsCollectBothStatements)
{
    reports::ReportChoice choice;
    choice.periodStart = "01/03/2025";
    choice.periodEnd = "31/03/2025";
    const std::optional<reports::Report> contracts =
        reports::collectReport(reports::ReportKind::Contracts, choice, connection.get(), feedback, 0);
    ASSERT_TRUE(contracts);
    EXPECT_EQ(contracts->title, "Rubrica Contratti");
    EXPECT_EQ(contracts->groups.size(), 3U);
    EXPECT_EQ(contracts->groups[0].headerLines.at(0).left, "Ente: [10] Provincia di Valdora");
    EXPECT_EQ(contracts->groups[0].headerLines.at(0).right, "Periodo dal 01/03/2025 al 31/03/2025");
    EXPECT_EQ(contracts->groups[0].headerLines.at(1).left, "Azienda: [1] Società Uno");
    const std::optional<reports::Report> contributions =
        reports::collectReport(reports::ReportKind::Contributions, choice, connection.get(), feedback, 0);
    ASSERT_TRUE(contributions);
    EXPECT_EQ(contributions->title, "Rubrica Servizi Aggiuntivi");
    EXPECT_EQ(contributions->groups.back().headerLines.at(0).left,
              "Ente Erogante il Contributo Aggiuntivo: [9] *** ENTE INESISTENTE ***");
    EXPECT_EQ(feedback.busyCalls, (std::vector<bool>{true, true}));
    EXPECT_TRUE(sink.empty()) << sink.lastText();

    choice.periodEnd = "31/02/2025";
    EXPECT_FALSE(reports::collectReport(reports::ReportKind::Contracts, choice, connection.get(), feedback, 0));
}

TEST_P(StatementsFixtureTest, AMissingTableGivesNoStatementAndSaysWhy)
{
    exec("DROP TABLE conitine");
    EXPECT_FALSE(reports::collectContractsStatement(connection.get(), march(), feedback));
    EXPECT_FALSE(sink.empty()) << "the failing query is reported";
    sink.clear();
    EXPECT_FALSE(reports::collectContributionsStatement(connection.get(), march(), feedback));
    EXPECT_FALSE(sink.empty());
}

TEST_P(StatementsFixtureTest, AnAmountThatIsNotANumberGivesNoStatement)
{
    if (!isPostgres())
        GTEST_SKIP() << "SQLite stores no NaN";
    exec("UPDATE conkal SET euro = 'NaN' WHERE azienda = 1 AND ID = 1002");
    EXPECT_FALSE(reports::collectContractsStatement(connection.get(), march(), feedback));
    ASSERT_FALSE(sink.empty());
    EXPECT_NE(sink.lastText().find("importi non validi"), std::string::npos) << sink.lastText();
    EXPECT_NE(sink.lastText().find("conkal: azienda 1, corsa 1002, euro nan"), std::string::npos) << sink.lastText();
}

KORVAN_ALL_BACKENDS(StatementsFixtureTest);

} // namespace
} // namespace korvan::test
