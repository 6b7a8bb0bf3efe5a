#include "db/SqlDialect.h"

namespace korvan {

std::string SqlDialect::periodDateLiteral(const CivilDate& date) const
{
    switch (kind_) {
    case Kind::Jet:
        return formatText("#%02d/%02d/%04d#", date.month, date.day, date.year);
    case Kind::QuotedDigits:
        return formatText("'%04d%02d%02d'", date.year, date.month, date.day);
    case Kind::Sqlite:
        break;
    }
    return "'" + formatIsoDate(date) + "'";
}

std::string SqlDialect::keyDateLiteral(const CivilDate& date) const
{
    // SQLite compares '20040101' with a stored ISO date as different values.
    if (kind_ == Kind::Sqlite)
        return "'" + formatIsoDate(date) + "'";
    return formatText("'%04d%02d%02d'", date.year, date.month, date.day);
}

std::string SqlDialect::falseLiteral() const
{
    return kind_ == Kind::Jet ? "FALSE" : "0";
}

std::string SqlDialect::nullsFirst(const std::string& column) const
{
    if (kind_ != Kind::QuotedDigits || column.empty())
        return column;
    return "CASE WHEN " + column + " IS NULL THEN 0 ELSE 1 END, " + column;
}

} // namespace korvan
