#include "lines/LineMerge.h"

#include "db/ChangeCursors.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "db/SqlTypes.h"
#include "db/TransactionGuard.h"
#include "db/Values.h"

#include <cctype>

namespace korvan::lines {

std::optional<int> readLineNumberEntry(const std::string& editText, const refdata::PickList& entries)
{
    const std::string head = editText.substr(0, 4);
    for (char c : head)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    const int number = static_cast<int>(parseIntegerText(head));
    if (refdata::findEntryWithPrefix(entries, formatText("%04d", number)) < 0)
        return std::nullopt;
    return number;
}

std::optional<MergeRequest> validateMerge(const MergeChoice& choice, MessageSink& sink)
{
    const std::optional<int> authority = refdata::readCodeEntry(choice.authorityText, choice.authorityEntries);
    if (!authority) {
        sink.showMessage(refdata::invalidEntryMessage(refdata::EntryKind::Authority), MessageIcon::Error);
        return std::nullopt;
    }
    const std::optional<int> source = readLineNumberEntry(choice.sourceText, choice.sourceEntries);
    if (!source) {
        sink.showMessage(std::string("ATTENZIONE: Il codice della Linea da eliminare non è valido.\n\n") +
                             "Occorre selezionare un Codice Linea presente nella lista.\n\n",
                         MessageIcon::Error);
        return std::nullopt;
    }
    const std::optional<int> target = readLineNumberEntry(choice.targetText, choice.targetEntries);
    if (!target) {
        sink.showMessage(std::string("ATTENZIONE: Il codice della Linea che accetta le corse non è valido.\n\n") +
                             "Occorre selezionare un Codice Linea presente nella lista.\n\n",
                         MessageIcon::Error);
        return std::nullopt;
    }
    if (*source == *target) {
        sink.showMessage("ATTENZIONE: I codice delle due Linee non possono essere identici.", MessageIcon::Error);
        return std::nullopt;
    }
    return MergeRequest{*authority, *source, *target};
}

int mergeLines(DbConnection* connection, int source, int target, MessageSink& sink)
{
    int moved = 0;
    if (!connection || !connection->IsOpen())
        return -1;
    TransactionGuard guard(connection);
    if (!guard.IsActive())
        return -1;
    {
        UpdateCursor cursor(connection);
        cursor.AddField("conline", "linea", SqlType::SmallInt);
        cursor.SetFrom("conline");
        cursor.SetWhere(formatText("linea = %d", source));
        const std::string targetText = formatText("%d", target);
        for (bool row = cursor.Open(); row && !guard.Failed(); row = cursor.MoveNext()) {
            cursor.Edit();
            if (!cursor.HasRow())
                break;
            cursor.SetField("linea", targetText);
            if (cursor.Update())
                ++moved;
        }
    }
    if (!guard.Failed()) {
        DeleteCursor cursor(connection);
        cursor.SetColumns("ID");
        cursor.SetTable("linee");
        cursor.SetWhere(formatText("ID = %d", source));
        for (bool row = cursor.Open(); row && !guard.Failed(); row = cursor.MoveNext())
            cursor.Delete();
    }
    if (!guard.Commit())
        return -1;
    sink.showMessage(formatText("Trasferite %d Corse", moved), MessageIcon::Information);
    return moved;
}

} // namespace korvan::lines
