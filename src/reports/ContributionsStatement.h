#pragma once

// The additional contributions statement ("Rubrica Servizi Aggiuntivi"):
// for every authority that pays additional service (or the one chosen), the
// runs it pays in the period, by contract and normalized line, with
// kilometres, time and amount, and totals per line and per contract.
//
// An authority pays a run in two ways. Its additional-service days
// (`conkal`) give a line with those days and their amounts, less every
// itinerary group of the run over those days (as in the contracts
// statement: the arcs are paid by whoever their split names). Its
// additional-service itinerary group (`conitine`) gives a line for the
// arcs over every service day of the run in the period, at the group's
// daily amount. So each authority's figures are exactly its additional
// service in the contracts statement, and nothing is counted twice.
//
// Within the authority's part of a contract a run's itinerary line stands
// right after the run's own line of that authority, or where the run would
// stand when the authority pays none of its days.

#include "reports/StatementRows.h"
#include "reports/StatementSources.h"

#include <ctime>
#include <optional>

namespace korvan {
class DbConnection;
class OperationFeedback;
} // namespace korvan

namespace korvan::reports {

// The run lines of the statement for one paying authority (or all), in
// print order, without totals. A run without service days in the period
// has none.
std::vector<ReportLine> contributionRunLines(const StatementSources& sources, std::optional<int> payingAuthority);

// Reads the sources and returns the statement's lines with their totals and
// names; nothing when a query failed (the failure has been shown).
std::optional<Statement> collectContributionsStatement(DbConnection* connection, const StatementRequest& request,
                                                       OperationFeedback& feedback);

// The printable statement: eight columns, one page group per paying
// authority and contract, headed by the paying authority, the contract's
// authority with the period, and its company; analytic (6-point, every
// run row) or synthetic (8-point, the totals only).
Report contributionsReport(const Statement& statement, const std::string& createdText);

// Collection and report in one call (the busy indicator is switched on);
// nothing when the collection failed.
std::optional<Report> collectContributionsReport(DbConnection* connection, const StatementRequest& request,
                                                 OperationFeedback& feedback, std::time_t createdAt);

} // namespace korvan::reports
