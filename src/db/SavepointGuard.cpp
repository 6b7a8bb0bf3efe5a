#include "db/SavepointGuard.h"

#include "db/Backend.h"
#include "db/DbConnection.h"

namespace korvan {

namespace {
constexpr const char* kSavepointName = "korvan_edit";
}

SavepointGuard::SavepointGuard(DbConnection* connection) : connection_(connection)
{
    if (!connection_ || !connection_->IsOpen())
        return;
    failuresAtBegin_ = connection_->FailureCount();
    if (!connection_->InTransaction()) {
        unprotected_ = true;
        return;
    }
    set_ = connection_->backend()->savepointStep(std::string("SAVEPOINT ") + kSavepointName);
}

SavepointGuard::~SavepointGuard()
{
    Rollback();
}

bool SavepointGuard::Failed() const
{
    return !IsActive() || connection_->ConnectionLost() || connection_->FailureCount() != failuresAtBegin_;
}

bool SavepointGuard::Release()
{
    if (!IsActive() || finished_)
        return false;
    if (Failed()) {
        Rollback();
        return false;
    }
    finished_ = true;
    if (unprotected_)
        return true;
    return connection_->backend()->savepointStep(std::string("RELEASE SAVEPOINT ") + kSavepointName);
}

void SavepointGuard::Rollback()
{
    if (!set_ || finished_)
        return;
    finished_ = true;
    if (!connection_->IsOpen() || !connection_->InTransaction())
        return;
    // ROLLBACK TO keeps the savepoint itself; releasing it leaves the
    // transaction exactly as before the guard.
    const std::string name = kSavepointName;
    if (connection_->backend()->savepointStep("ROLLBACK TO SAVEPOINT " + name))
        connection_->backend()->savepointStep("RELEASE SAVEPOINT " + name);
}

} // namespace korvan
