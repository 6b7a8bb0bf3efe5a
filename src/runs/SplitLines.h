#pragma once

// What the calendar's days and the itinerary's arcs have in common as the
// lines of a split view: the line at a list position, the selection of
// other lines, a change taken by a line, and the names of the authorities
// that pay additional service. `Line` is CalendarDay or ItineraryArc.

#include "refdata/NameLookups.h"
#include "runs/SplitChange.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace korvan::runs {

// The line at `position`; nothing outside the list.
template <class Line> const Line* lineAt(const std::vector<Line>& lines, int position)
{
    return position >= 0 && static_cast<size_t>(position) < lines.size() ? &lines[static_cast<size_t>(position)]
                                                                         : nullptr;
}

// Some line other than the one at `position` is selected.
template <class Line> bool anyOtherSelected(const std::vector<Line>& lines, int position)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].selected && static_cast<int>(i) != position)
            return true;
    return false;
}

// Some line holds a change not yet written.
template <class Line> bool anyModified(const std::vector<Line>& lines)
{
    for (const Line& line : lines)
        if (line.modified)
            return true;
    return false;
}

// The line takes the change's financing and `amount` and becomes modified;
// minimum service is paid by the line's granting authority.
template <class Line> void takeSplitChange(Line& line, const SplitChange& change, double amount)
{
    line.modified = true;
    line.amount = amount;
    line.minimumService = change.minimumService;
    if (change.minimumService) {
        line.payingAuthority = line.grantingAuthority;
        line.payingAuthorityName.clear();
    } else {
        line.payingAuthority = change.payingAuthority;
        line.payingAuthorityName = change.payingAuthorityName;
    }
}

// Looks up the names of the paying authorities of the additional-service
// lines; a code without a name leaves its lines' names as they are.
template <class Line> void fillPayingAuthorityNames(DbConnection* connection, std::vector<Line>& lines)
{
    std::vector<int> payers;
    for (const Line& line : lines)
        if (!line.minimumService)
            payers.push_back(line.payingAuthority);
    if (payers.empty())
        return;
    const std::unordered_map<int, std::string> names = refdata::authorityNames(connection, payers);
    for (Line& line : lines)
        if (const auto found = names.find(line.payingAuthority); !line.minimumService && found != names.end())
            line.payingAuthorityName = found->second;
}

} // namespace korvan::runs
