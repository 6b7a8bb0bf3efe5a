// korvan-batch report on a fixture database: the CSV is the desktop's report
// for the same choice (authority, period, level of detail), with figures
// worked out by hand; the PDF to a file and to standard output; refusals,
// an empty report and wrong command lines write no file.

#include "batch/BatchFixture.h"
#include "core/OperationFeedback.h"
#include "reports/CsvWriter.h"
#include "reports/ReportCollection.h"
#include "support/PdfTools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvan::batch {
namespace {

using korvan::test::BatchDbTest;
using korvan::test::BatchRun;
using reports::ReportKind;

constexpr int kAuthority = 10;
constexpr int kPayer = 40;
constexpr int kCompany = 3;

const std::vector<std::string> kMarch = {"--period", "01/03/2025", "31/03/2025"};

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The CSV row whose kind column says `kind`, "" when there is none.
std::string rowOfKind(const std::string& csv, const std::string& kind)
{
    std::istringstream in(csv);
    for (std::string line; std::getline(in, line);)
        if (line.find(";\"" + kind + "\";") != std::string::npos)
            return line;
    return "";
}

// Three runs of one line of authority 10's contract with company 3, 12,345 m
// and 40 minutes each. In March run 1 has three minimum-service days and
// one day paid by authority 40 (7.25), run 2 two minimum-service days (the
// daily amount of minimum service is 12.50), run 3 one day of additional
// service of authority 40 (4.00). A day of February is outside the period.
class BatchReports : public BatchDbTest {
  protected:
    void SetUp() override
    {
        BatchDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addAuthority(kAuthority, "Regione Valdora");
        addAuthority(kPayer, "Provincia di Sasso");
        addCompany(kCompany, "Autolinee");
        addLine(1, kAuthority, "12");
        for (long id = 1; id <= 3; ++id) {
            addRun(kCompany, id, kAuthority, 12345);
            addRunLine(kCompany, id, kAuthority, 1);
        }
        exec("UPDATE corse SET ct_lung = lung, ct_tempo = 40");
        addConcors(kCompany, 1, kAuthority, true, 12.5);
        addConcors(kCompany, 2, kAuthority, true, 12.5);
        addConcors(kCompany, 3, kPayer, false, 4);
        for (const char* day : {"2025-03-03", "2025-03-04", "2025-03-05"})
            addConkal(kCompany, 1, day, kAuthority, true, 0);
        addConkal(kCompany, 1, "2025-03-06", kPayer, false, 7.25);
        for (const char* day : {"2025-02-28", "2025-03-03", "2025-03-04"})
            addConkal(kCompany, 2, day, kAuthority, true, 0);
        addConkal(kCompany, 3, "2025-03-10", kPayer, false, 4);
    }

    BatchRun report(const std::string& kind, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), kind);
        return batch("report", arguments);
    }

    // The CSV of the report the desktop collects for the choice.
    std::string desktopCsv(ReportKind kind, const reports::ReportChoice& choice)
    {
        SilentFeedback quiet;
        const std::optional<reports::Report> collected =
            reports::collectReport(kind, choice, connection.get(), quiet, 0);
        EXPECT_TRUE(collected) << sink.lastText();
        std::ostringstream out;
        if (collected) {
            EXPECT_TRUE(reports::writeCsv(*collected, out));
        }
        return out.str();
    }

    static reports::ReportChoice march(bool analytic = true)
    {
        reports::ReportChoice choice;
        choice.analytic = analytic;
        choice.periodStart = "01/03/2025";
        choice.periodEnd = "31/03/2025";
        return choice;
    }
};

