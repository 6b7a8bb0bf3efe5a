#pragma once

// The report commands of the menu: the lines directory (5118), the
// contracts statement (5121) and the additional contributions statement
// (5122). Each shows its choice dialog with the current authority and
// period of the main window, shows the report view over the client area
// and previews or prints the report; the print command (57607) of the
// preview's print button comes back through the main window.

namespace korvan::shell {

class MainWindow;

void wireReportCommands(MainWindow& window);

} // namespace korvan::shell
