#pragma once

// The one long transaction of the run browser: begun when the browser
// opens, kept by "Aggiorna Vista" (commit, then begin again), undone by
// "Ripristina" (roll back, then begin again), kept when the browser closes.
// Every change made in the browser is written inside it, so a second
// connection sees nothing of it until it is kept.
//
// On a back end without transactions every change is stored at once: the
// browser says so when it opens and when "Ripristina" is asked for, instead
// of pretending to undo.

#include <string>

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

    // Opening. False when the transaction could not begin (a read-only
    // database, another writer at work: the layer has said why); true on a
    // back end without transactions, after the notice.
    bool open();
    // "Aggiorna Vista": keeps the pending work and begins anew. False when
    // the work could not be kept (shown by the layer).
    bool keepAndContinue();
    // "Ripristina": undoes the pending work and begins anew.
    bool undoAndContinue();
    // A change failed part-way: undoes everything pending, says so, begins anew.
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
    // Changes may be written now: a transaction runs (begun again here if
    // an earlier begin failed) or the back end has none.
    bool readyForChanges();

  private:
    bool begin();

    DbConnection* connection_;
    MessageSink& sink_;
    bool open_ = false;
    bool unprotected_ = false;
};

} // namespace korvan::runs
