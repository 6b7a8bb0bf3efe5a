#pragma once

// Which runs database the program uses and the one connection to it: the
// settings fields of the main window, the access-method flags derived from
// them, and the connect / close / choose operations that keep the two
// consistent. No widgets: the main window drives it and shows the result.

#include "db/DbConnection.h"
#include "shell/Settings.h"

#include <memory>
#include <string>

namespace korvan::shell {

class DatabaseSession {
  public:
    explicit DatabaseSession(MessageSink& sink);
    ~DatabaseSession();
    DatabaseSession(const DatabaseSession&) = delete;
    DatabaseSession& operator=(const DatabaseSession&) = delete;

    // Takes the loaded values, then derives the access method: a non-empty
    // DSN means ODBC, else a non-empty path means the SQLite file. The
    // flags are only ever raised here, never lowered.
    void applySettings(const StoredSettings& values);
    StoredSettings storedSettings() const;

    // Opens a connection by the current method. A failed open has shown its
    // own message; it forgets the DSN (and driver) or the path, and leaves no
    // connection. False also when no method is chosen.
    bool connectToDatabase();
    // Deletes the connection, if any (which closes it).
    void closeConnection();

    // The file command: closes, switches to `path` and connects.
    bool chooseSqliteFile(const std::string& path);
    // The data source command: closes, switches to the DSN with its driver
    // description and rowset sizes, and connects.
    bool chooseOdbcSource(const std::string& dsn, const std::string& driver, int rowsetSizeOrdinary,
                          int rowsetSizeBlob);
    // The disconnect command: closes and forgets a file path; a DSN and the
    // method flags stay, so a data source is reconnected at the next start.
    void disconnect();

    // Decides the waits for a lock a colleague holds, on every connection
    // opened from now on (not owned).
    void setLockWaiter(LockWaiter* waiter) { lockWaiter_ = waiter; }

    DbConnection* connection() const { return connection_.get(); }
    bool isConnected() const { return connection_ && connection_->IsOpen(); }

    const std::string& sqlitePath() const { return sqlitePath_; }
    bool useSqlite() const { return useSqlite_; }
    const std::string& odbcDsn() const { return odbcDsn_; }
    const std::string& odbcDriver() const { return odbcDriver_; }
    bool useOdbc() const { return useOdbc_; }
    int rowsetSizeOrdinary() const { return rowsetSizeOrdinary_; }
    int rowsetSizeBlob() const { return rowsetSizeBlob_; }

  private:
    MessageSink& sink_;
    std::unique_ptr<DbConnection> connection_;
    LockWaiter* lockWaiter_ = nullptr;
    std::string sqlitePath_;
    bool useSqlite_ = false;
    std::string odbcDsn_;
    std::string odbcDriver_; // found at connection time, not stored
    bool useOdbc_ = false;
    int rowsetSizeOrdinary_ = DbConnection::kDefaultRowsetSizeOrdinary;
    int rowsetSizeBlob_ = DbConnection::kDefaultRowsetSizeBlob;
};

} // namespace korvan::shell
