#include "shell/CommandLine.h"

#include "core/Version.h"

namespace korvan::shell {

std::string programHelpText()
{
    return "Usage: korvan [--help | --version] [Qt options]\n"
           "The desktop program of KORVAN, the accounting of public-transport service contracts.\n"
           "It works in a runs database, a SQLite file or an ODBC data source, chosen in its\n"
           "\"Database\" menu.\n"
           "Options:\n"
           "  -h, --help           print this help and exit\n"
           "  --version            print the version and exit\n"
           "  -platform NAME       Qt's platform plugin (xcb, wayland, offscreen)\n"
           "Settings (Database, DsnOdbc, RowSzAlfa and RowSzBlob in the group [1.00]):\n"
           "  ~/.config/KORVAN/KORVAN.ini\n"
           "                       the user's settings (under $XDG_CONFIG_HOME when it is set),\n"
           "                       read at start and written at exit\n"
           "  /etc/xdg/KORVAN/KORVAN.ini\n"
           "                       the defaults for every user (under $XDG_CONFIG_DIRS when it is\n"
           "                       set), read when the user has no settings yet\n"
           "Without either file the program warns of a serious fault, runs with the defaults and\n"
           "saves nothing.\n"
           "korvan-batch runs the same operations without windows.\n";
}

std::optional<int> answerCommandLine(const std::vector<std::string>& arguments, std::ostream& out)
{
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            out << programHelpText();
            return 0;
        }
        if (argument == "--version") {
            out << "korvan (KORVAN) " << programVersion() << '\n';
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace korvan::shell
