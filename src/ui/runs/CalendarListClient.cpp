#include "ui/runs/CalendarListClient.h"

#include "db/Values.h"
#include "ui/runs/SplitViewCommands.h"

namespace korvan::ui::runs {

using korvan::runs::CalendarDay;

std::vector<ListColumn> CalendarListClient::dayColumns()
{
    return {{QStringLiteral("Data"), QStringLiteral("99/99/9999")},
            {QStringLiteral("Giorno"), QString(30, QChar('V'))},
            {QStringLiteral("Finanziamento"), QString(40, QChar('V'))},
            {QStringLiteral("Importo Euro"), QString(10, QChar('V'))}};
}

const PopupEntries& CalendarListClient::popupEntries()
{
    static const PopupEntries entries{
        {"&Filtro Automatico", command::CalendarFilter},      {"", 0},
        {"Modifica &Dati Contabili", command::DayAccounting}, {"", 0},
        {"Seleziona &Tutto", command::SelectAllDays},         {"Annulla &Selezione", command::ClearDaySelection}};
    return entries;
}

void CalendarListClient::paintRow(ListRowPainter& painter, int position)
{
    const CalendarDay* day = days_ ? days_->at(position) : nullptr;
    if (!day)
        return;
    const ListGeometry& g = painter.listGeometry();
    const int x0 = painter.x0();
    const QColor rowText = day->modified ? QColor(kModifiedRed) : QColor(Qt::black);
    const QColor rowBackground = painter.rowBackground();
    painter.setColours(rowText, rowBackground);
    painter.drawTextRightAligned(x0 + g.textRight(0), QString::fromStdString(day->date));
    painter.drawText(x0 + g.textLeft(1), QString::fromStdString(day->weekdayName), g.widths[1]);
    if (day->selected)
        painter.setColours(Qt::white, Qt::black);
    else if (day->minimumService)
        painter.setColours(QColor(kGridGrey), rowBackground);
    painter.drawText(x0 + g.textLeft(2),
                     day->minimumService ? QStringLiteral("Servizio Minimo")
                                         : QString::fromStdString(day->payingAuthorityName),
                     g.widths[2]);
    painter.setColours(rowText, rowBackground);
    painter.drawTextRightAligned(x0 + g.textRight(3), QString::fromStdString(formatText("%1.2f", day->amount)));
}

void CalendarListClient::toggleSelection(int position)
{
    if (days_)
        days_->toggleSelected(position);
}

void CalendarListClient::rowActivated(int)
{
    handler_(command::DayAccounting);
}

void CalendarListClient::popupRequested(int, const QPoint& globalPos)
{
    if (const int id = runSplitPopup(popupEntries(), globalPos))
        handler_(id);
}

} // namespace korvan::ui::runs
