#pragma once

// Where a feed's files are read from: a folder, or a .zip archive (its files
// at the top or in one folder inside it). Each file is read as a stream of
// bytes, so that a large stop_times.txt is never held whole in memory.

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

typedef struct zip zip_t;

namespace korvan::gtfs {

// The bytes of one file of the feed.
class ByteStream {
  public:
    virtual ~ByteStream() = default;
    // Up to `size` bytes into `buffer`; 0 at the end. A read failure throws
    // FeedError naming the file.
    virtual size_t read(char* buffer, size_t size) = 0;
    // The file's size in bytes (for progress); 0 when unknown.
    virtual size_t totalBytes() const = 0;
};

// A file outside a feed (a mapping file), shown in messages as `name`.
std::unique_ptr<ByteStream> openFile(const std::string& path, const std::string& name);

class FeedSource {
  public:
    // Opens a folder or a .zip archive; throws FeedError when it is neither,
    // does not exist or is a broken archive.
    explicit FeedSource(const std::string& path);
    ~FeedSource();
    FeedSource(const FeedSource&) = delete;
    FeedSource& operator=(const FeedSource&) = delete;

    const std::string& path() const { return path_; }
    bool isArchive() const { return archive_ != nullptr; }
    bool has(const std::string& name) const;
    // An archive: reads each named file that it has to its end, so that a
    // damaged one is told as such before its content is read as a timetable.
    void checkArchive(const std::vector<std::string>& names) const;
    // Throws FeedError ("manca il file") when the feed has no such file.
    std::unique_ptr<ByteStream> open(const std::string& name) const;

  private:
    std::string path_;
    zip_t* archive_ = nullptr;
    std::map<std::string, long long> members_; // file name -> archive index
    std::string archiveName_;
};

} // namespace korvan::gtfs
