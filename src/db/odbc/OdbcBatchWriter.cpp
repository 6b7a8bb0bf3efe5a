#include "db/odbc/OdbcBatchWriter.h"

#include "db/odbc/OdbcArrayBatch.h"

#include "db/SqlTypes.h"
#include "db/Values.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcDiagnostics.h"

#include <algorithm>
#include <span>
#include <system_error>

namespace korvan::detail::odbc {

namespace {

// Rows per PostgreSQL batch: about half a megabyte of array texts for a
// day of the calendar (six columns).
constexpr int kArrayBatchRows = 20000;
// Parameters per multi-row INSERT on SQLite: the engine compiles every row
// of the statement into its program, so a statement of 32,766 parameters
// costs more to prepare and hold than it saves in calls (year generation
// through the SQLite ODBC driver, 50,000 runs: 38-39 s and 39 MB at the
// limit, 32-34 s and 15 MB here).
constexpr int kMultiRowParameters = 1000;

} // namespace

bool BatchWriter::suits(const OdbcConnection& connection, const std::vector<ColumnBuffer>& block)
{
    const DbmsKind dbms = connection.dbms();
    if (dbms != DbmsKind::PostgreSql && dbms != DbmsKind::Sqlite)
        return false;
    // Long binary values and long texts go one block at a time, in their own
    // buffers: a batch of their slots would not fit in memory.
    return std::none_of(block.begin(), block.end(), [](const ColumnBuffer& column) {
        return column.kind() == SlotKind::Binary || column.sqlType() == SqlType::LongVarChar;
    });
}

BatchWriter::BatchWriter(OdbcConnection& connection, const std::string& table, const std::vector<ColumnInfo>& columns,
                         const std::vector<ColumnBuffer>& block, int rowsetSize)
    : connection_(connection), table_(table), rowsetSize_(std::max(1, rowsetSize)),
      arrays_(connection.dbms() == DbmsKind::PostgreSql)
{
    std::vector<std::string> types;
    for (size_t i = 0; i < columns.size(); ++i)
        if (block[i].bindable()) {
            bound_.push_back(static_cast<int>(i));
            names_.push_back(columns[i].name);
            types.push_back(postgresTypeName(columns[i]));
        }
    const int columnCount = std::max<int>(1, static_cast<int>(bound_.size()));
    const int capacity = arrays_
                             ? kArrayBatchRows
                             : std::max(1, std::min(connection.parameterLimit(), kMultiRowParameters) / columnCount);
    // The second set only where batches are stored ahead.
    for (RowSet& set : arrays_ ? std::span<RowSet>(sets_) : std::span<RowSet>(sets_, 1)) {
        set.rows.reserve(block.size());
        for (const ColumnBuffer& column : block) {
            set.rows.emplace_back(column.sqlType(), capacity, 0, column.textCharacters());
            if (!column.bindable())
                set.rows.back().markUnbound();
        }
        set.ordinals.assign(static_cast<size_t>(capacity), 0);
    }
    if (!arrays_) {
        multiRow_ = std::make_unique<BlockWriter>(connection, table, columns, sets_[0].rows);
        return;
    }
    std::string names;
    std::string arrays;
    for (size_t i = 0; i < bound_.size(); ++i) {
        names += (i ? ", " : "") + connection.quoteIdentifier(names_[i]);
        arrays += std::string(i ? ", " : "") + "unnest(CAST(? AS " + types[i] + "[]))";
    }
    // One unnest per column in the select list: the server walks the arrays
    // side by side row by row, where unnest(a, b, ...) in FROM would first
    // copy each array into a tuple store of its own.
    const std::string sql = "INSERT INTO " + connection.tableReference(table) + " (" + names + ") SELECT " + arrays;
    arrayTexts_.resize(bound_.size());
    arrayLengths_.resize(bound_.size());
    if (arrayInsert_.allocate(connection.handle()) && !succeeded(SQLPrepare(arrayInsert_.get(), sqlText(sql), SQL_NTS)))
        arrayInsert_.reset();
}

BatchWriter::~BatchWriter()
{
    // The statement of the batch ahead ends before its handle is freed.
    if (ahead_.valid())
        ahead_.wait();
}

bool BatchWriter::add(const std::vector<ColumnBuffer>& block, int row, long ordinal)
{
    if (pending_ == 0)
        transaction_ = connection_.transactionCount();
    RowSet& set = sets_[filling_];
    for (int column : bound_)
        set.rows[static_cast<size_t>(column)].copyRow(pending_, block[static_cast<size_t>(column)], row);
    set.ordinals[static_cast<size_t>(pending_)] = ordinal;
    ++pending_;
    return pending_ == static_cast<int>(set.ordinals.size());
}

std::string BatchWriter::arrayText(const ColumnBuffer& column, int first, int count) const
{
    std::string text = "{";
    text.reserve(static_cast<size_t>(count) * 12 + 2);
    for (int row = first; row < first + count; ++row) {
        if (row > first)
            text += ',';
        appendArrayElement(text, column, row);
    }
    text += '}';
    return text;
}

bool BatchWriter::sendArrays(const RowSet& set, int first, int count, std::string& diagnostic, std::string& state)
{
    if (!arrayInsert_) {
        diagnostic = " - " + driverText(SQL_HANDLE_DBC, connection_.handle());
        return false;
    }
    SQLHSTMT statement = arrayInsert_.get();
    for (size_t i = 0; i < bound_.size(); ++i) {
        arrayTexts_[i] = arrayText(set.rows[static_cast<size_t>(bound_[i])], first, count);
        arrayLengths_[i] = static_cast<SQLLEN>(arrayTexts_[i].size());
        if (!succeeded(SQLBindParameter(statement, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_CHAR,
                                        SQL_LONGVARCHAR, arrayTexts_[i].size(), 0, arrayTexts_[i].data(),
                                        arrayLengths_[i], &arrayLengths_[i]))) {
            state = sqlState(SQL_HANDLE_STMT, statement);
            diagnostic = statementDiagnostic(statement);
            return false;
        }
    }
    const SQLRETURN rc = SQLExecute(statement);
    const bool ok = succeeded(rc) || rc == SQL_NO_DATA;
    if (!ok) {
        state = sqlState(SQL_HANDLE_STMT, statement);
        diagnostic = statementDiagnostic(statement);
    }
    arrayInsert_.closeCursor();
    return ok;
}

bool BatchWriter::sendRange(const RowSet& set, int first, int count, std::string& diagnostic, std::string& state)
{
    if (arrays_)
        return sendArrays(set, first, count, diagnostic, state);
    return multiRow_->sendRows(first, count, diagnostic, &state);
}

int BatchWriter::refusedRow(const RowSet& set, int count, const std::string& state)
{
    // Rows first .. first + rows - 1 fail together, and go in when the rows
    // before them are in.
    int first = 0;
    int rows = count;
    std::string diagnostic;
    std::string tried;
    while (rows > 1) {
        const int half = rows / 2;
        tried.clear();
        if (sendRange(set, first, half, diagnostic, tried)) {
            first += half;
            rows -= half;
        } else if (tried == state) {
            rows = half;
        } else {
            return -1;
        }
        if (connection_.connectionDead())
            return -1;
    }
    tried.clear();
    if (sendRange(set, first, 1, diagnostic, tried) || tried != state)
        return -1;
    return first;
}

std::string BatchWriter::rowText(const RowSet& set, int row) const
{
    const long ordinal = set.ordinals[static_cast<size_t>(row)];
    std::string text = formatText("Riga rifiutata n. %ld (blocco %ld, riga %ld del blocco): ", ordinal,
                                  (ordinal - 1) / rowsetSize_ + 1, (ordinal - 1) % rowsetSize_ + 1);
    for (size_t i = 0; i < bound_.size(); ++i) {
        std::string value;
        appendArrayElement(value, set.rows[static_cast<size_t>(bound_[i])], row);
        text += (i ? ", " : "") + names_[i] + " = " + value;
    }
    return text;
}

std::string BatchWriter::failureOf(const RowSet& set, int count, const Outcome& outcome)
{
    std::string failure = outcome.diagnostic;
    if (connection_.connectionDead())
        return failure;
    const int row = refusedRow(set, count, outcome.state);
    if (row >= 0)
        failure += "\n\n" + rowText(set, row);
    return failure;
}

bool BatchWriter::awaitAhead(std::string& failure)
{
    if (!ahead_.valid())
        return true;
    const Outcome outcome = ahead_.get();
    if (outcome.stored)
        return true;
    failure = failureOf(sets_[1 - filling_], aheadCount_, outcome);
    return false;
}

int BatchWriter::takePending(std::string& failure)
{
    const int count = pending_;
    pending_ = 0;
    return awaitAhead(failure) ? count : -1;
}

bool BatchWriter::send(std::string& failure)
{
    const int count = takePending(failure);
    if (count <= 0)
        return count == 0;
    Outcome outcome;
    const RowSet& set = sets_[filling_];
    if (sendRange(set, 0, count, outcome.diagnostic, outcome.state))
        return true;
    failure = failureOf(set, count, outcome);
    return false;
}

bool BatchWriter::sendAhead(std::string& failure)
{
    if (!arrays_)
        return send(failure);
    const int count = takePending(failure);
    if (count <= 0)
        return count == 0;
    const RowSet& set = sets_[filling_];
    aheadCount_ = count;
    filling_ = 1 - filling_;
    try {
        ahead_ = std::async(std::launch::async, [this, &set, count] {
            Outcome outcome;
            try {
                outcome.stored = sendArrays(set, 0, count, outcome.diagnostic, outcome.state);
            } catch (const std::exception& error) { // no memory for the batch's texts: it fails
                outcome.stored = false;
                outcome.diagnostic = std::string(" - ") + error.what();
            }
            return outcome;
        });
    } catch (const std::system_error&) { // no thread to be had: stored here and now
        filling_ = 1 - filling_;
        pending_ = count;
        return send(failure);
    }
    return true;
}

void BatchWriter::discard()
{
    pending_ = 0;
    if (ahead_.valid())
        ahead_.get();
}

} // namespace korvan::detail::odbc
