#include "reports/StatementNames.h"

#include "refdata/NameLookups.h"

#include <map>

namespace korvan::reports {

NameMap nameMap(const std::unordered_map<int, std::string>& names)
{
    return NameMap(names.begin(), names.end());
}

void resolveLineNames(DbConnection* connection, std::vector<ReportLine>& lines, bool payingAuthorityNames)
{
    std::map<int, std::vector<long>> stopsByCompany;
    std::vector<int> payers;
    for (const ReportLine& line : lines) {
        if (!line.isRun())
            continue;
        stopsByCompany[line.company].push_back(line.departureStop);
        stopsByCompany[line.company].push_back(line.arrivalStop);
        if (!line.minimumService)
            payers.push_back(line.payingAuthority);
    }
    std::map<int, std::unordered_map<long, std::string>> stops;
    for (const auto& [company, ids] : stopsByCompany)
        stops[company] = refdata::stopNames(connection, company, ids);
    const std::unordered_map<int, std::string> payerNames =
        payingAuthorityNames ? refdata::authorityNames(connection, payers) : std::unordered_map<int, std::string>();
    const auto stopName = [&](int company, long stop) {
        const std::unordered_map<long, std::string>& names = stops[company];
        const auto found = names.find(stop);
        return found == names.end() ? std::string() : found->second;
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
