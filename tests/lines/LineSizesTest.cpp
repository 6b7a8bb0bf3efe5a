// The sizes of the line texts: the schema holds what the line editor takes,
// and a text its column cannot hold is reported and never stored in part.

#include "support/RunsFixture.h"

#include "lines/LineEdit.h"
#include "lines/LineExtraction.h"
#include "refdata/Schema.h"

using namespace korvan;
using namespace korvan::lines;
using korvan::test::RunsDbTest;
using Rows = std::vector<std::string>;

namespace {

// "Società-Città-" repeated to `characters` characters (accented letters
// take two bytes each).
std::string accentedText(size_t characters)
{
    const std::string word = "Società-Città-";
    std::string text;
    size_t count = 0;
    for (size_t i = 0; count < characters; ++count) {
        const size_t length = (static_cast<unsigned char>(word[i]) & 0x80) ? 2 : 1;
        text += word.substr(i, length);
        i = (i + length) % word.size();
    }
    return text;
}

class LineSizes : public RunsDbTest {
  protected:
    // An operator's database may have narrower line columns than the
    // schema tool makes.
    void narrowLineColumns(int codeWidth, int nameWidth)
    {
        exec("DROP TABLE linee");
        exec(formatText("CREATE TABLE linee (ID SMALLINT NOT NULL, ente SMALLINT, linea VARCHAR(%d), "
                        "denom VARCHAR(%d), CONSTRAINT linee_codice PRIMARY KEY (ID))",
                        codeWidth, nameWidth));
    }

    bool anyError() const
    {
        for (const auto& entry : sink.entries)
            if (entry.icon == MessageIcon::Error)
                return true;
        return false;
    }
};

TEST_P(LineSizes, TheSchemaHoldsTheLongestTextsTheEditorTakes)
{
    const schema::Table* lines = schema::table("linee");
    ASSERT_TRUE(lines);
    EXPECT_GE(lines->column("linea")->width, kLineCodeMaxLength);
    EXPECT_GE(lines->column("denom")->width, kLineNameMaxLength);
    // The extraction writes the runs' own codes.
    EXPECT_GE(lines->column("linea")->width, schema::table("corse")->column("codlinea")->width);

    addLine(0, 1, "A", "Prima");
    const LineText longest{"CODICE-DIE", accentedText(kLineNameMaxLength)};
    ASSERT_EQ(longest.code.size(), static_cast<size_t>(kLineCodeMaxLength));
    EXPECT_TRUE(writeLine(connection.get(), "0", longest)) << sink.lastText();
    const std::optional<LineText> line = readLine(connection.get(), "0");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->code, longest.code);
    EXPECT_EQ(line->name, longest.name);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(LineSizes, NameItsColumnCannotHoldIsReportedAndTheLineStaysAsItWas)
{
    narrowLineColumns(20, 60);
    addLine(0, 1, "A", "Prima");
    EXPECT_FALSE(writeLine(connection.get(), "0", {"B", accentedText(kLineNameMaxLength)}));
    EXPECT_TRUE(anyError());
    EXPECT_EQ(lineRows(), (Rows{"0|1|[A]|[Prima]"}));
}

TEST_P(LineSizes, CodeItsColumnCannotHoldNeverMakesALineWithoutCode)
{
    // The extraction is all or nothing: the refused code fails it, and the
    // lines of the previous extraction stay as they were.
    narrowLineColumns(10, 120);
    addLine(0, 1, "A", "Prima");
    addRun(1, 1, 1, "CIRCOLARE-NORD-EST");
    addRun(1, 2, 1, "A");
    extractNormalizedLines(connection.get(), sink, feedback);
    EXPECT_EQ(count("linee", "linea IS NULL"), 0);
    EXPECT_EQ(lineRows(), (Rows{"0|1|[A]|[Prima]"}));
    EXPECT_TRUE(anyError());
}

KORVAN_ALL_BACKENDS(LineSizes);

} // namespace
