// A PostgreSQL server stopped while a calendar generation writes its days:
// the generation fails with one message instead of counting the lost rows as
// collisions, and once the server is back the calendar is as it was.

#include "SchemaCreator.h"
#include "accounting/CalendarGeneration.h"
#include "support/AccountingFixture.h"
#include "support/PrivatePostgres.h"
#include "support/RecordingMessageSink.h"

namespace korvan::accounting {
namespace {

constexpr int kAuthority = 10;
constexpr int kCompany = 3;

// 40 runs scheduled every day from March to May 2004.
void addContract(tools::RawDatabase& raw)
{
    std::string error;
    ASSERT_TRUE(tools::createTables(raw, true, error)) << error;
    for (const char* sql :
         {"INSERT INTO proto (azienda, tipo, protoc, datini, datfin, azzera) "
          "VALUES (3, 'B', 1, '2004-01-01', '2004-12-31', 0)",
          "INSERT INTO corse (azienda, id, ente, codlinea, codcorsa, lung) "
          "SELECT 3, g, 10, 'L', 'C' || g, 1000 FROM generate_series(1, 40) g",
          "INSERT INTO concors (azienda, id, ente, minima, euro) SELECT 3, g, 10, 1, 1.0 FROM generate_series(1, 40) g",
          "INSERT INTO mesi (azienda, id, protoc, anno, mese, giorni) "
          "SELECT 3, g, 1, 2004, m, repeat('S', 31) FROM generate_series(1, 40) g, generate_series(3, 5) m"})
        ASSERT_TRUE(raw.exec(sql)) << raw.error() << "\n" << sql;
}

TEST(ServerLoss, ServerStoppedDuringTheInsertionFailsAndLeavesThePreviousState)
{
    if (test::postgresDsn().empty()) {
        if (test::odbcRequired())
            FAIL() << "PostgreSQL is required but not configured";
        GTEST_SKIP() << "no PostgreSQL server";
    }
    test::PrivatePostgres server;
    ASSERT_TRUE(server.ok()) << server.error();
    {
        tools::RawDatabase raw = tools::RawDatabase::odbc(server.connectionString());
        ASSERT_TRUE(raw.ok()) << raw.error();
        addContract(raw);
    }
    test::RecordingMessageSink sink;
    test::RecordingFeedback feedback;
    std::string driver;
    auto connection = DbConnection::openOdbc(test::PrivatePostgres::kDsn, driver, 25, 1, sink);
    ASSERT_TRUE(connection->IsOpen()) << sink.lastText();
    const CalendarRequest spring{kAuthority, kCompany, {2004, 3, 1}, {2004, 5, 31}};
    ASSERT_TRUE(generateServiceDays(connection.get(), spring, sink, feedback).completed) << sink.lastText();
    {
        tools::RawDatabase raw = tools::RawDatabase::odbc(server.connectionString());
        ASSERT_TRUE(raw.exec("UPDATE conkal SET ente = 40, minima = 0, euro = 7.25 WHERE id = 7 AND data IN "
                             "('2004-03-02', '2004-04-06')"))
            << raw.error();
    }
    const std::vector<std::string> before = test::accountingSnapshot(connection.get());
    ASSERT_EQ(before.size(), 40u + 40u * 92u);

    sink.clear();
    feedback = {};
    bool stopped = false;
    feedback.onProgress = [&] {
        if (!stopped && feedback.reached("Inserimento Giorni Effettuazione Corse", 30)) {
            stopped = true;
            EXPECT_EQ(server.stop(), "");
        }
    };
    const CalendarResult result = generateServiceDays(connection.get(), spring, sink, feedback);

    ASSERT_TRUE(stopped);
    EXPECT_FALSE(result.completed);
    ASSERT_EQ(sink.entries.size(), 1u) << sink.lastText();
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
    EXPECT_NE(sink.lastText().find(std::string(kConnectionLostNote) +
                                   "\n\nOperazione annullata: nessuna modifica è stata registrata."),
              std::string::npos)
        << sink.lastText();
    EXPECT_EQ(sink.lastText().find("Giorni inseriti"), std::string::npos);
    EXPECT_TRUE(connection->ConnectionLost());
    EXPECT_TRUE(connection->LastError().connectionLost);
    EXPECT_FALSE(connection->IsOpen());
    connection.reset();

    ASSERT_EQ(server.start(), "");
    auto reopened = DbConnection::openOdbc(test::PrivatePostgres::kDsn, driver, 25, 1, sink);
    ASSERT_TRUE(reopened->IsOpen()) << sink.lastText();
    EXPECT_EQ(test::accountingSnapshot(reopened.get()), before);
}

} // namespace
} // namespace korvan::accounting
