#include "core/OperationTransaction.h"

#include "core/OperationFeedback.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"

namespace korvan {

OperationTransaction::OperationTransaction(DbConnection* connection, MessageSink& sink, OperationFeedback& feedback,
                                           const LockScope& scope)
    : interruptible_(feedback), guard_(connection, scope), sink_(sink), feedback_(feedback)
{
}

void OperationTransaction::step(const std::string& banner)
{
    step_ = banner;
    feedback_.showStatusBanner(banner);
}

bool OperationTransaction::going()
{
    if (stopped_ || guard_.Failed())
        return false;
    if (!feedback_.stopRequested())
        return true;
    stopped_ = true;
    const std::string head =
        step_.empty() ? std::string("Interruzione dell'operazione") : "Interruzione in fase di " + step_;
    const std::string outcome = guard_.Protected()
                                    ? std::string(kNothingStoredNote)
                                    : std::string("Le modifiche fatte fin qui restano registrate: la base dati "
                                                  "non gestisce le transazioni.");
    sink_.showMessage(head + "\n\n" + outcome, MessageIcon::Error);
    return false;
}

bool OperationTransaction::commit()
{
    const bool keep = going();
    // Past this point nothing stops the work: the button goes now.
    interruptible_.end();
    if (!keep) {
        guard_.Rollback();
        return false;
    }
    return guard_.Commit();
}

} // namespace korvan
