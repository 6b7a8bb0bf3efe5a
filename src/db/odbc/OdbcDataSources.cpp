#include "db/odbc/OdbcDataSources.h"

#include <sql.h>
#include <sqlext.h>

namespace korvan {

const char* const kOdbcEnvironmentMessage = "Impossibile allocare ambiente ODBC";

bool listOdbcDataSources(std::vector<OdbcDataSource>& sources)
{
    sources.clear();
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        return false;
    if (!SQL_SUCCEEDED(SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION,
                                     reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0))) {
        SQLFreeHandle(SQL_HANDLE_ENV, environment);
        return false;
    }
    SQLCHAR name[33];
    SQLCHAR description[512];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT descriptionLength = 0;
    for (;;) {
        const SQLRETURN rc = SQLDataSources(environment, SQL_FETCH_NEXT, name, sizeof name, &nameLength, description,
                                            sizeof description, &descriptionLength);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
            break;
        sources.push_back({reinterpret_cast<const char*>(name), reinterpret_cast<const char*>(description)});
    }
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return true;
}

} // namespace korvan
