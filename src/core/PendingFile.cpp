#include "core/PendingFile.h"

#include <atomic>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace korvan {

namespace fs = std::filesystem;

namespace {

std::string workPathFor(const std::string& finalPath)
{
    static std::atomic<int> counter{0};
    const fs::path place(finalPath);
    const std::string name =
        "." + place.filename().string() + ".in-corso-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    return (place.parent_path() / name).string();
}

void removeWithJournals(const std::string& path)
{
    std::error_code ignored;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        fs::remove(path + suffix, ignored);
}

} // namespace

PendingFile::PendingFile(std::string finalPath, bool replace)
    : finalPath_(std::move(finalPath)), workPath_(workPathFor(finalPath_)), replace_(replace)
{
}

PendingFile::~PendingFile()
{
    if (!kept_)
        Discard();
}

std::string PendingFile::placeProblem() const
{
    std::error_code error;
    const fs::path place(finalPath_);
    if (finalPath_.empty())
        return "Occorre indicare il file da creare.";
    if (fs::is_directory(place, error))
        return "Il percorso " + finalPath_ + " è una cartella, non un file.";
    if (!replace_ && fs::exists(place, error))
        return "Il file " + finalPath_ + " esiste già: nessuna modifica è stata registrata.";
    const fs::path folder = place.has_parent_path() ? place.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error))
        return "La cartella " + folder.string() + " non esiste.";
    if (::access(folder.c_str(), W_OK) != 0)
        return "Nella cartella " + folder.string() + " non si può scrivere.";
    return {};
}

std::string PendingFile::Keep()
{
    if (kept_)
        return {};
    std::string problem = placeProblem();
    if (problem.empty()) {
        std::error_code error;
        fs::rename(workPath_, finalPath_, error);
        if (error)
            problem = "Il file " + finalPath_ + " non si può scrivere: " + error.message();
    }
    if (!problem.empty()) {
        Discard();
        return problem;
    }
    kept_ = true;
    // The work file's journals (none after a completed transaction) go too.
    removeWithJournals(workPath_);
    return {};
}

void PendingFile::Discard()
{
    removeWithJournals(workPath_);
}

} // namespace korvan
