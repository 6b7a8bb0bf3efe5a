#include "reports/LinesDirectory.h"

#include "core/OperationFeedback.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "refdata/NameLookups.h"
#include "reports/StatementNames.h"

namespace korvan::reports {

namespace {

constexpr const char* kTitle = "Rubrica Linee";

std::string directoryWhere(const LinesDirectoryRequest& request)
{
    if (request.allAuthorities)
        return "linee.ID = conline.linea";
    return formatText("linee.ente = %d AND linee.ID = conline.linea", request.authority);
}

std::vector<int> authoritiesInOrder(const std::vector<DirectoryEntry>& entries)
{
    std::vector<int> codes;
    for (const DirectoryEntry& entry : entries)
        if (codes.empty() || codes.back() != entry.authority)
            codes.push_back(entry.authority);
    return codes;
}

} // namespace

std::vector<DirectoryEntry> collectDirectoryEntries(DbConnection* connection, const LinesDirectoryRequest& request,
                                                    OperationFeedback& feedback)
{
    feedback.beginBusy(true);
    std::vector<DirectoryEntry> entries;
    if (!connection || !connection->IsOpen())
        return entries;
    SelectCursor select(connection);
    select.AddField("linee", "ID", SqlType::SmallInt);
    select.AddField("linee", "ente", SqlType::SmallInt);
    select.AddField("linee", "linea", SqlType::VarChar);
    select.AddField("linee", "denom", SqlType::VarChar);
    select.SetFrom("linee, conline");
    select.SetWhere(directoryWhere(request));
    // The line number after the code keeps the runs of two lines with the
    // same code together, line by line; NULLs sort first on every back end.
    const SqlDialect& dialect = connection->Dialect();
    select.SetOrderBy(dialect.nullsFirst("linee.ente") + ", " + dialect.nullsFirst("linee.linea") + ", linee.ID");

    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        int lineId = 0;
        int authority = 0;
        select.GetShort(0, lineId);
        select.GetShort(1, authority);
        if (!entries.empty() && entries.back().lineId == lineId && entries.back().authority == authority) {
            ++entries.back().runCount;
            continue;
        }
        DirectoryEntry entry;
        entry.lineId = lineId;
        entry.authority = authority;
        select.GetText(2, entry.lineCode);
        select.GetText(3, entry.lineName);
        trimTrailingBlanksInPlace(entry.lineCode);
        trimTrailingBlanksInPlace(entry.lineName);
        entry.runCount = 1;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::map<int, std::string> authorityNames(DbConnection* connection, const std::vector<int>& codes)
{
    return nameMap(refdata::authorityNames(connection, codes));
}

std::string authorityHeading(int authority, const std::map<int, std::string>& names)
{
    const auto found = names.find(authority);
    if (found == names.end())
        return formatText("%d - *** Ente sconosciuto ***", authority);
    return formatText("%d - ", authority) + found->second;
}

Report linesDirectoryReport(const std::vector<DirectoryEntry>& entries, const std::map<int, std::string>& names,
                            const std::string& createdText)
{
    Report report;
    report.title = kTitle;
    report.createdText = createdText;
    report.fontPoints = 8;
    report.columns = {{"ID", Align::Right},
                      {"Cod.Linea", Align::Left},
                      {"Denominazione Linea", Align::Left},
                      {"N.ro Corse", Align::Left}};
    report.groupKeyHeaders = {"Ente", "Denominazione Ente"};
    report.columnBand = {3, 50};

    for (const DirectoryEntry& entry : entries) {
        if (report.groups.empty() || report.groups.back().keys.front().value != entry.authority) {
            PageGroup group;
            const auto found = names.find(entry.authority);
            group.keys = {Cell::integerCell(entry.authority),
                          Cell::textCell(found == names.end() ? std::string() : found->second)};
            group.headerLines = {{authorityHeading(entry.authority, names), "", false, {2, 20}}};
            report.groups.push_back(std::move(group));
        }
        report.rows.push_back({report.groups.size() - 1,
                               {Cell::integerCell(entry.lineId), Cell::textCell(entry.lineCode),
                                Cell::textCell(entry.lineName), Cell::integerCell(entry.runCount)}});
    }
    return report;
}

Report collectLinesDirectory(DbConnection* connection, const LinesDirectoryRequest& request,
                             OperationFeedback& feedback, std::time_t createdAt)
{
    const std::vector<DirectoryEntry> entries = collectDirectoryEntries(connection, request, feedback);
    const std::map<int, std::string> names = authorityNames(connection, authoritiesInOrder(entries));
    return linesDirectoryReport(entries, names, creationTimeText(createdAt));
}

} // namespace korvan::reports
