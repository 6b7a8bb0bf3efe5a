#include "ui/runs/ListGeometry.h"

#include <QFontMetrics>

#include <algorithm>

namespace korvan::ui::runs {

int ListGeometry::totalWidth() const
{
    int total = 0;
    for (int width : widths)
        total += width + 5;
    return total;
}

int ListGeometry::textLeft(int column) const
{
    int x = 5 * (column + 1);
    for (int i = 0; i < column && i < columnCount(); ++i)
        x += widths[static_cast<size_t>(i)];
    return x;
}

int ListGeometry::boundary(int column) const
{
    return textLeft(column) + (column < columnCount() ? widths[static_cast<size_t>(column)] : 0);
}

int ListGeometry::visibleRows(int clientHeight) const
{
    const int rows = (clientHeight - headerHeight()) / rowHeight();
    return std::max(rows, 0);
}

int ListGeometry::rowTop(int position, int topRow) const
{
    return headerHeight() + (position - topRow) * rowHeight();
}

int ListGeometry::positionAt(int y, int topRow) const
{
    return (y - headerHeight()) / rowHeight() + topRow;
}

ListGeometry measureColumns(const QFont& font, const std::vector<ListColumn>& columns)
{
    const QFontMetrics metrics(font);
    ListGeometry geometry;
    int tallest = 0;
    for (const ListColumn& column : columns) {
        const QRect extent = metrics.boundingRect(column.sample);
        geometry.widths.push_back(metrics.horizontalAdvance(column.sample) + 2);
        tallest = std::max({tallest, metrics.height(), extent.height()});
    }
    geometry.lineHeight = tallest + 2;
    return geometry;
}

void ListScroll::clampCursor(int rowCount)
{
    cursorRow = std::min(cursorRow, rowCount - 1);
    cursorRow = std::max(cursorRow, 0);
}

void ListScroll::clampForPaint(int rowCount, int visibleRows)
{
    if (rowCount < topRow + visibleRows)
        topRow = rowCount - visibleRows;
    topRow = std::max(topRow, 0);
    clampCursor(rowCount);
}

void ListScroll::clampRows(int rowCount, int visibleRows)
{
    topRow = std::min(topRow, rowCount - visibleRows);
    topRow = std::max(topRow, 0);
    clampCursor(rowCount);
}

void ListScroll::scrollToCursor(int rowCount, int visibleRows)
{
    clampCursor(rowCount);
    if (cursorRow < topRow)
        topRow = cursorRow;
    else if (visibleRows > 0 && cursorRow >= topRow + visibleRows)
        topRow = cursorRow - visibleRows + 1;
    clampRows(rowCount, visibleRows);
}

void ListScroll::clampScrollX(int totalWidth, int clientWidth)
{
    scrollX = std::min(scrollX, totalWidth - clientWidth);
    scrollX = std::max(scrollX, 0);
}

int ListScroll::clickedRow(int position, int rowCount, int visibleRows) const
{
    int row = std::max(position, topRow);
    row = std::min(row, rowCount - 1);
    return std::min(row, topRow + visibleRows - 1);
}

} // namespace korvan::ui::runs
