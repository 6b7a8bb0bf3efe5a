#pragma once

// The names a saved report is proposed under, and the extension a typed name
// is given when it lacks it.

#include "reports/ReportChoice.h"

#include <string>

namespace korvan::reports {

// The report, the authority when only one was chosen, the period and, for a
// synthetic statement, "Sintetico", joined by "_": "Contratti_0001_2025-03"
// (a whole month), "Contributi_2025" (a whole year),
// "Contratti_0004_2025-03-05_2025-03-20_Sintetico" (any other period),
// "Linee" (the lines directory of every authority). No extension.
std::string reportFileStem(ReportKind kind, const ReportChoice& choice);

// `path` when it ends in "." and `extension` (in any case), else `path`
// with "." and `extension` added: "Marzo" and "Marzo.2025" become
// "Marzo.pdf" and "Marzo.2025.pdf".
std::string withExtension(const std::string& path, const std::string& extension);

} // namespace korvan::reports
