#include "gtfs/FeedSource.h"

#include "gtfs/FeedError.h"

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace korvan::gtfs {

namespace fs = std::filesystem;

namespace {

class FileStream : public ByteStream {
  public:
    FileStream(const std::string& path, std::string name) : name_(std::move(name))
    {
        file_ = std::fopen(path.c_str(), "rb");
        if (!file_)
            throw FeedError(name_, 0, "", std::string("il file non si può aprire (") + std::strerror(errno) + ")");
        std::error_code error;
        const auto size = fs::file_size(path, error);
        total_ = error ? 0 : static_cast<size_t>(size);
    }
    ~FileStream() override { std::fclose(file_); }

    size_t read(char* buffer, size_t size) override
    {
        const size_t got = std::fread(buffer, 1, size, file_);
        if (got == 0 && std::ferror(file_))
            throw FeedError(name_, 0, "", std::string("errore di lettura (") + std::strerror(errno) + ")");
        return got;
    }
    size_t totalBytes() const override { return total_; }

  private:
    std::string name_;
    std::FILE* file_ = nullptr;
    size_t total_ = 0;
};

class ArchiveStream : public ByteStream {
  public:
    ArchiveStream(zip_t* archive, long long index, std::string name, std::string archiveName)
        : name_(std::move(name)), archiveName_(std::move(archiveName))
    {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE))
            total_ = static_cast<size_t>(stat.size);
        file_ = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
        if (!file_)
            throw FeedError(name_, 0, "",
                            "il file non si può estrarre dall'archivio " + archiveName_ + " (" + zip_strerror(archive) +
                                ")");
    }
    ~ArchiveStream() override { zip_fclose(file_); }

    size_t read(char* buffer, size_t size) override
    {
        const zip_int64_t got = zip_fread(file_, buffer, size);
        if (got < 0)
            throw FeedError(name_, 0, "",
                            "l'archivio " + archiveName_ + " è danneggiato (" + zip_file_strerror(file_) + ")");
        return static_cast<size_t>(got);
    }
    size_t totalBytes() const override { return total_; }

  private:
    std::string name_;
    std::string archiveName_;
    zip_file_t* file_ = nullptr;
    size_t total_ = 0;
};

std::string baseName(const std::string& path)
{
    return fs::path(path).filename().string();
}

} // namespace

std::unique_ptr<ByteStream> openFile(const std::string& path, const std::string& name)
{
    return std::make_unique<FileStream>(path, name);
}

FeedSource::FeedSource(const std::string& path) : path_(path)
{
    std::error_code error;
    const std::string shown = baseName(path).empty() ? path : baseName(path);
    if (!fs::exists(path, error))
        throw FeedError(path, 0, "", "il feed non esiste");
    if (fs::is_directory(path, error))
        return;
    int code = 0;
    archive_ = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive_) {
        zip_error_t zipError;
        zip_error_init_with_code(&zipError, code);
        const std::string reason = zip_error_strerror(&zipError);
        zip_error_fini(&zipError);
        throw FeedError(shown, 0, "", "non è una cartella né un archivio zip leggibile (" + reason + ")");
    }
    // Each name at its shallowest place: the top of the archive, or the one
    // folder a feed is often zipped in.
    std::map<std::string, size_t> depth;
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(i), 0);
        if (!name || !*name || name[std::strlen(name) - 1] == '/')
            continue;
        const std::string entry = name;
        const std::string file = baseName(entry);
        const size_t level = static_cast<size_t>(std::count(entry.begin(), entry.end(), '/'));
        const auto known = depth.find(file);
        if (known == depth.end() || level < known->second) {
            depth[file] = level;
            members_[file] = i;
        }
    }
    archiveName_ = shown;
}

FeedSource::~FeedSource()
{
    if (archive_)
        zip_discard(archive_);
}

bool FeedSource::has(const std::string& name) const
{
    if (archive_)
        return members_.count(name) != 0;
    std::error_code error;
    return fs::is_regular_file(fs::path(path_) / name, error);
}

void FeedSource::checkArchive(const std::vector<std::string>& names) const
{
    if (!archive_)
        return;
    std::vector<char> buffer(1 << 16);
    for (const std::string& name : names)
        if (has(name))
            for (auto stream = open(name); stream->read(buffer.data(), buffer.size()) > 0;) {
            }
}

std::unique_ptr<ByteStream> FeedSource::open(const std::string& name) const
{
    if (!has(name))
        throw FeedError(name, 0, "", "manca il file nel feed");
    if (archive_)
        return std::make_unique<ArchiveStream>(archive_, members_.at(name), name, archiveName_);
    return std::make_unique<FileStream>((fs::path(path_) / name).string(), name);
}

} // namespace korvan::gtfs
