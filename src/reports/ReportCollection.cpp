#include "reports/ReportCollection.h"

#include "reports/ContractsStatement.h"
#include "reports/ContributionsStatement.h"
#include "reports/LinesDirectory.h"

namespace korvan::reports {

std::optional<Report> collectReport(ReportKind kind, const ReportChoice& choice, DbConnection* connection,
                                    OperationFeedback& feedback, std::time_t createdAt)
{
    switch (kind) {
    case ReportKind::LinesDirectory:
        return collectLinesDirectory(connection, {choice.allAuthorities, choice.authority}, feedback, createdAt);
    case ReportKind::Contracts:
    case ReportKind::Contributions:
        break;
    }
    const std::optional<StatementRequest> request = statementRequest(choice);
    if (!request)
        return std::nullopt;
    if (kind == ReportKind::Contracts)
        return collectContractsReport(connection, *request, feedback, createdAt);
    return collectContributionsReport(connection, *request, feedback, createdAt);
}

} // namespace korvan::reports
