#pragma once

// The arguments korvan answers itself, before it opens any window: --help
// (-h) and --version. Every other argument is left to Qt (-platform NAME,
// -style NAME, ...), which takes its own and ignores the rest.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace korvan::shell {

// The text of `korvan --help`.
std::string programHelpText();

// Prints the help or the version for the first such argument and gives the
// exit status; nothing when the program is to start (arguments without the
// program name).
std::optional<int> answerCommandLine(const std::vector<std::string>& arguments, std::ostream& out);

} // namespace korvan::shell
