#pragma once

// The line and contract totals of the statements, inserted among the run
// lines. A block is one contract (granting authority and company), and in
// the contributions statement one paying authority's part of a contract; a
// change of block closes the line block with a line total and the block
// with a contract total, a change of line code alone closes the line block
// (both directions of a line are totalled together). The sums are exact:
// metres and minutes over the days, amounts in ten-thousandths.

#include "reports/StatementLines.h"

#include <vector>

namespace korvan::reports {

enum class TotalBlocks {
    Contract,         // granting authority and company
    PayerAndContract, // paying authority, granting authority and company
};

// The run lines, in print order, with the totals inserted; nothing for no
// lines.
std::vector<ReportLine> withTotals(const std::vector<ReportLine>& runLines, TotalBlocks blocks);

} // namespace korvan::reports
