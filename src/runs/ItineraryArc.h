#pragma once

// The itinerary of one run as its split view shows it: the first stop of
// the run's route, then one `ItineraryArc` per arc of the route in `sub`
// order, each naming the stop it ends at. The run's amount is spread over
// the arcs by length; stored `conitine` rows replace the computed lines.
// Changes stay in the list (`modified`) until ItinerarySplitWrite stores
// them.

#include "runs/SplitChange.h"
#include "runs/SplitRun.h"

#include <optional>
#include <string>
#include <vector>

namespace korvan {
class DbConnection;
}

namespace korvan::runs {

struct ItineraryArc {
    long runId = 0;
    long routeCode = 0; // detitine.ID
    int sub = -1;       // detitine.sub; -1 for the first stop
    long stopId = 0;    // where the arc ends (the first stop: where the route starts)
    std::string stopName;
    long lengthMetres = 0; // archi.lung as read: what conitine.lung receives
    double lengthKm = 0.0;
    double progressiveKm = 0.0; // detitine.dist in km
    bool minimumService = true;
    int grantingAuthority = 0;
    int payingAuthority = 0;
    double amount = 0.0;
    std::string payingAuthorityName;
    bool modified = false;
    bool selected = false;

    bool isArc() const { return sub >= 0; }
};

class ItineraryArcList {
  public:
    // The route of the run from `archi`, `detitine` and `corse`, the stored
    // split of the run from `conitine`, then the stop and authority names.
    static ItineraryArcList load(DbConnection* connection, const SplitRun& run);

    const std::vector<ItineraryArc>& arcs() const { return arcs_; }
    size_t size() const { return arcs_.size(); }
    const ItineraryArc* at(int position) const;
    const SplitRun& run() const { return run_; }
    int company() const { return run_.company; }
    // Euro per km of the run: its amount over its length; 0 for a run of
    // length 0, whose arcs then show 0 until they are given an amount.
    double rate() const { return rate_; }
    // "Finanziamento Originale" and "Somma Archi".
    double originalAmount() const { return run_.amount; }
    double arcSum() const;

    // Only arcs are selected; the first stop never is.
    void setSelected(int position, bool selected);
    void toggleSelected(int position);
    void selectAll();
    void clearSelection();
    bool anyOtherSelected(int position) const;
    // Some arc holds a change not yet written.
    bool anyModified() const;

    // A refusal message when the change cannot be made (a total spread over
    // the selected arcs by the length of an arc of length 0).
    std::optional<std::string> refusal(int position, const SplitChange& change) const;
    // The per-arc dialog's OK on the arc at `position`: the arc, and with
    // applyToSelected every selected arc at the same price per km, take the
    // change; the list keeps applyToSelectedRuns for "Registra Modifiche".
    // False when refused or when the line is not an arc.
    bool applyChange(int position, const SplitChange& change);

    bool propagateToSelectedRuns() const { return propagateToSelectedRuns_; }

    // For fixtures and the view: a list built from lines already at hand.
    ItineraryArcList(const SplitRun& run, std::vector<ItineraryArc> arcs);

  private:
    SplitRun run_;
    double rate_ = 0.0;
    std::vector<ItineraryArc> arcs_;
    bool propagateToSelectedRuns_ = false;
};

} // namespace korvan::runs
