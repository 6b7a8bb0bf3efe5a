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
    const QColor rowText = day->modified ? QColor(kModifiedRed) : QColor(Qt::black);
    const QColor rowBackground = painter.rowBackground();
    painter.setColours(rowText, rowBackground);
    painter.drawCellRightAligned(0, QString::fromStdString(day->date));
    painter.drawCell(1, QString::fromStdString(day->weekdayName));
    if (day->selected)
        painter.setColours(Qt::white, Qt::black);
    else if (day->minimumService)
        painter.setColours(painter.minimumServiceColour(), rowBackground);
    painter.drawCell(2, day->minimumService ? QStringLiteral("Servizio Minimo")
                                            : QString::fromStdString(day->payingAuthorityName));
    painter.setColours(rowText, rowBackground);
    painter.drawCellRightAligned(3, QString::fromStdString(formatText("%1.2f", day->amount)));
}

bool CalendarListClient::isSelected(int position) const
{
    const auto* line = days_ ? days_->at(position) : nullptr;
    return line && line->selected;
}

void CalendarListClient::setSelected(int position, bool selected)
{
    if (days_)
        days_->setSelected(position, selected);
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
