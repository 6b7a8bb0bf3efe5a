// korvan-batch generate-days, remove, extract-lines and list on fixture
// databases: the core operations' rows and texts, refusals that change
// nothing, and a database that does not open.

#include "accounting/AccountingInput.h"
#include "accounting/CalendarGeneration.h"
#include "accounting/SplitRemoval.h"
#include "batch/BatchFixture.h"
#include "lines/LineExtraction.h"
#include "refdata/PickLists.h"
#include "refdata/Schema.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace korvan::batch {
namespace {

using korvan::test::allDays;
using korvan::test::BatchDbTest;
using korvan::test::BatchRun;
using Rows = std::vector<std::string>;

constexpr int kAuthority = 10;
constexpr int kCompany = 3;
constexpr int kOtherCompany = 5;
constexpr int kPayer = 40;

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

class BatchOperations : public BatchDbTest {
  protected:
    void SetUp() override
    {
        BatchDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addAuthority(kAuthority, "Regione");
        addAuthority(kPayer, "Provincia");
        addCompany(kCompany, "Autolinee");
        addCompany(kOtherCompany, "Bus Srl");
        addLine(1, kAuthority, "12");
        for (int company : {kCompany, kOtherCompany}) {
            addProtocol(company, 1, "2004-01-01", "2004-12-31", false);
            for (long id = 1; id <= 2; ++id) {
                addRun(company, id, kAuthority, 1000);
                addRunLine(company, id, kAuthority, 1);
                addMonth(company, id, 1, 2004, 3, allDays());
                addMonth(company, id, 1, 2004, 4, allDays());
            }
        }
    }

    std::vector<std::string> contract() { return {"--authority", "10", "--company", "3"}; }
};

TEST_P(BatchOperations, GenerateDaysLeavesTheCoreCalendarAndText)
{
    addConkal(kCompany, 1, "2004-03-05", kPayer, false, 7.25); // additional day, carried over
    std::vector<std::string> arguments = contract();
    arguments.insert(arguments.end(), {"--period", "01/03/2004", "31/03/04", "--yes"});

    const BatchRun run = batch("generate-days", arguments);

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const Rows batchRows = conkalRows(kCompany);
    EXPECT_FALSE(batchRows.empty());
    EXPECT_EQ(count("conkal", "azienda = 5"), 0);

    exec("DELETE FROM conkal");
    addConkal(kCompany, 1, "2004-03-05", kPayer, false, 7.25);
    accounting::generateServiceDays(connection.get(), {kAuthority, kCompany, {2004, 3, 1}, {2004, 3, 31}}, sink,
                                    feedback);
    EXPECT_EQ(batchRows, conkalRows(kCompany));
    EXPECT_EQ(run.out, sink.lastText() + "\n");
}

TEST_P(BatchOperations, GenerateDaysForEveryContract)
{
    const BatchRun run = batch("generate-days", {"--all-contracts", "--period", "01/04/2004", "30/04/2004", "--yes"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(count("conkal", "azienda = 3"), count("conkal", "azienda = 5"));
    EXPECT_GT(count("conkal", "azienda = 3"), 0);
    EXPECT_NE(run.out.find("Ente 0010 Azienda 0003\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Ente 0010 Azienda 0005\n"), std::string::npos) << run.out;
}

TEST_P(BatchOperations, GenerateDaysRefusesBadPeriodsAndUnconfirmedRuns)
{
    addConkal(kCompany, 1, "2004-03-05", kPayer, false, 7.25);
    std::vector<std::string> badStart = contract();
    badStart.insert(badStart.end(), {"--period", "32/03/2004", "31/03/2004", "--yes"});
    std::vector<std::string> badEnd = contract();
    badEnd.insert(badEnd.end(), {"--period", "01/03/2004", "3/31/2004", "--yes"});
    std::vector<std::string> unconfirmed = contract();
    unconfirmed.insert(unconfirmed.end(), {"--period", "01/03/2004", "31/03/2004"});

    const BatchRun start = batch("generate-days", badStart);
    EXPECT_EQ(start.status, 1);
    EXPECT_EQ(start.err, accounting::invalidPeriodDateMessage(true) + "\n");
    const BatchRun end = batch("generate-days", badEnd);
    EXPECT_EQ(end.status, 1);
    EXPECT_EQ(end.err, accounting::invalidPeriodDateMessage(false) + "\n");
    const BatchRun refused = batch("generate-days", unconfirmed);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.rfind(accounting::calendarWarningText(), 0), 0u) << refused.err;
    EXPECT_EQ(refused.out + start.out + end.out, "");
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|05/03/2004|40|0|7.25"}));
}

TEST_P(BatchOperations, RemoveEachModeAsTheCoreDoes)
{
    addConcors(kCompany, 1, kPayer, false, 4.5);
    addConcors(kCompany, 2, kAuthority, true, 1.0);
    addItinerarySplit(kCompany, 1, 1);
    addItinerarySplit(kCompany, 2, 1);
    addItinerarySplit(kOtherCompany, 1, 1);

    std::vector<std::string> additional = contract();
    additional.insert(additional.end(), {"--mode", "additional", "--yes"});
    const BatchRun run = batch("remove", additional);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Risultati dell'elaborazione:\n\n"
                       "Elaborate 1 corse (finanziamento servizio aggiuntivo)\n"
                       "Ripristinate 1 corse (finanziamento servizio minimo)\n\n");
    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|10|1|4.50", "2|10|1|1.00"}));

    std::vector<std::string> itinerary = contract();
    itinerary.insert(itinerary.end(), {"--mode", "itinerary", "--yes"});
    const BatchRun removed = batch("remove", itinerary);
    ASSERT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(count("conitine", "azienda = 3"), 0);
    EXPECT_EQ(count("conitine", "azienda = 5"), 1);
    EXPECT_EQ(removed.out.rfind("Risultati dell'eliminazione:", 0), 0u) << removed.out;
}

TEST_P(BatchOperations, RemoveRefusesAnUnknownContractAndUnconfirmedRuns)
{
    addItinerarySplit(kCompany, 1, 1);
    const BatchRun unknown = batch("remove", {"--authority", "10", "--company", "7", "--mode", "itinerary", "--yes"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, refdata::invalidEntryMessage(refdata::EntryKind::Company) + "\n");

    std::vector<std::string> unconfirmed = contract();
    unconfirmed.insert(unconfirmed.end(), {"--mode", "itinerary"});
    const BatchRun refused = batch("remove", unconfirmed);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.rfind(accounting::removalWarningText(accounting::RemovalMode::ItinerarySplits), 0), 0u);
    EXPECT_EQ(count("conitine", "azienda = 3"), 1);
}

TEST_P(BatchOperations, ExtractLinesRebuildsTheLinesOnlyWhenConfirmed)
{
    exec("UPDATE corse SET codlinea = '7  ' WHERE ID = 2");

    const BatchRun refused = batch("extract-lines", {});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.rfind(lines::extractionConfirmationText(), 0), 0u) << refused.err;
    EXPECT_EQ(count("linee"), 1);
    EXPECT_EQ(count("conline"), 4);

