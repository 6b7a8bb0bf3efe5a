// The two statements of the demo database on the SQLite file and on
// PostgreSQL, after the operations a user runs first: line extraction,
// minimum service for every contract, additional service for one line
// (authority 8) and for the weekends of one contract (authority 9), the
// service days of March and April. Every contract's total row, and every
// paying authority's totals in the contributions statement, equal the sums
// the database computes with plain SQL over the same tables (metres,
// minutes and days exactly, amounts in ten-thousandths and as printed).
// Itinerary splits, added with SQL, move money between minimum and
// additional service and between payers, and change no contract's
// kilometres, time or total.

#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "reports/ContractsStatement.h"
#include "reports/ContributionsStatement.h"
#include "reports/DemoDatabase.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

namespace korvan::test {
namespace {

using reports::Amount;
using reports::LineKind;
using reports::ReportLine;
using reports::Statement;

using Contract = std::pair<int, int>; // granting authority, company

// The period of the statements inside the two generated months.
const CivilDate kFrom{2025, 3, 10};
const CivilDate kTo{2025, 4, 20};

// The runs of the statements and their days in the period.
const char* const kRunsWhere = "conline.azienda = corse.azienda AND conline.ID = corse.ID"
                               " AND conline.linea = linee.ID AND concors.azienda = corse.azienda"
                               " AND concors.ID = corse.ID AND conkal.azienda = corse.azienda"
                               " AND conkal.ID = corse.ID AND conkal.data >= '2025-03-10'"
                               " AND conkal.data <= '2025-04-20'";
const char* const kRunsFrom = " FROM conline, linee, concors, corse, conkal";
const char* const kArcsJoin = " AND conitine.azienda = corse.azienda AND conitine.ID = corse.ID";

struct Figures {
    long long days = 0;
    long long metres = 0;
    long long minutes = 0;
    Amount minimum = 0;
    Amount additional = 0;
    Amount grand = 0;
    bool operator==(const Figures&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Figures& f)
{
    return out << "days " << f.days << ", metres " << f.metres << ", minutes " << f.minutes << ", minimum " << f.minimum
               << ", additional " << f.additional << ", total " << f.grand;
}

Figures totalFigures(const ReportLine& total)
{
    return {total.totalDays,    total.totalMetres,     total.totalMinutes,
            total.minimumTotal, total.additionalTotal, total.grandTotal};
}

std::string sumOf(const std::string& expression)
{
    return "CAST(COALESCE(SUM(" + expression + "), 0) AS BIGINT)";
}

class DemoStatementsTest : public DemoDatabaseTest {
  protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        contracts = databaseContracts();
        ASSERT_GE(contracts.size(), 5U);
        for (const Contract& contract : contracts) {
            accounting::AssignmentRequest minimum;
            minimum.contractAuthority = contract.first;
            minimum.contractCompany = contract.second;
            minimum.euroPerKm = 1.85;
            ASSERT_TRUE(accounting::runContractAssignment(connection.get(), minimum, sink, feedback).completed)
                << sink.lastText();
        }
        accounting::AssignmentRequest lake;
        lake.contractAuthority = 2;
        lake.contractCompany = 2;
        lake.minimumService = false;
        lake.payingAuthority = 8;
        lake.euroPerKm = 2.35;
        lake.lineCode = "LAGO";
        const accounting::AssignmentCounts lakeRuns =
            accounting::runLineAssignment(connection.get(), lake, sink, feedback);
        ASSERT_TRUE(lakeRuns.completed && lakeRuns.changed > 0) << sink.lastText();
        for (const Contract& contract : contracts) {
            const accounting::CalendarResult days = accounting::generateServiceDays(
                connection.get(), {contract.first, contract.second, {2025, 3, 1}, {2025, 4, 30}}, sink, feedback);
            ASSERT_TRUE(days.completed) << sink.lastText();
        }
        accounting::AssignmentRequest weekends;
        weekends.contractAuthority = 1;
        weekends.contractCompany = 1;
        weekends.minimumService = false;
        weekends.payingAuthority = 9;
        weekends.euroPerKm = 1.4;
        weekends.periodStart = {2025, 3, 1};
        weekends.periodEnd = {2025, 4, 30};
        weekends.weekdays = {false, false, false, false, false, true, true};
        const accounting::AssignmentCounts weekendDays =
            accounting::runDayTypeAssignment(connection.get(), weekends, sink, feedback);
        ASSERT_TRUE(weekendDays.completed && weekendDays.changed > 0) << sink.lastText();
        sink.clear();
    }

