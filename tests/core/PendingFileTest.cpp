// A new file appears at its place only when kept: before that it is written
// under another name in the same folder, and whatever is not kept is gone,
// journals included.

#include "core/PendingFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace korvan::test {
namespace {

namespace fs = std::filesystem;

void write(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

std::string read(const std::string& path)
{
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(PendingFileTest, AppearsAtItsPlaceOnlyWhenKept)
{
    TempDir dir;
    const std::string place = dir.file("copia.sqlite");
    {
        PendingFile file(place, false);
        EXPECT_EQ(fs::path(file.workPath()).parent_path(), fs::path(dir.path()));
        write(file.workPath(), "dati");
        EXPECT_FALSE(fs::exists(place));
        EXPECT_EQ(file.Keep(), "");
    }
    EXPECT_EQ(read(place), "dati");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(PendingFileTest, WorkNotKeptIsRemovedWithItsJournals)
{
    TempDir dir;
    {
        PendingFile file(dir.file("copia.sqlite"), false);
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            write(file.workPath() + suffix, "x");
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(PendingFileTest, PlacesThatCannotBeTakenAreRefusedAndNothingIsLeft)
{
    TempDir dir;
    const std::string existing = dir.file("esistente.sqlite");
    write(existing, "vecchio");
    fs::create_directory(dir.file("cartella"));
    fs::create_directory(dir.file("chiusa"));
    ::chmod(dir.file("chiusa").c_str(), 0555);
    const bool root = ::geteuid() == 0; // root writes in any folder
    struct Case {
        std::string place;
        bool replace;
        std::string problem;
    } cases[] = {
        {existing, false, "Il file " + existing + " esiste già: nessuna modifica è stata registrata."},
        {dir.file("cartella"), true, "Il percorso " + dir.file("cartella") + " è una cartella, non un file."},
        {dir.file("manca/copia.sqlite"), false, "La cartella " + dir.file("manca") + " non esiste."},
        {dir.file("chiusa/copia.sqlite"), false,
         root ? "" : "Nella cartella " + dir.file("chiusa") + " non si può scrivere."},
    };
    for (const Case& c : cases) {
        PendingFile file(c.place, c.replace);
        EXPECT_EQ(file.placeProblem(), c.problem) << c.place;
    }
    {
        PendingFile file(existing, false);
        write(file.workPath(), "nuovo");
        EXPECT_EQ(file.Keep(), cases[0].problem);
        EXPECT_FALSE(fs::exists(file.workPath()));
    }
    EXPECT_EQ(read(existing), "vecchio");
    {
        PendingFile file(existing, true);
        write(file.workPath(), "nuovo");
        EXPECT_EQ(file.Keep(), "");
    }
    EXPECT_EQ(read(existing), "nuovo");
    ::chmod(dir.file("chiusa").c_str(), 0755);
}

} // namespace
} // namespace korvan::test
