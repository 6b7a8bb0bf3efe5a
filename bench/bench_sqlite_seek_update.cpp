// Seek-edit-update cycles through TableCursor outside a transaction on the
// file back end against a raw prepared SELECT + UPDATE in autocommit with the
// same journal and synchronous settings.
// Usage: bench_sqlite_seek_update [cycles [repeats]]   (default 100,000 cycles, best of 2 runs)

#include "SqliteBenchSupport.h"
#include "db/DbConnection.h"
#include "db/TableCursor.h"
#include "support/RecordingMessageSink.h"

#include <algorithm>

using namespace korvan;
using namespace korvan::bench;

namespace {

constexpr long kTableRows = 100'000;

// The rows visited, in a fixed scattered order.
long visitedRow(long cycle)
{
    return (cycle * 7919L + 13L) % kTableRows;
}

double rawCycles(const std::string& path, long cycles, const DayTexts& days)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    configureLikeTheFileBackEnd(db);
    const Stopwatch watch;
    sqlite3_stmt* seek = nullptr;
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, * FROM conkal WHERE azienda = ?1 AND ID = ?2 AND data = ?3 LIMIT 1", -1,
                       &seek, nullptr);
    sqlite3_prepare_v2(db, "UPDATE conkal SET euro = ?1 WHERE rowid = ?2", -1, &update, nullptr);
    for (long cycle = 0; cycle < cycles; ++cycle) {
        const ConkalValues row = conkalRow(visitedRow(cycle));
        sqlite3_bind_int(seek, 1, row.azienda);
        sqlite3_bind_int(seek, 2, row.id);
        sqlite3_bind_text(seek, 3, days.iso[static_cast<size_t>(row.dayIndex)].c_str(), -1, SQLITE_STATIC);
        if (sqlite3_step(seek) != SQLITE_ROW) {
            std::fprintf(stderr, "raw seek found nothing\n");
            std::exit(1);
        }
        const sqlite3_int64 rowid = sqlite3_column_int64(seek, 0);
        sqlite3_reset(seek);
        sqlite3_bind_double(update, 1, static_cast<double>(cycle % 1000) / 4.0);
        sqlite3_bind_int64(update, 2, rowid);
        sqlite3_step(update);
        sqlite3_reset(update);
    }
    sqlite3_finalize(seek);
    sqlite3_finalize(update);
    const double seconds = watch.seconds();
    sqlite3_close(db);
    return seconds;
}

double layerCycles(const std::string& path, long cycles, const DayTexts& days)
{
    std::vector<std::string> amounts;
    for (int quarter = 0; quarter < 1000; ++quarter) {
        std::string amount = formatText("%1.2lf", quarter / 4.0);
        std::replace(amount.begin(), amount.end(), '.', ',');
        amounts.push_back(amount);
    }
    test::RecordingMessageSink sink;
    auto connection = DbConnection::openSqlite(path, 25, 1, sink);
    const Stopwatch watch;
    {
        TableCursor cursor(connection.get(), "conkal");
        cursor.SelectIndex("codice");
        std::vector<std::string> key(3);
        for (long cycle = 0; cycle < cycles; ++cycle) {
            const ConkalValues row = conkalRow(visitedRow(cycle));
            key[0] = std::to_string(row.azienda);
            key[1] = std::to_string(row.id);
            key[2] = days.italian[static_cast<size_t>(row.dayIndex)];
            if (!cursor.SeekKey(key) || !cursor.Edit() ||
                !cursor.SetField("euro", amounts[static_cast<size_t>(cycle % 1000)]) || !cursor.Update()) {
                std::fprintf(stderr, "layer cycle %ld failed: %s\n", cycle, sink.lastText().c_str());
                std::exit(1);
            }
        }
    }
    return watch.seconds();
}

} // namespace

int main(int argc, char** argv)
{
    const long cycles = rowCountArgument(argc, argv, 100'000);
    // The first pass also grows the write-ahead log file; the best of two
    // compares the steady state of both.
    const int repeats = repeatArgument(argc, argv, 2);
    const DayTexts days;
    const std::string path = freshDatabase("seek-update");
    rawConkalInsert(path, kTableRows, days);
    double baseline = 1e30;
    double measured = 1e30;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        baseline = std::min(baseline, rawCycles(path, cycles, days));
        measured = std::min(measured, layerCycles(path, cycles, days));
    }
    removeDatabase(path);
    printBaseline("raw SELECT + UPDATE, autocommit", cycles, baseline);
    printMeasured("TableCursor SeekKey, Edit, SetField, Update", cycles, measured, baseline, 2.0);
    return 0;
}
