#pragma once

#include "db/Backend.h"
#include "db/MessageSink.h"
#include "db/sqlite/SqliteStatement.h"
#include "db/sqlite/SqliteValues.h"

#include <vector>

namespace korvan::detail::sqlite {

class SqliteConnection;

// A read-only query streamed with sqlite3_step: one row in memory at a time.
// Values follow the engine rules: each column's kind comes from its declared
// type, expressions are judged by the value they hold.
class SqliteSelectCursor : public SelectCursorBackend {
  public:
    explicit SqliteSelectCursor(SqliteConnection& connection) : connection_(connection) {}

    bool execute(const std::string& sql, const std::vector<SelectItem>& items, int blobBytes) override;
    bool moveNext() override;
    bool moveFirst() override;
    bool getShort(int index, int& value) override;
    bool getLong(int index, int& value) override;
    bool getDouble(int index, double& value) override;
    bool getText(int index, std::string& text) override;
    bool getFieldText(const std::string& name, std::string& text) override;
    bool getValue(int index, FieldValue& value) override;

  private:
    // Steps once; false at the end or after an error shown with `message`.
    bool step(const char* message, MessageIcon icon);
    bool checkIndex(int index);
    void fieldError(const std::string& field, const std::string& description);
    void fieldError(int index, const std::string& description);
    // A stored number of column `index` that lies within [low, high] and has
    // no fraction; anything else is no number here (false), and a number it
    // cannot hold is reported as a field error.
    bool readInteger(int index, long long low, long long high, const char* kindName, int& value);
    int findColumn(const std::string& name) const;
    int storage(int index) const { return sqlite3_column_type(statement_.get(), index); }

    SqliteConnection& connection_;
    Statement statement_;
    std::string sql_;
    std::vector<SelectItem> items_;
    std::vector<ValueKind> kinds_;
    bool hasRow_ = false;
};

} // namespace korvan::detail::sqlite
