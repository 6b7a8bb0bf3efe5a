#include "runs/BrowserTransaction.h"

#include "db/DbConnection.h"

namespace korvan::runs {

std::string noTransactionsNotice()
{
    return "ATTENZIONE: la base dati non gestisce le transazioni.\n\n"
           "Ogni variazione sarà registrata subito: \"Ripristina\" non potrà annullarla.\n\n";
}

std::string nothingToRestoreNotice()
{
    return "ATTENZIONE: la base dati non gestisce le transazioni.\n\n"
           "Le variazioni sono già registrate: \"Ripristina\" non può annullarle.\n\n";
}

std::string changeNotWrittenNotice()
{
    return "La variazione non è stata registrata: le variazioni sospese precedenti restano in attesa\n"
           "di \"Aggiorna Vista\" o \"Fine\".";
}

std::string pendingChangesUndoneNotice()
{
    return "La variazione non è stata registrata per intero: tutte le variazioni sospese sono state\n"
           "annullate e la base dati è tornata come all'ultimo aggiornamento della vista.";
}

BrowserTransaction::BrowserTransaction(DbConnection* connection, MessageSink& sink)
    : connection_(connection), sink_(sink)
{
}

BrowserTransaction::~BrowserTransaction()
{
    if (open_)
        finish();
}

bool BrowserTransaction::open()
{
    if (!connection_ || !connection_->IsOpen())
        return false;
    unprotected_ = !connection_->SupportsTransactions();
    if (unprotected_)
        sink_.showMessage(noTransactionsNotice(), MessageIcon::Warning);
    open_ = true;
    return true;
}

void BrowserTransaction::setContract(int authority, int company)
{
    authority_ = authority;
    company_ = company;
}

bool BrowserTransaction::protecting() const
{
    return open_ && !unprotected_ && connection_->IsOpen() && connection_->InTransaction();
}

bool BrowserTransaction::holdsCurrentContract() const
{
    for (const auto& [authority, company] : locked_)
        if (authority == authority_ && company == company_)
            return true;
    return false;
}

bool BrowserTransaction::readyForChanges()
{
    if (!open_ || !connection_->IsOpen())
        return false;
    if (unprotected_)
        return true;
    const LockScope scope = LockScope::browserChanges(authority_, company_);
    if (!connection_->InTransaction()) {
        locked_.clear();
        if (!connection_->BeginTrans(scope))
            return false;
    } else if (!holdsCurrentContract() && !connection_->AddLock(scope)) {
        return false;
    }
    if (!holdsCurrentContract())
        locked_.emplace_back(authority_, company_);
    return true;
}

bool BrowserTransaction::keepAndContinue()
{
    if (!open_)
        return false;
    bool kept = true;
    if (!unprotected_ && connection_->InTransaction()) {
        kept = connection_->CommitTrans();
        // A commit the engine refused leaves the work pending: it stays so,
        // to be kept or undone later.
        if (!kept && connection_->InTransaction())
            return false;
    }
    locked_.clear();
    return kept;
}

bool BrowserTransaction::undoAndContinue()
{
    if (!open_)
        return false;
    if (unprotected_) {
        sink_.showMessage(nothingToRestoreNotice(), MessageIcon::Warning);
        return false;
    }
    bool undone = true;
    if (connection_->IsOpen() && connection_->InTransaction())
        undone = connection_->Rollback();
    locked_.clear();
    return undone;
}

void BrowserTransaction::undoAfterFailure()
{
    if (!open_ || unprotected_)
        return;
    if (connection_->IsOpen() && connection_->InTransaction())
        connection_->Rollback();
    locked_.clear();
    sink_.showMessage(pendingChangesUndoneNotice(), MessageIcon::Warning);
}

bool BrowserTransaction::afterFailedChange()
{
    if (protecting()) {
        sink_.showMessage(changeNotWrittenNotice(), MessageIcon::Warning);
        return true;
    }
    undoAfterFailure();
    return false;
}

bool BrowserTransaction::finish()
{
    if (!open_)
        return true;
    if (!unprotected_ && connection_->IsOpen() && connection_->InTransaction()) {
        const bool kept = connection_->CommitTrans();
        if (!kept && connection_->InTransaction())
            return false;
    }
    locked_.clear();
    open_ = false;
    return true;
}

} // namespace korvan::runs
