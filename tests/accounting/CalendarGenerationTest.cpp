// Regeneration of the service-day calendar of a contract.

#include "accounting/CalendarGeneration.h"
#include "support/AccountingFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace korvan::accounting {
namespace {

using korvan::test::AccountingDbTest;
using korvan::test::allDays;
using korvan::test::flagsOn;
using Rows = std::vector<std::string>;

constexpr int kAuthority = 10;
constexpr int kCompany = 3;
constexpr int kPayer = 40;

CalendarRequest year2004()
{
    return {kAuthority, kCompany, {2004, 1, 1}, {2004, 12, 31}};
}

class CalendarGeneration : public AccountingDbTest {
  protected:
    // Ten runs of the contract scheduled every day from March to May 2004,
    // their days generated, and two days of run 7 split off to another payer:
    // the state a failed regeneration must leave as it found it.
    void addGeneratedContract()
    {
        addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
        for (long id = 1; id <= 10; ++id) {
            addRun(kCompany, id, kAuthority, 1000);
            addConcors(kCompany, id, kAuthority, true, 1.0);
            for (int month = 3; month <= 5; ++month)
                addMonth(kCompany, id, 1, 2004, month, allDays());
        }
        ASSERT_TRUE(generateServiceDays(connection.get(), springOf2004(), sink, feedback).completed) << sink.lastText();
        exec("UPDATE conkal SET ente = 40, minima = 0, euro = 7.25 WHERE ID = 7 AND data IN ('2004-03-02', "
             "'2004-04-06')");
        sink.clear();
        feedback = {};
    }
    static CalendarRequest springOf2004() { return {kAuthority, kCompany, {2004, 3, 1}, {2004, 5, 31}}; }
};

TEST_P(CalendarGeneration, CarriesOverAdditionalDaysAndRuns)
{
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    // Run 1: minimum service, one existing additional day paid by 40.
    addRun(kCompany, 1, kAuthority, 1000);
    addConcors(kCompany, 1, kAuthority, true, 1.0);
    addConkal(kCompany, 1, "2004-03-02", kPayer, false, 7.25);
    addConkal(kCompany, 1, "2004-03-09", kAuthority, true, 1.0); // dropped: not scheduled any more
    addMonth(kCompany, 1, 1, 2004, 3, flagsOn({1, 2, 3}));
    // Run 2: additional service of 41 as a whole run.
    addRun(kCompany, 2, kAuthority, 1000);
    addConcors(kCompany, 2, 41, false, 3.5);
    addMonth(kCompany, 2, 1, 2004, 3, flagsOn({1}));

    const CalendarResult result = generateServiceDays(connection.get(), year2004(), sink, feedback);

    EXPECT_EQ(result.deleted, 2);
    EXPECT_EQ(result.inserted, 4);
    EXPECT_EQ(result.total, 4);
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|01/03/2004|10|1|0.00", "1|02/03/2004|40|0|7.25", "1|03/03/2004|10|1|0.00",
                                          "2|01/03/2004|41|0|3.50"}));
    ASSERT_EQ(sink.entries.size(), 1u) << sink.entries.front().text;
    EXPECT_EQ(sink.lastText(), "Risultati della rigenerazione della Tavola Giorni Effettuazione Corse:\n\n"
                               "Giorni preesistenti eliminati: 2\nGiorni inseriti: 4 di 4\n");
    EXPECT_EQ(feedback.banners, (std::vector<std::string>{"Recupero Servizi Aggiuntivi Pre-Esistenti",
                                                          "Recupero Giorni Effettuazione Pre-Esistenti",
                                                          "Eliminazione Giorni Effettuazione Esistenti",
                                                          "Determinazione Giorni Effettuazione",
                                                          "Inserimento Giorni Effettuazione Corse"}));
    EXPECT_EQ(feedback.progress.back(), 100);
}

TEST_P(CalendarGeneration, RunWithAllMinimumDaysIsStillRegenerated)
{
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    addRun(kCompany, 1, kAuthority, 1000);
    addConcors(kCompany, 1, kPayer, false, 2.0);
    addConkal(kCompany, 1, "2004-05-04", kAuthority, true, 0.0);
    addMonth(kCompany, 1, 1, 2004, 5, flagsOn({4}));

    const CalendarResult result = generateServiceDays(connection.get(), year2004(), sink, feedback);

    EXPECT_EQ(result.deleted, 1);
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|04/05/2004|40|0|2.00"}));
}

