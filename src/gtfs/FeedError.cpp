#include "gtfs/FeedError.h"

namespace korvan::gtfs {

namespace {

std::string placeText(const std::string& file, long line, const std::string& field)
{
    std::string text = file;
    if (line > 0)
        text += ", riga " + std::to_string(line);
    if (!field.empty())
        text += ", campo " + field;
    return text;
}

} // namespace

FeedError::FeedError(std::string file, long line, std::string field, const std::string& reason)
    : std::runtime_error(placeText(file, line, field) + ": " + reason), file_(std::move(file)), line_(line),
      field_(std::move(field)), reason_(reason)
{
}

} // namespace korvan::gtfs
