#include "runs/RunAccounting.h"

#include "accounting/AccountingInput.h"
#include "core/OperationFeedback.h"
#include "db/ChangeCursors.h"
#include "db/DbConnection.h"
#include "db/KeyLookup.h"
#include "db/SavepointGuard.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "refdata/NameLookups.h"

namespace korvan::runs {

namespace {

// The authority a row's accounting names: its own for minimum service.
int accountedAuthority(const RunRow& row)
{
    return row.minimumService ? row.grantingAuthority : row.payingAuthority;
}

// Step one of a row: its service kind, paying authority and name.
void setService(DbConnection* connection, RunRow& row, const RunAccountingChange& change)
{
    row.modified = true;
    if (change.minimumService) {
        row.minimumService = true;
        row.payingAuthorityName.clear();
        row.payingAuthority = row.grantingAuthority;
        return;
    }
    row.minimumService = false;
    row.payingAuthority = change.payingAuthority;
    const std::optional<std::string> name = refdata::authorityName(connection, change.payingAuthority);
    row.payingAuthorityName = name ? *name : formatText("Sconosciuto: Ente=%d", change.payingAuthority);
}

// The run's `concors` row, when it has one.
bool writeRunRow(DbConnection* connection, KeyLookup& concors, const RunRow& row)
{
    if (!concors.find({keyNumber("azienda", row.company), keyNumber("ID", row.runId)}))
        return true;
    TableCursor& cursor = concors.cursor();
    return cursor.Edit() && cursor.SetField("euro", runAmountText(row.amount)) &&
           cursor.SetField("minima", row.minimumService ? "1" : "0") &&
           cursor.SetField("ente", formatText("%d", accountedAuthority(row))) && cursor.Update() &&
           connection->IsOpen();
}

// Every `conkal` day of the run carries the run's accounting and amount.
bool writeRunDays(DbConnection* connection, const RunRow& row)
{
    UpdateCursor cursor(connection);
    cursor.AddField("conkal", "ente", SqlType::SmallInt);
    cursor.AddField("conkal", "minima", SqlType::Bit);
    cursor.AddField("conkal", "euro", SqlType::Double);
    cursor.SetFrom("conkal");
    cursor.SetWhere(formatText("azienda = %d AND ID = %ld", row.company, row.runId));
    const std::string authority = formatText("%d", accountedAuthority(row));
    const std::string minimum = row.minimumService ? "1" : "0";
    const std::string amount = dayAmountText(row.amount);
    for (bool more = cursor.Open(); more && cursor.HasRow(); more = cursor.MoveNext()) {
        cursor.Edit();
        if (!cursor.HasRow())
            break;
        if (!cursor.SetField("ente", authority) || !cursor.SetField("minima", minimum) ||
            !cursor.SetField("euro", amount) || !cursor.Update())
            return false;
    }
    return true;
}

} // namespace

std::string runAmountText(double amount)
{
    return accounting::commaAmountText(amount, 2);
}

std::string dayAmountText(double amount)
{
    return accounting::fourDecimalAmountText(amount);
}

std::string invalidAmountMessage()
{
    return "ATTENZIONE: Il valore in Euro non è valido.\n\n"
           "Occorre indicare un valore positivo non nullo.\n\n";
}

std::string zeroLengthSpreadMessage()
{
    return "ATTENZIONE: La corsa ha lunghezza nulla: l'Importo Totale Corsa non può essere\n"
           "ripartito sulle corse selezionate in proporzione alla lunghezza.\n\n"
           "Occorre indicare un Importo Unitario Km oppure non applicarlo alle corse selezionate.\n\n";
}

std::optional<RunAccountingChange> readRunAccountingEntry(const RunAccountingEntry& entry,
                                                          const refdata::PickList& payers, const RunRow& edited,
                                                          MessageSink& sink)
{
    RunAccountingChange change;
    const std::optional<double> value = accounting::readAmountEntry(entry.amountText);
    if (!value) {
        sink.showMessage(invalidAmountMessage(), MessageIcon::Error);
        return std::nullopt;
    }
    change.value = *value;
    change.minimumService = entry.minimumService;
    if (!entry.minimumService) {
        const std::optional<int> payer = refdata::readCodeEntry(entry.payerText, payers);
        if (!payer) {
            sink.showMessage(refdata::invalidEntryMessage(refdata::EntryKind::PayingAuthority), MessageIcon::Error);
            return std::nullopt;
        }
        change.payingAuthority = *payer;
    }
    change.totalMode = entry.totalMode;
    change.applyToSelected = entry.applyToSelected;
    if (change.totalMode && change.applyToSelected && edited.lengthMetres == 0) {
        sink.showMessage(zeroLengthSpreadMessage(), MessageIcon::Error);
        return std::nullopt;
    }
    return change;
}

bool applyRunAccounting(DbConnection* connection, RunListModel& model, RunRow& edited,
                        const RunAccountingChange& change, OperationFeedback& feedback)
{
    if (!connection || !connection->IsOpen())
        return false;
    // One change stands or falls whole, and a failure keeps the browser's
    // earlier pending changes: the guard undoes this change alone.
    SavepointGuard step(connection);
    if (!step.IsActive())
        return false;
    const long failuresBefore = connection->FailureCount();
    auto failed = [&] { return connection->FailureCount() != failuresBefore || !connection->IsOpen(); };

    // The rate of the spread is taken before the edited row changes.
    const double rate =
        change.totalMode ? (change.applyToSelected ? change.value / edited.lengthKm() : 0) : change.value;
    setService(connection, edited, change);
    edited.amount = change.totalMode ? change.value : edited.lengthKm() * change.value;

    KeyLookup concors(connection, "concors");
    if (!concors.IsOpen() || !writeRunRow(connection, concors, edited) || failed())
        return false;
    feedback.beginBusy(false);
    if (!writeRunDays(connection, edited) || failed())
        return false;
    if (!change.applyToSelected)
        return step.Release();

    std::vector<RunRow*> selected;
    for (RunRow& row : model.rows())
        if (row.selected)
            selected.push_back(&row);
    for (RunRow* row : selected) {
        setService(connection, *row, change);
        row->amount = rate * row->lengthKm();
        if (!writeRunRow(connection, concors, *row) || failed())
            return false;
    }
    for (RunRow* row : selected)
        if (!writeRunDays(connection, *row) || failed())
            return false;
    return step.Release();
}

} // namespace korvan::runs
