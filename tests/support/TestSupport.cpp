#include "support/TestSupport.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace korvan::test {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "korvan-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string sharedDataFolder(const std::string& name)
{
    namespace fs = std::filesystem;
    if (const char* shared = std::getenv("KORVAN_SHARED_DATA"); shared && *shared)
        return fs::is_directory(fs::path(shared) / name) ? (fs::path(shared) / name).string() : std::string();
    const fs::path data = fs::path(KORVAN_SHARED_DATA_DIR) / name;
    return fs::is_directory(data) ? data.string() : std::string();
}

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::string postgresDsn()
{
    return environment("KORVAN_TEST_PG_DSN");
}
std::string sqliteOdbcDsn()
{
    return environment("KORVAN_TEST_SQLITE_DSN");
}
bool odbcRequired()
{
    return environment("KORVAN_TEST_REQUIRE_ODBC") == "1";
}

ScopedLocale::ScopedLocale(const char* name)
{
    const char* current = std::setlocale(LC_ALL, nullptr);
    previous_ = current ? current : "C";
    active_ = std::setlocale(LC_ALL, name) != nullptr;
}

ScopedLocale::~ScopedLocale()
{
    std::setlocale(LC_ALL, previous_.c_str());
}

} // namespace korvan::test
