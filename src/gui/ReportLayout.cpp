#include "gui/ReportLayout.h"

#include "gui/TextMeasure.h"

#include <algorithm>

namespace korvan::gui {

std::vector<ColumnPlace> placeColumns(const std::vector<int>& widths, const PageGeometry& page, int& tableRight)
{
    std::vector<ColumnPlace> columns;
    int x = page.left() + 20;
    for (int width : widths) {
        columns.push_back({x, width});
        x += width + 40;
    }
    tableRight = columns.empty() ? page.left() + 20 : columns.back().right() + 20;
    if (tableRight < page.usableWidth()) {
        const int shift = (page.usableWidth() - tableRight) / 2;
        for (ColumnPlace& column : columns)
            column.x += shift;
        tableRight += shift;
    }
    return columns;
}

int rowsTop(const reports::Report& report, const PreparedReport& layout)
{
    return layout.offsetY(report.columnBand) + layout.lineHeight + 40;
}

namespace {

std::vector<int> measuredWidths(const reports::Report& report, const TextMeasure& measure)
{
    std::vector<int> widths;
    for (const reports::Column& column : report.columns)
        widths.push_back(measure.width(column.header));
    for (const reports::Row& row : report.rows)
        for (size_t c = 0; c < row.cells.size() && c < widths.size(); ++c)
            for (const std::string* text : {&row.cells[c].text, &row.cells[c].ditto})
                if (!text->empty())
                    widths[c] = std::max(widths[c], measure.width(*text));
    return widths;
}

// A total row's label stands between the first column's left edge and 40
// units before the first figures column: the column before the figures
// grows when the widest label needs more room than the columns give.
void makeRoomForLabels(const reports::Report& report, const TextMeasure& measure, std::vector<int>& widths)
{
    const size_t figures = report.totalFiguresColumn;
    if (figures == 0 || figures >= widths.size())
        return;
    int widest = -1;
    for (const reports::Row& row : report.rows)
        if (row.style == reports::RowStyle::Total && !row.label.empty())
            widest = std::max(widest, measure.width(row.label));
    if (widest < 0)
        return;
    int room = 0; // from x1 to the figures column's x
    for (size_t c = 0; c < figures; ++c)
        room += widths[c] + 40;
    if (room < widest + 40)
        widths[figures - 1] += widest + 40 - room;
}

} // namespace

std::vector<int> columnWidths(const reports::Report& report, const TextMeasure& measure)
{
    std::vector<int> widths = measuredWidths(report, measure);
    makeRoomForLabels(report, measure, widths);
    return widths;
}

QPageLayout::Orientation preferredOrientation(const reports::Report& report)
{
    const PageGeometry portrait = pageGeometry(pdfPageLayout(QPageLayout::Portrait));
    int tableRight = 0;
    placeColumns(columnWidths(report, TextMeasure(report.fontPoints)), portrait, tableRight);
    return tableRight > portrait.left() + portrait.usableWidth() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

PreparedReport prepareReport(const reports::Report& report, const PageGeometry& page, const TextMeasure& measure)
{
    PreparedReport layout;
    layout.page = page;
    layout.lineHeight = measure.height();
    layout.columns = placeColumns(columnWidths(report, measure), page, layout.tableRight);

    const int top = rowsTop(report, layout);
    const int bottom = page.bottomLimit();
    int y = top;
    for (size_t i = 0; i < report.rows.size(); ++i) {
        const size_t group = report.rows[i].group;
        const bool newGroup = layout.pages.empty() || layout.pages.back().group != group;
        // A page takes at least one row, whatever its height.
        const bool full = !newGroup && y + layout.rowHeight() > bottom;
        if (newGroup || full) {
            layout.pages.push_back({i, i, group});
            y = top;
        }
        layout.pages.back().endRow = i + 1;
        y += layout.rowHeight();
    }
    return layout;
}

} // namespace korvan::gui