    std::vector<Contract> databaseContracts()
    {
        std::vector<Contract> found;
        SelectCursor select(connection.get());
        select.AddField("corse", "ente", SqlType::SmallInt);
        select.AddField("corse", "azienda", SqlType::SmallInt);
        select.SetFrom("corse");
        select.SetGroupBy("corse.ente, corse.azienda");
        select.SetOrderBy("corse.ente, corse.azienda");
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            Contract contract;
            select.GetShort(0, contract.first);
            select.GetShort(1, contract.second);
            found.push_back(contract);
        }
        return found;
    }

    // Arcs paid by 8 on every seventh run, by 9 on every fifth, and arcs of
    // minimum service on half the runs of additional service.
    void addItinerarySplits()
    {
        const std::string arcsOfRuns = " FROM corse, detitine, archi WHERE detitine.azienda = corse.azienda"
                                       " AND detitine.ID = corse.codperc AND archi.azienda = detitine.azienda"
                                       " AND archi.ID = detitine.arco";
        const std::string insert = "INSERT INTO conitine (azienda, ID, codperc, sub, ente, minima, euro, lung, tempo)"
                                   " SELECT corse.azienda, corse.ID, corse.codperc, detitine.sub, ";
        exec(insert + "8, 0, archi.lung * 11 / 10000.0, archi.lung, 3" + arcsOfRuns +
             " AND detitine.sub = 1 AND corse.ID % 7 = 0");
        exec(insert + "9, 0, archi.lung * 7 / 10000.0, archi.lung, 2" + arcsOfRuns +
             " AND detitine.sub = 2 AND corse.ID % 5 = 0");
        exec(insert + "corse.ente, 1, archi.lung * 13 / 10000.0, archi.lung, 4" +
             " FROM corse, detitine, archi, concors WHERE detitine.azienda = corse.azienda"
             " AND detitine.ID = corse.codperc AND archi.azienda = detitine.azienda AND archi.ID = detitine.arco"
             " AND concors.azienda = corse.azienda AND concors.ID = corse.ID AND concors.minima = 0"
             " AND detitine.sub = 3 AND corse.ID % 2 = 0");
        ASSERT_GT(queryNumber("SELECT COUNT(*) FROM conitine WHERE minima = 1"), 0);
        ASSERT_GT(queryNumber("SELECT COUNT(*) FROM conitine WHERE ente = 9"), 0);
    }

    reports::StatementRequest request(bool all = true, int authority = 0) const
    {
        reports::StatementRequest request;
        request.allAuthorities = all;
        request.authority = authority;
        request.periodStart = kFrom;
        request.periodEnd = kTo;
        return request;
    }

    std::map<Contract, Figures> contractTotals()
    {
        const std::optional<Statement> statement =
            reports::collectContractsStatement(connection.get(), request(), feedback);
        EXPECT_TRUE(statement) << sink.lastText();
        std::map<Contract, Figures> totals;
        if (statement)
            for (const ReportLine& line : statement->lines)
                if (line.kind == LineKind::ContractTotal)
                    totals[{line.contractAuthority, line.company}] = totalFigures(line);
        return totals;
    }

