#include "transfer/DatabaseSource.h"

#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"

namespace korvan::transfer {

namespace {

// The longest byte array and text read from one value.
constexpr int kBlobBytes = 16 * 1024 * 1024;
constexpr int kLongTextCharacters = 65535;

class CursorReader : public TableReader {
  public:
    CursorReader(DbConnection& connection, const std::string& table, const std::vector<ReadColumn>& columns)
        : connection_(connection), cursor_(&connection), columns_(columns.size()), asText_(columns.size(), 0)
    {
        // SQLite's ODBC driver reads a double through a text of 15 digits,
        // which loses the last ones: SQLite is asked for 17 instead.
        const bool sqliteDriver = connection.IsOdbc() && connection.Dialect().kind() == SqlDialect::Kind::Sqlite;
        std::string list;
        for (size_t i = 0; i < columns.size(); ++i) {
            const ReadColumn& column = columns[i];
            const std::string name = connection.QuoteIdentifier(column.name);
            if (sqliteDriver && (column.sqlType == SqlType::Double || column.sqlType == SqlType::Real ||
                                 column.sqlType == SqlType::Float)) {
                asText_[i] = 1;
                cursor_.AddField({table, column.name, SqlType::VarChar, 0});
                list += (list.empty() ? "" : ", ") +
                        ("CASE WHEN " + name + " IS NULL THEN NULL ELSE printf('%!.17g', " + name + ") END");
                continue;
            }
            // Long texts and bytes are read whole, one row a block.
            const int width = column.sqlType == SqlType::LongVarBinary ? kBlobBytes
                              : column.sqlType == SqlType::LongVarChar ? kLongTextCharacters
                                                                       : column.width;
            cursor_.AddField({table, column.name, column.sqlType, width});
            list += (list.empty() ? "" : ", ") + name;
        }
        cursor_.SetSqlText("SELECT " + list + " FROM " + connection.QuoteIdentifier(table));
        failuresBefore_ = connection.FailureCount();
    }

    bool next(std::vector<FieldValue>& row, std::vector<std::string>& problems) override
    {
        const bool found = started_ ? cursor_.MoveNext() : cursor_.Execute(true);
        started_ = true;
        if (!found) {
            failed_ = connection_.FailureCount() != failuresBefore_;
            return false;
        }
        row.resize(columns_);
        problems.assign(columns_, std::string());
        for (size_t i = 0; i < columns_; ++i) {
            FieldValue& value = row[i];
            if (!cursor_.GetValue(static_cast<int>(i), value))
                problems[i] = "Il valore memorizzato è più lungo di quanto si possa leggere.";
            else if (asText_[i] && value.kind == FieldValue::Kind::Text)
                if (const std::optional<double> number = parseWholeDecimal(value.bytes))
                    value.setReal(*number);
        }
        return true;
    }

    bool failed() const override { return failed_; }
    std::string failure() const override { return {}; }

  private:
    DbConnection& connection_;
    SelectCursor cursor_;
    size_t columns_;
    std::vector<char> asText_; // a number read as the text of its 17 digits
    long failuresBefore_ = 0;
    bool started_ = false;
    bool failed_ = false;
};

} // namespace

DatabaseSource::DatabaseSource(DbConnection& connection, std::string name)
    : connection_(connection), name_(std::move(name))
{
}

bool DatabaseSource::fileBackEnd() const
{
    return connection_.IsSqlite();
}

std::optional<std::vector<CatalogColumn>> DatabaseSource::describe(const std::string& table)
{
    return describeTable(&connection_, table);
}

long DatabaseSource::countRows(const std::string& table, std::string& error)
{
    error.clear();
    SelectCursor count(&connection_);
    count.AddField(table, "COUNT(*)", SqlType::Integer);
    count.SetSqlText("SELECT COUNT(*) FROM " + connection_.QuoteIdentifier(table));
    const long failures = connection_.FailureCount();
    FieldValue value;
    if (!count.Execute(true) || !count.GetValue(0, value) || value.kind != FieldValue::Kind::Integer ||
        connection_.FailureCount() != failures)
        return -1;
    return static_cast<long>(value.integer);
}

std::unique_ptr<TableReader> DatabaseSource::read(const std::string& table, const std::vector<ReadColumn>& columns,
                                                  std::string& error)
{
    error.clear();
    return std::make_unique<CursorReader>(connection_, table, columns);
}

} // namespace korvan::transfer
