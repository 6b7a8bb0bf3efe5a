#pragma once

// One CSV file of a feed read record by record: a header row naming the
// columns, fields separated by commas (or another character), quoted fields
// with doubled quotes, LF or CRLF line ends, a UTF-8 byte-order mark at the
// start. Unquoted fields lose the blanks around them; blank lines are
// skipped. Faults throw FeedError naming the file, the line and the column.

#include "gtfs/FeedSource.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korvan::gtfs {

class CsvReader {
  public:
    // Reads the header row; a file without one is a FeedError.
    CsvReader(std::unique_ptr<ByteStream> stream, std::string fileName, char separator = ',');
    // A file without a header row: its columns are named by the caller.
    CsvReader(std::unique_ptr<ByteStream> stream, std::string fileName, char separator,
              std::vector<std::string> columns);

    const std::string& fileName() const { return fileName_; }
    // The column's index, or -1 when the file has no such column.
    int column(std::string_view name) const;
    // The column's index; a FeedError ("manca la colonna") when absent.
    int requiredColumn(std::string_view name) const;

    // The next record; false at the end of the file.
    bool next();
    // The field of the current record ("" for column -1 or a short record).
    std::string_view field(int column) const;
    // The field, which must not be empty.
    std::string_view required(int column) const;
    // The line the current record starts on (the header is line 1).
    long line() const { return line_; }
    // Throws FeedError at the current line and the column's name.
    [[noreturn]] void fail(int column, const std::string& reason) const;

    // Bytes read so far and the file's size (0 when unknown), for progress.
    size_t bytesRead() const { return consumed_; }
    size_t totalBytes() const { return total_; }

  private:
    void start();
    bool fill();
    int get();
    bool peekIs(char wanted);
    bool readRecord();

    std::unique_ptr<ByteStream> stream_;
    std::string fileName_;
    char separator_;
    std::vector<char> buffer_;
    size_t position_ = 0;
    size_t end_ = 0;
    bool ended_ = false;
    size_t consumed_ = 0;
    size_t total_ = 0;

    std::vector<std::string> header_;
    std::string text_;                            // the current record's fields, one after the other
    std::vector<std::pair<size_t, size_t>> cuts_; // begin and end of each field in text_
    long line_ = 0;
    long nextLine_ = 1;
};

} // namespace korvan::gtfs
