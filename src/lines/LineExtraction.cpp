#include "lines/LineExtraction.h"

#include "core/OperationFeedback.h"
#include "core/OperationTransaction.h"
#include "core/ProgressSteps.h"
#include "db/ChangeCursors.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/TableCursor.h"
#include "db/Values.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace korvan::lines {

namespace {

struct LineEntry {
    int number;
    int company;
    int authority;
    std::string code; // normalized
};

struct RunAssignment {
    int company;
    int runId;
    int line;
    int authority;
};

// Removes every row of `table` one cursor block at a time; the rows
// removed.
int deleteAllRows(DbConnection* connection, const char* table, OperationTransaction& operation,
                  OperationFeedback& feedback)
{
    DeleteCursor cursor(connection);
    cursor.SetColumns("ID");
    cursor.SetTable(table);
    if (!cursor.Open())
        return 0;
    long positions = 1;
    while (cursor.MoveNext())
        ++positions;
    ProgressSteps progress(feedback, positions);
    int deleted = 0;
    for (bool row = cursor.MoveFirst(); row && operation.going(); row = cursor.MoveNext()) {
        if (cursor.Delete())
            deleted += cursor.DeletedCount();
        progress.reach(deleted);
    }
    return deleted;
}

// Company, authority and line code, NULLs first on every back end: the
// lines are numbered in this order.
std::string runLineOrder(DbConnection* connection)
{
    const SqlDialect& dialect = connection->Dialect();
    return "azienda, " + dialect.nullsFirst("ente") + ", " + dialect.nullsFirst("codlinea");
}

// Step 5: one line per grouped (company, authority, raw code), numbered in
// query order.
std::vector<LineEntry> collectLines(DbConnection* connection, OperationTransaction& operation,
                                    OperationFeedback& feedback)
{
    std::vector<LineEntry> lines;
    SelectCursor select(connection);
    select.AddField("corse", "azienda", SqlType::SmallInt);
    select.AddField("corse", "ente", SqlType::SmallInt);
    select.AddField("corse", "codlinea", SqlType::VarChar);
    select.SetFrom("corse");
    select.SetGroupBy("azienda, ente, codlinea");
    select.SetOrderBy(runLineOrder(connection));
    // The groups are few (one per raw line code): read once and kept, as
    // counting them first would run the grouping over every run twice.
    for (bool row = select.Execute(); row && operation.going(); row = select.MoveNext()) {
        LineEntry& line = lines.emplace_back();
        line.number = static_cast<int>(lines.size()) - 1;
        select.GetShort(0, line.company);
        select.GetShort(1, line.authority);
        select.GetText(2, line.code);
    }
    ProgressSteps progress(feedback, static_cast<long>(lines.size()));
    for (LineEntry& line : lines) {
        line.code = normalizeLineCode(line.code);
        progress.reach(line.number + 1L);
    }
    return lines;
}

// Step 6.
void writeLines(DbConnection* connection, const std::vector<LineEntry>& lines, OperationTransaction& operation)
{
    TableCursor cursor(connection, "linee", true);
    for (const LineEntry& line : lines) {
        if (!operation.going())
            return;
        cursor.AddNew();
        cursor.SetField("ID", line.number);
        cursor.SetField("ente", line.authority);
        cursor.SetField("linea", line.code);
        cursor.SetField("denom", std::string());
        cursor.Update();
    }
    cursor.Flush();
}

// Step 7: each run goes to the first line with its company, authority and
// normalized code. Runs come in the order the lines were made, so the
// lookup is repeated only when the triple changes.
std::vector<RunAssignment> assignRuns(DbConnection* connection, const std::vector<LineEntry>& lines,
                                      OperationTransaction& operation, OperationFeedback& feedback)
{
    using Triple = std::tuple<int, int, std::string>;
    std::map<Triple, int> firstLine;
    for (const LineEntry& line : lines)
        firstLine.emplace(Triple{line.company, line.authority, line.code}, line.number);

    std::vector<RunAssignment> runs;
    SelectCursor select(connection);
    select.AddField("corse", "ID", SqlType::Integer);
    select.AddField("corse", "azienda", SqlType::SmallInt);
    select.AddField("corse", "ente", SqlType::SmallInt);
    select.AddField("corse", "codlinea", SqlType::VarChar);
    select.SetFrom("corse");
    select.SetOrderBy(runLineOrder(connection));
    // Counted by the database, not by a first walk of every run: a region's
    // runs are then read once.
    bool row = select.Execute();
    const long total = row ? std::max(0L, select.CountRows()) : 0;
    ProgressSteps progress(feedback, total);
    runs.reserve(static_cast<size_t>(total));
    Triple previous;
    bool first = true;
    int currentLine = -1;
    long done = 0;
    for (; row && operation.going(); row = select.MoveNext()) {
        int runId = 0, company = 0, authority = 0;
        std::string code;
        select.GetLong(0, runId);
        select.GetShort(1, company);
        select.GetShort(2, authority);
        select.GetText(3, code);
        Triple triple{company, authority, normalizeLineCode(code)};
        if (first || triple != previous) {
            const auto found = firstLine.find(triple);
            currentLine = found == firstLine.end() ? -1 : found->second;
            previous = std::move(triple);
            first = false;
        }
        if (currentLine >= 0)
            runs.push_back({company, runId, currentLine, authority});
        progress.reach(++done);
    }
    return runs;
}

// Step 8.
void writeAssignments(DbConnection* connection, const std::vector<RunAssignment>& runs, OperationTransaction& operation,
                      OperationFeedback& feedback)
{
    TableCursor cursor(connection, "conline", true);
    ProgressSteps progress(feedback, static_cast<long>(runs.size()));
    long done = 0;
    for (const RunAssignment& run : runs) {
        if (!operation.going())
            return;
        cursor.AddNew();
        cursor.SetField("azienda", run.company);
        cursor.SetField("ID", run.runId);
        cursor.SetField("ente", run.authority);
        cursor.SetField("linea", run.line);
        cursor.Update();
        progress.reach(++done);
    }
    cursor.Flush();
}

} // namespace

