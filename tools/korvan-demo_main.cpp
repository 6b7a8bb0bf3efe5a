// korvan-demo: see ToolCommands.h, or run with --help.

#include "ToolCommands.h"

#include <iostream>

int main(int argc, char** argv)
{
    return korvan::tools::runDemoCommand({argv + 1, argv + argc}, std::cout, std::cerr);
}
