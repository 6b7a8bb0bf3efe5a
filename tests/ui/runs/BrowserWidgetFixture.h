#pragma once

// A runs database file for the browser's widget tests: authority 10 with
// lines 0 ("L0") and 1 ("L1"), company 3 running runs 1 (10 km, minimum
// service, three days), 2 (4 km, paid by authority 40, days split between
// two accountings) and 3 (line 0); paying authority 40 has no lines.

#include "SchemaCreator.h"
#include "db/DbConnection.h"
#include "db/Values.h"
#include "support/RecordingMessageSink.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

namespace korvan::test {

class BrowserWidgetFixture {
  public:
    BrowserWidgetFixture()
    {
        tools::RawDatabase raw = rawDatabase();
        std::string error;
        if (!tools::createTables(raw, true, error))
            qFatal("fixture tables: %s", error.c_str());
        for (const char* sql : {
                 "INSERT INTO regent (codice, denom) VALUES (10, 'Regione Dieci')",
                 "INSERT INTO regent (codice, denom) VALUES (40, 'Provincia Quaranta')",
                 "INSERT INTO regazi (codice, denom) VALUES (3, 'Società Tre')",
                 "INSERT INTO linee (ID, ente, linea, denom) VALUES (0, 10, 'L0', 'Zero')",
                 "INSERT INTO linee (ID, ente, linea, denom) VALUES (1, 10, 'L1', 'Linea uno')",
                 "INSERT INTO fermate (azienda, ID, denom) VALUES (3, 100, 'Piazza Dante')",
                 "INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, codperc, ct_lung, ct_tempo, hh_p, mm_p, "
                 "capol_p, hh_a, mm_a, capol_a) VALUES (3, 1, 10, 'L1', 'C1', 7, 10000, 45, 7, 30, 100, 8, 15, 100)",
                 "INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, codperc, ct_lung, ct_tempo, hh_p, mm_p, "
                 "capol_p, hh_a, mm_a, capol_a) VALUES (3, 2, 10, 'L1', 'C2', 7, 4000, 30, 6, 0, 100, 6, 30, 100)",
                 "INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, codperc, ct_lung, ct_tempo, hh_p, mm_p, "
                 "capol_p, hh_a, mm_a, capol_a) VALUES (3, 3, 10, 'L0', 'C3', 7, 1000, 5, 6, 0, 100, 6, 5, 100)",
                 "INSERT INTO conline (azienda, ID, ente, linea) VALUES (3, 1, 10, 1)",
                 "INSERT INTO conline (azienda, ID, ente, linea) VALUES (3, 2, 10, 1)",
                 "INSERT INTO conline (azienda, ID, ente, linea) VALUES (3, 3, 10, 0)",
                 "INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 1, 10, 1, 5)",
                 "INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 2, 40, 0, 12.9)",
                 "INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 3, 10, 1, 1)",
                 "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 1, '2024-01-07', 10, 1, 5)",
                 "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 1, '2024-01-08', 10, 1, 5)",
                 "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 1, '2024-01-09', 10, 1, 5)",
                 "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 2, '2024-01-07', 40, 0, 12.9)",
                 "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 2, '2024-01-08', 10, 1, 12.9)",
                 "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 3, '2024-01-08', 10, 1, 1)",
             })
            if (!raw.exec(sql))
                qFatal("fixture rows: %s", raw.error().c_str());
        connection = DbConnection::openSqlite(path(), DbConnection::kDefaultRowsetSizeOrdinary,
                                              DbConnection::kDefaultRowsetSizeBlob, sink);
        if (!connection->IsOpen())
            qFatal("fixture connection: %s", sink.lastText().c_str());
    }

    // Line 2 ("L2") of the same contract with `count` runs, IDs 101 on,
    // each a day of minimum service: the later the run, the shorter it is
    // and the higher its amount, so that sorting by length or amount turns
    // the ID order round.
    void addLongLine(int count)
    {
        tools::RawDatabase raw = rawDatabase();
        auto exec = [&raw](const std::string& sql) {
            if (!raw.exec(sql))
                qFatal("fixture rows: %s", raw.error().c_str());
        };
        exec("INSERT INTO linee (ID, ente, linea, denom) VALUES (2, 10, 'L2', 'Linea lunga')");
        for (int i = 0; i < count; ++i) {
            const long id = 101 + i;
            exec(formatText("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, codperc, ct_lung, ct_tempo, "
                            "hh_p, mm_p, capol_p, hh_a, mm_a, capol_a) VALUES (3, %ld, 10, 'L2', 'R%ld', 7, %d, 20, "
                            "6, 0, 100, 6, 20, 100)",
                            id, id, (count - i) * 1000));
            exec(formatText("INSERT INTO conline (azienda, ID, ente, linea) VALUES (3, %ld, 10, 2)", id));
            exec(formatText("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, %ld, 10, 1, %d)", id,
                            10 + 2 * i));
            exec(formatText("INSERT INTO conkal (azienda, ID, data, ente, minima, euro) "
                            "VALUES (3, %ld, '2024-01-08', 10, 1, %d)",
                            id, 10 + 2 * i));
        }
    }

    std::string path() const { return dir.file("runs.db"); }
    // A second connection, outside the program's layer.
    tools::RawDatabase rawDatabase() const { return tools::RawDatabase::sqliteFile(path()); }
    std::string query(const std::string& sql) const
    {
        tools::RawDatabase raw = rawDatabase();
        return raw.queryText(sql);
    }

    TempDir dir;
    RecordingMessageSink sink;
    std::unique_ptr<DbConnection> connection;
};

// Runs `act` on the next modal dialog of class T once it shows.
template <typename T> void whenDialogShows(std::function<void(T*)> act)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            QTimer::singleShot(10, *poll);
            return;
        }
        act(dialog);
    };
    QTimer::singleShot(0, *poll);
}

} // namespace korvan::test