std::string normalizeLineCode(const std::string& rawCode)
{
    std::string code = trimTrailingBlanks(rawCode);
    return code.empty() ? std::string(" ") : code;
}

std::string extractionConfirmationText()
{
    return std::string("Questa funzione provvederà a generare automaticamente le\n") +
           "informazioni relative alle Linee (normalizzate).\n\n" +
           "Le informazioni relative alle Linee (normalizzate) eventualmente\n" +
           "già presenti verranno annullate.\n\n" + "Intendi procedere?";
}

std::string extractionDoneText()
{
    return "Le informazioni relative alle Linee (normalizzate) sono state generate";
}

ExtractionResult extractNormalizedLines(DbConnection* connection, MessageSink& sink, OperationFeedback& feedback)
{
    ExtractionResult result;
    if (!connection || !connection->IsOpen())
        return result;
    if (!sink.askConfirmation(extractionConfirmationText()))
        return result;
    result.confirmed = true;
    feedback.beginBusy(true);
    OperationTransaction operation(connection, sink, feedback);
    if (!operation.begun())
        return result;
    feedback.setProgress(0);

    // The runs are read first: nothing is removed before the new lines are
    // known (a runs table that cannot be read leaves the old lines alone).
    operation.step("Estrazione Linee Normalizzate");
    std::vector<LineEntry> lines = collectLines(connection, operation, feedback);
    std::vector<RunAssignment> runs;
    if (operation.going())
        runs = assignRuns(connection, lines, operation, feedback);

    if (operation.going()) {
        operation.step("Eliminazione Informazioni Linee Normalizzate pre-esistenti");
        result.rowsDeleted += deleteAllRows(connection, "conline", operation, feedback);
        result.rowsDeleted += deleteAllRows(connection, "linee", operation, feedback);
    }

    if (operation.going()) {
        operation.step("Inserimento Informazioni Linee Normalizzate");
        writeLines(connection, lines, operation);
        writeAssignments(connection, runs, operation, feedback);
    }

    feedback.endProgress();
    if (!operation.commit())
        return result;
    result.completed = true;
    result.linesCreated = static_cast<int>(lines.size());
    result.runsAssigned = static_cast<int>(runs.size());
    sink.showMessage(extractionDoneText(), MessageIcon::Information);
    return result;
}

} // namespace korvan::lines
