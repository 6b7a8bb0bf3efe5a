// Times the lines directory of a generated network on the SQLite file back
// end: collecting its entries through the program's select cursor, laying
// it out and writing it as PDF and as CSV, against a baseline measured in
// the same run: the same counts grouped by the engine itself (one GROUP BY
// query read with the SQLite library). The entries are compared with the
// baseline's rows before the figures are printed.
//
// Usage: bench_lines_directory [runs ...] [--png FILE]
//   runs      run counts of the networks (default 3000 and 50000)
//   --png     also writes page 1 of the first network's directory at 100 dpi

#include "DemoNetwork.h"
#include "DemoSqliteWriter.h"
#include "SchemaCreator.h"
#include "core/OperationFeedback.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "db/Values.h"
#include "gui/ReportLayout.h"
#include "gui/ReportOutput.h"
#include "gui/TextMeasure.h"
#include "lines/LineExtraction.h"
#include "reports/CsvWriter.h"
#include "reports/LinesDirectory.h"
#include "support/RecordingMessageSink.h"

#include <QGuiApplication>

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace korvan;

namespace {

double seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// line ID -> run count, grouped by the engine.
std::map<int, long> groupedByEngine(const std::string& path)
{
    std::map<int, long> counts;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return counts;
    }
    sqlite3_stmt* statement = nullptr;
    const char* sql = "SELECT linee.ID, linee.ente, linee.linea, linee.denom, COUNT(*) FROM linee, conline "
                      "WHERE linee.ID = conline.linea GROUP BY linee.ID, linee.ente, linee.linea, linee.denom "
                      "ORDER BY linee.ente, linee.linea, linee.ID";
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK)
        while (sqlite3_step(statement) == SQLITE_ROW)
            counts[sqlite3_column_int(statement, 0)] = sqlite3_column_int(statement, 4);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return counts;
}

struct Figures {
    double baseline = 0;
    double collect = 0;
    double layout = 0;
    double pdf = 0;
    double csv = 0;
    int pages = 0;
    size_t entries = 0;
    bool same = false;
};

bool measure(long runs, const std::string& folder, const std::string& png)
{
    const std::string path = folder + "/directory_" + std::to_string(runs) + ".db";
    std::string error;
    if (!demo::writeSqliteFile(demo::generateNetwork({runs, 2025}), path, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    test::RecordingMessageSink sink;
    sink.confirmReply = true;
    SilentFeedback feedback;
    std::unique_ptr<DbConnection> connection = DbConnection::openSqlite(path, DbConnection::kDefaultRowsetSizeOrdinary,
                                                                        DbConnection::kDefaultRowsetSizeBlob, sink);
    if (!connection->IsOpen()) {
        std::fprintf(stderr, "%s\n", sink.lastText().c_str());
        return false;
    }
    lines::extractNormalizedLines(connection.get(), sink, feedback);

    Figures figures;
    std::map<int, long> expected;
    figures.baseline = seconds([&] { expected = groupedByEngine(path); });
    reports::Report report;
    figures.collect = seconds([&] {
        report = reports::collectLinesDirectory(connection.get(), {true, 0}, feedback, std::time(nullptr));
    });
    gui::PreparedReport prepared;
    figures.layout = seconds([&] {
        prepared =
            gui::prepareReport(report, gui::pageGeometry(gui::pdfPageLayout()), gui::TextMeasure(report.fontPoints));
    });
    bool written = false;
    figures.pdf = seconds([&] { written = gui::writePdf(report, folder + "/directory.pdf", error); });
    if (!written)
        std::fprintf(stderr, "PDF: %s\n", error.c_str());
    figures.csv = seconds([&] {
        std::ofstream out(folder + "/directory.csv", std::ios::binary);
        written = reports::writeCsv(report, out) && written;
    });
    figures.pages = prepared.pageCount();
    figures.entries = report.rows.size();

    std::map<int, long> collected;
    for (const reports::Row& row : report.rows)
        collected[static_cast<int>(row.cells[0].value)] = static_cast<long>(row.cells[3].value);
    figures.same = collected == expected;

    const double total = figures.collect + figures.layout + figures.pdf;
    std::printf("runs %6ld  entries %3zu  pages %2d | GROUP BY baseline %.4f s | collect %.4f s (x%.1f)  layout "
                "%.4f s  PDF %.4f s  CSV %.4f s | collect+layout+PDF %.4f s (x%.1f)  same counts: %s\n",
                runs, figures.entries, figures.pages, figures.baseline, figures.collect,
                figures.baseline > 0 ? figures.collect / figures.baseline : 0.0, figures.layout, figures.pdf,
                figures.csv, total, figures.baseline > 0 ? total / figures.baseline : 0.0, figures.same ? "yes" : "NO");
    if (!png.empty() && !gui::renderPage(report, prepared, 1, 100).save(QString::fromStdString(png)))
        std::fprintf(stderr, "cannot write %s\n", png.c_str());
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path + suffix);
    return figures.same && written;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<long> runCounts;
    std::string png;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--png" && i + 1 < argc)
            png = argv[++i];
        else
            runCounts.push_back(parseIntegerText(argument));
    }
    if (runCounts.empty())
        runCounts = {3000, 50000};
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench_lines_directory_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    bool ok = true;
    for (size_t i = 0; i < runCounts.size(); ++i)
        ok = measure(runCounts[i], folder.string(), i == 0 ? png : std::string()) && ok;
    std::filesystem::remove_all(folder);
    return ok ? 0 : 1;
}
