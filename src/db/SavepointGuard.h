#pragma once

namespace korvan {

class DbConnection;

// Makes one change inside a transaction that the caller owns and keeps open
// (the run browser's) whole or nothing: the constructor sets a savepoint,
// Release keeps what was written since, and a guard that goes out of scope
// unreleased, or that saw a failure, undoes that work alone; the
// transaction and what it held before stay as they were.
//
// Outside a transaction (a back end without them) there is nothing to set:
// the work runs unprotected, and Failed still tells whether it went whole.
class SavepointGuard {
  public:
    explicit SavepointGuard(DbConnection* connection);
    ~SavepointGuard();
    SavepointGuard(const SavepointGuard&) = delete;
    SavepointGuard& operator=(const SavepointGuard&) = delete;

    // The work may start: the savepoint is set, or there is no transaction
    // to set it in. False when setting it failed (shown).
    bool IsActive() const { return set_ || unprotected_; }
    // A savepoint protects the work.
    bool Protected() const { return set_; }
    // The layer reported a failure since the guard began.
    bool Failed() const;
    // Keeps the work when nothing failed, else undoes it; true when kept.
    bool Release();
    // Undoes the work now.
    void Rollback();

  private:
    DbConnection* connection_;
    long failuresAtBegin_ = 0;
    bool set_ = false;
    bool unprotected_ = false;
    bool finished_ = false;
};

} // namespace korvan
