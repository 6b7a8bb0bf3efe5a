#pragma once

// The run whose calendar or itinerary is split, and the other runs the
// split may be carried to, as the run browser hands them over: only the
// fields the two split views read. The views never change these values;
// what they write comes back as the list of runs to mark.

#include <vector>

namespace korvan::runs {

struct SplitRun {
    int company = 0;
    long runId = 0;
    long routeCode = 0;        // corse.codperc
    int grantingAuthority = 0; // corse.ente
    int payingAuthority = 0;   // concors.ente
    bool minimumService = true;
    long lengthMetres = 0; // corse.ct_lung
    double amount = 0.0;   // concors.euro
};

// What a "Registra Modifiche" did: whether every row it meant to write was
// stored, and the runs whose browser row gets `modified` and its marker.
struct SplitWriteResult {
    bool written = false;
    int rowsWritten = 0;
    // Rows that were not there to change (a day deleted meanwhile, a selected
    // run without that day): skipped.
    int rowsMissing = 0;
    std::vector<long> markedRuns;
};

} // namespace korvan::runs
