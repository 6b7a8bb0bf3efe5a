#include "refdata/NameLookups.h"

#include "core/IdLists.h"
#include "db/DbConnection.h"
#include "db/KeyLookup.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"

#include <algorithm>

namespace korvan::refdata {

namespace {

std::optional<std::string> nameByCode(DbConnection* connection, const char* table, int code)
{
    if (!connection || !connection->IsOpen())
        return std::nullopt;
    KeyLookup lookup(connection, table);
    if (!lookup.find({keyNumber("codice", code)}))
        return std::nullopt;
    std::string name;
    lookup.cursor().GetField("denom", name);
    return trimTrailingBlanks(name);
}

// The distinct values, ascending (one list entry each).
std::vector<long> distinct(std::vector<long> values)
{
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

// `denom` by `codice` of "regent" or "regazi" for the codes among `codes`.
std::unordered_map<int, std::string> namesByCodes(DbConnection* connection, const char* table,
                                                  const std::vector<int>& codes)
{
    std::unordered_map<int, std::string> names;
    if (!connection || !connection->IsOpen())
        return names;
    for (const std::string& list : idLists(distinct(std::vector<long>(codes.begin(), codes.end())))) {
        SelectCursor select(connection);
        select.AddField(table, "codice", SqlType::SmallInt);
        select.AddField(table, "denom", SqlType::VarChar);
        select.SetFrom(table);
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

} // namespace

std::optional<std::string> authorityName(DbConnection* connection, int code)
{
    return nameByCode(connection, "regent", code);
}

std::optional<std::string> companyName(DbConnection* connection, int code)
{
    return nameByCode(connection, "regazi", code);
}

std::optional<LineName> lineName(DbConnection* connection, int lineId)
{
    if (!connection || !connection->IsOpen())
        return std::nullopt;
    KeyLookup lookup(connection, "linee");
    if (!lookup.find({keyNumber("ID", lineId)}))
        return std::nullopt;
    LineName line;
    lookup.cursor().GetField("linea", line.code);
    lookup.cursor().GetField("denom", line.name);
    trimTrailingBlanksInPlace(line.code);
    trimTrailingBlanksInPlace(line.name);
    return line;
}

std::unordered_map<long, std::string> stopNames(DbConnection* connection, int company, const std::vector<long>& stopIds)
{
    std::unordered_map<long, std::string> names;
    if (!connection || !connection->IsOpen())
        return names;
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

std::unordered_map<int, std::string> authorityNames(DbConnection* connection, const std::vector<int>& codes)
{
    return namesByCodes(connection, "regent", codes);
}

std::unordered_map<int, std::string> companyNames(DbConnection* connection, const std::vector<int>& codes)
{
    return namesByCodes(connection, "regazi", codes);
}

} // namespace korvan::refdata
