// korvan-batch assign: the same rows and result texts as the core
// assignments, the dialog's refusals, and nothing written on refusal.

#include "accounting/AccountingInput.h"
#include "accounting/BaseAssignment.h"
#include "batch/BatchFixture.h"
#include "refdata/PickLists.h"

#include <gtest/gtest.h>

namespace korvan::batch {
namespace {

using accounting::AssignmentKind;
using accounting::AssignmentRequest;
using korvan::test::BatchDbTest;
using korvan::test::BatchRun;
using Rows = std::vector<std::string>;

constexpr int kAuthority = 10;
constexpr int kCompany = 3;
constexpr int kPayer = 40;

class BatchAssign : public BatchDbTest {
  protected:
    void SetUp() override
    {
        BatchDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addAuthority(kAuthority, "Regione");
        addAuthority(kPayer, "Provincia dell'Aquila");
        addAuthority(11, "Comune");
        addCompany(kCompany, "Autolinee");
        addCompany(4, "Altra Azienda");
        addLine(1, kAuthority, "12");
        addLine(2, kAuthority, "7");
        addRun(kCompany, 1, kAuthority, 12345, 8, 0, 9, 0);
        addRun(kCompany, 2, kAuthority, 1000, 8, 30, 9, 45);
        addRun(kCompany, 3, kAuthority, 2000, 6, 0, 7, 0);
        addRun(4, 1, 11, 1000);
        addRunLine(kCompany, 1, kAuthority, 1);
        addRunLine(kCompany, 2, kAuthority, 2);
        addRunLine(kCompany, 3, kAuthority, 1);
        addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
        for (long id = 1; id <= 3; ++id)
            addMonth(kCompany, id, 1, 2004, 3, korvan::test::flagsOn({1, 2, 6, 8}));
        // A run assigned earlier, to tell overwriting from keeping.
        addConcors(kCompany, 3, kPayer, false, 3.5);
    }

    BatchRun assign(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"--authority", "10", "--company", "0003"});
        return batch("assign", arguments);
    }

    Rows rows()
    {
        Rows all = concorsRows(kCompany);
        for (const std::string& row : conkalRows(kCompany))
            all.push_back("day " + row);
        return all;
    }

    void resetAssignments()
    {
        exec("DELETE FROM concors");
        exec("DELETE FROM conkal");
        addConcors(kCompany, 3, kPayer, false, 3.5);
    }
};

TEST_P(BatchAssign, WholeContractWritesEveryRunAndPrintsTheResult)
{
    const BatchRun run = assign({"--euro-km", "0,75", "--yes"});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Risultati dell'assegnazione:\n\nAssegnate 2 Corse (nuove)\n"
                       "Modificate 1 Corse (già assegnate)\n");
    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|10|1|9.26", "2|10|1|0.75", "3|10|1|1.50"}));
    EXPECT_EQ(count("concors", "azienda = 4"), 0);
}

struct ScopeCase {
    std::vector<std::string> arguments;
    AssignmentKind kind;
    AssignmentRequest request;
};

std::vector<ScopeCase> scopeCases()
{
    std::vector<ScopeCase> cases;
    AssignmentRequest base;
    base.contractAuthority = kAuthority;
    base.contractCompany = kCompany;

    AssignmentRequest line = base;
    line.lineCode = "12";
    line.minimumService = false;
    line.payingAuthority = kPayer;
    line.euroPerKm = 1.5;
    cases.push_back(
        {{"--line", "12", "--additional", "0040 - Provincia", "--euro-km", "1.5"}, AssignmentKind::Line, line});

    AssignmentRequest band = base;
    band.bandFrom = 600;
    band.bandTo = 930;
    band.euroPerKm = 2;
    band.updateExisting = false;
    cases.push_back({{"--band", "6-00-9.30", "--euro-km", "2", "--keep-existing"}, AssignmentKind::TimeBand, band});

    AssignmentRequest days = base;
    days.periodStart = {2004, 3, 1};
    days.periodEnd = {2004, 3, 6};
    days.weekdays = {true, false, false, false, false, true, false};
    days.euroPerKm = 0.5;
    cases.push_back({{"--period", "01/03/2004", "06-03-04", "--weekdays", "lunedi,SABATO", "--euro-km", "0,5"},
                     AssignmentKind::DayType,
                     days});
    return cases;
}

