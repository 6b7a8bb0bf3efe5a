#pragma once

// Which tables a copy makes and how: for a runs database, every table of
// the schema that the source has (the reference tables always, the
// accounting tables when present), each created from the schema
// description; for tables named by the user, those tables of any source,
// each created from the source's own column kinds and key.

#include "refdata/Schema.h"
#include "transfer/CopySource.h"

#include <string>
#include <vector>

namespace korvan::transfer {

struct PlannedTable {
    std::string sourceName;       // as the source names it
    std::vector<ReadColumn> read; // the source's columns, one per target column
    schema::Table target;         // the table to create (names as the schema or the source gives them)
};

struct CopyPlan {
    std::vector<PlannedTable> tables;
};

// The runs database: refused, with the schema check's message in
// `refusal`, when the source lacks a reference table, a column the program
// uses, or has one of a kind its values cannot be read as.
bool planRunsCopy(CopySource& source, CopyPlan& plan, std::string& refusal);

// The named tables, with their own columns: refused when a table is not in
// the source, named twice, or has a column of a kind the copy cannot make.
bool planNamedTables(CopySource& source, const std::vector<std::string>& names, CopyPlan& plan, std::string& refusal);

// The target column a source column becomes (sqlType 0: none).
schema::Column targetColumnFor(const CatalogColumn& column, bool fileBackEnd);

} // namespace korvan::transfer
