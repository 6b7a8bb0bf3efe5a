#pragma once

// The command lines of korvan-schema and korvan-demo, kept out of their main
// files so that tests can run them. Exit codes: 0 success, 1 database or
// file error, 2 wrong usage.

#include <ostream>
#include <string>
#include <vector>

namespace korvan::tools {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Arguments without the program name.
int runSchemaCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int runDemoCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace korvan::tools
