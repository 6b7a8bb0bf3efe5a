// Behaviour of the embedded file back end alone: the engine refuses what its
// columns cannot hold, rows are read by key, refused rows of a block can be
// left to the caller, and what is not a usable database fails at open.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "db/TransactionGuard.h"
#include "db/Values.h"
#include "support/RecordingMessageSink.h"

#include <filesystem>
#include <fstream>

namespace korvan::test {
namespace {

class DbFileBackEnd : public DbLayerFixture {
  protected:
    static ConkalRow conkal(long id) { return {.id = id, .data = formatDateText({2004, 2, static_cast<int>(id)})}; }
};

TEST_P(DbFileBackEnd, RefusesTextsItsColumnsCannotHold)
{
    TableCursor cursor(&db(), "conkal");
    ASSERT_TRUE(cursor.AddNew());
    EXPECT_FALSE(cursor.SetField("azienda", "12abc"));
    EXPECT_FALSE(cursor.SetField("azienda", "70000"));
    EXPECT_FALSE(cursor.SetField("data", "31/02/2004"));
    EXPECT_FALSE(cursor.SetField("euro", "1,2,3"));
    EXPECT_FALSE(cursor.SetField("minima", "forse"));
    ASSERT_EQ(sink.entries.size(), 5u);
    EXPECT_EQ(sink.entries[2].text.rfind("Errore campo (data) della tavola (conkal) <31/02/2004>\n\n", 0), 0u);
    // Fields set again with values that fit are taken; the row is not
    // stored while a field's last value was refused.
    EXPECT_TRUE(cursor.SetField("azienda", "1") && cursor.SetField("ID", "1") && cursor.SetField("data", "01/02/2004"));
    sink.clear();
    EXPECT_FALSE(cursor.Update());
    EXPECT_EQ(cursor.RowsWritten(), 0);
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.lastText(), "Errore aggiornamento tavola (conkal)\n\nValore non accettato nel campo (euro, minima): "
                               "la riga non è stata memorizzata.");
    EXPECT_EQ(rawCount("conkal"), 0);
    // The refused values left their fields empty: setting them empty
    // (NULL) stores the row.
    EXPECT_TRUE(cursor.SetField("euro", "") && cursor.SetField("minima", ""));
    EXPECT_TRUE(cursor.Update()) << sink.lastText();
    EXPECT_EQ(rawCount("conkal", "euro IS NULL AND minima IS NULL"), 1);
}

TEST_P(DbFileBackEnd, TextLongerThanItsColumnIsRefusedCountingCharactersNotBytes)
{
    TableCursor cursor(&db(), "linee");
    ASSERT_TRUE(cursor.AddNew());
    // linea holds 20 characters: accented letters count once.
    EXPECT_TRUE(cursor.SetField("linea", "Città Società Però à"));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    EXPECT_FALSE(cursor.SetField("linea", "123456789012345678901"));
    EXPECT_EQ(sink.lastText().rfind("Errore campo (linea) della tavola (linee) <123456789012345678901>\n\n", 0), 0u);
    // The code is not stored, so neither is the row (no line without code).
    EXPECT_TRUE(cursor.SetField("ID", "1"));
    EXPECT_FALSE(cursor.Update());
    EXPECT_EQ(rawCount("linee"), 0);
    EXPECT_TRUE(cursor.SetField("linea", "Città Società Però à") && cursor.Update()) << sink.lastText();
    EXPECT_EQ(rawText("SELECT linea FROM linee"), "Città Società Però à");
}

TEST_P(DbFileBackEnd, TableCursorGivesEngineTextsWithoutTrimming)
{
    raw().exec("INSERT INTO linee (ID, ente, linea, denom) VALUES (4, 2, '12  ', NULL)");
    TableCursor cursor(&db(), "linee");
    ASSERT_TRUE(cursor.SelectIndex("codice")) << sink.lastText();
    ASSERT_TRUE(cursor.SeekKey({"4"}));
    std::string text;
    EXPECT_TRUE(cursor.GetField("linea", text));
    EXPECT_EQ(text, "12  ");
    EXPECT_TRUE(cursor.GetField("ente", text));
    EXPECT_EQ(text, "2");
    EXPECT_TRUE(cursor.GetField("denom", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(cursor.SeekKey({"5"}));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbFileBackEnd, RefusedRowsCanBeLeftToTheCallerToReport)
{
    rawInsertConkal(conkal(3), formatIsoDate(*parseDateText(conkal(3).data)));
    TableCursor cursor(&db(), "conkal", true);
    cursor.SetReportRejectedRows(false);
    for (long id = 1; id <= 5; ++id)
        ASSERT_TRUE(addConkal(cursor, conkal(id)));
    EXPECT_FALSE(cursor.Flush());
    EXPECT_EQ(cursor.RowsWritten(), 4);
    EXPECT_EQ(cursor.RowsRejected(), 1);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(DbFileBackEnd, UpdateCursorRefusesAnImpossibleDate)
{
    rawInsertConkal({.id = 1}, "2004-01-01");
    UpdateCursor cursor(&db());
    cursor.AddField("conkal", "data", SqlType::Date);
    cursor.SetFrom("conkal");
    ASSERT_TRUE(cursor.Open());
    ASSERT_TRUE(cursor.Edit());
    EXPECT_FALSE(cursor.SetField("data", "30/02/2004"));
    EXPECT_EQ(sink.lastText().rfind("Errore campo (data) <30/02/2004>\n\n", 0), 0u) << sink.lastText();
    EXPECT_TRUE(cursor.SetField("data", "99/99/9999"));
    EXPECT_TRUE(cursor.Update());
    EXPECT_EQ(rawCount("conkal", "data = '2400-12-31'"), 1);
}

TEST_P(DbFileBackEnd, AddNewOnATableGoneSinceOpeningIsRefused)
{
    TableCursor cursor(&db(), "conkal");
    ASSERT_TRUE(cursor.IsOpen()) << sink.lastText();
    ASSERT_TRUE(raw().exec("DROP TABLE conkal")) << raw().error();
    EXPECT_FALSE(cursor.AddNew());
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.lastText(), "Errore inserimento tavola (conkal)\n\nno such table: conkal");
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
    // Nothing was started: SetField has no row to fill.
    EXPECT_FALSE(cursor.SetField("ID", "1"));
}

INSTANTIATE_TEST_SUITE_P(File, DbFileBackEnd, ::testing::Values(Backend::SqliteFile), backendParamName);

// Opening the file back end on what is not a usable database.
TEST(DbSqliteOpen, MissingFileIsNotCreated)
{
    TempDir dir;
    RecordingMessageSink sink;
    const std::string path = dir.file("missing.sqlite");
    auto connection = DbConnection::openSqlite(path, 25, 1, sink);
    EXPECT_FALSE(connection->IsOpen());
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries[0].text.rfind("Errore in fase di apertura del database\n\n", 0), 0u);
    EXPECT_GT(sink.entries[0].text.size(), std::string("Errore in fase di apertura del database\n\n").size());
    EXPECT_FALSE(std::ifstream(path).good());
    sink.clear();
    connection->CommitTrans();
    connection.reset();
    EXPECT_TRUE(sink.empty());
}

TEST(DbSqliteOpen, FileThatIsNotADatabaseFailsAtOpen)
{
    TempDir dir;
    RecordingMessageSink sink;
    std::ofstream(dir.file("notes.txt")) << "this is a plain text file, not a database, long enough to have a header";
    auto connection = DbConnection::openSqlite(dir.file("notes.txt"), 25, 1, sink);
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_EQ(sink.lastText().rfind("Errore in fase di apertura del database\n\n", 0), 0u);
    EXPECT_FALSE(DbConnection::openSqlite("", 25, 1, sink)->IsOpen());
}

TEST(DbSqliteOpen, OpenFileReportsItsVersionAndKeepsItsJournalMode)
{
    for (const std::string mode : {"delete", "wal"}) {
        TempDir dir;
        RecordingMessageSink sink;
        auto raw = tools::RawDatabase::sqliteFile(dir.file("runs.sqlite"));
        std::string error;
        ASSERT_TRUE(tools::createTables(raw, false, error, {"conkal"})) << error;
        ASSERT_EQ(raw.queryText("PRAGMA journal_mode=" + mode), mode);
        {
            auto connection = DbConnection::openSqlite(dir.file("runs.sqlite"), 25, 1, sink);
            ASSERT_TRUE(connection->IsOpen()) << sink.lastText();
            EXPECT_FALSE(connection->IsReadOnly());
            EXPECT_EQ(connection->SqliteVersion().rfind("SQLite 3.", 0), 0u);
            EXPECT_EQ(connection->Dialect().periodDateLiteral({2004, 1, 2}), "'2004-01-02'");
            EXPECT_EQ(connection->Dialect().falseLiteral(), "0");
            // A transaction commits in the file's own mode.
            ASSERT_TRUE(connection->BeginTrans());
            TableCursor cursor(connection.get(), "conkal");
            ASSERT_TRUE(cursor.AddNew() && cursor.SetField("azienda", "1") && cursor.SetField("ID", "2") &&
                        cursor.SetField("data", "01/02/2004") && cursor.Update());
            EXPECT_TRUE(connection->CommitTrans());
        }
        auto later = tools::RawDatabase::sqliteFile(dir.file("runs.sqlite"));
        EXPECT_EQ(later.queryText("PRAGMA journal_mode"), mode);
        EXPECT_EQ(later.queryText("SELECT COUNT(*) FROM conkal"), "1");
        EXPECT_TRUE(sink.empty()) << sink.lastText();
    }
}

TEST(DbSqliteOpen, FileWithoutTablesIsRefusedAndLeftAsItWas)
{
    TempDir dir;
    RecordingMessageSink sink;
    const std::string path = dir.file("empty.sqlite");
    std::ofstream(path).close();
    auto connection = DbConnection::openSqlite(path, 25, 1, sink);
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_EQ(sink.lastText(), "Errore in fase di apertura del database\n\nIl file non contiene alcuna tabella: non "
                               "è una base dati delle corse.");
    connection.reset();
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        EXPECT_FALSE(std::filesystem::exists(path + suffix)) << suffix;
}

TEST(DbSqliteOpen, NewFileIsCreatedOnlyWhereNoneIs)
{
    TempDir dir;
    RecordingMessageSink sink;
    const std::string path = dir.file("nuova.sqlite");
    {
        auto connection = DbConnection::openSqlite(path, 25, 1, sink, SqliteAccess::CreateNew);
        ASSERT_TRUE(connection->IsOpen()) << sink.lastText();
        EXPECT_TRUE(connection->ExecuteStatement("CREATE TABLE prova (codice INTEGER)", "Creazione"));
        EXPECT_FALSE(connection->ExecuteStatement("CREATE TABLE prova (codice INTEGER)", "Creazione (prova)"));
        EXPECT_EQ(sink.lastText(), "Creazione (prova)\n\ntable prova already exists");
    }
    // A second creation at the same place leaves the first file alone.
    const auto size = std::filesystem::file_size(path);
    sink.clear();
    auto again = DbConnection::openSqlite(path, 25, 1, sink, SqliteAccess::CreateNew);
    EXPECT_FALSE(again->IsOpen());
    EXPECT_EQ(sink.lastText(), "Errore in fase di apertura del database\n\nIl file esiste già: una nuova base "
                               "dati si crea solo in un file nuovo.");
    EXPECT_EQ(std::filesystem::file_size(path), size);
}

TEST(DbSqliteOpen, ReadOnlyConnectionReadsAndRefusesEveryTransaction)
{
    TempDir dir;
    RecordingMessageSink sink;
    {
        auto raw = tools::RawDatabase::sqliteFile(dir.file("runs.sqlite"));
        std::string error;
        ASSERT_TRUE(tools::createTables(raw, false, error, {"conkal"})) << error;
        ASSERT_TRUE(raw.exec("INSERT INTO conkal (azienda, ID, data) VALUES (1, 2, '2004-02-01')")) << raw.error();
    }
    auto connection = DbConnection::openSqlite(dir.file("runs.sqlite"), 25, 1, sink, SqliteAccess::ReadOnly);
    ASSERT_TRUE(connection->IsOpen()) << sink.lastText();
    EXPECT_TRUE(connection->IsReadOnly());
    SelectCursor select(connection.get());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.SetFrom("conkal");
    ASSERT_TRUE(select.Execute());
    EXPECT_FALSE(connection->BeginTrans());
    EXPECT_EQ(sink.lastText(), "Errore in fase di avvio della transazione\n\nLa base dati è aperta in sola "
                               "lettura: nessuna modifica è possibile.");
    TransactionGuard guard(connection.get());
    EXPECT_FALSE(guard.IsActive());
    EXPECT_EQ(sink.entries.size(), 2u);
}

TEST(DbSqliteOpen, TransactionStepWithoutATransactionIsReported)
{
    TempDir dir;
    RecordingMessageSink sink;
    auto raw = tools::RawDatabase::sqliteFile(dir.file("runs.sqlite"));
    std::string error;
    ASSERT_TRUE(tools::createTables(raw, false, error, {"conkal"})) << error;
    auto connection = DbConnection::openSqlite(dir.file("runs.sqlite"), 25, 1, sink);
    connection->CommitTrans();
    EXPECT_EQ(sink.lastText().rfind("Errore in fase di convalida della transazione\n\n", 0), 0u);
    connection->BeginTrans();
    EXPECT_TRUE(connection->InTransaction());
    connection->Rollback();
    EXPECT_FALSE(connection->InTransaction());
    EXPECT_EQ(sink.entries.size(), 1u);
}

} // namespace
} // namespace korvan::test
