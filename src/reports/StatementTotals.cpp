#include "reports/StatementTotals.h"

namespace korvan::reports {

namespace {

bool sameBlock(const ReportLine& a, const ReportLine& b, TotalBlocks blocks)
{
    return a.contractAuthority == b.contractAuthority && a.company == b.company &&
           (blocks == TotalBlocks::Contract || a.payingAuthority == b.payingAuthority);
}

ReportLine totalLine(const ReportLine& first, LineKind kind)
{
    ReportLine total;
    total.kind = kind;
    total.contractAuthority = first.contractAuthority;
    total.company = first.company;
    total.payingAuthority = first.payingAuthority;
    if (kind == LineKind::LineTotal)
        total.lineCode = first.lineCode;
    return total;
}

void add(ReportLine& total, const ReportLine& line)
{
    total.totalMetres += line.metresOverDays();
    total.totalMinutes += line.minutesOverDays();
    if (!line.arcSplit)
        total.totalDays += line.days;
    (line.minimumService ? total.minimumTotal : total.additionalTotal) += line.amount;
    total.grandTotal += line.amount;
}

} // namespace

std::vector<ReportLine> withTotals(const std::vector<ReportLine>& runLines, TotalBlocks blocks)
{
    std::vector<ReportLine> lines;
    if (runLines.empty())
        return lines;
    lines.reserve(runLines.size() + runLines.size() / 4 + 2);
    ReportLine lineTotal = totalLine(runLines.front(), LineKind::LineTotal);
    ReportLine contractTotal = totalLine(runLines.front(), LineKind::ContractTotal);
    const ReportLine* previous = nullptr;
    for (const ReportLine& line : runLines) {
        if (previous && !sameBlock(*previous, line, blocks)) {
            lines.push_back(lineTotal);
            lines.push_back(contractTotal);
            lineTotal = totalLine(line, LineKind::LineTotal);
            contractTotal = totalLine(line, LineKind::ContractTotal);
        } else if (previous && previous->lineCode != line.lineCode) {
            lines.push_back(lineTotal);
            lineTotal = totalLine(line, LineKind::LineTotal);
        }
        add(lineTotal, line);
        add(contractTotal, line);
        lines.push_back(line);
        previous = &line;
    }
    lines.push_back(lineTotal);
    lines.push_back(contractTotal);
    return lines;
}

} // namespace korvan::reports
