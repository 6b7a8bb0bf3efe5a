#pragma once

// The program's version, the one of CMake's project(): the about box,
// `korvan --version`, `korvan-batch --version` and the Debian package show it.

namespace korvan {

// "1.0"
const char* programVersion();

} // namespace korvan