TEST_P(BatchReports, CsvIsTheDesktopsReportForTheSameChoice)
{
    const BatchRun lines = report("lines", {"--csv", "-"});
    ASSERT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(lines.out, desktopCsv(ReportKind::LinesDirectory, {}));
    EXPECT_NE(lines.out.find("10;\"Regione Valdora\";1;\"12\";\"\";3"), std::string::npos) << lines.out;

    std::vector<std::string> arguments = kMarch;
    arguments.insert(arguments.end(), {"--csv", "-"});
    const BatchRun contracts = report("contracts", arguments);
    ASSERT_EQ(contracts.status, 0) << contracts.err;
    EXPECT_EQ(contracts.out, desktopCsv(ReportKind::Contracts, march()));
    // Seven days of 12.345 km and 40 minutes; five minimum days of 12.50,
    // additional days of 7.25 and 4.00.
    const std::string total = rowOfKind(contracts.out, "Totale Contratto");
    EXPECT_NE(total.find(";7;86,415;280;"), std::string::npos) << total;
    EXPECT_NE(total.find(";62,50;11,25;73,75"), std::string::npos) << total;
    EXPECT_NE(rowOfKind(contracts.out, "Corsa"), "");

    arguments.push_back("--synthetic");
    const BatchRun synthetic = report("contracts", arguments);
    ASSERT_EQ(synthetic.status, 0) << synthetic.err;
    EXPECT_EQ(synthetic.out, desktopCsv(ReportKind::Contracts, march(false)));
    EXPECT_EQ(rowOfKind(synthetic.out, "Corsa"), "") << "the synthetic form has totals only";
    EXPECT_EQ(rowOfKind(synthetic.out, "Totale Contratto"), total);
}

TEST_P(BatchReports, ContributionsOfOnePayingAuthority)
{
    std::vector<std::string> arguments = kMarch;
    arguments.insert(arguments.end(), {"--authority", "40", "--csv", "-"});
    const BatchRun run = report("contributions", arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    reports::ReportChoice choice = march();
    choice.allAuthorities = false;
    choice.authority = kPayer;
    EXPECT_EQ(run.out, desktopCsv(ReportKind::Contributions, choice));
    EXPECT_NE(run.out.find("\"Provincia di Sasso\""), std::string::npos) << run.out;
    // Its two days: 7.25 of run 1, 4.00 of run 3 (total rows have no days).
    EXPECT_NE(rowOfKind(run.out, "Totale Contratto").find(";;24,690;80;11,25"), std::string::npos) << run.out;

    // Authority 10 pays no additional service: it is not among the choices.
    arguments[4] = "10";
    const BatchRun refused = report("contributions", arguments);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("ATTENZIONE: Il Codice Ente non è valido."), std::string::npos) << refused.err;
}

