// korvan-batch: the bulk operations without windows; see BatchCommands.h, or
// run with --help.

#include "batch/BatchCommands.h"
#include "batch/BatchSignals.h"

#include <unistd.h>

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    static korvan::batch::StopSignal stop;
    korvan::batch::installStopHandlers(stop);
    korvan::batch::Terminal terminal;
    terminal.stop = &stop;
    if (isatty(STDIN_FILENO))
        terminal.input = &std::cin;
    terminal.errorIsTerminal = isatty(STDERR_FILENO) != 0;
    return korvan::batch::runBatchCommand(arguments, std::cout, std::cerr, terminal);
}
