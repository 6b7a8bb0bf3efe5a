#include "db/DbConnection.h"

#include "db/Backend.h"
#include "db/TransactionGuard.h"

#include <algorithm>
#include <chrono>

namespace korvan {

namespace {

bool isFailure(MessageIcon icon)
{
    return icon == MessageIcon::Error || icon == MessageIcon::Warning;
}

} // namespace

// Passes the layer's messages on to the caller's sink, counting and keeping
// the failures among them.
class DbConnection::Reporter : public MessageSink {
  public:
    explicit Reporter(DbConnection& owner) : owner_(owner) {}

    void showMessage(const std::string& text, MessageIcon icon) override
    {
        if (!isFailure(icon)) {
            owner_.sink_.showMessage(text, icon);
            return;
        }
        // Whatever fails after the connection was lost follows from that
        // loss, which has been shown already.
        if (owner_.connectionLost_) {
            ++owner_.failureCount_;
            return;
        }
        owner_.noteFailure(text);
        // The driver's own words for a lost connection are often about the
        // step that found it ("could not send data"): say what happened.
        const std::string shown = owner_.connectionLost_ ? text + "\n\n" + kConnectionLostNote : text;
        if (owner_.allOrNothing_) {
            if (owner_.allOrNothingFailed_)
                return;
            owner_.allOrNothingFailed_ = true;
            owner_.sink_.showMessage(shown + "\n\n" + kNothingStoredNote, icon);
            return;
        }
        owner_.sink_.showMessage(shown, icon);
    }

    bool askConfirmation(const std::string& text) override { return owner_.sink_.askConfirmation(text); }

