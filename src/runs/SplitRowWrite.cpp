#include "runs/SplitRowWrite.h"

#include "accounting/AccountingInput.h"
#include "db/SavepointGuard.h"
#include "db/TableCursor.h"
#include "db/Values.h"

namespace korvan::runs {

void setFinancingFields(TableCursor& cursor, double amount, int decimals, bool minimumService, int grantingAuthority,
                        int payingAuthority)
{
    cursor.SetField("euro", accounting::commaAmountText(amount, decimals));
    cursor.SetField("minima", minimumService ? "1" : "0");
    cursor.SetField("ente", formatText("%d", minimumService ? grantingAuthority : payingAuthority));
}

SplitWriteResult writeInSavepoint(DbConnection* connection,
                                  const std::function<void(const SavepointGuard&, SplitWriteResult&)>& write)
{
    SplitWriteResult result;
    SavepointGuard guard(connection);
    if (!guard.IsActive())
        return result;
    write(guard, result);
    result.written = guard.Release();
    if (!result.written) {
        result.markedRuns.clear();
        result.rowsWritten = 0;
    }
    return result;
}

} // namespace korvan::runs
