#pragma once

// A small runs database for the split views: company 3, authority 10 and
// paying authority 40; run 1 (10 km, route 70: stops 100 -> 101 -> 102 over
// arcs of 4 and 6 km, passing times 08:00, 08:10 with a 2-minute dwell,
// 08:25) with three days (a Saturday of minimum service, two days paid by
// 40), run 2 (5 km) on the same route with the same days. The browser's
// rows for both runs.

#include "SchemaCreator.h"
#include "core/OperationFeedback.h"
#include "db/DbConnection.h"
#include "db/Values.h"
#include "runs/BrowserTransaction.h"
#include "runs/RunListModel.h"
#include "support/RecordingMessageSink.h"
#include "support/TestSupport.h"
#include "ui/runs/RunSplitViews.h"

#include <QTest>

#include <memory>
#include <string>

namespace korvan::test {

class SplitViewFixture {
  public:
    SplitViewFixture() : model(3)
    {
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(dir.file("runs.db"));
        std::string error;
        if (!tools::createTables(raw, true, error))
            qFatal("fixture tables: %s", error.c_str());
        for (const char* sql :
             {"INSERT INTO regent (codice, denom) VALUES (10, 'Regione Dieci')",
              "INSERT INTO regent (codice, denom) VALUES (40, 'Provincia Quaranta')",
              "INSERT INTO corse (azienda, ID, ente, codcorsa, codperc, lung, ct_lung) VALUES (3, 1, 10, 'C1', 70, "
              "10000, 10000)",
              "INSERT INTO corse (azienda, ID, ente, codcorsa, codperc, lung, ct_lung) VALUES (3, 2, 10, 'C2', 70, "
              "5000, 5000)",
              "INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 1, 10, 1, 20)",
              "INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 2, 10, 1, 10)",
              "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 1, '2024-03-02', 10, 1, 20)",
              "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 1, '2024-03-04', 40, 0, 7.5)",
              "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 1, '2024-03-05', 40, 0, 7.5)",
              "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 2, '2024-03-02', 10, 1, 10)",
              "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 2, '2024-03-04', 10, 1, 10)",
              "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 2, '2024-03-05', 10, 1, 10)",
              "INSERT INTO fermate (azienda, ID, denom) VALUES (3, 100, 'Piazza Duomo')",
              "INSERT INTO fermate (azienda, ID, denom) VALUES (3, 101, 'Stazione')",
              "INSERT INTO fermate (azienda, ID, denom) VALUES (3, 102, 'Ospedale')",
              "INSERT INTO archi (azienda, ID, inizio, fine, lung) VALUES (3, 501, 100, 101, 4000)",
              "INSERT INTO archi (azienda, ID, inizio, fine, lung) VALUES (3, 502, 101, 102, 6000)",
              "INSERT INTO detitine (azienda, ID, sub, arco, dist) VALUES (3, 70, 1, 501, 4000)",
              "INSERT INTO detitine (azienda, ID, sub, arco, dist) VALUES (3, 70, 2, 502, 10000)",
              "INSERT INTO orari (azienda, ID, sub, hh, mm, sosta) VALUES (3, 1, 1, 8, 0, 0)",
              "INSERT INTO orari (azienda, ID, sub, hh, mm, sosta) VALUES (3, 1, 2, 8, 10, 2)",
              "INSERT INTO orari (azienda, ID, sub, hh, mm, sosta) VALUES (3, 1, 3, 8, 25, 0)"})
            if (!raw.exec(sql))
                qFatal("fixture rows: %s", raw.error().c_str());
        connection = DbConnection::openSqlite(dir.file("runs.db"), DbConnection::kDefaultRowsetSizeOrdinary,
                                              DbConnection::kDefaultRowsetSizeBlob, sink);
        if (!connection->IsOpen())
            qFatal("fixture connection: %s", sink.lastText().c_str());
        model.addRow(runRow(1, 10000, 20.0));
        model.addRow(runRow(2, 5000, 10.0));
    }

    static korvan::runs::RunRow runRow(long id, long length, double amount)
    {
        korvan::runs::RunRow row;
        row.company = 3;
        row.runId = id;
        row.routeCode = 70;
        row.runCode = "C" + std::to_string(id);
        row.minimumService = true;
        row.grantingAuthority = 10;
        row.payingAuthority = 10;
        row.lengthMetres = length;
        row.amount = amount;
        row.departureLabel = "08:00 Piazza Duomo";
        row.arrivalLabel = "08:25 Ospedale";
        return row;
    }

    // What the browser hands a view: its connection inside its transaction
    // (begun here), its rows, no parent window.
    ui::runs::RunViewContext context()
    {
        if (!transaction) {
            transaction = std::make_unique<korvan::runs::BrowserTransaction>(connection.get(), sink);
            if (!transaction->open())
                qFatal("fixture transaction: %s", sink.lastText().c_str());
        }
        return {connection.get(), sink, feedback, model, *transaction, nullptr};
    }
    korvan::runs::RunRow& run() { return *model.findRun(1); }

    // A value of the database read with plain SQL (a second connection: it
    // sees what the browser's transaction has kept).
    std::string query(const std::string& sql)
    {
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(dir.file("runs.db"));
        return raw.queryText(sql);
    }

    TempDir dir;
    RecordingMessageSink sink;
    SilentFeedback feedback;
    std::unique_ptr<DbConnection> connection;
    korvan::runs::RunListModel model;
    std::unique_ptr<korvan::runs::BrowserTransaction> transaction;
};

} // namespace korvan::test
