#include "gtfs/CsvReader.h"

#include "gtfs/FeedError.h"

namespace korvan::gtfs {

namespace {

constexpr size_t kBufferBytes = 1 << 20;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

CsvReader::CsvReader(std::unique_ptr<ByteStream> stream, std::string fileName, char separator)
    : stream_(std::move(stream)), fileName_(std::move(fileName)), separator_(separator), buffer_(kBufferBytes)
{
    start();
    if (!readRecord())
        throw FeedError(fileName_, 1, "", "il file è vuoto: manca la riga di intestazione con i nomi delle colonne");
    for (size_t i = 0; i < cuts_.size(); ++i)
        header_.emplace_back(field(static_cast<int>(i)));
}

CsvReader::CsvReader(std::unique_ptr<ByteStream> stream, std::string fileName, char separator,
                     std::vector<std::string> columns)
    : stream_(std::move(stream)), fileName_(std::move(fileName)), separator_(separator), buffer_(kBufferBytes),
      header_(std::move(columns))
{
    start();
}

void CsvReader::start()
{
    total_ = stream_->totalBytes();
    fill();
    if (end_ >= 3 && static_cast<unsigned char>(buffer_[0]) == 0xEF && static_cast<unsigned char>(buffer_[1]) == 0xBB &&
        static_cast<unsigned char>(buffer_[2]) == 0xBF)
        position_ = 3;
}

bool CsvReader::fill()
{
    if (ended_)
        return false;
    position_ = 0;
    end_ = stream_->read(buffer_.data(), buffer_.size());
    if (end_ == 0)
        ended_ = true;
    return end_ > 0;
}

bool CsvReader::peekIs(char wanted)
{
    if (position_ == end_ && !fill())
        return false;
    return buffer_[position_] == wanted;
}

inline int CsvReader::get()
{
    if (position_ == end_ && !fill())
        return -1;
    ++consumed_;
    return static_cast<unsigned char>(buffer_[position_++]);
}

// One record into text_ and cuts_; false at the end of the file.
bool CsvReader::readRecord()
{
    for (;;) {
        text_.clear();
        cuts_.clear();
        line_ = nextLine_;
        int c = get();
        if (c < 0)
            return false;
        bool lineEnded = false;
        bool anyText = false;
        while (!lineEnded) {
            // One field.
            const size_t begin = text_.size();
            while (c >= 0 && isBlank(static_cast<char>(c)))
                c = get();
            bool quoted = false;
            if (c == '"') {
                quoted = true;
                for (;;) {
                    c = get();
                    if (c < 0)
                        throw FeedError(fileName_, line_, header_.size() > cuts_.size() ? header_[cuts_.size()] : "",
                                        "virgolette aperte e mai chiuse");
                    if (c == '\n')
                        ++nextLine_;
                    if (c == '"') {
                        c = get();
                        if (c != '"')
                            break;
                    }
                    text_ += static_cast<char>(c);
                }
                while (c >= 0 && isBlank(static_cast<char>(c)))
                    c = get();
            }
            size_t end = text_.size();
            while (c >= 0 && c != separator_ && c != '\n' && c != '\r') {
                text_ += static_cast<char>(c);
                c = get();
            }
            if (!quoted || text_.size() > end) {
                end = text_.size();
                while (end > begin && isBlank(text_[end - 1]))
                    --end;
            }
            anyText = anyText || quoted || end > begin;
            cuts_.emplace_back(begin, end);
            if (c == separator_) {
                c = get(); // the next field; a line that ends here gives it empty
                continue;
            }
            if (c == '\r' && peekIs('\n'))
                get();
            lineEnded = true;
            ++nextLine_;
        }
        if (anyText || cuts_.size() > 1)
            return true;
    }
}

int CsvReader::column(std::string_view name) const
{
    for (size_t i = 0; i < header_.size(); ++i)
        if (header_[i] == name)
            return static_cast<int>(i);
    return -1;
}

int CsvReader::requiredColumn(std::string_view name) const
{
    const int index = column(name);
    if (index < 0)
        throw FeedError(fileName_, 1, std::string(name), "manca la colonna nella riga di intestazione");
    return index;
}

bool CsvReader::next()
{
    return readRecord();
}

std::string_view CsvReader::field(int column) const
{
    if (column < 0 || static_cast<size_t>(column) >= cuts_.size())
        return {};
    const auto [begin, end] = cuts_[static_cast<size_t>(column)];
    return std::string_view(text_).substr(begin, end - begin);
}

std::string_view CsvReader::required(int column) const
{
    const std::string_view value = field(column);
    if (value.empty())
        fail(column, "manca il valore");
    return value;
}

void CsvReader::fail(int column, const std::string& reason) const
{
    const std::string name =
        column >= 0 && static_cast<size_t>(column) < header_.size() ? header_[static_cast<size_t>(column)] : "";
    throw FeedError(fileName_, line_, name, reason);
}

} // namespace korvan::gtfs
