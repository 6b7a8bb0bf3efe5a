// Bulk insert of conkal rows through TableCursor on the file back end against
// one prepared INSERT in one transaction with the raw sqlite3 API.
// Usage: bench_sqlite_bulk_insert [rows [repeats]]   (default 1,000,000 rows, 1 run)

#include "SqliteBenchSupport.h"
#include "db/DbConnection.h"
#include "db/TableCursor.h"
#include "support/RecordingMessageSink.h"

#include <algorithm>

using namespace korvan;
using namespace korvan::bench;

namespace {

// The texts a caller such as the calendar generation hands to SetField.
double layerInsert(const std::string& path, long rows, int rowsetSize, const DayTexts& days)
{
    std::vector<std::string> amounts;
    for (int cents = 0; cents < 25000; cents += 25)
        amounts.push_back(formatText("%1.2lf", cents / 100.0));
    for (std::string& amount : amounts)
        for (char& c : amount)
            if (c == '.')
                c = ',';
    test::RecordingMessageSink sink;
    auto connection = DbConnection::openSqlite(path, rowsetSize, 1, sink);
    const Stopwatch watch;
    long written = 0;
    {
        TableCursor cursor(connection.get(), "conkal", true);
        for (long i = 0; i < rows; ++i) {
            const ConkalValues row = conkalRow(i);
            cursor.AddNew();
            cursor.SetField("azienda", std::to_string(row.azienda));
            cursor.SetField("ID", std::to_string(row.id));
            cursor.SetField("data", days.italian[static_cast<size_t>(row.dayIndex)]);
            cursor.SetField("ente", std::to_string(row.ente));
            cursor.SetField("minima", row.minima ? "1" : "0");
            cursor.SetField("euro", amounts[static_cast<size_t>(row.cents / 25)]);
            cursor.Update();
            written += cursor.RowsWritten();
        }
        cursor.Flush();
        written += cursor.RowsWritten();
    }
    const double seconds = watch.seconds();
    if (written != rows || !sink.empty()) {
        std::fprintf(stderr, "layer insert wrote %ld of %ld rows: %s\n", written, rows, sink.lastText().c_str());
        std::exit(1);
    }
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    const long rows = rowCountArgument(argc, argv, 1'000'000);
    const int repeats = repeatArgument(argc, argv);
    const DayTexts days;

    // Best of `repeats` runs of each, interleaved, against the noise of a
    // shared machine.
    const struct {
        int rowsetSize;
        double goal;
    } runs[] = {{25, 2.5}, {1000, 1.3}};
    double baseline = 1e30;
    double measured[2] = {1e30, 1e30};
    double rawBlocks = 1e30;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        std::string path = freshDatabase("raw-insert");
        baseline = std::min(baseline, rawConkalInsert(path, rows, days));
        removeDatabase(path);
        path = freshDatabase("raw-blocks");
        rawBlocks = std::min(rawBlocks, rawConkalInsert(path, rows, days, 25));
        removeDatabase(path);
        for (size_t i = 0; i < 2; ++i) {
            path = freshDatabase("layer-insert");
            measured[i] = std::min(measured[i], layerInsert(path, rows, runs[i].rowsetSize, days));
            removeDatabase(path);
        }
    }
    printBaseline("raw sqlite3, one transaction", rows, baseline);
    // For reference: what committing every 25 rows costs by itself.
    std::printf("reference %-44s %10ld rows %8.3f s  ratio %.2f\n", "raw sqlite3, commit every 25 rows", rows,
                rawBlocks, rawBlocks / baseline);
    for (size_t i = 0; i < 2; ++i) {
        const std::string what = "TableCursor bulk, rowset " + std::to_string(runs[i].rowsetSize);
        printMeasured(what.c_str(), rows, measured[i], baseline, runs[i].goal);
    }
    return 0;
}