    Figures sqlContractFigures(const Contract& contract)
    {
        const std::string where =
            std::string(" WHERE ") + kRunsWhere +
            formatText(" AND corse.ente = %d AND corse.azienda = %d", contract.first, contract.second);
        const std::string from = kRunsFrom;
        Figures figures;
        figures.days = queryNumber("SELECT COUNT(*)" + from + where);
        figures.metres = queryNumber("SELECT " + sumOf("corse.ct_lung") + from + where);
        figures.minutes = queryNumber("SELECT " + sumOf("corse.ct_tempo") + from + where);
        figures.grand = queryNumber("SELECT " +
                                    sumOf("CASE WHEN conkal.minima <> 0 THEN ROUND(concors.euro * 10000)"
                                          " ELSE ROUND(conkal.euro * 10000) END") +
                                    from + where);
        const Amount minimumDays =
            queryNumber("SELECT " + sumOf("CASE WHEN conkal.minima <> 0 THEN ROUND(concors.euro * 10000) ELSE 0 END") +
                        from + where);
        // Every arc of a run over every day of it: out of the day's kind, into its own.
        const std::string arcs = from + ", conitine" + where + kArcsJoin;
        const Amount outOfMinimum = queryNumber(
            "SELECT " + sumOf("CASE WHEN conkal.minima <> 0 THEN ROUND(conitine.euro * 10000) ELSE 0 END") + arcs);
        const Amount intoMinimum = queryNumber(
            "SELECT " + sumOf("CASE WHEN conitine.minima <> 0 THEN ROUND(conitine.euro * 10000) ELSE 0 END") + arcs);
        figures.minimum = minimumDays - outOfMinimum + intoMinimum;
        figures.additional = figures.grand - figures.minimum;
        return figures;
    }

    // An authority's additional service: its days less every arc over
    // them, and its arcs over every day of their runs.
    Figures sqlPayerFigures(int payer)
    {
        const std::string where = std::string(" WHERE ") + kRunsWhere;
        const std::string itsDays = formatText(" AND conkal.minima = 0 AND conkal.ente = %d", payer);
        const std::string itsArcs = formatText(" AND conitine.minima = 0 AND conitine.ente = %d", payer);
        const std::string daysFrom = kRunsFrom + where + itsDays;
        const std::string outFrom = kRunsFrom + std::string(", conitine") + where + kArcsJoin + itsDays;
        const std::string inFrom = kRunsFrom + std::string(", conitine") + where + kArcsJoin + itsArcs;
        Figures figures;
        figures.metres = queryNumber("SELECT " + sumOf("corse.ct_lung") + daysFrom) -
                         queryNumber("SELECT " + sumOf("conitine.lung") + outFrom) +
                         queryNumber("SELECT " + sumOf("conitine.lung") + inFrom);
        figures.minutes = queryNumber("SELECT " + sumOf("corse.ct_tempo") + daysFrom) -
                          queryNumber("SELECT " + sumOf("conitine.tempo") + outFrom) +
                          queryNumber("SELECT " + sumOf("conitine.tempo") + inFrom);
        figures.additional = queryNumber("SELECT " + sumOf("ROUND(conkal.euro * 10000)") + daysFrom) -
                             queryNumber("SELECT " + sumOf("ROUND(conitine.euro * 10000)") + outFrom) +
                             queryNumber("SELECT " + sumOf("ROUND(conitine.euro * 10000)") + inFrom);
        figures.grand = figures.additional;
        return figures;
    }

    // Kilometres, minutes and amounts of the contributions statement by
    // paying authority.
    std::map<int, Figures> payerTotals(const reports::StatementRequest& request)
    {
        const std::optional<Statement> statement =
            reports::collectContributionsStatement(connection.get(), request, feedback);
        EXPECT_TRUE(statement) << sink.lastText();
        std::map<int, Figures> totals;
        if (statement)
            for (const ReportLine& line : statement->lines)
                if (line.kind == LineKind::ContractTotal) {
                    Figures& figures = totals[line.payingAuthority];
                    figures.metres += line.totalMetres;
                    figures.minutes += line.totalMinutes;
                    figures.additional += line.additionalTotal;
                    figures.grand += line.grandTotal;
                }
        return totals;
    }

