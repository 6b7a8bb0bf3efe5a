#pragma once

// How far a route's stops are from its first one, in metres, by one of three
// measures: the feed's own shape_dist_traveled (in the unit the feed uses,
// guessed once for the whole feed), the way along the trip's shape with each
// stop projected on it, or the straight lines between the stops.

#include "gtfs/FeedTables.h"

#include <vector>

namespace korvan::gtfs {

enum class DistanceSource { FeedDistances, Shape, StraightLines };

// The great-circle distance between two located stops.
double straightMetres(const FeedStop& from, const FeedStop& to);
double straightMetres(double latitude1, double longitude1, double latitude2, double longitude2);

// Metres from the first stop, stop by stop, along straight lines.
std::vector<double> straightDistances(const FeedTables& tables, const std::vector<int>& stops);

// Metres from the first stop along the shape: each stop is put at its
// nearest point of the shape, in order (a stop is never placed before the
// one ahead of it, even where the shape passes near it twice, as on a
// loop), choosing the placing of all stops together that lies nearest.
std::vector<double> shapeDistances(const std::vector<ShapePoint>& shape, const FeedTables& tables,
                                   const std::vector<int>& stops);

// The unit of a feed's shape_dist_traveled, from the ratio of the distances
// it gives to the straight-line distances between the same stops: metres
// give a ratio near one (roads wind), kilometres near a thousandth.
struct DistanceUnit {
    double metres = 1.0; // metres per unit
    const char* name = "metri";
};
DistanceUnit guessDistanceUnit(double feedTotal, double straightTotal);

} // namespace korvan::gtfs
