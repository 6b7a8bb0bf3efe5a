#pragma once

// What is wrong with a feed, said once: the file, the line and the field
// where the import stopped, and why. The readers of this folder throw it; the
// import catches it at its top and shows its message, so nothing crosses the
// folder's interface as an exception.

#include <stdexcept>
#include <string>

namespace korvan::gtfs {

class FeedError : public std::runtime_error {
  public:
    // `line` 0 and `field` "" when the fault is the file as a whole.
    FeedError(std::string file, long line, std::string field, const std::string& reason);

    const std::string& file() const { return file_; }
    long line() const { return line_; }
    const std::string& field() const { return field_; }
    const std::string& reason() const { return reason_; }

  private:
    std::string file_;
    long line_;
    std::string field_;
    std::string reason_;
};

} // namespace korvan::gtfs