TEST_P(BatchReports, AnAuthorityPayingOnlyDaysHasItsOwnContributions)
{
    // Authority 50 pays one day of run 2 (as the day-type assignment and the
    // calendar view write it) and no run as a whole.
    addAuthority(50, "Comune dei Sabati");
    addConkal(kCompany, 2, "2025-03-08", 50, false, 3.5);
    std::vector<std::string> arguments = kMarch;
    arguments.insert(arguments.end(), {"--authority", "50", "--csv", "-"});
    const BatchRun run = report("contributions", arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    reports::ReportChoice choice = march();
    choice.allAuthorities = false;
    choice.authority = 50;
    EXPECT_EQ(run.out, desktopCsv(ReportKind::Contributions, choice));
    EXPECT_NE(rowOfKind(run.out, "Totale Contratto").find(";3,50"), std::string::npos) << run.out;
}

TEST_P(BatchReports, PdfToAFileAndToStandardOutput)
{
    const std::string pdf = dir.file("contratti.pdf");
    std::vector<std::string> arguments = kMarch;
    arguments.insert(arguments.end(), {"--authority", "10", "--pdf", pdf, "--csv", dir.file("contratti.csv")});
    const BatchRun run = report("contracts", arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::pdfPageCount(pdf), std::optional<int>(1));
    const std::optional<std::string> text = test::pdfText(pdf);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Totali Contratto"), std::string::npos) << *text;
    EXPECT_NE(text->find("Ente: [10] Regione Valdora"), std::string::npos) << *text;
    EXPECT_NE(text->find("73.75"), std::string::npos) << *text;
    EXPECT_NE(rowOfKind(fileText(dir.file("contratti.csv")), "Totale Contratto"), "");

    const BatchRun piped = report("lines", {"--pdf", "-"});
    ASSERT_EQ(piped.status, 0) << piped.err;
    ASSERT_EQ(piped.out.rfind("%PDF-", 0), 0u);
    std::ofstream(dir.file("linee.pdf"), std::ios::binary) << piped.out;
    EXPECT_EQ(test::pdfPageCount(dir.file("linee.pdf")), std::optional<int>(1));
    const std::optional<std::string> lines = test::pdfText(dir.file("linee.pdf"));
    ASSERT_TRUE(lines);
    EXPECT_NE(lines->find("Pag. 1 di 1"), std::string::npos) << *lines;
}

TEST_P(BatchReports, RefusalsAndEmptyReportsWriteNoFile)
{
    const std::string csv = dir.file("out.csv");
    const std::string pdf = dir.file("out.pdf");
    struct Case {
        std::string kind;
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"contracts",
         {"--period", "31/02/2025", "31/03/2025"},
         "ATTENZIONE: la data di inizio periodo è espressa in un formato illegale."},
        {"contracts",
         {"--period", "01/03/2025", "1/4/2025"},
         "ATTENZIONE: la data di fine periodo è espressa in un formato illegale."},
        {"lines", {"--authority", "99"}, "ATTENZIONE: Il Codice Ente non è valido."},
        {"contracts", {"--period", "01/03/2030", "31/03/2030"}, "Non ci sono dati da stampare !!!"},
        {"contributions", {"--period", "01/02/2025", "28/02/2025"}, "Non ci sono dati da stampare !!!"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--csv", csv, "--pdf", pdf});
        const BatchRun run = report(c.kind, arguments);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(csv)) << c.message;
        EXPECT_FALSE(std::filesystem::exists(pdf)) << c.message;
    }
}

TEST_P(BatchReports, AnUnwritableFileIsSaid)
{
    const std::string csv = dir.file("missing/out.csv");
    const BatchRun run = report("lines", {"--csv", csv});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Impossibile scrivere il file CSV " + csv), std::string::npos) << run.err;
    const std::string pdf = dir.file("missing/out.pdf");
    const BatchRun pdfRun = report("lines", {"--pdf", pdf});
    EXPECT_EQ(pdfRun.status, 1);
    EXPECT_NE(pdfRun.err.find("Impossibile scrivere il file PDF " + pdf), std::string::npos) << pdfRun.err;
}

KORVAN_BATCH_BACKENDS(BatchReports);

TEST(BatchReportUsage, WrongReportCommandLinesExitTwo)
{
    test::TempDir dir;
    const std::string db = dir.file("never.db");
    const std::vector<std::vector<std::string>> cases = {
        {"report", "--db", db, "--csv", "-"},
        {"report", "--db", db, "runs", "--csv", "-"},
        {"report", "--db", db, "lines"},
        {"report", "--db", db, "lines", "--csv", "-", "--pdf", "-"},
        {"report", "--db", db, "lines", "--csv", "-", "--synthetic"},
        {"report", "--db", db, "lines", "--csv", "-", "--period", "01/01/2025", "31/01/2025"},
        {"report", "--db", db, "contracts", "--csv", "-"},
        {"report", "--db", db, "contracts", "--csv", "-", "--company", "3"},
        {"report", "--db", db, "contracts", "--csv", "-", "--period", "01/01/2025"},
        {"report", "--db", db, "contracts", "contributions", "--csv", "-"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const BatchRun run = test::runBatchProgram(arguments, dir.path());
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("Usage: korvan-batch report"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(db));
    const BatchRun help = test::runBatchProgram({"report", "--help"}, dir.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--synthetic"), std::string::npos);
}

} // namespace
} // namespace korvan::batch
