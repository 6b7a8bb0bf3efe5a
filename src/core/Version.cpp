#include "core/Version.h"

#ifndef KORVAN_VERSION
#error "KORVAN_VERSION comes from the project() version of CMakeLists.txt"
#endif

namespace korvan {

const char* programVersion()
{
    return KORVAN_VERSION;
}

} // namespace korvan
