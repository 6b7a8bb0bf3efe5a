#include "reports/ReportCollection.h"

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
    return std::nullopt;
}

} // namespace korvan::reports
