// conkal rows read through SelectCursor over ODBC from PostgreSQL, against a
// plain ODBC block-fetch loop over the same statement and block size; the
// resident memory is sampled while reading to show it does not grow.
// Usage: bench_odbc_select [rows] [data source]

#include "OdbcBenchSupport.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace korvan;
using namespace korvan::bench;

namespace {

class StderrSink : public MessageSink {
  public:
    void showMessage(const std::string& text, MessageIcon) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool askConfirmation(const std::string&) override { return true; }
};

struct Totals {
    long rows = 0;
    long long ids = 0;
    long long days = 0;
    double euro = 0;
    long memoryGrowthKb = 0;
};

constexpr long kSampleEvery = 65536;

void addItems(SelectCursor& select)
{
    select.AddField("conkal", "azienda", SqlType::SmallInt);
    select.AddField("conkal", "ID", SqlType::Integer);
    select.AddField("conkal", "data", SqlType::Date);
    select.AddField("conkal", "ente", SqlType::SmallInt);
    select.AddField("conkal", "minima", SqlType::Bit);
    select.AddField("conkal", "euro", SqlType::Double);
    select.SetFrom("conkal");
}

Totals readThroughSelectCursor(const std::string& dsn, int rowsetSize)
{
    StderrSink sink;
    std::string driver;
    auto connection = DbConnection::openOdbc(dsn, driver, rowsetSize, 1, sink);
    SelectCursor select(connection.get());
    addItems(select);
    Totals totals;
    const long startKb = residentKb();
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
        totals.ids += id + azienda + ente + minima;
        totals.days += date[0] - '0';
        totals.euro += euro;
        if (++totals.rows % kSampleEvery == 0)
            totals.memoryGrowthKb = std::max(totals.memoryGrowthKb, residentKb() - startKb);
    }
    return totals;
}

// The same statement fetched with column-wise block binding and no layer.
Totals readThroughPlainOdbc(const std::string& dsn, int rowsetSize, const std::string& sql)
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT statement = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    if (!SQL_SUCCEEDED(SQLConnect(dbc, reinterpret_cast<SQLCHAR*>(const_cast<char*>(dsn.c_str())), SQL_NTS, nullptr, 0,
                                  nullptr, 0))) {
        std::fprintf(stderr, "cannot connect to %s\n", dsn.c_str());
        std::exit(1);
    }
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &statement);
    const auto rows = static_cast<size_t>(rowsetSize);
    std::vector<SQLINTEGER> azienda(rows), id(rows), ente(rows), minima(rows);
    std::vector<SQL_TIMESTAMP_STRUCT> data(rows);
    std::vector<SQLDOUBLE> euro(rows);
    std::vector<SQLLEN> indicators(rows * 6);
    SQLULEN fetched = 0;
    SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(rows)), 0);
    SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    SQLBindCol(statement, 1, SQL_C_SLONG, azienda.data(), 0, &indicators[0]);
    SQLBindCol(statement, 2, SQL_C_SLONG, id.data(), 0, &indicators[rows]);
    SQLBindCol(statement, 3, SQL_C_TYPE_TIMESTAMP, data.data(), 0, &indicators[2 * rows]);
    SQLBindCol(statement, 4, SQL_C_SLONG, ente.data(), 0, &indicators[3 * rows]);
    SQLBindCol(statement, 5, SQL_C_SLONG, minima.data(), 0, &indicators[4 * rows]);
    SQLBindCol(statement, 6, SQL_C_DOUBLE, euro.data(), 0, &indicators[5 * rows]);
    Totals totals;
    const long startKb = residentKb();
    if (SQL_SUCCEEDED(SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS)))
        while (SQL_SUCCEEDED(SQLFetch(statement))) {
            for (SQLULEN r = 0; r < fetched; ++r) {
                totals.ids += id[r] + azienda[r] + ente[r] + minima[r];
                totals.days += data[r].day / 10;
                totals.euro += euro[r];
                if (++totals.rows % kSampleEvery == 0)
                    totals.memoryGrowthKb = std::max(totals.memoryGrowthKb, residentKb() - startKb);
            }
        }
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return totals;
}

} // namespace

int main(int argc, char** argv)
{
    const long rows = rowCountArgument(argc, argv, 1000000);
    const std::string dsn = argc > 2 ? argv[2] : postgresDsn();
    std::printf("ODBC select of conkal on %s, %ld rows\n", dsn.c_str(), rows);
    freshConkal(dsn);
    copyConkal(rows);

    StderrSink sink;
    std::string driver;
    auto connection = DbConnection::openOdbc(dsn, driver, 25, 1, sink);
    SelectCursor builder(connection.get());
    addItems(builder);
    builder.BuildSql();
    const std::string sql = builder.SqlText();
    connection.reset();

    for (int rowsetSize : {25, 1000}) {
        // Best of two runs of each, alternating, to even out the load of a
        // shared machine.
        double plainSeconds = 0;
        double layerSeconds = 0;
        Totals plain;
        Totals layer;
        for (int run = 0; run < 2; ++run) {
            Stopwatch plainWatch;
            plain = readThroughPlainOdbc(dsn, rowsetSize, sql);
            const double p = plainWatch.seconds();
            Stopwatch layerWatch;
            layer = readThroughSelectCursor(dsn, rowsetSize);
            const double l = layerWatch.seconds();
            plainSeconds = run == 0 ? p : std::min(plainSeconds, p);
            layerSeconds = run == 0 ? l : std::min(layerSeconds, l);
        }
        if (plain.rows != rows || layer.rows != rows || plain.ids != layer.ids ||
            static_cast<long long>(plain.euro) != static_cast<long long>(layer.euro)) {
            std::fprintf(stderr, "rowset %d: read %ld and %ld rows, different values\n", rowsetSize, plain.rows,
                         layer.rows);
            return 1;
        }
        const std::string baseline = "plain ODBC block fetch, rowset " + std::to_string(rowsetSize);
        printBaseline(baseline.c_str(), rows, plainSeconds);
        const std::string what = "SelectCursor, rowset " + std::to_string(rowsetSize);
        printMeasured(what.c_str(), rows, layerSeconds, plainSeconds, 1.5);
        std::printf("          resident memory growth while reading: plain %ld kB, SelectCursor %ld kB\n",
                    plain.memoryGrowthKb, layer.memoryGrowthKb);
    }
    return 0;
}
