// The arguments korvan answers before it opens a window: --help and
// --version; every other argument is left to Qt.

#include "core/Version.h"
#include "shell/CommandLine.h"

#include <QTest>

#include <sstream>

using korvan::shell::answerCommandLine;

class ShellCommandLineTest : public QObject {
    Q_OBJECT

  private slots:
    void helpAndVersionAreAnsweredWhereverTheyStand()
    {
        const std::string version = std::string("korvan (KORVAN) ") + korvan::programVersion() + "\n";
        const struct {
            std::vector<std::string> arguments;
            std::string output;
        } cases[] = {
            {{"--help"}, korvan::shell::programHelpText()},
            {{"-h"}, korvan::shell::programHelpText()},
            {{"-platform", "offscreen", "--help"}, korvan::shell::programHelpText()},
            {{"--version"}, version},
            {{"--version", "--help"}, version},
        };
        for (const auto& c : cases) {
            std::ostringstream out;
            QCOMPARE(answerCommandLine(c.arguments, out), std::optional<int>(0));
            QCOMPARE(out.str(), c.output);
        }
        QVERIFY(korvan::shell::programHelpText().rfind("Usage: korvan [--help | --version]", 0) == 0);
    }

    void otherArgumentsStartTheProgram()
    {
        for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
                 {}, {"-platform", "offscreen"}, {"--frobnicate"}, {"-style", "Fusion"}, {"--helpme"}}) {
            std::ostringstream out;
            QCOMPARE(answerCommandLine(arguments, out), std::optional<int>());
            QCOMPARE(out.str(), std::string());
        }
    }
};

QTEST_GUILESS_MAIN(ShellCommandLineTest)
#include "ShellCommandLineTest.moc"
