#include "db/TransactionGuard.h"

#include "db/DbConnection.h"

namespace korvan {

TransactionGuard::TransactionGuard(DbConnection* connection, const LockScope& scope) : connection_(connection)
{
    if (!connection_)
        return;
    // Work asked of a connection lost earlier is refused aloud: the loss
    // itself was told when it happened, maybe long ago.
    if (connection_->ConnectionLost()) {
        connection_->sink_.showMessage(
            std::string("Errore in fase di avvio della transazione\n\n") + kConnectionLostNote, MessageIcon::Error);
        return;
    }
    if (!connection_->IsOpen())
        return;
    failuresAtBegin_ = connection_->FailureCount();
    if (!connection_->SupportsTransactions()) {
        unprotected_ = true;
        return;
    }
    if (!connection_->BeginTrans(scope))
        return;
    begun_ = true;
    connection_->beginAllOrNothing();
}

TransactionGuard::~TransactionGuard()
{
    Rollback();
}

bool TransactionGuard::Failed() const
{
    return !IsActive() || connection_->ConnectionLost() || connection_->FailureCount() != failuresAtBegin_;
}

bool TransactionGuard::Commit()
{
    if (!IsActive() || finished_)
        return false;
    if (unprotected_) {
        finished_ = true;
        return connection_->FailureCount() == failuresAtBegin_ && !connection_->ConnectionLost();
    }
    if (Failed()) {
        Rollback();
        return false;
    }
    bool kept = connection_->CommitTrans();
    // A commit refused by the engine (a busy file, say) leaves the
    // transaction open: undo it.
    if (!kept && connection_->InTransaction())
        connection_->Rollback();
    if (connection_->FailureCount() != failuresAtBegin_)
        kept = false;
    finish();
    return kept;
}

void TransactionGuard::Rollback()
{
    if (!begun_ || finished_)
        return;
    // A lost connection has ended the transaction on the server already.
    if (connection_->IsOpen() && connection_->InTransaction())
        connection_->Rollback();
    finish();
}

void TransactionGuard::finish()
{
    finished_ = true;
    connection_->endAllOrNothing();
}

} // namespace korvan
