#pragma once

// The itinerary of one run in the list window: a green band with the run's
// original financing and the sum of the arcs above the column headers, then
// progressive km, stop, financing and amount (four decimals); modified arcs
// in red, minimum service in grey, the selection as white on black; no
// balloon. Only arcs can be selected.

#include "runs/ItineraryArc.h"
#include "ui/runs/ListWindow.h"
#include "ui/runs/SplitPopupMenu.h"

#include <functional>

namespace korvan::ui::runs {

inline constexpr QRgb kBandGreen = 0xFF008000;

class ItineraryListClient : public ListWindowClient {
  public:
    using CommandHandler = std::function<void(int commandId)>;

    explicit ItineraryListClient(CommandHandler handler) : handler_(std::move(handler)) {}

    void setArcs(korvan::runs::ItineraryArcList* arcs) { arcs_ = arcs; }

    static std::vector<ListColumn> arcColumns();
    static const PopupEntries& popupEntries();
    // "Finanziamento Originale: %1.2lf" and "Somma Archi: %1.2lf".
    static QString originalText(double amount);
    static QString sumText(double amount);

    std::vector<ListColumn> columns() const override { return arcColumns(); }
    bool hasModel() const override { return arcs_ != nullptr; }
    int rowCount() const override { return arcs_ ? static_cast<int>(arcs_->size()) : 0; }
    void paintRow(ListRowPainter& painter, int position) override;
    bool isSelected(int position) const override;
    void setSelected(int position, bool selected) override;
    void rowActivated(int position) override;
    void popupRequested(int position, const QPoint& globalPos) override;
    QStringList balloonLines(int) const override { return {}; }
    bool showsBalloon() const override { return false; }
    int extraHeaderBands() const override { return 1; }
    void paintExtraBands(QPainter& painter, int clientWidth, int bandHeight) override;

  private:
    korvan::runs::ItineraryArcList* arcs_ = nullptr;
    CommandHandler handler_;
};

} // namespace korvan::ui::runs