    const BatchRun run = batch("extract-lines", {"--yes"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, lines::extractionDoneText() + "\n");
    // One line per (company, authority, raw code): codes "L" and "7  " in both companies.
    EXPECT_EQ(count("linee"), 4);
    EXPECT_EQ(count("conline"), 4);
}

TEST_P(BatchOperations, ListsPrintThePickListEntries)
{
    const BatchRun authorities = batch("list", {"authorities"});
    EXPECT_EQ(authorities.status, 0) << authorities.err;
    EXPECT_EQ(authorities.out, joined(refdata::allAuthorities(connection.get())));
    EXPECT_EQ(authorities.out, "0040 - Provincia\n0010 - Regione\n");

    const BatchRun contracts = batch("list", {"contracts"});
    EXPECT_EQ(contracts.out, "0010 - Regione\t0003 - Autolinee\n0010 - Regione\t0005 - Bus Srl\n");

    const BatchRun companies = batch("list", {"companies", "--authority", "10"});
    EXPECT_EQ(companies.out, joined(refdata::companiesOfAuthority(connection.get(), kAuthority)));

    const BatchRun lines = batch("list", {"lines", "--authority", "10"});
    EXPECT_EQ(lines.out, "0001 - 12\n");
    const BatchRun contractLines = batch("list", {"lines", "--authority", "10", "--company", "5"});
    EXPECT_EQ(contractLines.out, joined(refdata::contractLinesByCode(connection.get(), kAuthority, kOtherCompany)));
    EXPECT_FALSE(contractLines.out.empty());

    const BatchRun unknown = batch("list", {"companies", "--authority", "99"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, refdata::invalidEntryMessage(refdata::EntryKind::Authority) + "\n");
    EXPECT_EQ(unknown.out, "");
}

KORVAN_BATCH_BACKENDS(BatchOperations);

TEST(BatchConnection, ADatabaseThatDoesNotOpenIsAnErrorWithItsMessage)
{
    korvan::test::TempDir dir;
    const std::string missing = dir.file("missing.db");
    const BatchRun run = korvan::test::runBatchProgram({"list", "--db", missing, "authorities"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Errore in fase di apertura del database"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(missing));

    const BatchRun odbc =
        korvan::test::runBatchProgram({"list", "--dsn", "korvan_no_such_dsn", "authorities"}, dir.path());
    EXPECT_EQ(odbc.status, 1);
    EXPECT_FALSE(odbc.err.empty());
}

TEST(BatchConnection, DatabaseErrorsOfTheOperationExitOne)
{
    korvan::test::TempDir dir;
    const std::string file = dir.file("empty.db");
    {
        auto raw = tools::RawDatabase::sqliteFile(file);
        ASSERT_TRUE(raw.exec("CREATE TABLE other (a INTEGER)")) << raw.error();
    }
    const BatchRun list = korvan::test::runBatchProgram({"list", "--db", file, "authorities"}, dir.path());
    EXPECT_EQ(list.status, 1);
    EXPECT_EQ(list.out, "");
    EXPECT_NE(list.err.find("regent"), std::string::npos) << list.err;

    // A database without the tables the extraction needs is refused when
    // it opens; the exit status tells the failure.
    const BatchRun extract = korvan::test::runBatchProgram({"extract-lines", "--db", file, "--yes"}, dir.path());
    EXPECT_EQ(extract.status, 1);
    EXPECT_NE(extract.err.find("conline"), std::string::npos) << extract.err;
    EXPECT_EQ(extract.out, "");
}

// A runs file of the program's tables, each statement changed by `adapt`.
void makeRunsFile(const std::string& file, const std::function<void(const std::string& table, std::string& sql)>& adapt)
{
    auto raw = tools::RawDatabase::sqliteFile(file);
    ASSERT_TRUE(raw.ok()) << raw.error();
    for (const schema::Table& table : schema::tables())
        for (std::string sql : schema::createStatements(table, schema::Dialect::Sqlite)) {
            adapt(table.name, sql);
            if (!sql.empty()) {
                ASSERT_TRUE(raw.exec(sql)) << raw.error() << "\n" << sql;
            }
        }
}

TEST(BatchConnection, CodesDeclaredIntegerAreListedWhole)
{
    // SQLite tools declare small integers INTEGER.
    korvan::test::TempDir dir;
    const std::string file = dir.file("runs.db");
    makeRunsFile(file, [](const std::string&, std::string& sql) {
        for (size_t at = sql.find(" SMALLINT"); at != std::string::npos; at = sql.find(" SMALLINT"))
            sql.replace(at, 9, " INTEGER");
    });
    {
        auto raw = tools::RawDatabase::sqliteFile(file);
        ASSERT_TRUE(raw.exec("INSERT INTO regent (codice, denom) VALUES (12, 'Regione'), (7, 'Comune')"));
    }
    const BatchRun list = korvan::test::runBatchProgram({"list", "--db", file, "authorities"}, dir.path());
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "0007 - Comune\n0012 - Regione\n");
    EXPECT_EQ(list.err, "");
}

TEST(BatchConnection, MissingTableRefusesTheDatabaseBeforeAnythingIsDeleted)
{
    // No conline table, and dates of conkal declared TEXT: an extraction
    // would remove the named lines and then fail.
    korvan::test::TempDir dir;
    const std::string file = dir.file("runs.db");
    makeRunsFile(file, [](const std::string& table, std::string& sql) {
        if (table == "conline")
            sql.clear();
        const size_t date = sql.find("data DATE");
        if (table == "conkal" && date != std::string::npos)
            sql.replace(date, 9, "data TEXT");
    });
    {
        auto raw = tools::RawDatabase::sqliteFile(file);
        ASSERT_TRUE(raw.exec("INSERT INTO linee (ID, ente, linea, denom) VALUES (0, 1, 'A', 'Centro')"));
        ASSERT_TRUE(raw.exec("INSERT INTO corse (azienda, ID, ente, codlinea) VALUES (1, 1, 1, 'A')"));
    }
    const BatchRun extract = korvan::test::runBatchProgram({"extract-lines", "--db", file, "--yes"}, dir.path());
    EXPECT_EQ(extract.status, 1);
    EXPECT_EQ(extract.out, "");
    EXPECT_EQ(extract.err, "ATTENZIONE: il database non contiene le tavole e le colonne utilizzate da KORVAN nella "
                           "forma attesa.\n\nTavole mancanti: conline\nColonne di tipo inatteso: conkal.data (TEXT, "
                           "attesa una data)\n\nOccorre completare o correggere il database: la connessione è stata "
                           "chiusa.\n\n\n");
    auto raw = tools::RawDatabase::sqliteFile(file);
    EXPECT_EQ(raw.queryText("SELECT denom FROM linee WHERE ID = 0"), "Centro");
}

} // namespace
} // namespace korvan::batch