TEST_P(CalendarGeneration, KeptRowsCollideAndAreReportedOnce)
{
    addProtocol(kCompany, 1, "2004-01-01", "2005-12-31", false);
    addRun(kCompany, 1, kAuthority, 1000);
    addRun(kCompany, 2, kAuthority, 1000);
    // Run 1 has rows only outside the period: it is not deleted, and 2 of its
    // regenerated days collide with them.
    addConkal(kCompany, 1, "2005-01-03", kPayer, false, 9.0);
    addConkal(kCompany, 1, "2005-01-10", kPayer, false, 9.0);
    addMonth(kCompany, 1, 1, 2005, 1, allDays());
    addMonth(kCompany, 2, 1, 2005, 1, allDays());

    const CalendarResult result = generateServiceDays(connection.get(), year2004(), sink, feedback);

    EXPECT_EQ(result.deleted, 0);
    EXPECT_EQ(result.total, 62);
    EXPECT_EQ(result.inserted, 60);
    EXPECT_EQ(result.rejected, 2);
    EXPECT_EQ(count("conkal", "azienda = 3 AND ID = 1"), 31);
    EXPECT_EQ(count("conkal", "azienda = 3 AND ID = 2"), 31);
    // The kept rows are the old ones.
    EXPECT_EQ(count("conkal", "azienda = 3 AND ID = 1 AND ente = 40"), 2);
    ASSERT_EQ(sink.entries.size(), 1u) << sink.entries.front().text;
    EXPECT_EQ(sink.lastText(), "Risultati della rigenerazione della Tavola Giorni Effettuazione Corse:\n\n"
                               "Giorni preesistenti eliminati: 0\nGiorni inseriti: 60 di 62\n"
                               "Giorni non inseriti perché già presenti o rifiutati: 2\n");
}

TEST_P(CalendarGeneration, ProtocolWithoutResetTakesOverOnlyItsOwnRuns)
{
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    addProtocol(kCompany, 2, "2004-03-01", "2004-03-31", false);
    addRun(kCompany, 1, kAuthority, 1000); // X
    addRun(kCompany, 2, kAuthority, 1000); // Y
    addMonth(kCompany, 1, 1, 2004, 3, flagsOn({1, 2}));
    addMonth(kCompany, 2, 1, 2004, 3, flagsOn({1, 2}));
    addMonth(kCompany, 1, 2, 2004, 3, flagsOn({5}));

    generateServiceDays(connection.get(), year2004(), sink, feedback);

    EXPECT_EQ(conkalRows(kCompany),
              (Rows{"1|05/03/2004|10|1|0.00", "2|01/03/2004|10|1|0.00", "2|02/03/2004|10|1|0.00"}));
}

TEST_P(CalendarGeneration, ResetProtocolStrikesEveryRunCollectedSoFar)
{
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    addProtocol(kCompany, 2, "2004-03-01", "2004-03-31", true);
    addRun(kCompany, 1, kAuthority, 1000);
    addRun(kCompany, 2, kAuthority, 1000);
    addMonth(kCompany, 1, 1, 2004, 3, flagsOn({1, 2}));
    addMonth(kCompany, 2, 1, 2004, 3, flagsOn({1, 2}));
    addMonth(kCompany, 2, 1, 2004, 4, flagsOn({1}));
    addMonth(kCompany, 1, 2, 2004, 3, flagsOn({5}));

    generateServiceDays(connection.get(), year2004(), sink, feedback);

    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|05/03/2004|10|1|0.00", "2|01/04/2004|10|1|0.00"}));
}

TEST_P(CalendarGeneration, PeriodConditionUsesTheBackEndsDateLiterals)
{
    const std::string condition = calendarPeriodCondition(connection.get(), {2004, 1, 1}, {2004, 12, 31});
    if (isPostgres())
        EXPECT_EQ(condition, " AND conkal.data >= '20040101' AND conkal.data <= '20041231'");
    else
        EXPECT_EQ(condition, " AND conkal.data >= '2004-01-01' AND conkal.data <= '2004-12-31'");

    // Rows on the bounds count as inside the period, the day after does not.
    addProtocol(kCompany, 1, "2004-01-01", "2005-12-31", false);
    addRun(kCompany, 1, kAuthority, 1000);
    addRun(kCompany, 2, kAuthority, 1000);
    addRun(kCompany, 3, kAuthority, 1000);
    addConkal(kCompany, 1, "2004-01-01", kPayer, false, 1.0);
    addConkal(kCompany, 2, "2004-12-31", kPayer, false, 1.0);
    addConkal(kCompany, 3, "2005-01-01", kPayer, false, 1.0);

    const CalendarResult result = generateServiceDays(connection.get(), year2004(), sink, feedback);

    EXPECT_EQ(result.deleted, 2);
    EXPECT_EQ(conkalRows(kCompany), (Rows{"3|01/01/2005|40|0|1.00"}));
}