TEST_P(BatchAssign, EachScopeLeavesTheRowsAndTextOfTheCoreOperation)
{
    for (const ScopeCase& c : scopeCases()) {
        SCOPED_TRACE(c.arguments.front());
        resetAssignments();
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("--yes");
        const BatchRun run = assign(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const Rows batchRows = rows();

        resetAssignments();
        sink.clear();
        accounting::runAssignment(c.kind, connection.get(), c.request, sink, feedback);

        EXPECT_EQ(batchRows, rows());
        EXPECT_EQ(run.out, sink.lastText() + "\n");
        EXPECT_NE(batchRows, (Rows{"3|40|0|3.50"})) << "the case wrote nothing";
    }
}

TEST_P(BatchAssign, RefusesBadEntriesWithTheDialogMessagesAndWritesNothing)
{
    using refdata::EntryKind;
    const std::string badAuthority = refdata::invalidEntryMessage(EntryKind::Authority);
    const std::string badCompany = refdata::invalidEntryMessage(EntryKind::Company);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--authority", "11", "--company", "3", "--euro-km", "1"}, badAuthority}, // no lines of its own
        {{"--authority", "0010x", "--company", "3", "--euro-km", "1"}, badAuthority},
        {{"--authority", "Regione", "--company", "3", "--euro-km", "1"}, badAuthority},
        {{"--authority", "10", "--company", "4", "--euro-km", "1"}, badCompany}, // runs of another authority
        {{"--authority", "10", "--company", "", "--euro-km", "1"}, badCompany},
        {{"--authority", "10", "--company", "3", "--line", "99", "--euro-km", "1"},
         refdata::invalidEntryMessage(EntryKind::Line)},
        {{"--authority", "10", "--company", "3", "--euro-km", "abc"}, accounting::invalidEuroPerKmMessage()},
        {{"--authority", "10", "--company", "3", "--euro-km", "0"}, accounting::invalidEuroPerKmMessage()},
        {{"--authority", "10", "--company", "3", "--euro-km", "1", "--additional", "77"},
         refdata::invalidEntryMessage(EntryKind::PayingAuthority)},
        {{"--authority", "10", "--company", "3", "--euro-km", "1", "--band", "25.00-26.00"},
         accounting::invalidTimeMessage(true)},
        {{"--authority", "10", "--company", "3", "--euro-km", "1", "--band", "08.00-9.75"},
         accounting::invalidTimeMessage(false)},
        {{"--authority", "10", "--company", "3", "--euro-km", "1", "--band", "0800"},
         accounting::invalidTimeMessage(true)},
        {{"--authority", "10", "--company", "3", "--euro-km", "1", "--period", "31/02/2004", "10/03/2004"},
         accounting::invalidPeriodDateMessage(true)},
        {{"--authority", "10", "--company", "3", "--euro-km", "1", "--period", "01/03/2004", "2004-03-10"},
         accounting::invalidPeriodDateMessage(false)},
    };
    for (const auto& [arguments, message] : cases) {
        std::vector<std::string> withYes = arguments;
        withYes.push_back("--yes");
        const BatchRun run = batch("assign", withYes);
        SCOPED_TRACE(arguments[1] + " " + arguments[3] + " " + arguments.back());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, message + "\n");
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(rows(), (Rows{"3|40|0|3.50"}));
    }
}

TEST_P(BatchAssign, PriceReadAsAnotherNumberOrCutIsRefused)
{
    // Once read as 1,80, 1,00, 12,50, 1 and 0,50 euro per km. The "Euro/Km"
    // edit holds 8 characters: 123456789 is not read as 12345678.
    for (const char* price : {"1,8,5", "1.000,50", "12,5.3", "1,", ",5", "123456789", "0.7500001"}) {
        const BatchRun run = assign({"--euro-km", price, "--yes"});
        SCOPED_TRACE(price);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, accounting::invalidEuroPerKmMessage() + "\n");
        EXPECT_EQ(rows(), (Rows{"3|40|0|3.50"}));
    }
}

TEST_P(BatchAssign, LineAcceptedIgnoringCaseAssignsTheRunsOfTheStoredCode)
{
    addLine(3, kAuthority, "L1");
    addRun(kCompany, 5, kAuthority, 4000);
    addRunLine(kCompany, 5, kAuthority, 3);

    const BatchRun run = assign({"--line", "l1", "--euro-km", "1", "--yes"});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Risultati dell'assegnazione:\n\nAssegnate 1 Corse (nuove)\n"
                       "Modificate 0 Corse (già assegnate)\n");
    EXPECT_EQ(rows(), (Rows{"3|40|0|3.50", "5|10|1|4.00"}));
}

TEST_P(BatchAssign, WithoutYesAndNoTerminalItRefusesAndWritesNothing)
{
    const BatchRun run = assign({"--euro-km", "1"});

    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(accounting::assignmentWarningText(AssignmentKind::Contract), 0), 0u) << run.err;
    EXPECT_NE(run.err.find("--yes"), std::string::npos);
    EXPECT_EQ(rows(), (Rows{"3|40|0|3.50"}));
}

KORVAN_BATCH_BACKENDS(BatchAssign);

} // namespace
} // namespace korvan::batch
