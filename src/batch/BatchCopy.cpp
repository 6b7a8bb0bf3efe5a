#include "batch/BatchCopy.h"

#include "batch/BatchSink.h"
#include "transfer/DatabaseCopy.h"

namespace korvan::batch {

int runCopyCommand(const BatchOptions& options, std::ostream& out, std::ostream& err, const Terminal& terminal)
{
    using transfer::EndpointKind;
    transfer::CopyRequest request;
    if (options.fromDb)
        request.source = {EndpointKind::SqliteFile, *options.fromDb};
    else if (options.fromDsn)
        request.source = {EndpointKind::DataSource, *options.fromDsn};
    else
        request.source = {EndpointKind::JetFile, options.fromJet.value_or("")};
    const ConnectionOptions& target = options.connection;
    request.target = target.dsn.empty() ? transfer::CopyEndpoint{EndpointKind::SqliteFile, target.dbFile}
                                        : transfer::CopyEndpoint{EndpointKind::DataSource, target.dsn};
    request.tables = options.tables;
    request.skipBadValues = options.skipBadValues;
    if (target.rowsetGiven)
        request.rowsetSize = target.rowsetSize;
    request.badValueHint = "Con --skip-bad-values la copia memorizza NULL al posto di ogni valore che non può "
                           "conservare e li elenca.\n\n";

    TerminalFeedback feedback(err, terminal.errorIsTerminal, terminal.stop);
    BatchMessageSink sink(out, err, true, terminal.input, feedback, terminal.stop);
    const transfer::CopyResult result = transfer::copyDatabase(request, sink, feedback);
    feedback.closeLine();
    if (!result.completed)
        return kExitFailed;
    out << transfer::copyReportText(request, result);
    out.flush();
    return kExitOk;
}

} // namespace korvan::batch
