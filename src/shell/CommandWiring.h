#pragma once

// Connects the data commands of the menu to the operations of the other
// subsystems. Each operation borrows the main window's connection, message
// sink and busy/progress feedback for its own duration.

namespace korvan::shell {

class MainWindow;

// Lines (5114, 5117, 5119), base accounting (5115, 5116, 5123, 5124),
// service days (5141), split removal (5125, 5126, 5127) and the run browser
// (5120). The reports (5118, 5121, 5122) are not wired yet.
void wireDataCommands(MainWindow& window);

} // namespace korvan::shell
