#pragma once

// The lines of the contracts statement ("Rubrica Contratti") and of the
// additional contributions statement ("Rubrica Servizi Aggiuntivi"), in
// print order: run lines, each covering the service days of one run that
// one authority pays in one way (or one stretch of the run split off by its
// itinerary), closed by line totals and contract totals.

#include "db/Values.h"
#include "reports/ReportChoice.h"
#include "reports/StatementFigures.h"

#include <optional>
#include <string>

namespace korvan::reports {

// What a statement is asked for.
struct StatementRequest {
    bool allAuthorities = true;
    // The granting authority (contracts) or the paying authority
    // (contributions) when not every authority.
    int authority = 0;
    bool analytic = true; // false: the totals only
    CivilDate periodStart;
    CivilDate periodEnd;
};

// The request of a checked report choice; nothing when its period is not
// two dates.
std::optional<StatementRequest> statementRequest(const ReportChoice& choice);

// "dd/mm/yyyy" of a period bound, as the page headers show it.
std::string periodText(const CivilDate& date);

enum class LineKind { Run, LineTotal, ContractTotal };

struct ReportLine {
    LineKind kind = LineKind::Run;
    long runId = -1; // corse.ID; -1 in totals
    int contractAuthority = 0;
    int company = 0;
    int payingAuthority = 0; // totals of the contributions statement: the block's payer
    std::string lineCode;    // the run's normalized line code
    char direction = ' ';    // first character of corse.verso; blank in totals
    std::string runCode;

    // Run lines.
    long long length = 0; // metres of the part of the run the line covers
    long long minutes = 0;
    long days = 0; // service days of the line in the period
    bool minimumService = true;
    Amount amount = 0;     // over all its days
    bool arcSplit = false; // split off the run by an itinerary group
    int departureMinutes = 0;
    int arrivalMinutes = 0;
    long departureStop = 0;
    long arrivalStop = 0;
    std::string departureText; // what the Partenza column prints
    std::string arrivalText;
    std::string payingAuthorityName; // additional service only

    // Totals: the sums over the block's run lines. The days are the run
    // days of the block (a split-off stretch repeats its run's days and is
    // not counted again).
    long long totalMetres = 0;
    long long totalMinutes = 0;
    long totalDays = 0;
    Amount minimumTotal = 0;
    Amount additionalTotal = 0;
    Amount grandTotal = 0;

    bool isRun() const { return kind == LineKind::Run; }
    // Kilometres and minutes of a run line over its days.
    long long metresOverDays() const { return length * days; }
    long long minutesOverDays() const { return minutes * days; }
};

// Two lines of the same run (company and run ID).
inline bool sameRun(const ReportLine& a, const ReportLine& b)
{
    return a.isRun() && b.isRun() && a.company == b.company && a.runId == b.runId;
}

} // namespace korvan::reports
