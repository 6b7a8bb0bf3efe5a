#pragma once

// The contracts statement ("Rubrica Contratti"): for every contract of one
// granting authority or of all, every run of every normalized line with its
// service days in the period, kilometres, time, who pays and how much, with
// totals per line and per contract.
//
// A run gives one line per group of its service days in the period
// (minimum service first, then each paying authority of additional
// service): the days, the run's length and time, and the amount of those
// days (the run's daily amount from `concors` for minimum service, the
// days' own amounts from `conkal` otherwise). Each itinerary group of the
// run (the arcs one authority pays in one way) is taken out of each of
// those lines (its length, its time and its daily amount times the line's
// days) and shown right after it as a line of its own, so that the run's
// kilometres, time and total amount stay what they are while the money
// moves between minimum and additional service and between payers. Only
// the lines the days gave are split: a split line is never split again.

#include "reports/StatementRows.h"
#include "reports/StatementSources.h"

#include <ctime>
#include <optional>

namespace korvan {
class DbConnection;
class OperationFeedback;
} // namespace korvan

namespace korvan::reports {

// The run lines of the statement, in print order, without totals.
std::vector<ReportLine> contractRunLines(const StatementSources& sources);

// Reads the sources and returns the statement's lines with their totals and
// names; nothing when a query failed (the failure has been shown).
std::optional<Statement> collectContractsStatement(DbConnection* connection, const StatementRequest& request,
                                                   OperationFeedback& feedback);

// The printable statement: eleven columns, one page group per contract
// headed by its authority, the period and its company. The analytic form
// (6-point text) prints every run row, the synthetic form (8-point) the
// totals only. A run's second and later rows show ditto marks for its code,
// departure and arrival, and its last row its total amount.
Report contractsReport(const Statement& statement, const std::string& createdText);

// Collection and report in one call (the busy indicator is switched on);
// nothing when the collection failed.
std::optional<Report> collectContractsReport(DbConnection* connection, const StatementRequest& request,
                                             OperationFeedback& feedback, std::time_t createdAt);

} // namespace korvan::reports
