#include "gtfs/GtfsImport.h"

#include "core/OperationTransaction.h"
#include "core/PendingFile.h"
#include "db/DbConnection.h"
#include "gtfs/FeedError.h"
#include "gtfs/FeedReading.h"
#include "gtfs/ImportSummary.h"
#include "gtfs/RunsWriter.h"
#include "refdata/SchemaCreation.h"

#include <memory>

namespace korvan::gtfs {

namespace {

constexpr const char* kNoFileNote = "Nessuna base dati è stata creata.";

std::string feedFaultText(const FeedError& error, const char* outcome)
{
    return std::string("ATTENZIONE: il feed GTFS non si può importare.\n\n") + error.what() + ".\n\n" + outcome;
}

// Reads the feed; null after telling the user why not.
std::unique_ptr<ReadFeed> readOrTell(const ImportRequest& request, MessageSink& sink, OperationFeedback& feedback,
                                     const char* outcome)
{
    try {
        return readFeed(request.feedPath, request.mappingPath, feedback);
    } catch (const FeedError& error) {
        feedback.endProgress();
        sink.showMessage(feedFaultText(error, outcome), MessageIcon::Error);
    } catch (const ImportStopped&) {
        feedback.endProgress();
        sink.showMessage(std::string("Interruzione in fase di lettura del feed GTFS\n\n") + outcome,
                         MessageIcon::Error);
    }
    return nullptr;
}

// Creates the tables and writes the rows in one transaction.
bool writeAll(DbConnection* connection, const ReadFeed& feed, MessageSink& sink, OperationFeedback& feedback,
              const char* outcome, WrittenRows& written)
{
    OperationTransaction operation(connection, sink, feedback);
    if (!operation.begun())
        return false;
    operation.step("Creazione delle tabelle");
    if (!schema::createTables(*connection) || !operation.going())
        return false;
    try {
        if (!writeRunsDatabase(connection, feed, operation, feedback, written))
            return false;
    } catch (const FeedError& error) {
        // stop_times.txt changed between its two readings.
        feedback.endProgress();
        sink.showMessage(feedFaultText(error, outcome), MessageIcon::Error);
        return false;
    }
    return operation.commit();
}

} // namespace

bool importIntoNewFile(const ImportRequest& request, const std::string& path, bool replace, MessageSink& sink,
                       OperationFeedback& feedback, int rowsetSize)
{
    feedback.beginBusy(true);
    PendingFile pending(path, replace);
    if (const std::string problem = pending.placeProblem(); !problem.empty()) {
        sink.showMessage("ATTENZIONE: " + problem + "\n\n" + kNoFileNote, MessageIcon::Error);
        return false;
    }
    const std::unique_ptr<ReadFeed> feed = readOrTell(request, sink, feedback, kNoFileNote);
    if (!feed)
        return false;
    WrittenRows written;
    {
        std::unique_ptr<DbConnection> connection =
            DbConnection::openSqlite(pending.workPath(), rowsetSize, rowsetSize, sink, SqliteAccess::CreateNew);
        if (!connection->IsOpen() || !writeAll(connection.get(), *feed, sink, feedback, kNoFileNote, written))
            return false;
    }
    if (const std::string problem = pending.Keep(); !problem.empty()) {
        sink.showMessage("ATTENZIONE: " + problem + "\n\n" + kNoFileNote, MessageIcon::Error);
        return false;
    }
    sink.showMessage(importSummary(*feed, written, path), MessageIcon::Information);
    return true;
}

bool importIntoConnection(const ImportRequest& request, DbConnection* connection, MessageSink& sink,
                          OperationFeedback& feedback)
{
    feedback.beginBusy(true);
    const std::vector<std::string> existing = schema::existingTables(*connection);
    if (!existing.empty()) {
        std::string names;
        for (const std::string& name : existing)
            names += (names.empty() ? "" : ", ") + name;
        sink.showMessage("ATTENZIONE: la base dati contiene già delle tabelle della base dati delle corse (" + names +
                             ").\n\nOccorre indicare una base dati vuota: l'importazione non sostituisce dati "
                             "esistenti.",
                         MessageIcon::Error);
        return false;
    }
    const std::unique_ptr<ReadFeed> feed = readOrTell(request, sink, feedback, kNothingStoredNote);
    WrittenRows written;
    if (!feed || !writeAll(connection, *feed, sink, feedback, kNothingStoredNote, written))
        return false;
    const std::string target = connection->IsOdbc() ? "origine dati " + connection->Dsn() : connection->SqlitePath();
    sink.showMessage(importSummary(*feed, written, target), MessageIcon::Information);
    return true;
}

} // namespace korvan::gtfs
