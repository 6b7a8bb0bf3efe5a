#include "gtfs/Distances.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvan::gtfs {

namespace {

constexpr double kEarthRadius = 6371008.8; // metres, the mean radius
constexpr double kDegree = 3.14159265358979323846 / 180.0;
// Places of a stop on its shape worth weighing: the nearest ones, and any
// other pass of the shape at most this much farther away.
constexpr double kOtherPassMetres = 100.0;
constexpr size_t kMostPlaces = 8;

struct Planar {
    double x = 0, y = 0;
};

struct Place {
    double along = 0;  // metres from the shape's start
    double offset = 0; // metres from the stop
};

// The stop's nearest point on each pass of the shape near it.
std::vector<Place> placesOnShape(const Planar& stop, const std::vector<Planar>& points,
                                 const std::vector<double>& cumulative)
{
    const size_t segments = points.size() - 1;
    std::vector<Place> nearest(segments);
    double best = std::numeric_limits<double>::max();
    for (size_t s = 0; s < segments; ++s) {
        const Planar& a = points[s];
        const Planar& b = points[s + 1];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double length2 = dx * dx + dy * dy;
        double t = length2 > 0 ? ((stop.x - a.x) * dx + (stop.y - a.y) * dy) / length2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        const double px = a.x + t * dx - stop.x, py = a.y + t * dy - stop.y;
        nearest[s] = {cumulative[s] + t * (cumulative[s + 1] - cumulative[s]), std::sqrt(px * px + py * py)};
        best = std::min(best, nearest[s].offset);
    }
    std::vector<Place> places;
    for (size_t s = 0; s < segments; ++s) {
        const bool localMinimum = (s == 0 || nearest[s].offset <= nearest[s - 1].offset) &&
                                  (s + 1 == segments || nearest[s].offset < nearest[s + 1].offset);
        if (localMinimum && nearest[s].offset <= best + kOtherPassMetres)
            places.push_back(nearest[s]);
    }
    if (places.size() > kMostPlaces) {
        std::stable_sort(places.begin(), places.end(),
                         [](const Place& a, const Place& b) { return a.offset < b.offset; });
        places.resize(kMostPlaces);
        std::stable_sort(places.begin(), places.end(),
                         [](const Place& a, const Place& b) { return a.along < b.along; });
    }
    return places;
}

} // namespace

double straightMetres(double latitude1, double longitude1, double latitude2, double longitude2)
{
    const double p1 = latitude1 * kDegree, p2 = latitude2 * kDegree;
    const double dp = p2 - p1, dl = (longitude2 - longitude1) * kDegree;
    const double h =
        std::sin(dp / 2) * std::sin(dp / 2) + std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
    return 2 * kEarthRadius * std::asin(std::min(1.0, std::sqrt(h)));
}

double straightMetres(const FeedStop& from, const FeedStop& to)
{
    return straightMetres(from.latitude, from.longitude, to.latitude, to.longitude);
}

std::vector<double> straightDistances(const FeedTables& tables, const std::vector<int>& stops)
{
    std::vector<double> along(stops.size(), 0.0);
    for (size_t i = 1; i < stops.size(); ++i)
        along[i] = along[i - 1] + straightMetres(tables.stops[static_cast<size_t>(stops[i - 1])],
                                                 tables.stops[static_cast<size_t>(stops[i])]);
    return along;
}

std::vector<double> shapeDistances(const std::vector<ShapePoint>& shape, const FeedTables& tables,
                                   const std::vector<int>& stops)
{
    if (shape.size() < 2)
        return straightDistances(tables, stops);
    // A plane around the shape: metres east and north of its first point.
    const double latitude0 = shape.front().latitude * kDegree;
    auto planar = [&](double latitude, double longitude) {
        return Planar{kEarthRadius * (longitude - shape.front().longitude) * kDegree * std::cos(latitude0),
                      kEarthRadius * (latitude - shape.front().latitude) * kDegree};
    };
    std::vector<Planar> points;
    std::vector<double> cumulative{0.0};
    points.reserve(shape.size());
    for (const ShapePoint& point : shape) {
        points.push_back(planar(point.latitude, point.longitude));
        if (points.size() > 1)
            cumulative.push_back(cumulative.back() + std::hypot(points.back().x - points[points.size() - 2].x,
                                                                points.back().y - points[points.size() - 2].y));
    }
    // The placing of every stop, in order along the shape, whose offsets
    // add up to the least: a shortest path over the places of each stop.
    std::vector<std::vector<Place>> places;
    std::vector<std::vector<double>> cost;
    std::vector<std::vector<int>> from;
    for (int stopIndex : stops) {
        const FeedStop& stop = tables.stops[static_cast<size_t>(stopIndex)];
        places.push_back(placesOnShape(planar(stop.latitude, stop.longitude), points, cumulative));
        const std::vector<Place>& here = places.back();
        std::vector<double> hereCost(here.size());
        std::vector<int> hereFrom(here.size(), -1);
        for (size_t c = 0; c < here.size(); ++c) {
            if (cost.empty()) {
                hereCost[c] = here[c].offset;
                continue;
            }
            const std::vector<Place>& before = places[places.size() - 2];
            double bestCost = std::numeric_limits<double>::max();
            for (size_t p = 0; p < before.size(); ++p) {
                // A place behind the previous stop's is taken only when no
                // other is left, at a price that puts it last.
                const double step = before[p].along <= here[c].along + 1e-6 ? 0.0 : 1e9;
                if (cost.back()[p] + step < bestCost) {
                    bestCost = cost.back()[p] + step;
                    hereFrom[c] = static_cast<int>(p);
                }
            }
            hereCost[c] = bestCost + here[c].offset;
        }
        cost.push_back(std::move(hereCost));
        from.push_back(std::move(hereFrom));
    }
    std::vector<double> along(stops.size(), 0.0);
    int chosen = static_cast<int>(std::min_element(cost.back().begin(), cost.back().end()) - cost.back().begin());
    for (size_t i = stops.size(); i-- > 0;) {
        along[i] = places[i][static_cast<size_t>(chosen)].along;
        chosen = from[i][static_cast<size_t>(chosen)];
    }
    // A stretch is never shorter than the straight line between its two
    // stops: a coarse shape that cuts a corner, or ends before the trip
    // does, is measured by the straight line there.
    const std::vector<double> straight = straightDistances(tables, stops);
    std::vector<double> measured(stops.size(), 0.0);
    for (size_t i = 1; i < stops.size(); ++i)
        measured[i] = measured[i - 1] + std::max(along[i] - along[i - 1], straight[i] - straight[i - 1]);
    return measured;
}

DistanceUnit guessDistanceUnit(double feedTotal, double straightTotal)
{
    // The geometric middle of the two ratios, allowing roads up to thirty
    // times longer than the straight line in metres.
    if (straightTotal > 0 && feedTotal / straightTotal < 0.03)
        return {1000.0, "chilometri"};
    return {1.0, "metri"};
}

} // namespace korvan::gtfs
