#pragma once

// A small runs database for the accounting dialog tests: authority 10 with
// one normalized line "L'1", paying authority 40 without lines, company 3
// running two runs of authority 10 on that line.

#include "ComboChoice.h"
#include "SchemaCreator.h"
#include "core/OperationFeedback.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "db/Values.h"
#include "support/RecordingMessageSink.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>

namespace korvan::test {

class AccountingDialogFixture {
  public:
    AccountingDialogFixture()
    {
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(dir.file("runs.db"));
        std::string error;
        if (!tools::createTables(raw, true, error))
            qFatal("fixture tables: %s", error.c_str());
        for (const char* sql : {"INSERT INTO regent (codice, denom) VALUES (10, 'Regione Dieci')",
                                "INSERT INTO regent (codice, denom) VALUES (40, 'Provincia Quaranta')",
                                "INSERT INTO regazi (codice, denom) VALUES (3, 'Società Tre')",
                                "INSERT INTO linee (ID, ente, linea, denom) VALUES (0, 10, 'L''1', 'Città')",
                                "INSERT INTO corse (azienda, ID, ente, lung, hh_p, mm_p, hh_a, mm_a) VALUES (3, 1, 10, "
                                "12345, 8, 30, 9, 0)",
                                "INSERT INTO corse (azienda, ID, ente, lung, hh_p, mm_p, hh_a, mm_a) VALUES (3, 2, 10, "
                                "1000, 7, 0, 7, 30)",
                                "INSERT INTO conline (azienda, ID, ente, linea) VALUES (3, 1, 10, 0)",
                                "INSERT INTO conline (azienda, ID, ente, linea) VALUES (3, 2, 10, 0)"})
            if (!raw.exec(sql))
                qFatal("fixture rows: %s", raw.error().c_str());
        connection = DbConnection::openSqlite(dir.file("runs.db"), DbConnection::kDefaultRowsetSizeOrdinary,
                                              DbConnection::kDefaultRowsetSizeBlob, sink);
        if (!connection->IsOpen())
            qFatal("fixture connection: %s", sink.lastText().c_str());
    }

    long count(const std::string& table, const std::string& where = "")
    {
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(dir.file("runs.db"));
        return parseIntegerText(
            raw.queryText("SELECT COUNT(*) FROM " + table + (where.empty() ? "" : " WHERE " + where)));
    }

    TempDir dir;
    RecordingMessageSink sink;
    SilentFeedback feedback;
    std::unique_ptr<DbConnection> connection;
};

template <typename T> T* child(QObject* parent, const char* name)
{
    T* widget = parent->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

inline void typeInto(QObject* parent, const char* name, const QString& text)
{
    if (auto* combo = parent->findChild<QComboBox*>(QString::fromLatin1(name)))
        combo->setEditText(text);
    else
        child<QLineEdit>(parent, name)->setText(text);
}

inline void click(QObject* parent, const char* name)
{
    child<QPushButton>(parent, name)->click();
}

} // namespace korvan::test
