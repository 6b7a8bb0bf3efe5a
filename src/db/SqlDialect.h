#pragma once

#include "db/Values.h"

#include <string>

namespace korvan {

// The SQL texts that depend on the back end: date literals, the false
// literal of bit tests and the sort order of NULLs. Operations take them
// from the connection, never by comparing driver names themselves.
class SqlDialect {
  public:
    enum class Kind {
        Jet,          // an ODBC driver named "Access": #mm/dd/yyyy#, FALSE
        QuotedDigits, // any other ODBC driver: 'yyyymmdd', 0
        Sqlite,       // SQLite, embedded or through its ODBC driver: 'yyyy-mm-dd', 0
    };

    explicit SqlDialect(Kind kind = Kind::Sqlite) : kind_(kind) {}

    Kind kind() const { return kind_; }
    bool isJet() const { return kind_ == Kind::Jet; }

    // Literal for the period bounds of date ranges in WHERE texts.
    std::string periodDateLiteral(const CivilDate& date) const;
    // Literal for single-row lookups through FindWhere: the quoted
    // "%04d%02d%02d" form, or ISO where that form would compare wrongly.
    std::string keyDateLiteral(const CivilDate& date) const;
    // Right-hand side of a bit test against false: "FALSE" or "0".
    std::string falseLiteral() const;
    // An ascending ORDER BY term for a column that may hold NULLs, putting
    // them first as SQLite and JET do: the column itself there, else
    // "CASE WHEN c IS NULL THEN 0 ELSE 1 END, c", which every SQL engine
    // reads (PostgreSQL sorts NULLs last by default).
    std::string nullsFirst(const std::string& column) const;

  private:
    Kind kind_;
};

} // namespace korvan