TEST_P(CalendarGeneration, NothingToDeleteAndDaysMissingFromTheirMonth)
{
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    addRun(kCompany, 1, kAuthority, 1000);
    addMonth(kCompany, 1, 1, 2004, 4, flagsOn({30, 31})); // 31 April
    addMonth(kCompany, 1, 1, 2005, 2, flagsOn({29}));     // 29 February 2005

    const CalendarResult result = generateServiceDays(connection.get(), year2004(), sink, feedback);

    EXPECT_EQ(result.deleted, 0);
    EXPECT_EQ(result.total, 1);
    EXPECT_EQ(result.inserted, 1);
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|30/04/2004|10|1|0.00"}));
    EXPECT_EQ(
        std::count(feedback.banners.begin(), feedback.banners.end(), "Eliminazione Giorni Effettuazione Esistenti"), 0);
    EXPECT_NE(sink.lastText().find("Giorni preesistenti eliminati: 0\n"), std::string::npos);
}

TEST_P(CalendarGeneration, CompanyWithoutProtocolsOnlyDeletes)
{
    addRun(kCompany, 1, kAuthority, 1000);
    addConkal(kCompany, 1, "2004-06-01", kAuthority, true, 0.0);
    addMonth(kCompany, 1, 1, 2004, 6, allDays());

    const CalendarResult result = generateServiceDays(connection.get(), year2004(), sink, feedback);

    EXPECT_EQ(result.deleted, 1);
    EXPECT_EQ(result.total, 0);
    EXPECT_EQ(count("conkal"), 0);
}

TEST_P(CalendarGeneration, MonthListedUnderTwoProtocolsGivesEachDayOnce)
{
    // Protocol 2 takes over from the 10th: day 5 stays with protocol 1's
    // March, and protocol 2's March names it too.
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    addProtocol(kCompany, 2, "2004-03-10", "2004-03-31", false);
    addRun(kCompany, 1, kAuthority, 1000);
    addMonth(kCompany, 1, 1, 2004, 3, flagsOn({5, 12}));
    addMonth(kCompany, 1, 2, 2004, 3, flagsOn({5, 20}));
    // A run whose months lie at both ends of the year, its last day of each.
    addRun(kCompany, 2, kAuthority, 1000);
    addMonth(kCompany, 2, 1, 2004, 12, flagsOn({31}));
    addMonth(kCompany, 2, 1, 2004, 1, flagsOn({31}));

    const CalendarResult result = generateServiceDays(connection.get(), year2004(), sink, feedback);

    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.total, 5);
    EXPECT_EQ(result.inserted, 4);
    EXPECT_EQ(result.rejected, 1);
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|05/03/2004|10|1|0.00", "1|20/03/2004|10|1|0.00", "2|31/01/2004|10|1|0.00",
                                          "2|31/12/2004|10|1|0.00"}));
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Information);
}

TEST_P(CalendarGeneration, RefusedRowLeavesTheCalendarAsItWasAfterOneMessage)
{
    addGeneratedContract();
    const std::vector<std::string> before = test::accountingSnapshot(connection.get());
    // The database refuses every new row of run 7, deleted and written again
    // in the middle of the insertion.
    if (isPostgres())
        exec("ALTER TABLE conkal ADD CONSTRAINT refuse7 CHECK (id <> 7) NOT VALID");
    else
        exec("CREATE TRIGGER refuse7 BEFORE INSERT ON conkal WHEN NEW.ID = 7 BEGIN SELECT RAISE(ABORT, 'riga "
             "rifiutata'); END");

    const CalendarResult result = generateServiceDays(connection.get(), springOf2004(), sink, feedback);

    EXPECT_FALSE(result.completed);
    ASSERT_EQ(sink.entries.size(), 1u) << sink.lastText();
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
    const std::string& text = sink.entries[0].text;
    EXPECT_TRUE(text.rfind("Errore aggiornamento tavola (conkal)\n\n - ", 0) == 0 ||
                text.rfind("Errore scarico buffer tavola (conkal)\n\n - ", 0) == 0)
        << text;
    EXPECT_NE(text.find("Operazione annullata: nessuna modifica è stata registrata."), std::string::npos);
    EXPECT_EQ(test::accountingSnapshot(connection.get()), before);
    EXPECT_EQ(feedback.endCalls, 1);
}

