#include "gtfs/ImportSummary.h"

#include "db/Values.h"
#include "gtfs/FeedValues.h"

#include <map>
#include <set>

namespace korvan::gtfs {

namespace {

std::string authorityText(const ReadFeed& feed, int code)
{
    for (const Authority& a : feed.authorities.authorities)
        if (a.code == code)
            return formatText("%04d - ", code) + a.name;
    return formatText("%04d", code);
}

std::string distancesText(const ReadFeed& feed)
{
    const RunsNetwork& network = *feed.network;
    std::string text;
    auto add = [&](DistanceSource source, const std::string& what) {
        const int routes = network.routesMeasuredBy(source);
        if (routes > 0)
            text += formatText("\n  %d percorsi ", routes) + what;
    };
    add(DistanceSource::FeedDistances,
        std::string("da shape_dist_traveled di stop_times.txt (unità: ") + network.feedDistanceUnit().name + ")");
    add(DistanceSource::Shape, "lungo shapes.txt, proiettando le fermate sul tracciato");
    add(DistanceSource::StraightLines, "in linea d'aria tra le fermate");
    return text;
}

} // namespace

std::string importSummary(const ReadFeed& feed, const WrittenRows& written, const std::string& target)
{
    const RunsNetwork& network = *feed.network;
    std::set<std::tuple<int, int, std::string>> lines;
    std::map<int, long> runsPerAuthority;
    long withoutDays = 0;
    for (const Run& run : network.runs()) {
        lines.insert({run.company, run.authority, run.lineCode});
        ++runsPerAuthority[run.authority];
        const int service = feed.tables.trips[static_cast<size_t>(run.trip)].service;
        if (feed.calendar.services()[static_cast<size_t>(service)].days.empty())
            ++withoutDays;
    }
    std::string text = "Importazione del feed GTFS completata.\n\n";
    text += "Feed: " + feed.source->path() + (feed.source->isArchive() ? " (archivio zip)" : " (cartella)") + "\n";
    text += "Base dati: " + target + "\n";
    if (feed.calendar.firstDay() <= feed.calendar.lastDay())
        text += "Validità (protocollo 1, tipo B): dal " + formatDateText(dateOfDay(feed.calendar.firstDay())) + " al " +
                formatDateText(dateOfDay(feed.calendar.lastDay())) + "\n";
    text += formatText("\nAziende: %ld\nEnti: %ld\nLinee: %zu\nCorse: %ld\nPercorsi: %zu\nArchi: %ld\nFermate: %ld\n",
                       written.companies, written.authorities, lines.size(), written.runs, network.routes().size(),
                       written.arcs, written.stops);
    text += formatText("Orari di passaggio: %ld\nCalendari mensili: %ld\n", written.passingTimes, written.months);
    if (withoutDays > 0)
        text += formatText("Corse senza giorni di servizio: %ld\n", withoutDays);
    if (feed.stopTimesWhole)
        text += "stop_times.txt non elenca gli orari di ogni corsa di seguito: è stato letto per intero.\n";
    text += "\nDistanze:" + distancesText(feed) + "\n";

    text += "\nEnti e corse:\n";
    for (const Authority& a : feed.authorities.authorities)
        text += formatText("  %04d - ", a.code) + a.name + formatText(": %ld corse\n", runsPerAuthority[a.code]);
    if (feed.mappingName.empty()) {
        text += "Un ente per azienda (nessun file di corrispondenza).\n";
        return text;
    }
    text += "\nCorrispondenza degli enti (" + feed.mappingName + "):\n";
    for (const MappingLine& line : feed.authorities.mapping)
        text += formatText("  riga %ld: ", line.line) + keyKindName(line.kind) + " " + line.key + " -> " +
                authorityText(feed, line.authority) + "\n";
    std::set<int> usedRoutes;
    for (const Run& run : network.runs())
        usedRoutes.insert(feed.tables.trips[static_cast<size_t>(run.trip)].route);
    std::string uncovered;
    for (int route : feed.authorities.uncoveredRoutes) {
        if (!usedRoutes.count(route))
            continue;
        const FeedRoute& r = feed.tables.routes[static_cast<size_t>(route)];
        uncovered += "  route_id " + r.id + (r.shortName.empty() ? "" : " (" + r.shortName + ")") + " -> " +
                     authorityText(feed, feed.authorities.routeAuthority[static_cast<size_t>(route)]) + "\n";
    }
    text += uncovered.empty() ? "Ogni linea è coperta dalla corrispondenza.\n"
                              : "Linee non coperte dalla corrispondenza (all'ente della loro azienda):\n" + uncovered;
    return text;
}

} // namespace korvan::gtfs
