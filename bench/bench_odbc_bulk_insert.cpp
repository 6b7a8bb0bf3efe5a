// conkal rows through TableCursor bulk mode over ODBC to PostgreSQL, against
// COPY ... FROM STDIN of the same rows, at several rowset sizes: each block
// committed by itself, and all in one all-or-nothing transaction as the
// operations write.
// Usage: bench_odbc_bulk_insert [rows] [data source]

#include "OdbcBenchSupport.h"
#include "db/DbConnection.h"
#include "db/TableCursor.h"
#include "db/TransactionGuard.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcTableCursor.h"

#include <cstdio>
#include <optional>

using namespace korvan;
using namespace korvan::bench;

namespace {

class StderrSink : public MessageSink {
  public:
    void showMessage(const std::string& text, MessageIcon) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool askConfirmation(const std::string&) override { return true; }
};

// Adds one generated row the way the program does: every value as text.
template <typename Cursor> void addRow(Cursor& cursor, long i, const DayTexts& days)
{
    const ConkalValues row = conkalRow(i);
    cursor.addNew();
    std::string text = formatText("%d", row.azienda);
    cursor.setField("azienda", text);
    text = formatText("%d", row.id);
    cursor.setField("ID", text);
    text = days.italian[static_cast<size_t>(row.dayIndex)];
    cursor.setField("data", text);
    text = formatText("%d", row.ente);
    cursor.setField("ente", text);
    text = row.minima ? "1" : "0";
    cursor.setField("minima", text);
    text = formatText("%d,%02d", row.cents / 100, row.cents % 100);
    cursor.setField("euro", text);
    cursor.update();
}

// The public cursor, under the names of the back end's interface.
struct PublicCursor {
    TableCursor& cursor;
    void addNew() { cursor.AddNew(); }
    void setField(const char* name, std::string& text) { cursor.SetField(name, text); }
    void update() { cursor.Update(); }
};

long insertThroughTableCursor(const std::string& dsn, int rowsetSize, long count, bool oneTransaction)
{
    StderrSink sink;
    std::string driver;
    auto connection = DbConnection::openOdbc(dsn, driver, rowsetSize, 1, sink);
    std::optional<TransactionGuard> transaction;
    if (oneTransaction)
        transaction.emplace(connection.get());
    const DayTexts days;
    long written = 0;
    {
        TableCursor table(connection.get(), "conkal", true);
        PublicCursor cursor{table};
        for (long i = 0; i < count; ++i) {
            addRow(cursor, i, days);
            written += table.RowsWritten();
        }
        table.Flush();
        written += table.RowsWritten();
    }
    if (transaction && !transaction->Commit())
        return -1;
    return written;
}

// The same rows sent as plain parameter arrays, one row per statement in
// the driver: the path the multi-row INSERT replaces.
long insertAsParameterArrays(const std::string& dsn, int rowsetSize, long count)
{
    StderrSink sink;
    std::string driver;
    auto connection = DbConnection::openOdbc(dsn, driver, rowsetSize, 1, sink);
    auto& backend = dynamic_cast<detail::odbc::OdbcConnection&>(*connection->backend());
    detail::odbc::OdbcTableCursor cursor(backend, "conkal", true, 0);
    cursor.blockWriter()->setMethod(detail::odbc::BlockWriter::Method::ParameterArray);
    const DayTexts days;
    long written = 0;
    for (long i = 0; i < count; ++i) {
        addRow(cursor, i, days);
        written += cursor.rowsWritten();
    }
    cursor.flush();
    return written + cursor.rowsWritten();
}

} // namespace

int main(int argc, char** argv)
{
    const long rows = rowCountArgument(argc, argv, 1000000);
    const std::string dsn = argc > 2 ? argv[2] : postgresDsn();
    std::printf("ODBC bulk insert into conkal on %s, %ld rows\n", dsn.c_str(), rows);

    freshConkal(dsn);
    const double copySeconds = copyConkal(rows);
    if (conkalCount(dsn) != rows) {
        std::fprintf(stderr, "COPY stored %ld rows\n", conkalCount(dsn));
        return 1;
    }
    printBaseline("COPY conkal FROM STDIN (psql)", rows, copySeconds);

    double bestSeconds[2] = {0, 0};
    int bestSizes[2] = {0, 0};
    for (int rowsetSize : {25, 100, 500, 1000, 5000}) {
        for (int oneTransaction = 0; oneTransaction < 2; ++oneTransaction) {
            freshConkal(dsn);
            Stopwatch watch;
            const long written = insertThroughTableCursor(dsn, rowsetSize, rows, oneTransaction != 0);
            const double seconds = watch.seconds();
            if (written != rows || conkalCount(dsn) != rows) {
                std::fprintf(stderr, "rowset %d: %ld rows written, %ld stored\n", rowsetSize, written,
                             conkalCount(dsn));
                return 1;
            }
            const std::string what =
                "TableCursor bulk, rowset " + std::to_string(rowsetSize) + (oneTransaction ? ", one transaction" : "");
            printMeasured(what.c_str(), rows, seconds, copySeconds, 4.0);
            if (bestSizes[oneTransaction] == 0 || seconds < bestSeconds[oneTransaction]) {
                bestSeconds[oneTransaction] = seconds;
                bestSizes[oneTransaction] = rowsetSize;
            }
        }
    }
    std::printf("best rowset size %d: ratio %.2f\n", bestSizes[0], bestSeconds[0] / copySeconds);
    std::printf("best rowset size in one transaction %d: ratio %.2f\n", bestSizes[1], bestSeconds[1] / copySeconds);
    const int bestSize = bestSizes[0];

    // For reference: plain parameter arrays at the best size, on a tenth of
    // the rows (they are an order of magnitude slower).
    const long arrayRows = rows / 10 > 0 ? rows / 10 : rows;
    freshConkal(dsn);
    Stopwatch watch;
    const long written = insertAsParameterArrays(dsn, bestSize, arrayRows);
    const double seconds = watch.seconds();
    if (written != arrayRows || conkalCount(dsn) != arrayRows) {
        std::fprintf(stderr, "parameter arrays: %ld rows written, %ld stored\n", written, conkalCount(dsn));
        return 1;
    }
    const double copyShare = copySeconds * static_cast<double>(arrayRows) / static_cast<double>(rows);
    const std::string what = "parameter arrays, rowset " + std::to_string(bestSize);
    printMeasured(what.c_str(), arrayRows, seconds, copyShare, 4.0);
    return 0;
}
