// The real JET files of the shared data folder (their SOURCE.md), read
// through MDB Tools: every table copied with --tables has the row count the
// file lists and the values mdb-export gives; the impossible dates of a JET4
// file stop the copy, or become NULL and are listed; a file that is not a
// JET file, a truncated one and an empty one are refused with a message and
// leave no target; a JET file that is not a runs database is refused with the
// schema check's list of missing tables.

#include "transfer/TransferFixture.h"

#include "transfer/JetSource.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace korvan::test {
namespace {

// One record of mdb-export's CSV: nothing for NULL (an empty field without
// quotes), the text otherwise.
using Record = std::vector<std::optional<std::string>>;

std::vector<Record> parseCsv(const std::string& text)
{
    std::vector<Record> records;
    Record record;
    std::string field;
    bool quoted = false, inQuotes = false, any = false;
    auto endField = [&] {
        record.push_back(quoted || !field.empty() ? std::optional<std::string>(field) : std::nullopt);
        field.clear();
        quoted = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        any = true;
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            inQuotes = quoted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\n') {
            endField();
            records.push_back(std::move(record));
            record.clear();
            any = false;
        } else {
            field += c;
        }
    }
    if (any) {
        endField();
        records.push_back(std::move(record));
    }
    return records;
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[65536];
    size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, read);
    pclose(pipe);
    return output;
}

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// mdb-export's rows (the header first), dates as ISO texts, bytes in hex.
std::vector<Record> mdbExport(const std::string& file, const std::string& table)
{
    return parseCsv(commandOutput("mdb-export -b hex -D '%Y-%m-%d' -T '%Y-%m-%d %H:%M:%S' " + shellQuoted(file) + " " +
                                  shellQuoted(table)));
}

// The rows counted in SOURCE.md: "Orders (830)" of the file's line.
std::map<std::string, long> listedRowCounts(const std::string& folder, const std::string& file)
{
    std::map<std::string, long> counts;
    std::ifstream in(folder + "/SOURCE.md");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("| " + file + " |", 0) != 0)
            continue;
        const std::regex entry("([^,|(]+?) \\(([0-9]+)\\)");
        for (std::sregex_iterator it(line.begin(), line.end(), entry), end; it != end; ++it) {
            std::string name = (*it)[1];
            name.erase(0, name.find_first_not_of(' '));
            counts[name] = std::stol((*it)[2]);
        }
    }
    return counts;
}

struct Column {
    std::string name, type;
};

// The copied rows, their values as texts to compare with mdb-export's, in
// the order of the table's first column (mdb-export's, the file's own).
struct Copied {
    std::vector<Column> columns;
    std::vector<std::vector<std::optional<std::string>>> rows;
};

Copied readCopy(const std::string& path, const std::string& table)
{
    Copied copied;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* select = nullptr;
    std::string quoted = "\"" + table + "\"";
    sqlite3_prepare_v2(db, ("SELECT rowid, * FROM " + quoted + " ORDER BY rowid").c_str(), -1, &select, nullptr);
    for (int i = 1; i < sqlite3_column_count(select); ++i)
        copied.columns.push_back({sqlite3_column_name(select, i), sqlite3_column_decltype(select, i)});
    while (sqlite3_step(select) == SQLITE_ROW) {
        std::vector<std::optional<std::string>> row;
        for (int i = 1; i < sqlite3_column_count(select); ++i) {
            if (sqlite3_column_type(select, i) == SQLITE_NULL) {
                row.push_back(std::nullopt);
            } else if (sqlite3_column_type(select, i) == SQLITE_BLOB) {
                const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(select, i));
                std::string hex;
                for (int b = 0; b < sqlite3_column_bytes(select, i); ++b)
                    hex += formatText("%02X", bytes[b]);
                row.push_back(hex);
            } else if (sqlite3_column_type(select, i) == SQLITE_FLOAT) {
                row.push_back(formatText("%.17g", sqlite3_column_double(select, i)));
            } else {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select, i));
                row.push_back(std::string(text, sqlite3_column_bytes(select, i)));
            }
        }
        copied.rows.push_back(std::move(row));
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return copied;
}

// A value as a text to compare by its column's kind: a date without its
// time of midnight, an amount to six decimals, a single-precision number as
// the float it is. An empty OLE value exports as nothing, as NULL does.
std::string canonical(const std::string& type, const std::optional<std::string>& value)
{
    if (!value || (type == "BLOB" && value->empty()))
        return "<NULL>";
    if (type == "DATE") {
        const std::string midnight = " 00:00:00";
        const bool atMidnight = value->size() == 10 + midnight.size() && value->substr(10) == midnight;
        return atMidnight ? value->substr(0, 10) : *value;
    }
    if (type == "DOUBLE")
        return formatText("%.6f", std::stod(*value));
    if (type == "REAL")
        return formatText("%.9g", static_cast<double>(static_cast<float>(std::stod(*value))));
    return *value;
}

