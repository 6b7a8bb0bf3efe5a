#pragma once

// One accepted entry of the per-day or per-arc accounting dialog: what the
// day or arc at the cursor becomes, and how far the change reaches.

#include <string>

namespace korvan::runs {

struct SplitChange {
    bool minimumService = true;
    bool totalMode = true;    // the value is the total of the day or arc; else euro per km
    double value = 0.0;       // positive
    int payingAuthority = -1; // the chosen code; -1 for minimum service
    std::string payingAuthorityName;
    bool applyToSelected = false;     // the selected days or arcs of the view
    bool applyToSelectedRuns = false; // the runs selected in the run browser
};

} // namespace korvan::runs
