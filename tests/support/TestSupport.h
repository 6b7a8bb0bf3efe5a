#pragma once

// Shared by the test programs: temporary folders and the back ends the
// database tests run on.

#include <string>

namespace korvan::test {

// A fresh folder under the system's temporary directory, removed with the
// object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// The ODBC data source of the throwaway PostgreSQL server the test command
// starts ("" when the tests run without it), and of SQLite through its ODBC
// driver (a DSN whose Database the tests may point anywhere by connection
// string).
std::string postgresDsn();
std::string sqliteOdbcDsn();
// True when the test command asked for every back end to be present: a
// missing one is then a failure, not a skip.
bool odbcRequired();

// A folder of the real data kept beside the repository for tests
// (shared/data/NAME in the repository's parent folder or one further up, or
// $KORVAN_SHARED_DATA/NAME); "" when it is not there.
std::string sharedDataFolder(const std::string& name);

// The users' locale, whose decimal point is a comma.
inline constexpr const char* kItalianLocale = "it_IT.UTF-8";

// Switches the C library's locale (every category) for the object's life,
// as Qt does from the environment at start-up; the previous one comes back
// afterwards. active() is false when the locale is not installed.
class ScopedLocale {
  public:
    explicit ScopedLocale(const char* name);
    ~ScopedLocale();
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    bool active() const { return active_; }

  private:
    std::string previous_;
    bool active_ = false;
};

} // namespace korvan::test