TEST_P(CalendarGeneration, StopAskedDuringTheInsertionLeavesTheCalendarAsItWas)
{
    addGeneratedContract();
    const std::vector<std::string> before = test::accountingSnapshot(connection.get());
    feedback.onProgress = [this] {
        if (feedback.reached("Inserimento Giorni Effettuazione Corse", 50))
            feedback.stop = true;
    };

    EXPECT_FALSE(generateServiceDays(connection.get(), springOf2004(), sink, feedback).completed);

    ASSERT_EQ(sink.entries.size(), 1u) << sink.lastText();
    EXPECT_EQ(sink.lastText(), "Interruzione in fase di Inserimento Giorni Effettuazione Corse\n\n"
                               "Operazione annullata: nessuna modifica è stata registrata.");
    EXPECT_EQ(test::accountingSnapshot(connection.get()), before);

    // Run again to the end, the split days are still carried over.
    feedback.stop = false;
    feedback.onProgress = nullptr;
    sink.clear();
    const CalendarResult result = generateServiceDays(connection.get(), springOf2004(), sink, feedback);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.deleted, 920);
    EXPECT_EQ(result.inserted, 920);
    EXPECT_EQ(count("conkal", "ID = 7 AND ente = 40 AND minima = 0"), 2);
    EXPECT_EQ(count("conkal"), 920);
}

TEST_P(CalendarGeneration, RowsetOf100000GeneratesAndRegeneratesEveryDay)
{
    // Blocks of 100,000 rows: every statement still stays under the
    // parameter limit of every libpq.
    connection = isPostgres() || GetParam() == test::Backend::SqliteOdbc
                     ? [this] {
                           std::string driver;
                           return DbConnection::openOdbc(dataSource(), driver, 100000, 1, sink);
                       }()
                     : DbConnection::openSqlite(dir.file("runs.db"), 100000, 1, sink);
    ASSERT_TRUE(connection->IsOpen()) << sink.lastText();
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    const std::string series = "WITH RECURSIVE s(g) AS (SELECT 1 UNION ALL SELECT g + 1 FROM s WHERE g < 1200)";
    exec("INSERT INTO corse (azienda, ID, ente, codlinea, lung) " + series + " SELECT 3, g, 10, 'L', 1000 FROM s");
    exec("INSERT INTO mesi (azienda, ID, protoc, anno, mese, giorni) " + series +
         ", m(n) AS (SELECT 3 UNION ALL SELECT n + 1 FROM m WHERE n < 5) SELECT 3, g, 1, 2004, n, '" + allDays() +
         "' FROM s, m");

    const CalendarResult first = generateServiceDays(connection.get(), springOf2004(), sink, feedback);
    EXPECT_TRUE(first.completed) << sink.lastText();
    EXPECT_EQ(first.inserted, 1200 * 92);
    // Runs 601 to 1200 are scheduled in June too, runs 1 to 600 lose their
    // May rows: regenerating May and June deletes only the former, and the
    // March and April rows the latter keep are left out, not refused.
    exec("INSERT INTO mesi (azienda, ID, protoc, anno, mese, giorni) " + series + " SELECT 3, g, 1, 2004, 6, '" +
         allDays() + "' FROM s WHERE g > 600");
    exec("DELETE FROM conkal WHERE ID <= 600 AND data >= '2004-05-01'");
    const CalendarResult june =
        generateServiceDays(connection.get(), {kAuthority, kCompany, {2004, 5, 1}, {2004, 6, 30}}, sink, feedback);
    EXPECT_TRUE(june.completed) << sink.lastText();
    EXPECT_EQ(june.deleted, 600 * 92);
    EXPECT_EQ(june.total, 1200 * 92 + 600 * 30);
    EXPECT_EQ(june.inserted, 600 * 122 + 600 * 31);
    EXPECT_EQ(june.rejected, 600 * 61);
    EXPECT_EQ(count("conkal"), 600 * 92 + 600 * 122);
    ASSERT_EQ(sink.entries.size(), 2u) << sink.lastText();
    EXPECT_EQ(sink.lastText(), "Risultati della rigenerazione della Tavola Giorni Effettuazione Corse:\n\n"
                               "Giorni preesistenti eliminati: 55200\nGiorni inseriti: 91800 di 128400\n"
                               "Giorni non inseriti perché già presenti o rifiutati: 36600\n");
}

KORVAN_ALL_BACKENDS(CalendarGeneration);

} // namespace
} // namespace korvan::accounting