    std::vector<Contract> contracts;
};

TEST_P(DemoStatementsTest, EveryContractTotalEqualsPlainSql)
{
    addItinerarySplits();
    const std::map<Contract, Figures> totals = contractTotals();
    ASSERT_EQ(totals.size(), contracts.size()) << "every contract has days in the period";
    bool someAdditional = false;
    for (const Contract& contract : contracts) {
        const Figures expected = sqlContractFigures(contract);
        EXPECT_EQ(totals.at(contract), expected) << "contract " << contract.first << "/" << contract.second;
        someAdditional = someAdditional || expected.additional != 0;
    }
    EXPECT_TRUE(someAdditional);

    // As printed: the total rows' figures to the cent.
    const std::optional<Statement> statement =
        reports::collectContractsStatement(connection.get(), request(), feedback);
    ASSERT_TRUE(statement);
    const reports::Report report = reports::contractsReport(*statement, "");
    size_t checked = 0;
    for (const reports::Row& row : report.rows) {
        if (row.kind != "Totale Contratto")
            continue;
        const auto& keys = report.groups.at(row.group).keys;
        const Figures expected =
            sqlContractFigures({static_cast<int>(keys.at(0).value), static_cast<int>(keys.at(2).value)});
        EXPECT_EQ(row.cells.at(4).text, std::to_string(expected.days));
        EXPECT_EQ(row.cells.at(5).text, reports::kilometreText(expected.metres));
        EXPECT_EQ(row.cells.at(6).value, static_cast<double>(expected.minutes));
        EXPECT_EQ(row.cells.at(8).text, reports::euroText(expected.minimum));
        EXPECT_EQ(row.cells.at(9).text, reports::euroText(expected.additional));
        EXPECT_EQ(row.cells.at(10).text, reports::euroText(expected.grand));
        ++checked;
    }
    EXPECT_EQ(checked, contracts.size());
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DemoStatementsTest, SplitsMoveMoneyButNotKilometresTimeOrTotals)
{
    const std::map<Contract, Figures> before = contractTotals();
    const std::map<int, Figures> payersBefore = payerTotals(request());
    addItinerarySplits();
    const std::map<Contract, Figures> after = contractTotals();
    ASSERT_EQ(after.size(), before.size());
    int moved = 0;
    for (const auto& [contract, figures] : before) {
        const Figures& split = after.at(contract);
        EXPECT_EQ(split.days, figures.days);
        EXPECT_EQ(split.metres, figures.metres);
        EXPECT_EQ(split.minutes, figures.minutes);
        EXPECT_EQ(split.grand, figures.grand);
        EXPECT_EQ(split.minimum + split.additional, split.grand);
        if (split.minimum != figures.minimum)
            ++moved;
    }
    EXPECT_GE(moved, 3) << "the splits take money out of minimum service";
    const std::map<int, Figures> payersAfter = payerTotals(request());
    EXPECT_GT(payersAfter.at(8).additional, payersBefore.at(8).additional);
    EXPECT_NE(payersAfter.at(9).additional, payersBefore.at(9).additional);
}

TEST_P(DemoStatementsTest, EveryPayersContributionsEqualPlainSqlAndTheContractsStatement)
{
    addItinerarySplits();
    const std::map<int, Figures> totals = payerTotals(request());
    ASSERT_EQ(totals.size(), 2U) << "authorities 8 and 9";
    // The additional service of each payer in the contracts statement.
    std::map<int, Amount> inContracts;
    const std::optional<Statement> contractsStatement =
        reports::collectContractsStatement(connection.get(), request(), feedback);
    ASSERT_TRUE(contractsStatement);
    for (const ReportLine& line : contractsStatement->lines)
        if (line.isRun() && !line.minimumService)
            inContracts[line.payingAuthority] += line.amount;
    for (const auto& [payer, figures] : totals) {
        EXPECT_EQ(figures, sqlPayerFigures(payer)) << "authority " << payer;
        EXPECT_EQ(figures.additional, inContracts[payer]) << "authority " << payer;
        // The same authority chosen alone.
        EXPECT_EQ(payerTotals(request(false, payer)), (std::map<int, Figures>{{payer, figures}}));
    }
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DemoStatementsTest, OneGrantingAuthorityGivesItsContractsAsInTheWhole)
{
    addItinerarySplits();
    const std::map<Contract, Figures> all = contractTotals();
    const std::optional<Statement> one =
        reports::collectContractsStatement(connection.get(), request(false, 2), feedback);
    ASSERT_TRUE(one);
    std::set<int> authorities;
    for (const ReportLine& line : one->lines) {
        authorities.insert(line.contractAuthority);
        if (line.kind == LineKind::ContractTotal) {
            EXPECT_EQ(totalFigures(line), all.at({line.contractAuthority, line.company}));
        }
    }
    EXPECT_EQ(authorities, std::set<int>{2});
}

KORVAN_DEMO_BACKENDS(DemoStatementsTest);

} // namespace
} // namespace korvan::test
