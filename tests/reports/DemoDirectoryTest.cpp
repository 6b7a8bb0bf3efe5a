// The lines directory of the demo database after line extraction, on the
// SQLite file and on PostgreSQL through ODBC, against the run counts the
// engine itself computes with GROUP BY: every line once with its count,
// one page group per authority, the lines that share a code in one
// authority (one per company) as separate entries.

#include "db/Values.h"
#include "reports/DemoDatabase.h"
#include "reports/LinesDirectory.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

namespace korvan::test {
namespace {

// "ID:count,ID:count" into a map.
std::map<int, long> parseCounts(const std::string& text)
{
    std::map<int, long> counts;
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, ',');) {
        const size_t colon = item.find(':');
        counts[static_cast<int>(parseIntegerText(item.substr(0, colon)))] = parseIntegerText(item.substr(colon + 1));
    }
    return counts;
}

class DemoDirectoryTest : public DemoDatabaseTest {
  protected:
    std::map<int, long> engineCounts(const std::string& where = "")
    {
        const std::string grouped = "SELECT linee.ID AS line_id, COUNT(*) AS runs FROM linee, conline "
                                    "WHERE linee.ID = conline.linea" +
                                    where + " GROUP BY linee.ID";
        const std::string sql =
            GetParam() == Backend::SqliteFile
                ? "SELECT group_concat(line_id || ':' || runs, ',') FROM (" + grouped + ")"
                : "SELECT string_agg(line_id || ':' || runs, ',' ORDER BY line_id) FROM (" + grouped + ") counted";
        return parseCounts(raw->queryText(sql));
    }

    long distinctAuthoritiesWithRuns()
    {
        return parseIntegerText(raw->queryText("SELECT COUNT(DISTINCT linee.ente) FROM linee, conline "
                                               "WHERE linee.ID = conline.linea"));
    }
};

TEST_P(DemoDirectoryTest, EntriesEqualTheEngineCountsWithOnePageGroupPerAuthority)
{
    const reports::Report report = reports::collectLinesDirectory(connection.get(), {true, 0}, feedback, 0);
    EXPECT_TRUE(sink.empty()) << sink.lastText();

    std::map<int, long> collected;
    std::map<int, std::set<size_t>> groupsOfAuthority;
    std::map<std::pair<size_t, std::string>, int> linesWithCode;
    for (const reports::Row& row : report.rows) {
        const int lineId = static_cast<int>(row.cells.at(0).value);
        EXPECT_EQ(collected.count(lineId), 0U) << "line " << lineId << " listed twice";
        collected[lineId] = static_cast<long>(row.cells.at(3).value);
        groupsOfAuthority[static_cast<int>(report.groups.at(row.group).keys.at(0).value)].insert(row.group);
        ++linesWithCode[{row.group, row.cells.at(1).text}];
    }
    const std::map<int, long> expected = engineCounts();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(collected, expected);

    EXPECT_EQ(static_cast<long>(report.groups.size()), distinctAuthoritiesWithRuns());
    for (const auto& [authority, groups] : groupsOfAuthority)
        EXPECT_EQ(groups.size(), 1U) << "authority " << authority << " in several page groups";
    // Line "101" of one authority is run by two companies: two entries.
    int sharedCodes = 0;
    for (const auto& [groupAndCode, count] : linesWithCode)
        if (count > 1)
            ++sharedCodes;
    EXPECT_GE(sharedCodes, 1);
    for (const reports::PageGroup& group : report.groups)
        EXPECT_EQ(group.headerLines.at(0).left.find("Ente sconosciuto"), std::string::npos)
            << group.headerLines.at(0).left;
}

TEST_P(DemoDirectoryTest, OneAuthorityListsItsLinesOnly)
{
    const reports::Report all = reports::collectLinesDirectory(connection.get(), {true, 0}, feedback, 0);
    ASSERT_FALSE(all.groups.empty());
    const int authority = static_cast<int>(all.groups.back().keys.at(0).value);
    const reports::Report one = reports::collectLinesDirectory(connection.get(), {false, authority}, feedback, 0);
    ASSERT_EQ(one.groups.size(), 1U);
    std::map<int, long> collected;
    for (const reports::Row& row : one.rows)
        collected[static_cast<int>(row.cells.at(0).value)] = static_cast<long>(row.cells.at(3).value);
    EXPECT_EQ(collected, engineCounts(formatText(" AND linee.ente = %d", authority)));
}

KORVAN_DEMO_BACKENDS(DemoDirectoryTest);

} // namespace
} // namespace korvan::test
