#include "reports/RunListReport.h"

namespace korvan::reports {

Report runListReport(const std::vector<const runs::RunRow*>& runs, const runs::RunListKey& key)
{
    Report report;
    report.title = "Corse";
    report.groupKeyHeaders = {"Ente", "Azienda", "Linea"};
    report.columns = {{"ID", Align::Right},
                      {"Corsa", Align::Left},
                      {"Partenza", Align::Left},
                      {"Arrivo", Align::Left},
                      {"Lunghezza Km", Align::Right},
                      {"Finanziamento", Align::Left},
                      {"Ente Pagante", Align::Right},
                      {"Importo Euro", Align::Right},
                      {"Giorni Effettuazione", Align::Right},
                      {"Dal", Align::Left},
                      {"Al", Align::Left},
                      {"CAL", Align::Right},
                      {"PERC", Align::Right}};
    PageGroup group;
    group.keys = {Cell::integerCell(key.authority), Cell::integerCell(key.company), Cell::integerCell(key.line)};
    report.groups.push_back(group);
    for (const runs::RunRow* each : runs) {
        const runs::RunRow& run = *each;
        Row row;
        row.cells = {Cell::integerCell(run.runId),
                     Cell::textCell(run.runCode),
                     Cell::textCell(run.departureLabel),
                     Cell::textCell(run.arrivalLabel),
                     Cell::decimalCell(run.lengthKm(), 2),
                     Cell::textCell(run.minimumService ? "Servizio Minimo" : run.payingAuthorityName),
                     Cell::integerCell(run.minimumService ? run.grantingAuthority : run.payingAuthority),
                     Cell::decimalCell(run.amount, 2),
                     Cell::integerCell(run.serviceDays),
                     Cell::textCell(run.firstDay),
                     Cell::textCell(run.lastDay),
                     Cell::integerCell(run.calendarMarker ? 1 : 0),
                     Cell::integerCell(run.itineraryMarker ? 1 : 0)};
        report.rows.push_back(std::move(row));
    }
    return report;
}

Report runListReport(const runs::RunListModel& model, const runs::RunListKey& key)
{
    std::vector<const runs::RunRow*> runs;
    for (int position = 0; position < model.count(); ++position)
        runs.push_back(model.rowAt(position));
    return runListReport(runs, key);
}

} // namespace korvan::reports