  private:
    DbConnection& owner_;
};

DbConnection::DbConnection(bool isSqlite, int rowsetSizeOrdinary, int rowsetSizeBlob, MessageSink& sink)
    : isSqlite_(isSqlite), rowsetSizeOrdinary_(rowsetSizeOrdinary), rowsetSizeBlob_(rowsetSizeBlob), sink_(sink),
      reporter_(std::make_unique<Reporter>(*this))
{
}

DbConnection::~DbConnection()
{
    // The back end may still report while it closes.
    backend_.reset();
}

std::unique_ptr<DbConnection> DbConnection::openSqlite(const std::string& path, int rowsetSizeOrdinary,
                                                       int rowsetSizeBlob, MessageSink& sink, SqliteAccess access)
{
    // A rowset size below 1 would make every block empty.
    std::unique_ptr<DbConnection> connection(new DbConnection(true, rowsetSizeOrdinary < 1 ? 1 : rowsetSizeOrdinary,
                                                              rowsetSizeBlob < 1 ? 1 : rowsetSizeBlob, sink));
    connection->sqlitePath_ = path;
    connection->dialect_ = SqlDialect(SqlDialect::Kind::Sqlite);
    connection->backend_ = detail::openSqliteBackend(path, access, *connection);
    return connection;
}

std::unique_ptr<DbConnection> DbConnection::openOdbc(const std::string& dsn, std::string& driverNameOut,
                                                     int rowsetSizeOrdinary, int rowsetSizeBlob, MessageSink& sink)
{
    std::unique_ptr<DbConnection> connection(new DbConnection(false, rowsetSizeOrdinary < 1 ? 1 : rowsetSizeOrdinary,
                                                              rowsetSizeBlob < 1 ? 1 : rowsetSizeBlob, sink));
    driverNameOut.clear();
    connection->dsn_ = dsn;
    connection->dialect_ = SqlDialect(SqlDialect::Kind::QuotedDigits);
    connection->backend_ = detail::openOdbcBackend(dsn, *connection, connection->driverName_, connection->dialect_);
    driverNameOut = connection->driverName_;
    return connection;
}

MessageSink& DbConnection::Sink() const
{
    return *reporter_;
}

bool DbConnection::IsOpen() const
{
    return backend_ && backend_->isOpen() && !connectionLost_;
}

bool DbConnection::IsReadOnly() const
{
    return backend_ && backend_->isReadOnly();
}

std::string DbConnection::SqliteVersion() const
{
    return isSqlite_ && backend_ ? backend_->versionText() : std::string();
}

std::string DbConnection::QuoteIdentifier(const std::string& name) const
{
    return backend_ ? backend_->quoteIdentifier(name) : name;
}

bool DbConnection::SupportsTransactions() const
{
    return IsOpen() && backend_->supportsTransactions();
}

bool DbConnection::BeginTrans(const LockScope& scope)
{
    if (!SupportsTransactions())
        return false;
    if (backend_->inTransaction()) {
        Sink().showMessage(std::string(detail::kBeginTransFailure) +
                               "Una transazione è già in corso su questa connessione.",
                           MessageIcon::Error);
        return false;
    }
    if (IsReadOnly()) {
        Sink().showMessage(std::string(detail::kBeginTransFailure) +
                               "La base dati è aperta in sola lettura: nessuna modifica è possibile.",
                           MessageIcon::Error);
        return false;
    }
    return takeLock(scope, false);
}

bool DbConnection::AddLock(const LockScope& scope)
{
    if (!InTransaction())
        return false;
    return takeLock(scope, true);
}

namespace {

// The longest single wait on the server: between two, the waiter is asked
// again (and the desktop draws its windows and takes the user's stop).
constexpr int kLockStepMilliseconds = 250;

} // namespace

bool DbConnection::takeLock(const LockScope& scope, bool inTransaction)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    LockConflict conflict;
    bool waited = false;
    for (int attempt = 0;; ++attempt) {
        const long elapsed =
            static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        // The first try does not wait: a refusal is known at once.
        int step = attempt == 0 ? 0 : kLockStepMilliseconds;
        if (!lockWaiter_ && attempt > 0)
            step = static_cast<int>(std::min<long>(step, lockWaitMilliseconds_ - elapsed));
        if (attempt > 0 && step <= 0)
            break;
        conflict = LockConflict{};
        conflict.scope = scope;
        const detail::LockAttempt result =
            inTransaction ? backend_->addLock(scope, step, conflict) : backend_->beginLocked(scope, step, conflict);
        if (result != detail::LockAttempt::Busy) {
            if (waited && lockWaiter_)
                lockWaiter_->waitEnded();
            return result == detail::LockAttempt::Taken;
        }
        const long now =
            static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        if (lockWaiter_) {
            waited = true;
            if (!lockWaiter_->keepWaiting(conflict, now))
                break;
        } else if (now >= lockWaitMilliseconds_) {
            break;
        }
    }
    if (waited && lockWaiter_)
        lockWaiter_->waitEnded();
    Sink().showMessage(lockConflictMessage(conflict), MessageIcon::Error);
    return false;
}

bool DbConnection::CommitTrans()
{
    return IsOpen() && backend_->commitTrans();
}

bool DbConnection::Rollback()
{
    return IsOpen() && backend_->rollback();
}

bool DbConnection::InTransaction() const
{
    return IsOpen() && backend_->inTransaction();
}

void DbConnection::noteFailure(const std::string& text)
{
    ++failureCount_;
    lastError_ = DbError{};
    lastError_.text = text;
    if (backend_)
        backend_->describeFailure(lastError_);
    if (lastError_.connectionLost)
        connectionLost_ = true;
}

void DbConnection::beginAllOrNothing()
{
    allOrNothing_ = true;
    allOrNothingFailed_ = false;
}

void DbConnection::endAllOrNothing()
{
    allOrNothing_ = false;
    allOrNothingFailed_ = false;
}

bool DbConnection::ExecuteStatement(const std::string& sql, const std::string& stepText)
{
    if (!IsOpen())
        return false;
    return backend_->executeStatement(sql, stepText + "\n\n");
}

} // namespace korvan
