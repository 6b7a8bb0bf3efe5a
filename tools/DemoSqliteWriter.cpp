#include "DemoSqliteWriter.h"

#include "DemoRows.h"
#include "SchemaCreator.h"

#include <sqlite3.h>

#include <cstdio>

namespace korvan::demo {

namespace {

class SqliteSink : public RowSink {
  public:
    explicit SqliteSink(sqlite3* db) : db_(db) {}
    ~SqliteSink() override { sqlite3_finalize(insert_); }

    bool beginTable(const schema::Table& table) override
    {
        std::string sql = "INSERT INTO " + table.name + " (";
        std::string marks;
        for (const schema::Column& column : table.columns) {
            sql += (marks.empty() ? "" : ", ") + column.name;
            marks += marks.empty() ? "?" : ", ?";
        }
        sql += ") VALUES (" + marks + ")";
        table_ = table.name;
        return check(sqlite3_prepare_v2(db_, sql.c_str(), -1, &insert_, nullptr));
    }

    bool addRow(const std::vector<FieldValue>& values) override
    {
        int index = 0;
        for (const FieldValue& value : values) {
            ++index;
            int rc = SQLITE_OK;
            switch (value.kind) {
            case FieldValue::Kind::Integer:
                rc = sqlite3_bind_int64(insert_, index, value.integer);
                break;
            case FieldValue::Kind::Real:
                rc = sqlite3_bind_double(insert_, index, value.real);
                break;
            case FieldValue::Kind::Text:
                rc = sqlite3_bind_text(insert_, index, value.text.data(), static_cast<int>(value.text.size()),
                                       SQLITE_STATIC);
                break;
            case FieldValue::Kind::Date: {
                // Dates are stored as ISO texts, which sort and compare correctly.
                const std::string iso = formatIsoDate(value.date);
                rc = sqlite3_bind_text(insert_, index, iso.c_str(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
                break;
            }
            }
            if (!check(rc))
                return false;
        }
        const int rc = sqlite3_step(insert_);
        sqlite3_reset(insert_);
        return check(rc == SQLITE_DONE ? SQLITE_OK : rc);
    }

    bool endTable() override
    {
        sqlite3_finalize(insert_);
        insert_ = nullptr;
        return true;
    }

    const std::string& error() const { return error_; }

  private:
    bool check(int rc)
    {
        if (rc == SQLITE_OK)
            return true;
        error_ = table_ + ": " + sqlite3_errmsg(db_);
        return false;
    }

    sqlite3* db_;
    sqlite3_stmt* insert_ = nullptr;
    std::string table_;
    std::string error_;
};

void removeFiles(const std::string& path)
{
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        std::remove((path + suffix).c_str());
}

} // namespace

bool writeSqliteFile(const Network& network, const std::string& path, std::string& error)
{
    removeFiles(path);
    bool ok = false;
    {
        tools::RawDatabase db = tools::RawDatabase::sqliteFile(path);
        // A new file that is removed on failure: no rollback journal and no
        // disk flushes are needed while it is filled.
        if (tools::createTables(db, false, error) && db.exec("PRAGMA journal_mode = OFF") &&
            db.exec("PRAGMA synchronous = OFF") && db.exec("BEGIN")) {
            SqliteSink sink(db.sqliteHandle());
            ok = emitTables(network, sink);
            if (!ok)
                error = sink.error();
            ok = ok && db.exec("COMMIT") && db.exec("PRAGMA synchronous = FULL");
        }
        if (!ok && error.empty())
            error = db.error();
    }
    if (!ok)
        removeFiles(path);
    return ok;
}

} // namespace korvan::demo
