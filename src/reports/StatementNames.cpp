#include "reports/StatementNames.h"

#include "core/IdLists.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"

namespace korvan::reports {

NameMap namesByCode(DbConnection* connection, const std::string& table, const std::set<int>& codes)
{
    NameMap names;
    if (!connection || !connection->IsOpen() || codes.empty())
        return names;
    const std::vector<long> list(codes.begin(), codes.end());
    for (const std::string& part : idLists(list)) {
        SelectCursor select(connection);
        select.AddField(table, "codice", SqlType::SmallInt);
        select.AddField(table, "denom", SqlType::VarChar);
        select.SetFrom(table);
        select.SetWhere("codice IN (" + part + ")");
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            int code = 0;
            std::string name;
            select.GetShort(0, code);
            select.GetText(1, name);
            names.emplace(code, trimTrailingBlanks(name));
        }
    }
    return names;
}

std::map<std::pair<int, long>, std::string> stopNames(DbConnection* connection,
                                                      const std::map<int, std::set<long>>& stopsByCompany)
{
    std::map<std::pair<int, long>, std::string> names;
    if (!connection || !connection->IsOpen())
        return names;
    for (const auto& [company, stops] : stopsByCompany) {
        const std::vector<long> list(stops.begin(), stops.end());
        for (const std::string& part : idLists(list)) {
            SelectCursor select(connection);
            select.AddField("fermate", "ID", SqlType::Integer);
            select.AddField("fermate", "denom", SqlType::VarChar);
            select.SetFrom("fermate");
            select.SetWhere(formatText("azienda = %d AND ID IN (", company) + part + ")");
            for (bool row = select.Execute(); row; row = select.MoveNext()) {
                int stop = 0;
                std::string name;
                select.GetLong(0, stop);
                select.GetText(1, name);
                names.emplace(std::make_pair(company, static_cast<long>(stop)), trimTrailingBlanks(name));
            }
        }
    }
    return names;
}

void resolveLineNames(DbConnection* connection, std::vector<ReportLine>& lines, bool payingAuthorityNames)
{
    std::map<int, std::set<long>> stopsByCompany;
    std::set<int> payers;
    for (const ReportLine& line : lines) {
        if (!line.isRun())
            continue;
        stopsByCompany[line.company].insert(line.departureStop);
        stopsByCompany[line.company].insert(line.arrivalStop);
        if (!line.minimumService)
            payers.insert(line.payingAuthority);
    }
    const std::map<std::pair<int, long>, std::string> stops = stopNames(connection, stopsByCompany);
    const NameMap payerNames = payingAuthorityNames ? namesByCode(connection, "regent", payers) : NameMap();
    const auto stopName = [&](int company, long stop) {
        const auto found = stops.find({company, stop});
        return found == stops.end() ? std::string() : found->second;
    };
    for (ReportLine& line : lines) {
        if (!line.isRun())
            continue;
        line.departureText = stopTimeText(line.departureMinutes, stopName(line.company, line.departureStop));
        line.arrivalText = stopTimeText(line.arrivalMinutes, stopName(line.company, line.arrivalStop));
        if (!line.minimumService) {
            const auto found = payerNames.find(line.payingAuthority);
            line.payingAuthorityName = found == payerNames.end() ? std::string() : found->second;
        }
    }
}

} // namespace korvan::reports
