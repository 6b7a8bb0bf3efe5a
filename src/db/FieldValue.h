#pragma once

// One value exactly as stored, exchanged without the text forms of the
// cursors: texts keep their trailing blanks and an empty text is not NULL,
// doubles keep every bit, dates are calendar dates and byte arrays are
// bytes. The copy of a database between engines reads and writes through it.

#include "db/Values.h"

#include <string>

namespace korvan {

struct FieldValue {
    enum class Kind { Null, Integer, Real, Text, Date, Bytes };

    Kind kind = Kind::Null;
    long long integer = 0;
    double real = 0;
    std::string bytes; // Text: UTF-8; Bytes: the bytes
    CivilDate date;
    bool timeOfDay = false; // Date: the stored value also has a time other than midnight

    bool isNull() const { return kind == Kind::Null; }
    void setNull()
    {
        kind = Kind::Null;
        bytes.clear();
    }
    void setInteger(long long value)
    {
        kind = Kind::Integer;
        integer = value;
    }
    void setReal(double value)
    {
        kind = Kind::Real;
        real = value;
    }
    void setText(std::string value)
    {
        kind = Kind::Text;
        bytes = std::move(value);
    }
    void setBytes(std::string value)
    {
        kind = Kind::Bytes;
        bytes = std::move(value);
    }
    void setDate(const CivilDate& value, bool withTime = false)
    {
        kind = Kind::Date;
        date = value;
        timeOfDay = withTime;
    }
};

} // namespace korvan

namespace korvan {

// The value as a message shows it: "NULL", a number, a date "dd/mm/yyyy", a
// text (its first 60 characters) or "BLOB [n bytes]".
std::string describeFieldValue(const FieldValue& value);

} // namespace korvan
