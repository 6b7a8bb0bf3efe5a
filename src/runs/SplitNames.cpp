#include "runs/SplitNames.h"

#include "core/IdLists.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"

#include <algorithm>

namespace korvan::runs {

namespace {

std::vector<long> distinct(std::vector<long> ids)
{
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

} // namespace

std::map<int, std::string> authorityNames(DbConnection* connection, const std::vector<int>& codes)
{
    std::map<int, std::string> names;
    const std::vector<long> ids = distinct(std::vector<long>(codes.begin(), codes.end()));
    for (const std::string& list : idLists(ids)) {
        SelectCursor select(connection);
        select.AddField("regent", "codice", SqlType::SmallInt);
        select.AddField("regent", "denom", SqlType::VarChar);
        select.SetFrom("regent");
        select.SetWhere("codice IN (" + list + ")");
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            int code = 0;
            std::string name;
            select.GetShort(0, code);
            select.GetText(1, name);
            names[code] = trimTrailingBlanks(name);
        }
    }
    return names;
}

std::map<long, std::string> stopNames(DbConnection* connection, int company, const std::vector<long>& stopIds)
{
    std::map<long, std::string> names;
    for (const std::string& list : idLists(distinct(stopIds))) {
        SelectCursor select(connection);
        select.AddField("fermate", "ID", SqlType::Integer);
        select.AddField("fermate", "denom", SqlType::VarChar);
        select.SetFrom("fermate");
        select.SetWhere(formatText("azienda = %d AND ID IN (", company) + list + ")");
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            int id = 0;
            std::string name;
            select.GetLong(0, id);
            select.GetText(1, name);
            names[id] = trimTrailingBlanks(name);
        }
    }
    return names;
}

std::string payingAuthorityName(DbConnection* connection, int code)
{
    const std::map<int, std::string> names = authorityNames(connection, {code});
    const auto found = names.find(code);
    return found != names.end() ? found->second : formatText("Sconosciuto: Ente=%d", code);
}

} // namespace korvan::runs
