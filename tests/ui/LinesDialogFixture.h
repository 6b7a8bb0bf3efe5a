#pragma once

// A small runs database on the SQLite file back end for the line dialogs:
// authority 1 "Città Alfa" with lines 0 "A", 1 "B", 2 "C" and runs of two
// companies; authority 2 "Beta" with line 3; authority 3 without lines.
// Companies 1 and 2 run for authority 1, company 5 for authority 2.

#include "ComboChoice.h"
#include "SchemaCreator.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "db/Values.h"
#include "support/RecordingMessageSink.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>

namespace korvan::test {

class LinesDialogFixture {
  public:
    LinesDialogFixture()
    {
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(dir.file("runs.db"));
        std::string error;
        ok = raw.ok() && tools::createTables(raw, true, error);
        const char* rows[] = {
            "INSERT INTO regent (codice, denom) VALUES (1, 'Città Alfa'), (2, 'Beta'), (3, 'Senza Linee')",
            "INSERT INTO linee (ID, ente, linea, denom) VALUES (0, 1, 'A', 'Prima'), (1, 1, 'B', ''), "
            "(2, 1, 'C', NULL), (3, 2, 'Z', 'Zeta')",
            "INSERT INTO regazi (codice, denom) VALUES (1, 'Società Trasporti'), (2, 'Autolinee Rossi'), (5, 'Bus "
            "Beta')",
            "INSERT INTO corse (azienda, ID, ente, codlinea) VALUES (1, 10, 1, 'A'), (1, 11, 1, 'B'), (2, 10, 1, 'B'), "
            "(2, 12, 1, 'B'), (5, 50, 2, 'Z')",
            "INSERT INTO conline (azienda, ID, ente, linea) VALUES (1, 10, 1, 0), (1, 11, 1, 1), (2, 10, 1, 1), "
            "(2, 12, 1, 1), (5, 50, 2, 3)",
        };
        for (const char* sql : rows)
            ok = ok && raw.exec(sql);
        connection = DbConnection::openSqlite(dir.file("runs.db"), DbConnection::kDefaultRowsetSizeOrdinary,
                                              DbConnection::kDefaultRowsetSizeBlob, sink);
        ok = ok && connection->IsOpen();
    }

    // Plain SQL on the fixture, outside the program's layer.
    std::string query(const std::string& sql)
    {
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(dir.file("runs.db"));
        return raw.queryText(sql);
    }

    TempDir dir;
    RecordingMessageSink sink;
    std::unique_ptr<DbConnection> connection;
    bool ok = false;
};

// Types `text` into the combo's edit field, replacing what was there
// (key events for plain ASCII, an insertion otherwise).
inline void typeInto(QComboBox* combo, const QString& text)
{
    combo->setEditText(QString());
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        QTest::keyClicks(combo, text);
    else
        combo->lineEdit()->insert(text);
}

} // namespace korvan::test
