#include "transfer/DatabaseSource.h"

#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"

namespace korvan::transfer {

namespace {

class CursorReader : public TableReader {
  public:
    CursorReader(DbConnection& connection, const std::string& table, const std::vector<ReadColumn>& columns)
        : connection_(connection), cursor_(&connection), columns_(columns.size())
    {
        std::string list;
        for (const ReadColumn& column : columns) {
            cursor_.AddField({table, column.name, column.sqlType, column.width});
            list += (list.empty() ? "" : ", ") + connection.QuoteIdentifier(column.name);
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
        for (size_t i = 0; i < columns_; ++i)
            if (!cursor_.GetValue(static_cast<int>(i), row[i]))
                problems[i] = "Il valore memorizzato è più lungo di quanto si possa leggere.";
        return true;
    }

    bool failed() const override { return failed_; }
    std::string failure() const override { return {}; }

  private:
    DbConnection& connection_;
    SelectCursor cursor_;
    size_t columns_;
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
