#include "ui/runs/ItineraryListClient.h"

#include "db/Values.h"
#include "ui/runs/SplitViewCommands.h"

#include <algorithm>

namespace korvan::ui::runs {

using korvan::runs::ItineraryArc;

std::vector<ListColumn> ItineraryListClient::arcColumns()
{
    return {{QStringLiteral("Progress. Km"), QString(10, QChar('V'))},
            {QStringLiteral("Fermata"), QString(40, QChar('V'))},
            {QStringLiteral("Finanziamento"), QString(40, QChar('V'))},
            {QStringLiteral("Importo Euro"), QString(10, QChar('V'))}};
}

const PopupEntries& ItineraryListClient::popupEntries()
{
    static const PopupEntries entries{{"Modifica &Dati Contabili", command::ArcAccounting},
                                      {"", 0},
                                      {"Seleziona &Tutto", command::SelectAllArcs},
                                      {"Annulla &Selezione", command::ClearArcSelection}};
    return entries;
}

QString ItineraryListClient::originalText(double amount)
{
    return QString::fromStdString(formatText("Finanziamento Originale: %1.2f", amount));
}

QString ItineraryListClient::sumText(double amount)
{
    return QString::fromStdString(formatText("Somma Archi: %1.2f", amount));
}

void ItineraryListClient::paintExtraBands(QPainter& painter, int clientWidth, int bandHeight)
{
    const QColor green(kBandGreen);
    painter.fillRect(QRect(0, 0, clientWidth, bandHeight), green);
    if (!arcs_)
        return;
    // Fixed places: the band does not scroll with the columns.
    ListGeometry none;
    ListRowPainter band(painter, none, 0, 3, green);
    band.setColours(Qt::white, green);
    // At 400 pixels, or past the first text where a larger font needs it.
    const QString original = originalText(arcs_->originalAmount());
    band.drawText(5, original);
    band.drawText(std::max(400, 5 + band.textWidth(original) + 20), sumText(arcs_->arcSum()));
}

void ItineraryListClient::paintRow(ListRowPainter& painter, int position)
{
    const ItineraryArc* arc = arcs_ ? arcs_->at(position) : nullptr;
    if (!arc)
        return;
    const QColor rowText = arc->modified ? QColor(kModifiedRed) : QColor(Qt::black);
    const QColor rowBackground = painter.rowBackground();
    painter.setColours(rowText, rowBackground);
    painter.drawCellRightAligned(0, QString::fromStdString(formatText("%1.2f", arc->progressiveKm)));
    painter.drawCell(1, QString::fromStdString(arc->stopName));
    if (arc->selected)
        painter.setColours(Qt::white, Qt::black);
    else if (arc->minimumService)
        painter.setColours(painter.minimumServiceColour(), rowBackground);
    painter.drawCell(2, arc->minimumService ? QStringLiteral("Servizio Minimo")
                                            : QString::fromStdString(arc->payingAuthorityName));
    painter.setColours(rowText, rowBackground);
    painter.drawCellRightAligned(3, QString::fromStdString(formatText("%1.4f", arc->amount)));
}

bool ItineraryListClient::isSelected(int position) const
{
    const auto* line = arcs_ ? arcs_->at(position) : nullptr;
    return line && line->selected;
}

void ItineraryListClient::setSelected(int position, bool selected)
{
    if (arcs_)
        arcs_->setSelected(position, selected);
}

void ItineraryListClient::rowActivated(int)
{
    handler_(command::ArcAccounting);
}

void ItineraryListClient::popupRequested(int, const QPoint& globalPos)
{
    if (const int id = runSplitPopup(popupEntries(), globalPos))
        handler_(id);
}

} // namespace korvan::ui::runs
