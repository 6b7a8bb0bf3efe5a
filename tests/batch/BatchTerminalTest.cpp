// The batch program's streams when it runs in-process with a terminal:
// confirmations asked on standard input, progress on standard error only
// when it is a terminal.

#include "batch/BatchCommands.h"
#include "batch/BatchFixture.h"
#include "lines/LineExtraction.h"

#include <gtest/gtest.h>

#include <sstream>

namespace korvan::batch {
namespace {

class BatchTerminal : public korvan::test::BatchDbTest {
  protected:
    void SetUp() override
    {
        BatchDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addRun(3, 1, 10, 1000);
        addRun(3, 2, 10, 1000);
    }

    int extract(std::vector<std::string> extra, std::istream* input, bool errorIsTerminal)
    {
        std::vector<std::string> arguments{"extract-lines", "--db", dir.file("runs.db")};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        out.str("");
        err.str("");
        return runBatchCommand(arguments, out, err, Terminal{input, errorIsTerminal});
    }

    std::ostringstream out, err;
};

TEST_P(BatchTerminal, ConfirmationIsAskedOnTheTerminal)
{
    std::istringstream no("n\n");
    EXPECT_EQ(extract({}, &no, false), kExitFailed);
    EXPECT_EQ(count("linee"), 0);
    EXPECT_EQ(err.str().rfind(lines::extractionConfirmationText(), 0), 0u);
    EXPECT_EQ(out.str(), "");

    std::istringstream yes("s\n");
    EXPECT_EQ(extract({}, &yes, false), kExitOk);
    EXPECT_EQ(count("linee"), 1);
    EXPECT_EQ(out.str(), lines::extractionDoneText() + "\n");
}

TEST_P(BatchTerminal, ProgressGoesToATerminalOnly)
{
    EXPECT_EQ(extract({"--yes"}, nullptr, true), kExitOk);
    const std::string shown = err.str();
    EXPECT_NE(shown.find("100%"), std::string::npos) << shown;
    EXPECT_NE(shown.find('\r'), std::string::npos);
    EXPECT_EQ(shown.back(), '\n');
    EXPECT_EQ(out.str(), lines::extractionDoneText() + "\n");

    EXPECT_EQ(extract({"--yes"}, nullptr, false), kExitOk);
    EXPECT_EQ(err.str(), "");
}

INSTANTIATE_TEST_SUITE_P(Backends, BatchTerminal, ::testing::Values(::korvan::test::Backend::SqliteFile),
                         ::korvan::test::backendParamName);

} // namespace
} // namespace korvan::batch
