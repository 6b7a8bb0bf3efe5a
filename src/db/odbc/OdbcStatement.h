#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>

namespace korvan::detail::odbc {

// Every statement runs with this time-out, in seconds.
inline constexpr SQLULEN kQueryTimeoutSeconds = 360;

// An owned statement handle, freed with the object.
class Statement {
  public:
    Statement() = default;
    ~Statement() { reset(); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept : handle_(other.handle_) { other.handle_ = SQL_NULL_HSTMT; }
    Statement& operator=(Statement&& other) noexcept;

    // Allocates a statement on the connection with the query time-out set.
    bool allocate(SQLHDBC connection);
    void reset();
    // Gives up the handle without freeing it (the caller frees it).
    SQLHSTMT release()
    {
        const SQLHSTMT handle = handle_;
        handle_ = SQL_NULL_HSTMT;
        return handle;
    }
    // Closes an open result, keeping the handle, its bindings and its
    // prepared text.
    void closeCursor();

    SQLHSTMT get() const { return handle_; }
    explicit operator bool() const { return handle_ != SQL_NULL_HSTMT; }

  private:
    SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

// Casts for the ODBC calls that take non-const texts.
inline SQLCHAR* sqlText(const std::string& text)
{
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
}
inline SQLPOINTER attributeValue(SQLULEN value)
{
    return reinterpret_cast<SQLPOINTER>(value);
}

} // namespace korvan::detail::odbc
