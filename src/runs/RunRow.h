#pragma once

// One run of the browsed line with its accounting state, as the run list
// shows it. Texts are UTF-8 without trailing blanks.

#include <string>

namespace korvan::runs {

struct RunRow {
    int company = 0;
    long runId = 0;
    long routeCode = 0;
    std::string runCode;
    bool minimumService = false;
    int grantingAuthority = 0;
    int payingAuthority = 0;
    long lengthMetres = 0;
    int duration = 0; // minutes; only a sort key
    double amount = 0;
    int departureMinutes = 0;
    long departureStop = 0;
    std::string departureStopName;
    int arrivalMinutes = 0;
    long arrivalStop = 0;
    int serviceDays = 0;
    std::string firstDay; // "dd/mm/yyyy"
    std::string lastDay;
    std::string arrivalStopName;
    std::string departureLabel; // "hh:mm " + stop name, or "???"
    std::string arrivalLabel;
    std::string payingAuthorityName; // empty for minimum service
    bool calendarMarker = false;     // its days do not all carry the same accounting ("CAL")
    bool itineraryMarker = false;    // it has an itinerary split ("PERC")
    bool modified = false;           // changed since the last reload
    bool selected = false;

    double lengthKm() const { return static_cast<double>(lengthMetres) * 0.001; }
};

// "%02d:%02d " of the time followed by the stop name, or by "???" without one.
std::string terminusLabel(int minutes, const std::string& stopName);

} // namespace korvan::runs
