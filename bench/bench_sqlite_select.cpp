// Reading conkal rows through SelectCursor on the file back end against a raw
// sqlite3_step loop over the same statement. Also shows that the cursor's
// memory does not grow with the number of rows.
// Usage: bench_sqlite_select [rows [repeats]]   (default 1,000,000 rows, 1 run)

#include "SqliteBenchSupport.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "support/RecordingMessageSink.h"

#include <algorithm>

using namespace korvan;
using namespace korvan::bench;

namespace {

constexpr const char* kSelect =
    "SELECT conkal.azienda, conkal.ID, conkal.data, conkal.ente, conkal.minima, conkal.euro FROM conkal ";

struct Totals {
    long rows = 0;
    long long keys = 0;
    double euro = 0;
    size_t dateCharacters = 0;
};

double rawRead(const std::string& path, Totals& totals)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    configureLikeTheFileBackEnd(db);
    const Stopwatch watch;
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, kSelect, -1, &select, nullptr);
    while (sqlite3_step(select) == SQLITE_ROW) {
        ++totals.rows;
        totals.keys += sqlite3_column_int(select, 0) + sqlite3_column_int(select, 1) + sqlite3_column_int(select, 3) +
                       sqlite3_column_int(select, 4);
        totals.dateCharacters += static_cast<size_t>(sqlite3_column_bytes(select, 2));
        totals.euro += sqlite3_column_double(select, 5);
    }
    sqlite3_finalize(select);
    const double seconds = watch.seconds();
    sqlite3_close(db);
    return seconds;
}

double layerRead(DbConnection& connection, Totals& totals)
{
    const Stopwatch watch;
    SelectCursor select(&connection);
    select.AddField("conkal", "azienda", SqlType::SmallInt);
    select.AddField("conkal", "ID", SqlType::Integer);
    select.AddField("conkal", "data", SqlType::Date);
    select.AddField("conkal", "ente", SqlType::SmallInt);
    select.AddField("conkal", "minima", SqlType::Bit);
    select.AddField("conkal", "euro", SqlType::Double);
    select.SetFrom("conkal");
    std::string date;
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        int azienda = 0, id = 0, ente = 0, minima = 0;
        double euro = 0;
        select.GetShort(0, azienda);
        select.GetLong(1, id);
        select.GetText(2, date);
        select.GetShort(3, ente);
        select.GetShort(4, minima);
        select.GetDouble(5, euro);
        ++totals.rows;
        totals.keys += azienda + id + ente - minima; // a true bit reads -1
        totals.dateCharacters += date.size();
        totals.euro += euro;
    }
    return watch.seconds();
}

} // namespace

int main(int argc, char** argv)
{
    const long rows = rowCountArgument(argc, argv, 1'000'000);
    const int repeats = repeatArgument(argc, argv);
    const DayTexts days;
    const std::string path = freshDatabase("select");
    rawConkalInsert(path, rows, days);

    test::RecordingMessageSink sink;
    auto connection = DbConnection::openSqlite(path, 25, 1, sink);
    double baseline = 1e30;
    double measured = 1e30;
    Totals raw, layer;
    long growthKb = 0;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        raw = layer = Totals();
        baseline = std::min(baseline, rawRead(path, raw));
        const long before = peakResidentKb();
        measured = std::min(measured, layerRead(*connection, layer));
        growthKb = std::max(growthKb, peakResidentKb() - before);
    }
    connection.reset();
    removeDatabase(path);
    if (raw.rows != rows || layer.rows != rows || raw.keys != layer.keys ||
        raw.dateCharacters != layer.dateCharacters || raw.euro != layer.euro || !sink.empty()) {
        std::fprintf(stderr, "the two readings differ: %s\n", sink.lastText().c_str());
        return 1;
    }
    printBaseline("raw sqlite3_step loop", rows, baseline);
    printMeasured("SelectCursor, typed getters", rows, measured, baseline, 1.5);
    std::printf("memory    peak resident set growth while the cursor walked %ld rows: %ld KiB\n", rows, growthKb);
    return 0;
}
