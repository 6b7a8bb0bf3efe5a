#pragma once

// The days on which each contract protocol (type 'B') of a company is still
// valid. A protocol with the reset flag supersedes, over its own period,
// every lower-numbered protocol of the company: that period is cut out of
// their intervals. Month day flags are then struck out ('N') on the days
// their protocol no longer covers.
//
// Dates inside are integers year * 10000 + month * 100 + day; an interval
// [0, 0] is empty.

#include <string>
#include <vector>

namespace korvan {
class DbConnection;
}

namespace korvan::accounting {

struct DateInterval {
    int start = 0;
    int end = 0;
};

struct ProtocolEntry {
    long number = 0;
    std::vector<DateInterval> intervals;
};

struct CompanyProtocols {
    int company = -1;
    std::vector<ProtocolEntry> protocols; // ascending number
};

// One entry for the company, or none when it has no type-'B' protocol (or
// the query failed: the layer has told the user).
struct ProtocolValidity {
    std::vector<CompanyProtocols> companies;

    const CompanyProtocols* find(int company) const;
};

ProtocolValidity loadProtocolValidity(DbConnection* connection, int company);

// "DD/MM/YYYY" as YYYYMMDD from characters 1-2, 4-5 and 7-10; 0 when those
// positions do not hold digits (a NULL date reads as "").
int dateKeyOf(const std::string& dateText);

// The day before and after a YYYYMMDD date, February having 29 days in every
// year divisible by 4 (the only leap rule protocols use).
int protocolDayBefore(int dateKey);
int protocolDayAfter(int dateKey);

// Cuts [start, end] out of the protocol's intervals, splitting an interval
// that spans the whole period in two (the second part is appended).
void cutPeriod(ProtocolEntry& protocol, int start, int end);

// Whether the date ("DD/MM/YYYY") lies in one of the protocol's intervals.
bool isValidOn(const ProtocolEntry& protocol, const std::string& dateText);

// Sets to 'N' the flags of `days` (31 characters, day i at position i - 1)
// that protocol `protocol` of the company no longer covers. Unchanged when
// the company or the protocol is unknown. The test is numeric, so a day that
// does not exist in the month (31 April) stays as it is when an interval
// spans the month's end; callers skip such days.
void strikeInvalidDays(const ProtocolValidity& validity, int company, long protocol, int year, int month,
                       std::string& days);

// Day flags as read from the database made exactly 31 characters long: a
// short or NULL text is completed with 'N'.
std::string normalizedDayFlags(const std::string& flags);

} // namespace korvan::accounting
