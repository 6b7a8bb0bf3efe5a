#pragma once

#include "db/Locks.h"

#include <string>

namespace korvan {

class DbConnection;

// Closes the first failure shown inside an all-or-nothing transaction.
inline constexpr const char* kNothingStoredNote = "Operazione annullata: nessuna modifica è stata registrata.";

// Makes the work done on a connection one all-or-nothing transaction: the
// constructor begins it (taking the lock of what the work changes, see
// DbConnection::BeginTrans), Commit keeps it, and a guard that goes out of
// scope without a successful Commit undoes it.
//
// While the guard is active the first failure the layer reports is shown
// once, followed by kNothingStoredNote; the failures that follow from it are
// not shown again, and Commit refuses to keep work during which anything
// failed. A back end that cannot do transactions runs the work unprotected:
// the guard is active but not Protected, and nothing can be undone.
class TransactionGuard {
  public:
    explicit TransactionGuard(DbConnection* connection, const LockScope& scope = LockScope::database());
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    // The work may start: a transaction was begun (or the back end has none).
    // False when beginning failed; the reason has been shown.
    bool IsActive() const { return begun_ || unprotected_; }
    // A real transaction protects the work.
    bool Protected() const { return begun_; }
    // Something failed since the guard began (or it never began): the work
    // must stop; Commit will undo it.
    bool Failed() const;
    // Keeps the work when nothing failed; otherwise, or when the commit
    // itself fails, undoes it. True when the work was kept.
    bool Commit();
    // Undoes the work now (the destructor does it otherwise).
    void Rollback();

  private:
    void finish();

    DbConnection* connection_;
    long failuresAtBegin_ = 0;
    bool begun_ = false;
    bool unprotected_ = false;
    bool finished_ = false;
};

} // namespace korvan