// The rows as canonical texts, sorted: the copy need not keep the file's
// order of rows.
std::vector<std::string> canonicalRows(const std::vector<Column>& columns,
                                       const std::vector<std::vector<std::optional<std::string>>>& rows)
{
    std::vector<std::string> texts;
    for (const auto& row : rows) {
        std::string text;
        for (size_t c = 0; c < columns.size() && c < row.size(); ++c)
            text += (c ? "|" : "") + canonical(columns[c].type, row[c]);
        texts.push_back(text);
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

struct JetTable {
    const char* file;
    const char* table;
};

class JetTables : public ::testing::TestWithParam<JetTable> {
  protected:
    TempDir dir;
};

TEST_P(JetTables, CopiesWithItsListedRowCountAndTheValuesMdbExportGives)
{
    KORVAN_REQUIRE_JET_DATA(folder);
    const std::string file = folder + "/" + GetParam().file;
    const std::string table = GetParam().table;
    const std::string copy = dir.file("copy.sqlite");
    CopyRun run;
    runCopy(copyRequest(jetFile(file), sqliteFile(copy), {table}), run);
    ASSERT_TRUE(run.result.completed) << run.sink.lastText();
    EXPECT_TRUE(run.sink.empty()) << run.sink.lastText();
    ASSERT_EQ(run.result.tables.size(), 1u);
    EXPECT_EQ(run.result.tables[0].read, run.result.tables[0].stored);

    const std::vector<Record> exported = mdbExport(file, table);
    ASSERT_FALSE(exported.empty()) << "mdb-export gave nothing for " << table;
    const Copied copied = readCopy(copy, table);
    const auto listed = listedRowCounts(folder, GetParam().file);
    // SOURCE.md counts the rows of every table of nwind.mdb but Umsätze.
    if (listed.count(table)) {
        EXPECT_EQ(static_cast<long>(copied.rows.size()), listed.at(table));
    } else {
        EXPECT_TRUE(table == "Umsätze" || std::string(GetParam().file) != "nwind.mdb") << table << " is not listed";
    }
    ASSERT_EQ(copied.rows.size(), exported.size() - 1);
    ASSERT_EQ(copied.columns.size(), exported[0].size());
    for (size_t c = 0; c < copied.columns.size(); ++c)
        EXPECT_EQ(copied.columns[c].name, exported[0][c].value_or(""));
    const std::vector<std::vector<std::optional<std::string>>> exportedRows(exported.begin() + 1, exported.end());
    const std::vector<std::string> expected = canonicalRows(copied.columns, exportedRows);
    const std::vector<std::string> actual = canonicalRows(copied.columns, copied.rows);
    for (size_t r = 0; r < expected.size(); ++r)
        ASSERT_EQ(actual[r], expected[r]) << table << ", row " << r << " in sorted order";
}

INSTANTIATE_TEST_SUITE_P(Files, JetTables,
                         ::testing::Values(JetTable{"nwind.mdb", "Order Details"}, JetTable{"nwind.mdb", "Orders"},
                                           JetTable{"nwind.mdb", "Products"}, JetTable{"nwind.mdb", "Shippers"},
                                           JetTable{"nwind.mdb", "Categories"}, JetTable{"nwind.mdb", "Customers"},
                                           JetTable{"nwind.mdb", "Employees"}, JetTable{"nwind.mdb", "Suppliers"},
                                           JetTable{"nwind.mdb", "Umsätze"},
                                           JetTable{"ASampleDatabase.accdb", "Asset Items"}),
                         [](const ::testing::TestParamInfo<JetTable>& table) {
                             std::string name = std::string(table.param.file) + "_" + table.param.table;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

class JetFiles : public ::testing::Test {
  protected:
    TempDir dir;
};

TEST_F(JetFiles, EveryTableOfAFileAtOnceWithItsNamesQuoted)
{
    KORVAN_REQUIRE_JET_DATA(folder);
    std::string error;
    const auto source = transfer::JetSource::open(folder + "/nwind.mdb", error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->version(), "JET3");
    const std::vector<std::string> tables = source->tableNames();
    ASSERT_EQ(tables.size(), 9u);
    CopyRun run;
    runCopy(copyRequest(jetFile(folder + "/nwind.mdb"), sqliteFile(dir.file("nwind.sqlite")), tables), run);
    ASSERT_TRUE(run.result.completed) << run.sink.lastText();
    const auto dump = dumpSqlite(dir.file("nwind.sqlite"));
    EXPECT_EQ(dump.size(), 9u);
    EXPECT_EQ(dump.count("Order Details"), 1u);
    EXPECT_EQ(dump.count("Umsätze"), 1u);
    // The key of the file is the key of the copy.
    EXPECT_NE(dump.at("Order Details").columns.find("OrderID INTEGER"), std::string::npos);
}

TEST_F(JetFiles, ImpossibleStoredDatesStopTheCopyWithOneMessage)
{
    KORVAN_REQUIRE_JET_DATA(folder);
    const std::string copy = dir.file("dates.sqlite");
    CopyRun run;
    runCopy(copyRequest(jetFile(folder + "/DateTestDatabase.mdb"), sqliteFile(copy), {"DateTest"}), run);
    EXPECT_FALSE(run.result.completed);
    ASSERT_EQ(run.sink.entries.size(), 1u);
    const std::string& message = run.sink.lastText();
    EXPECT_NE(message.find("Tavola (DateTest), riga n. 2, colonna (DateTimeCol): <01/01/9999>"), std::string::npos)
        << message;
    EXPECT_NE(message.find("fuori dall'intervallo delle date gestite"), std::string::npos) << message;
    EXPECT_NE(message.find("non è stato creato"), std::string::npos) << message;
    EXPECT_TRUE(filesIn(dir.path()).empty());
}

TEST_F(JetFiles, ImpossibleStoredDatesBecomeNullAndAreListedWhenSkipped)
{
    KORVAN_REQUIRE_JET_DATA(folder);
    const std::string copy = dir.file("dates.sqlite");
    CopyRun run;
    runCopy(copyRequest(jetFile(folder + "/DateTestDatabase.mdb"), sqliteFile(copy), {"DateTest"}, true), run);
    ASSERT_TRUE(run.result.completed) << run.sink.lastText();
    // The years 9999 and 632 to 634 are beyond the dates a runs database
    // keeps; the years 1898 to 1900 are not.
    std::vector<std::string> skipped;
    for (const transfer::SkippedValue& value : run.result.skipped)
        skipped.push_back(value.row + " " + value.column + " " + value.value);
    EXPECT_EQ(skipped, (std::vector<std::string>{"n. 2 DateTimeCol 01/01/9999", "n. 2 DateCol 01/01/9999",
                                                 "n. 2 TimeCol 01/01/9999", "n. 4 DateTimeCol 01/01/0632",
                                                 "n. 4 DateCol 01/01/0633", "n. 4 TimeCol 01/01/0634"}));
    const Copied copied = readCopy(copy, "DateTest");
    ASSERT_EQ(copied.rows.size(), 6u);
    EXPECT_EQ(copied.rows[1][1], std::nullopt);
    EXPECT_EQ(copied.rows[1][4], std::optional<std::string>("Year 9999"));
    EXPECT_EQ(copied.rows[2][1], std::optional<std::string>("1898-01-01"));
    EXPECT_EQ(copied.rows[2][3], std::optional<std::string>("1900-01-01"));
    EXPECT_EQ(copied.rows[5][4], std::optional<std::string>("New line\r\nin field"));
    EXPECT_NE(transfer::copyReportText(copyRequest(jetFile("x"), sqliteFile(copy)), run.result)
                  .find("Tavola (DateTest), riga n. 4, colonna (DateCol): <01/01/0633>"),
              std::string::npos);
}

TEST_F(JetFiles, AFileThatIsNoWholeJetFileIsRefusedAndLeavesNoTarget)
{
    KORVAN_REQUIRE_JET_DATA(folder);
    std::ifstream in(folder + "/nwind.mdb", std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    struct Case {
        const char* name;
        std::string content;
        const char* says;
    };
    const Case cases[] = {
        {"empty.mdb", "", "è vuoto"},
        {"text.mdb", "Standard text, not a database\n", "non è un database JET"},
        {"half-page.mdb", whole.substr(0, 1500000), "è troncato"},
        {"whole-pages.mdb", whole.substr(0, 500 * 2048), "oltre la fine del file"},
        {"first-pages.mdb", whole.substr(0, 2 * 2048), "è troncato"},
    };
    for (const Case& c : cases) {
        TempDir work;
        const std::string path = work.file(c.name);
        std::ofstream(path, std::ios::binary) << c.content;
        CopyRun run;
        runCopy(copyRequest(jetFile(path), sqliteFile(work.file("copy.sqlite")), {"Orders"}), run);
        EXPECT_FALSE(run.result.completed) << c.name;
        ASSERT_EQ(run.sink.entries.size(), 1u) << c.name;
        EXPECT_NE(run.sink.lastText().find(c.says), std::string::npos) << c.name << ": " << run.sink.lastText();
        EXPECT_EQ(filesIn(work.path()), std::vector<std::string>{c.name}) << c.name;
    }
}

TEST_F(JetFiles, AFileThatIsNoRunsDatabaseIsRefusedWithTheMissingTables)
{
    KORVAN_REQUIRE_JET_DATA(folder);
    CopyRun run;
    runCopy(copyRequest(jetFile(folder + "/nwind.mdb"), sqliteFile(dir.file("runs.sqlite"))), run);
    EXPECT_FALSE(run.result.completed);
    ASSERT_EQ(run.sink.entries.size(), 1u);
    EXPECT_EQ(run.sink.lastText(), "ATTENZIONE: il database non contiene le tavole e le colonne utilizzate da KORVAN "
                                   "nella forma attesa.\n\n"
                                   "Tavole mancanti: regent, regazi, corse, proto, mesi, detitine, archi, orari, "
                                   "fermate\n\n"
                                   "Occorre completare o correggere il database: la connessione è stata chiusa.\n\n");
    EXPECT_TRUE(filesIn(dir.path()).empty());
}

} // namespace
} // namespace korvan::test
