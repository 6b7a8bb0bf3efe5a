#pragma once

// The one long transaction of the run browser. It holds nothing while
// nothing is pending: opening the browser, reading, sorting and choosing
// lines lock nothing. The first change of a contract begins it, taking that
// contract's lock for the browser's pending changes (db/Locks.h: a
// colleague's operation on the contract is refused at once); "Aggiorna
// Vista" keeps the pending work (commit), "Ripristina" undoes it (roll
// back), closing the browser keeps it, and each releases the locks. Every
// change made in the browser is written inside it, so a second connection
// sees nothing of it until it is kept.
//
// On a back end without transactions every change is stored at once: the
// browser says so when it opens and when "Ripristina" is asked for, instead
// of pretending to undo.

#include <string>
#include <vector>

namespace korvan {
class DbConnection;
class MessageSink;
} // namespace korvan

namespace korvan::runs {

// Shown when the browser opens on a back end without transactions.
std::string noTransactionsNotice();
// Shown by "Ripristina" on such a back end.
std::string nothingToRestoreNotice();
// Shown after a change that could not be written completely: everything
// pending has been undone, so that no change is kept in part.
std::string pendingChangesUndoneNotice();
// Shown after a change that was undone alone: the earlier pending changes
// are still there.
std::string changeNotWrittenNotice();

class BrowserTransaction {
  public:
    BrowserTransaction(DbConnection* connection, MessageSink& sink);
    // Keeps the pending work, as closing the browser does.
    ~BrowserTransaction();
    BrowserTransaction(const BrowserTransaction&) = delete;
    BrowserTransaction& operator=(const BrowserTransaction&) = delete;

    // Opening: begins nothing. False without an open connection; true on a
    // back end without transactions, after the notice.
    bool open();
    // The contract whose runs the browser shows: the next change takes its
    // lock.
    void setContract(int authority, int company);
    // "Aggiorna Vista": keeps the pending work and releases the locks.
    // False when the work could not be kept (shown by the layer).
    bool keepAndContinue();
    // "Ripristina": undoes the pending work and releases the locks.
    bool undoAndContinue();
    // A change failed part-way: undoes everything pending and says so.
    void undoAfterFailure();
    // A change failed and was undone alone (a savepoint): when the
    // transaction still runs, says that the earlier pending work stays and
    // gives true; when it was lost with the connection, as undoAfterFailure
    // (false: nothing is pending any more).
    bool afterFailedChange();
    // "Fine": keeps the pending work and ends. False when it could not be
    // kept while the transaction is still open (the browser may stay open).
    bool finish();

    bool isOpen() const { return open_; }
    // The back end has transactions and one is running.
    bool protecting() const;
    // Changes of the current contract may be written now: the transaction
    // runs holding its lock (begun, or the lock added, here; a refusal has
    // been shown), or the back end has none.
    bool readyForChanges();
    // Contracts whose lock the transaction holds, as (authority, company).
    const std::vector<std::pair<int, int>>& lockedContracts() const { return locked_; }

  private:
    bool holdsCurrentContract() const;

    DbConnection* connection_;
    MessageSink& sink_;
    bool open_ = false;
    bool unprotected_ = false;
    int authority_ = -1;
    int company_ = -1;
    std::vector<std::pair<int, int>> locked_;
};

} // namespace korvan::runs
