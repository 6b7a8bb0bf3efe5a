#pragma once

// The locks that let several operators share one database. Work that
// changes data says what it changes (LockScope) and its transaction takes
// the lock of that scope:
//
// - the database's lock, exclusive: the extraction of lines and the line
//   edit and merge, which change what every contract reads;
// - the database's lock shared and the contract's own lock exclusive: the
//   work on one contract (assignments, calendar generation, removals, the
//   run browser's changes), so that operations on different contracts run
//   at the same time and exclude the database's exclusive work.
//
// On PostgreSQL these are the server's advisory locks of the transaction,
// released by the server when it ends or when the client dies. A SQLite
// file has one writer at a time: every scope takes its writer lock.
//
// A lock held elsewhere is a LockConflict: what was asked, and who holds it
// when the server can tell. The connection's LockWaiter decides whether to
// wait on (the desktop shows its busy clock and lets the user stop, the
// batch program waits as long as --wait says); the refusal is shown with
// lockConflictMessage.

#include <string>
#include <vector>

namespace korvan {

struct LockScope {
    enum class Kind {
        Database, // the whole database, exclusive
        Contract, // one contract: its own lock, the database's shared
    };
    Kind kind = Kind::Database;
    int authority = -1;
    int company = -1;
    // Changes that wait for the user to keep them (the run browser's): a
    // colleague's operation is refused at once instead of waiting for them.
    bool pendingChanges = false;

    static LockScope database() { return {}; }
    static LockScope contract(int authority, int company) { return {Kind::Contract, authority, company, false}; }
    static LockScope browserChanges(int authority, int company) { return {Kind::Contract, authority, company, true}; }
    bool sameContract(const LockScope& other) const
    {
        return kind == other.kind && authority == other.authority && company == other.company;
    }
};

// A connection that holds a lock another one asked for, as the server
// tells it (pg_locks and pg_stat_activity). A text the server withholds
// (another user's address without the right to see it) is empty.
struct LockHolder {
    std::string application; // the client's application_name
    std::string user;        // the database user
    std::string address;     // the client's address; empty over a local socket
    std::string connectedSince;
    std::string inUseSince; // the start of the transaction that holds the lock
    bool exclusive = false; // holds the database's lock exclusive (lines)
    bool pendingChanges = false;
    // The contract it works on, when it holds one (-1 otherwise).
    int authority = -1;
    int company = -1;
};

struct LockConflict {
    LockScope scope;           // what was asked
    bool databaseBusy = false; // the database's lock was refused, not only the contract's
    // Empty when the back end cannot tell (a SQLite file).
    std::vector<LockHolder> holders;

    bool heldForPendingChanges() const;
};

// The refusal: what is in use, by whom and since when, and what to do.
std::string lockConflictMessage(const LockConflict& conflict);
// One line for the status banner while the work waits.
std::string lockWaitBanner(const LockConflict& conflict);
// "ente 0004, azienda 0002"
std::string contractText(int authority, int company);

// Decides, while a lock is held elsewhere, whether the work waits on.
class LockWaiter {
  public:
    virtual ~LockWaiter() = default;
    // Called at the first refusal and then between short waits, with the
    // time waited so far. False ends the wait: the refusal is then shown.
    virtual bool keepWaiting(const LockConflict& conflict, long waitedMilliseconds) = 0;
    // The wait is over, the lock taken or not.
    virtual void waitEnded() {}
};

// The name the program's connections give themselves on the server
// (PostgreSQL's application_name), so that a colleague's refusal can say
// who holds a contract: the program and what it does, then the user and
// the machine ("KORVAN mario@ufficio-2"). Set once at start-up.
void setClientProgramName(const std::string& program);
// Printable ASCII, at most 63 characters (what the server keeps).
std::string clientApplicationName();

} // namespace korvan
