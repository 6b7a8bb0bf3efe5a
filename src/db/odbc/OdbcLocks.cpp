#include "db/odbc/OdbcLocks.h"

#include "db/Values.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcDiagnostics.h"

#include <cstdint>
#include <vector>

namespace korvan::detail::odbc {

namespace {

// The first keys: "KORV", "KORC", "KORP" as four bytes.
constexpr std::uint32_t kDatabaseKey = 0x4B4F5256;
constexpr std::uint32_t kContractKey = 0x4B4F5243;
constexpr std::uint32_t kPendingKey = 0x4B4F5250;

std::uint32_t contractKey(int authority, int company)
{
    return (static_cast<std::uint32_t>(authority) & 0xFFFFu) << 16 | (static_cast<std::uint32_t>(company) & 0xFFFFu);
}

// The functions take int4 keys; pg_locks shows them as unsigned oids.
std::string keyArgument(std::uint32_t key)
{
    return std::to_string(static_cast<std::int32_t>(key));
}

struct LockStep {
    const char* function;
    std::uint32_t first;
    std::uint32_t second;
};

std::vector<LockStep> stepsOf(const LockScope& scope)
{
    if (scope.kind == LockScope::Kind::Database)
        return {{"pg_advisory_xact_lock", kDatabaseKey, 0}};
    const std::uint32_t contract = contractKey(scope.authority, scope.company);
    std::vector<LockStep> steps{{"pg_advisory_xact_lock_shared", kDatabaseKey, 0},
                                {"pg_advisory_xact_lock", kContractKey, contract}};
    if (scope.pendingChanges)
        steps.push_back({"pg_advisory_xact_lock", kPendingKey, contract});
    return steps;
}

// The rows of a query as texts (NULL as ""); false when it failed.
bool queryRows(OdbcConnection& connection, const std::string& sql, int columns,
               std::vector<std::vector<std::string>>& rows)
{
    Statement statement;
    if (!statement.allocate(connection.handle()))
        return false;
    if (!succeeded(SQLExecDirect(statement.get(), sqlText(sql), SQL_NTS)))
        return false;
    while (succeeded(SQLFetch(statement.get()))) {
        std::vector<std::string> row;
        for (int column = 1; column <= columns; ++column) {
            char buffer[512] = {0};
            SQLLEN length = 0;
            const SQLRETURN rc = SQLGetData(statement.get(), static_cast<SQLUSMALLINT>(column), SQL_C_CHAR, buffer,
                                            sizeof buffer, &length);
            row.emplace_back(succeeded(rc) && length != SQL_NULL_DATA ? buffer : "");
        }
        rows.push_back(std::move(row));
    }
    return true;
}

} // namespace

LockAttempt takePostgresLocks(OdbcConnection& connection, const LockScope& scope, int waitMilliseconds,
                              LockConflict& conflict, std::string& error)
{
    // lock_timeout bounds each wait, for this transaction only (0 would
    // mean no bound at all).
    const std::string wait = std::to_string(waitMilliseconds < 1 ? 1 : waitMilliseconds);
    if (!connection.execute("SET LOCAL lock_timeout = '" + wait + "ms'", &error))
        return LockAttempt::Failed;
    for (const LockStep& step : stepsOf(scope)) {
        const std::string sql = std::string("SELECT ") + step.function + "(" + keyArgument(step.first) + ", " +
                                keyArgument(step.second) + ")";
        if (connection.execute(sql, &error))
            continue;
        // 55P03: lock_not_available, the wait has run out.
        if (connection.lastExecuteState() != "55P03")
            return LockAttempt::Failed;
        conflict.databaseBusy = step.first == kDatabaseKey;
        return LockAttempt::Busy;
    }
    connection.execute("SET LOCAL lock_timeout = DEFAULT");
    return LockAttempt::Taken;
}

void findPostgresHolders(OdbcConnection& connection, LockConflict& conflict)
{
    const LockScope& scope = conflict.scope;
    const bool database = conflict.databaseBusy || scope.kind == LockScope::Kind::Database;
    const std::uint32_t first = database ? kDatabaseKey : kContractKey;
    const std::uint32_t second = database ? 0 : contractKey(scope.authority, scope.company);
    // Inside a transaction the server keeps its first view of the sessions.
    if (connection.inTransaction())
        connection.execute("SELECT pg_stat_clear_snapshot()");
    const std::string sql =
        formatText("SELECT l.mode, a.application_name, a.usename, COALESCE(host(a.client_addr), ''), "
                   "to_char(a.backend_start, 'DD/MM/YYYY HH24:MI'), to_char(a.xact_start, 'DD/MM/YYYY HH24:MI'), "
                   "(SELECT MIN(c.objid::bigint) FROM pg_locks c WHERE c.pid = l.pid AND c.locktype = 'advisory' "
                   "AND c.classid = %u AND c.objsubid = 2 AND c.granted), "
                   "(SELECT COUNT(*) FROM pg_locks p WHERE p.pid = l.pid AND p.locktype = 'advisory' "
                   "AND p.classid = %u AND p.objsubid = 2 AND p.granted) "
                   "FROM pg_locks l JOIN pg_stat_activity a ON a.pid = l.pid "
                   "WHERE l.locktype = 'advisory' AND l.granted AND l.classid = %u AND l.objid = %u AND l.objsubid = 2 "
                   "AND l.pid <> pg_backend_pid() ORDER BY a.xact_start, a.pid",
                   kContractKey, kPendingKey, first, second);
    std::vector<std::vector<std::string>> rows;
    if (!queryRows(connection, sql, 8, rows))
        return;
    for (const std::vector<std::string>& row : rows) {
        LockHolder holder;
        holder.exclusive = database && row[0] == "ExclusiveLock";
        holder.application = row[1];
        holder.user = row[2];
        holder.address = row[3];
        holder.connectedSince = row[4];
        holder.inUseSince = row[5];
        // The contract says more than the database's shared lock.
        if (database && !row[6].empty()) {
            const long key = parseIntegerText(row[6]);
            holder.authority = static_cast<int>(key >> 16);
            holder.company = static_cast<int>(key & 0xFFFF);
        }
        holder.pendingChanges = row[7] != "" && row[7] != "0";
        conflict.holders.push_back(holder);
    }
}

std::string applicationNameStatement()
{
    return "SET application_name = '" + clientApplicationName() + "'";
}

} // namespace korvan::detail::odbc
