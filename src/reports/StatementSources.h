#pragma once

// What the two statements are computed from, read from the database in
// three queries and gathered in memory by run (company and run ID, so that
// companies whose run IDs coincide never mix):
//
// - the runs that have a normalized line and a base accounting row, with
//   the data their rows print (`corse`, `conline`, `linee`, `concors`);
// - their service days in the period (`conkal`), counted and summed per
//   service kind and paying authority;
// - their itinerary splits (`conitine`), summed per service kind and
//   paying authority (no period: an arc's split holds on every day).
//
// Gathering in memory instead of ordering the day rows in SQL keeps the
// order of the statements the same on every back end (texts compare byte
// by byte, whatever the server's collation).

#include "reports/StatementFigures.h"

#include "db/Values.h"

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvan {
class DbConnection;
class OperationFeedback;
} // namespace korvan

namespace korvan::reports {

struct RunKey {
    int company = 0;
    long id = 0;
    bool operator==(const RunKey&) const = default;
};

struct RunKeyHash {
    size_t operator()(const RunKey& key) const
    {
        return std::hash<long long>()(static_cast<long long>(key.company) << 40 ^ key.id);
    }
};

struct RunRecord {
    RunKey key;
    int contractAuthority = 0;  // corse.ente
    std::string lineCode;       // linee.linea, trailing blanks removed
    std::string directionText;  // corse.verso, trailing blanks removed
    std::string runCode;        // corse.codcorsa, trailing blanks removed
    long length = 0;            // corse.ct_lung, metres
    int minutes = 0;            // corse.ct_tempo
    bool minimumService = true; // concors.minima
    int payingAuthority = 0;    // concors.ente
    Amount dayAmount = 0;       // concors.euro: the run's amount for one day
    int departureMinutes = 0;   // hh_p * 60 + mm_p
    int arrivalMinutes = 0;
    long departureStop = 0; // capol_p
    long arrivalStop = 0;   // capol_a

    char direction() const { return directionText.empty() ? ' ' : directionText.front(); }
};

// The run's service days of one service kind paid by one authority.
struct DayGroup {
    bool minimumService = true; // conkal.minima
    int payingAuthority = 0;    // conkal.ente
    long days = 0;
    Amount amount = 0; // the sum of conkal.euro over the days
};

struct RunDays {
    long days = 0;                // every service day of the run in the period
    std::vector<DayGroup> groups; // minimum service first, then by paying authority
};

// The arcs of a run's itinerary one authority pays in one way.
struct ArcGroup {
    bool minimumService = true; // conitine.minima
    int payingAuthority = 0;    // conitine.ente
    long long length = 0;       // the sum of conitine.lung, metres
    long long minutes = 0;      // the sum of conitine.tempo
    Amount dayAmount = 0;       // the sum of conitine.euro: per service day
};

struct StatementSources {
    // Ordered by granting authority, company, line code, direction, run code
    // and run ID; only runs with service days in the period.
    std::vector<RunRecord> runs;
    std::unordered_map<RunKey, RunDays, RunKeyHash> days;
    // Minimum service first, then by paying authority.
    std::unordered_map<RunKey, std::vector<ArcGroup>, RunKeyHash> arcs;

    const RunDays& daysOf(const RunKey& key) const;
    const std::vector<ArcGroup>& arcsOf(const RunKey& key) const;
};

// The runs of one granting authority (or of all) with their days in the
// period and their splits. Nothing when a query failed or a stored amount
// is not a number: the database layer has shown the failure, or the
// connection's sink the amounts (the statement would not add up).
std::optional<StatementSources> readStatementSources(DbConnection* connection, std::optional<int> grantingAuthority,
                                                     const CivilDate& periodStart, const CivilDate& periodEnd);

// One of the three queries as readStatementSources runs it: its text and
// the SQL types its columns are read as (to time it against a plain read).
struct SourceQuery {
    std::string sql;
    std::vector<int> columnTypes;
};

std::vector<SourceQuery> statementSourceQueries(DbConnection* connection, std::optional<int> grantingAuthority,
                                                const CivilDate& periodStart, const CivilDate& periodEnd);

} // namespace korvan::reports
