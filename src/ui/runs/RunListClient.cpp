#include "ui/runs/RunListClient.h"

#include "db/Values.h"
#include "ui/runs/RunBrowserCommands.h"

#include <QActionGroup>
#include <QMenu>

namespace korvan::ui::runs {

using korvan::runs::RunRow;

namespace {

const QString kCalendarMarker = QStringLiteral(" CAL ");
const QString kItineraryMarker = QStringLiteral(" PERC ");
constexpr int kCellGap = 5;

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

} // namespace

std::vector<ListColumn> RunListClient::runColumns()
{
    return {{QStringLiteral("ID"), QStringLiteral("999999")},
            {QStringLiteral("Corsa"), QString(40, QLatin1Char('V'))},
            {QStringLiteral("Finanziamento"), QString(40, QLatin1Char('V'))},
            {QStringLiteral("Importo Euro"), QString(10, QLatin1Char('V'))},
            {QStringLiteral("Giorni Effettuazione"), QStringLiteral("1234 (12/12/1234 - 12/12/1234)")}};
}

QString RunListClient::timesText(const RunRow& row)
{
    return text(formatText("P. %02d:%02d ", row.departureMinutes / 60, row.departureMinutes % 60) +
                formatText(" A. %02d:%02d", row.arrivalMinutes / 60, row.arrivalMinutes % 60) +
                formatText("  (%1.2f Km)", row.lengthKm()));
}

QString RunListClient::serviceDaysText(const RunRow& row)
{
    return text(formatText("%d (%s - %s)", row.serviceDays, row.firstDay.c_str(), row.lastDay.c_str()));
}

void RunListClient::paintRow(ListRowPainter& painter, int position)
{
    const RunRow* row = model_ ? model_->rowAt(position) : nullptr;
    if (!row)
        return;
    const ListGeometry& g = painter.listGeometry();
    const int x0 = painter.x0();
    const QColor rowText = row->modified ? QColor(kModifiedRed) : QColor(Qt::black);
    const QColor rowBackground = painter.rowBackground();
    painter.setColours(rowText, rowBackground);

    painter.drawCellRightAligned(0, text(formatText("%ld", row->runId)));

    // The run code in the first third of its column, 5 pixels short of the
    // times so that a long code (a GTFS trip ID) does not run into them.
    const int third = g.widths[1] / 3;
    painter.drawText(x0 + g.textLeft(1), text(row->runCode), std::max(third - kCellGap, 0));
    painter.drawText(x0 + g.textLeft(1) + third, timesText(*row), g.widths[1] - third);

    if (row->selected)
        painter.setColours(Qt::white, Qt::black);
    else if (row->minimumService)
        painter.setColours(painter.minimumServiceColour(), rowBackground);
    painter.drawCell(2, row->minimumService ? QStringLiteral("Servizio Minimo") : text(row->payingAuthorityName));
    painter.setColours(rowText, rowBackground);

    const int markersRight = x0 + g.textRight(2);
    const int perc = painter.textWidth(kItineraryMarker);
    if (row->calendarMarker) {
        painter.setColours(Qt::white, QColor(kModifiedRed));
        painter.drawText(markersRight - 5 - painter.textWidth(kCalendarMarker) - perc, kCalendarMarker);
    }
    if (row->itineraryMarker) {
        painter.setColours(Qt::white, QColor(kMarkerGreen));
        painter.drawText(markersRight - perc, kItineraryMarker);
    }
    painter.setColours(rowText, rowBackground);

    painter.drawCellRightAligned(3, text(formatText("%1.2f", row->amount)));
    painter.drawCellRightAligned(4, serviceDaysText(*row));
}

bool RunListClient::isSelected(int position) const
{
    const RunRow* row = model_ ? model_->rowAt(position) : nullptr;
    return row && row->selected;
}

void RunListClient::setSelected(int position, bool selected)
{
    if (RunRow* row = model_ ? model_->rowAt(position) : nullptr)
        row->selected = selected;
}

void RunListClient::rowActivated(int)
{
    handler_(command::RunAccounting);
}

void RunListClient::findRequested()
{
    handler_(command::FindRun);
}

void RunListClient::copyRequested()
{
    handler_(command::CopyRuns);
}

QMenu* RunListClient::buildPopupMenu(QWidget* parent) const
{
    auto* menu = new QMenu(parent);
    auto add = [](QMenu* to, const char* label, int id) {
        QAction* action = to->addAction(QString::fromUtf8(label));
        action->setData(id);
        return action;
    };
    add(menu, "&Selezione Linea", command::SelectLine);
    menu->addSeparator();
    QMenu* orders = menu->addMenu(QStringLiteral("&Ordinamento"));
    const char current = model_ ? model_->order() : korvan::runs::kRunIdOrder;
    for (const korvan::runs::RunOrder& order : korvan::runs::runOrders()) {
        QAction* action = add(orders, order.popupText, order.commandId);
        action->setCheckable(true);
        action->setChecked(order.code == current);
    }
    menu->addSeparator();
    add(menu, "Modifica &Dati Contabili", command::RunAccounting);
    add(menu, "Frazionamento &Calendario", command::CalendarView);
    add(menu, "Frazionamento &Percorso", command::ItineraryView);
    menu->addSeparator();
    add(menu, "Seleziona &Tutto", command::SelectAll);
    add(menu, "Annulla &Selezione", command::ClearSelection);
    menu->addSeparator();
    add(menu, "&Aggiorna la Vista delle Corse", command::RefreshView);
    add(menu, "&Ripristina (invalida le variazioni sospese)", command::Restore);
    return menu;
}

void RunListClient::popupRequested(int, const QPoint& globalPos)
{
    QMenu* menu = buildPopupMenu(nullptr);
    const QAction* chosen = menu->exec(globalPos);
    const int id = chosen ? chosen->data().toInt() : 0;
    delete menu;
    if (id != 0)
        handler_(id);
}

QStringList RunListClient::balloonLines(int position) const
{
    const RunRow* row = model_ ? model_->rowAt(position) : nullptr;
    if (!row)
        return {};
    return {QStringLiteral("Corsa: ") + text(row->runCode), QStringLiteral("P: ") + text(row->departureLabel),
            QStringLiteral("A: ") + text(row->arrivalLabel),
            QStringLiteral("Lunghezza Km ") + text(formatText("%1.2f", row->lengthKm())),
            text(formatText("%d giorni dal %s al %s", row->serviceDays, row->firstDay.c_str(), row->lastDay.c_str()))};
}

} // namespace korvan::ui::runs
