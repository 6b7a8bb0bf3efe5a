#pragma once

// The locks of db/Locks.h on PostgreSQL: advisory locks of the transaction
// in the two-key form, the first key naming the kind ("KORV" the database,
// "KORC" a contract, "KORP" a contract's changes pending in a run browser),
// the second the contract (authority × 65536 + company; 0 for the
// database). The server releases them when the transaction ends and when
// the client's connection dies.

#include "db/Backend.h"

#include <string>

namespace korvan::detail::odbc {

class OdbcConnection;

// Inside the connection's transaction: takes the locks of `scope`, each
// waiting at most `waitMilliseconds` (at least 1). Busy when one is held
// elsewhere (`conflict.databaseBusy` says which); Failed with the driver's
// text in `error`.
LockAttempt takePostgresLocks(OdbcConnection& connection, const LockScope& scope, int waitMilliseconds,
                              LockConflict& conflict, std::string& error);
// Fills `conflict.holders` from pg_locks and pg_stat_activity: the other
// connections that hold the lock refused. Nothing when the query fails.
void findPostgresHolders(OdbcConnection& connection, LockConflict& conflict);
// "SET application_name = '...'" for clientApplicationName().
std::string applicationNameStatement();

} // namespace korvan::detail::odbc
