#pragma once

// Shared by the shell's widget tests: settings stores, real SQLite runs
// databases and a main window whose modal prompts answer from the test.

#include "SchemaCreator.h"
#include "shell/MainWindow.h"
#include "support/RecordingMessageSink.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QSettings>
#include <QTest>

#include <map>
#include <optional>
#include <string>

namespace korvan::test {

// Creates the store as an installation would, with the given values in the
// "1.00" group (none: an empty file).
inline QString writeSettingsStore(const TempDir& dir, const std::map<QString, QVariant>& values)
{
    const QString path = QString::fromStdString(dir.file("KORVAN.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create the settings store");
    file.close();
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup("1.00");
    for (const auto& [key, value] : values)
        settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return path;
}

inline QVariant storedValue(const QString& storePath, const QString& key)
{
    QSettings settings(storePath, QSettings::IniFormat);
    return settings.value("1.00/" + key);
}

// A runs database file with every table of the schema.
inline std::string makeRunsDatabase(const TempDir& dir, const std::string& name = "runs.sqlite")
{
    const std::string path = dir.file(name);
    tools::RawDatabase db = tools::RawDatabase::sqliteFile(path);
    std::string error;
    if (!db.ok() || !tools::createTables(db, false, error))
        qFatal("cannot create the runs database: %s %s", db.error().c_str(), error.c_str());
    return path;
}

// Gives the SQLite ODBC data source's database every table of the schema, so
// that a connection passes the schema check whatever the tests before left.
inline void giveOdbcDatabaseTheSchema(const std::string& dsn)
{
    tools::RawDatabase db = tools::RawDatabase::odbc(dsn);
    std::string error;
    if (!db.ok() || !tools::createTables(db, true, error))
        qFatal("cannot create the tables of %s: %s %s", dsn.c_str(), db.error().c_str(), error.c_str());
}

// In a Qt test function: the SQLite ODBC data source with every table of
// the schema into `dsn`, or the test skipped (failed when the test command
// requires every back end).
#define KORVAN_SQLITE_ODBC_DSN_OR_SKIP(dsn)                                                                            \
    const std::string dsn = ::korvan::test::sqliteOdbcDsn();                                                           \
    if (dsn.empty()) {                                                                                                 \
        if (::korvan::test::odbcRequired())                                                                            \
            QFAIL("KORVAN_TEST_SQLITE_DSN is not set");                                                                \
        QSKIP("no SQLite ODBC data source");                                                                           \
    }                                                                                                                  \
    ::korvan::test::giveOdbcDatabaseTheSchema(dsn)

inline int countMessages(const RecordingMessageSink& sink, const std::string& text)
{
    int count = 0;
    for (const auto& entry : sink.entries)
        count += entry.text == text ? 1 : 0;
    return count;
}

inline bool anyMessageStartsWith(const RecordingMessageSink& sink, const std::string& prefix)
{
    for (const auto& entry : sink.entries)
        if (entry.text.rfind(prefix, 0) == 0)
            return true;
    return false;
}

// The main window with its two modal prompts answered by the test, noting
// whether the connection was already closed when the settings were written.
class PromptedMainWindow : public shell::MainWindow {
  public:
    using MainWindow::MainWindow;

    std::optional<QString> sqliteFileAnswer;
    std::optional<shell::DataSourceChoice> dataSourceAnswer;
    int saves = 0;
    bool connectionClosedAtSave = false;

  protected:
    std::optional<QString> promptSqliteFile() override { return sqliteFileAnswer; }
    std::optional<shell::DataSourceChoice> promptDataSource() override { return dataSourceAnswer; }
    void saveSettings() override
    {
        ++saves;
        connectionClosedAtSave = connection() == nullptr;
        MainWindow::saveSettings();
    }
};

} // namespace korvan::test
