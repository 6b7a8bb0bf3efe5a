#pragma once

#include "db/Backend.h"
#include "db/MessageSink.h"
#include "db/odbc/OdbcBlockReader.h"

namespace korvan::detail::odbc {

class OdbcConnection;

// The select cursor over ODBC: blocks of the connection's rowset size in
// buffers typed by the declared type of each select item; moving within a
// block costs no driver call.
class OdbcSelectCursor : public SelectCursorBackend {
  public:
    explicit OdbcSelectCursor(OdbcConnection& connection);

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
    bool current(int index) const;
    void fail(const char* step, const std::string& error, MessageIcon icon);

    OdbcConnection& connection_;
    BlockReader reader_;
    std::string sql_;
    std::vector<SelectItem> items_;
    int row_ = 0;
    bool hasRow_ = false;
};

} // namespace korvan::detail::odbc
