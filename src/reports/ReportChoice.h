#pragma once

// The choices of the three report commands (lines directory, contracts,
// additional contributions), checked without any widget: the dialogs and
// korvan-batch hand over what the user entered and get the checked choice
// or the first refusal's message, in the same order and words.

#include "refdata/PickLists.h"

#include <optional>
#include <string>

namespace korvan {
class DbConnection;
}

namespace korvan::reports {

enum class ReportKind { LinesDirectory, Contracts, Contributions };

// Contracts and contributions ask for a period and a level of detail.
bool hasPeriod(ReportKind kind);

// The authorities a report is chosen for: those that own normalized lines
// (lines directory, contracts), those that pay additional service
// (contributions).
refdata::PickList authorityChoices(ReportKind kind, DbConnection* connection);

// What is entered when OK is pressed.
struct ReportChoiceEntries {
    bool allAuthorities = true;
    std::string authorityText;          // the authority field as typed or chosen
    refdata::PickList authorityEntries; // the entries it was chosen from
    bool preview = true;                // false: print
    bool analytic = true;               // false: synthetic (line totals only)
    std::string periodStartText;
    std::string periodEndText;
};

struct ReportChoice {
    bool allAuthorities = true;
    int authority = 0; // when not every authority
    bool preview = true;
    bool analytic = true;
    std::string periodStart; // "dd/mm/yyyy" (kinds with a period)
    std::string periodEnd;
};

struct ChoiceCheck {
    std::optional<ReportChoice> choice;
    std::string message; // the refusal (stop icon) when there is no choice
};

// The authority first (only when not every authority: the field is then not
// read at all), then, for kinds with a period, its start and its end by the
// date rule. The start is not compared with the end.
ChoiceCheck checkReportChoice(ReportKind kind, const ReportChoiceEntries& entries);

// The date rule of the period fields: "DD?MM?YY" (year 2000 + YY) or
// "DD?MM?YYYY", each "?" one of "-./", forming a real calendar date,
// rewritten "dd/mm/yyyy"; nothing otherwise.
std::optional<std::string> normalizedPeriodDate(const std::string& text);

// What an accepted choice leaves for the next dialog: for kinds with a
// period, the authority (unless every authority was chosen) and the two
// dates; the lines directory changes nothing.
void rememberChoice(ReportKind kind, const ReportChoice& choice, int& currentAuthority, std::string& periodStartText,
                    std::string& periodEndText);

} // namespace korvan::reports
