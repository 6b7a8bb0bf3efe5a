#include "gtfs/FeedTables.h"

#include "gtfs/CsvReader.h"
#include "gtfs/FeedError.h"
#include "gtfs/FeedValues.h"

#include <algorithm>
#include <cmath>

namespace korvan::gtfs {

namespace {

CsvReader openCsv(const FeedSource& source, const std::string& name)
{
    return CsvReader(source.open(name), name);
}

// Adds the id of the current record to `index`; a repeated id is a fault.
int addId(IdIndex& index, const CsvReader& csv, int column, std::string_view id, const char* what)
{
    const int next = static_cast<int>(index.size());
    if (!index.emplace(std::string(id), next).second)
        csv.fail(column, std::string(what) + " \"" + std::string(id) + "\" compare già in una riga precedente");
    return next;
}

int resolve(const IdIndex& index, const CsvReader& csv, int column, const std::string& where)
{
    const std::string_view id = csv.required(column);
    const auto found = index.find(std::string(id));
    if (found == index.end())
        csv.fail(column, "\"" + std::string(id) + "\" non compare in " + where);
    return found->second;
}

double coordinate(const CsvReader& csv, int column, double limit)
{
    const std::string_view text = csv.field(column);
    const std::optional<double> value = parseFeedDecimal(text);
    if (!value || std::fabs(*value) > limit || !std::isfinite(*value))
        csv.fail(column, "\"" + std::string(text) + "\" non è una coordinata in gradi decimali");
    return *value;
}

void readAgencies(const FeedSource& source, FeedTables& tables)
{
    CsvReader csv = openCsv(source, "agency.txt");
    const int id = csv.column("agency_id");
    const int name = csv.requiredColumn("agency_name");
    while (csv.next()) {
        Agency agency{std::string(csv.field(id)), std::string(csv.required(name))};
        addId(tables.agencyIndex, csv, id, agency.id, "l'azienda");
        tables.agencies.push_back(std::move(agency));
    }
    if (tables.agencies.empty())
        throw FeedError("agency.txt", 0, "", "il file non elenca alcuna azienda");
    if (tables.agencies.size() > 1)
        for (const Agency& agency : tables.agencies)
            if (agency.id.empty())
                throw FeedError("agency.txt", 0, "agency_id",
                                "con più aziende ognuna deve avere il suo agency_id (\"" + agency.name +
                                    "\" non l'ha)");
}

void readRoutes(const FeedSource& source, FeedTables& tables)
{
    CsvReader csv = openCsv(source, "routes.txt");
    const int id = csv.requiredColumn("route_id");
    const int agency = csv.column("agency_id");
    const int shortName = csv.column("route_short_name");
    while (csv.next()) {
        FeedRoute route{std::string(csv.required(id)), std::string(csv.field(shortName)), 0};
        const std::string_view agencyId = csv.field(agency);
        if (!agencyId.empty() || tables.agencies.size() > 1)
            route.agency = resolve(tables.agencyIndex, csv, agency, "agency.txt");
        addId(tables.routeIndex, csv, id, route.id, "la linea");
        tables.routes.push_back(std::move(route));
    }
}

void readStops(const FeedSource& source, FeedTables& tables)
{
    CsvReader csv = openCsv(source, "stops.txt");
    const int id = csv.requiredColumn("stop_id");
    const int name = csv.column("stop_name");
    const int latitude = csv.requiredColumn("stop_lat");
    const int longitude = csv.requiredColumn("stop_lon");
    while (csv.next()) {
        FeedStop stop;
        stop.id = std::string(csv.required(id));
        stop.name = std::string(csv.field(name));
        stop.line = csv.line();
        if (!csv.field(latitude).empty() || !csv.field(longitude).empty()) {
            stop.latitude = coordinate(csv, latitude, 90.0);
            stop.longitude = coordinate(csv, longitude, 180.0);
            stop.located = true;
        }
        addId(tables.stopIndex, csv, id, stop.id, "la fermata");
        tables.stops.push_back(std::move(stop));
    }
}

void readShapes(const FeedSource& source, FeedTables& tables)
{
    if (!source.has("shapes.txt"))
        return;
    CsvReader csv = openCsv(source, "shapes.txt");
    const int id = csv.requiredColumn("shape_id");
    const int latitude = csv.requiredColumn("shape_pt_lat");
    const int longitude = csv.requiredColumn("shape_pt_lon");
    const int sequence = csv.requiredColumn("shape_pt_sequence");
    std::vector<std::vector<std::pair<long long, ShapePoint>>> points;
    while (csv.next()) {
        const std::string shapeId(csv.required(id));
        auto [found, added] = tables.shapeIndex.emplace(shapeId, static_cast<int>(points.size()));
        if (added)
            points.emplace_back();
        const std::string_view sequenceText = csv.required(sequence);
        const std::optional<long long> order = parseFeedInteger(sequenceText);
        if (!order || *order < 0)
            csv.fail(sequence, "\"" + std::string(sequenceText) + "\" non è un numero intero non negativo");
        points[static_cast<size_t>(found->second)].push_back(
            {*order, {coordinate(csv, latitude, 90.0), coordinate(csv, longitude, 180.0)}});
    }
    tables.shapes.reserve(points.size());
    for (auto& shape : points) {
        std::stable_sort(shape.begin(), shape.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<ShapePoint> ordered;
        ordered.reserve(shape.size());
        for (const auto& point : shape)
            ordered.push_back(point.second);
        tables.shapes.push_back(std::move(ordered));
    }
}

} // namespace

void readNetworkFiles(const FeedSource& source, FeedTables& tables)
{
    readAgencies(source, tables);
    readRoutes(source, tables);
    readStops(source, tables);
    readShapes(source, tables);
}

void readTrips(const FeedSource& source, const IdIndex& services, FeedTables& tables)
{
    CsvReader csv = openCsv(source, "trips.txt");
    const int route = csv.requiredColumn("route_id");
    const int service = csv.requiredColumn("service_id");
    const int id = csv.requiredColumn("trip_id");
    const int shortName = csv.column("trip_short_name");
    const int direction = csv.column("direction_id");
    const int shape = csv.column("shape_id");
    const bool haveShapes = source.has("shapes.txt");
    while (csv.next()) {
        FeedTrip trip;
        trip.id = std::string(csv.required(id));
        trip.shortName = std::string(csv.field(shortName));
        trip.line = csv.line();
        trip.route = resolve(tables.routeIndex, csv, route, "routes.txt");
        trip.service = resolve(services, csv, service, "calendar.txt né in calendar_dates.txt");
        const std::string_view directionText = csv.field(direction);
        if (directionText == "0" || directionText == "1")
            trip.direction = directionText[0] - '0';
        else if (!directionText.empty())
            csv.fail(direction, "\"" + std::string(directionText) + "\" non è 0 o 1");
        // Without shapes.txt a shape_id names nothing to measure along.
        if (haveShapes && !csv.field(shape).empty())
            trip.shape = resolve(tables.shapeIndex, csv, shape, "shapes.txt");
        addId(tables.tripIndex, csv, id, trip.id, "la corsa");
        tables.trips.push_back(std::move(trip));
    }
}

} // namespace korvan::gtfs
