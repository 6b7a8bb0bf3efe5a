#include "transfer/CopyEndpoints.h"

#include "transfer/DatabaseSource.h"
#include "transfer/JetSource.h"

namespace korvan::transfer {

std::string describeEndpoint(const CopyEndpoint& endpoint)
{
    switch (endpoint.kind) {
    case EndpointKind::SqliteFile:
        return "il file " + endpoint.name;
    case EndpointKind::DataSource:
        return "la sorgente dati ODBC " + endpoint.name;
    case EndpointKind::JetFile:
        break;
    }
    return "il file JET " + endpoint.name;
}

std::optional<OpenedSource> openCopySource(const CopyEndpoint& endpoint, int rowsetSize, MessageSink& sink)
{
    OpenedSource opened;
    if (endpoint.kind == EndpointKind::JetFile) {
        std::string error;
        std::unique_ptr<JetSource> jet = JetSource::open(endpoint.name, error);
        if (!jet) {
            sink.showMessage("Errore in fase di apertura del database\n\n" + error, MessageIcon::Error);
            return std::nullopt;
        }
        opened.source = std::move(jet);
        return opened;
    }
    if (endpoint.kind == EndpointKind::SqliteFile) {
        opened.connection = DbConnection::openSqlite(endpoint.name, rowsetSize, DbConnection::kDefaultRowsetSizeBlob,
                                                     sink, SqliteAccess::ReadOnly);
    } else {
        std::string driver;
        opened.connection =
            DbConnection::openOdbc(endpoint.name, driver, rowsetSize, DbConnection::kDefaultRowsetSizeBlob, sink);
    }
    if (!opened.connection || !opened.connection->IsOpen())
        return std::nullopt;
    opened.source = std::make_unique<DatabaseSource>(*opened.connection, endpoint.name);
    return opened;
}

std::optional<OpenedTarget> openCopyTarget(const CopyEndpoint& endpoint, int rowsetSize, MessageSink& sink)
{
    OpenedTarget opened;
    if (endpoint.kind == EndpointKind::SqliteFile) {
        opened.file = std::make_unique<PendingFile>(endpoint.name, false);
        const std::string problem = opened.file->placeProblem();
        if (!problem.empty()) {
            sink.showMessage("Errore in fase di creazione del database\n\n" + problem, MessageIcon::Error);
            return std::nullopt;
        }
        opened.connection = DbConnection::openSqlite(
            opened.file->workPath(), rowsetSize, DbConnection::kDefaultRowsetSizeBlob, sink, SqliteAccess::CreateNew);
    } else {
        std::string driver;
        opened.connection =
            DbConnection::openOdbc(endpoint.name, driver, rowsetSize, DbConnection::kDefaultRowsetSizeBlob, sink);
    }
    if (!opened.connection || !opened.connection->IsOpen())
        return std::nullopt;
    return opened;
}

} // namespace korvan::transfer
