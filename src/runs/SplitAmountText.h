#pragma once

// Amounts written by the split views: "%1.2lf" (days) or "%1.4lf" (arcs)
// with a comma as decimal separator, in the C locale whatever the user's.

#include "db/NumberText.h"

#include <algorithm>
#include <string>

namespace korvan::runs {

inline std::string splitAmountText(double value, int decimals)
{
    std::string text = fixedText(value, decimals);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

} // namespace korvan::runs
