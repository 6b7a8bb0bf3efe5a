#include "db/FieldValue.h"

namespace korvan {

std::string describeFieldValue(const FieldValue& value)
{
    switch (value.kind) {
    case FieldValue::Kind::Null:
        return "NULL";
    case FieldValue::Kind::Integer:
        return std::to_string(value.integer);
    case FieldValue::Kind::Real:
        return shortestText(value.real);
    case FieldValue::Kind::Date:
        return formatDateText(value.date);
    case FieldValue::Kind::Bytes:
        return formatText("BLOB [%d bytes]", static_cast<int>(value.bytes.size()));
    case FieldValue::Kind::Text:
        break;
    }
    // Cut at a character boundary.
    size_t end = 0;
    for (int characters = 0; end < value.bytes.size() && characters < 60; ++characters) {
        ++end;
        while (end < value.bytes.size() && (static_cast<unsigned char>(value.bytes[end]) & 0xC0) == 0x80)
            ++end;
    }
    return end < value.bytes.size() ? value.bytes.substr(0, end) + "..." : value.bytes;
}

} // namespace korvan
