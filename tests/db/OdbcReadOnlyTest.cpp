// A data source opened read-only: the table cursor refuses a new row at
// AddNew, before anything is filled in.

#include "db/DbTestFixture.h"
#include "support/RecordingMessageSink.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace korvan::test {
namespace {

// The private odbc.ini of the test servers with one more data source: the
// PostgreSQL one opened read-only. ODBCINI points at it while the object
// lives.
class ReadOnlyDataSource {
  public:
    static constexpr const char* kName = "korvan_pg_readonly";

    explicit ReadOnlyDataSource(const TempDir& dir)
    {
        const char* current = std::getenv("ODBCINI");
        previous_ = current ? current : "";
        std::ifstream in(previous_);
        std::stringstream text;
        text << in.rdbuf();
        // The section of the PostgreSQL data source, renamed.
        std::string section;
        bool inside = false;
        std::string line;
        std::istringstream lines(text.str());
        while (std::getline(lines, line)) {
            if (!line.empty() && line[0] == '[')
                inside = line == "[" + postgresDsn() + "]";
            else if (inside)
                section += line + "\n";
        }
        path_ = dir.file("odbc.ini");
        std::ofstream out(path_);
        out << text.str() << "\n[" << kName << "]\n" << section << "ReadOnly = 1\n";
        ready_ = in.good() && !section.empty() && out.good();
        setenv("ODBCINI", path_.c_str(), 1);
    }
    ~ReadOnlyDataSource() { setenv("ODBCINI", previous_.c_str(), 1); }
    ReadOnlyDataSource(const ReadOnlyDataSource&) = delete;
    ReadOnlyDataSource& operator=(const ReadOnlyDataSource&) = delete;

    bool ready() const { return ready_; }

  private:
    std::string previous_;
    std::string path_;
    bool ready_ = false;
};

TEST(OdbcReadOnly, AddNewIsRefusedWithTheInsertionMessage)
{
    if (postgresDsn().empty()) {
        if (odbcRequired())
            FAIL() << "the PostgreSQL data source is required but not configured";
        GTEST_SKIP() << "no PostgreSQL data source";
    }
    {
        tools::RawDatabase raw = tools::RawDatabase::odbc(postgresDsn());
        std::string error;
        ASSERT_TRUE(raw.ok() && tools::createTables(raw, true, error, {"conkal"})) << raw.error() << error;
    }
    TempDir dir;
    ReadOnlyDataSource readOnly(dir);
    ASSERT_TRUE(readOnly.ready());
    RecordingMessageSink sink;
    std::string driver;
    auto connection = DbConnection::openOdbc(ReadOnlyDataSource::kName, driver, 25, 1, sink);
    ASSERT_TRUE(connection->IsOpen()) << sink.lastText();
    TableCursor cursor(connection.get(), "conkal");
    ASSERT_TRUE(cursor.IsOpen()) << sink.lastText();
    EXPECT_FALSE(cursor.AddNew());
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.lastText(), "Errore inserimento tavola (conkal)\n\nLa sorgente dati è aperta in sola lettura.");
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
    EXPECT_FALSE(cursor.SetField("ID", "1"));
}

} // namespace
} // namespace korvan::test
