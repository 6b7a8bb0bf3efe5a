#pragma once

// Lays a report out on a page: measures every text in the report font,
// gives each column the width of its widest text (header included), places
// the columns and centres a narrow table, and splits the rows into pages.
// A new page starts at every new page group and whenever the next row
// would reach below the bottom limit; every page is kept, however many.

#include "gui/PageGeometry.h"
#include "reports/PrintableReport.h"

#include <cstddef>
#include <vector>

namespace korvan::gui {

class TextMeasure;

struct ColumnPlace {
    int x = 0;     // left edge of the column's texts
    int width = 0; // widest text
    int right() const { return x + width; }
};

struct PreparedPage {
    size_t firstRow = 0; // index into Report::rows
    size_t endRow = 0;   // one past the page's last row
    size_t group = 0;
};

struct PreparedReport {
    PageGeometry page;
    int lineHeight = 0;
    std::vector<ColumnPlace> columns;
    int tableRight = 0; // R: the right end of the table, where its last rule stands
    std::vector<PreparedPage> pages;

    int pageCount() const { return static_cast<int>(pages.size()); }
    int rowHeight() const { return lineHeight + 20; }
    // y of an offset below the top of the printable area.
    int offsetY(const reports::Offset& offset) const
    {
        return page.top() + offset.lineHeights * lineHeight + offset.units;
    }
    int tableLeft() const { return columns.empty() ? page.left() : columns.front().x - 20; }
};

// Column placement from the widths alone: x1 = left + 20, x2 = left + w1 +
// 60, then each column 40 units after the end of the one before, R = xn +
// wn + 20; when R (an absolute position) is less than the usable width,
// every column moves right by half the difference.
std::vector<ColumnPlace> placeColumns(const std::vector<int>& widths, const PageGeometry& page, int& tableRight);

// Where the rows of every page start: a line height and 40 units below the
// top of the column-header band.
int rowsTop(const reports::Report& report, const PreparedReport& layout);

PreparedReport prepareReport(const reports::Report& report, const PageGeometry& page, const TextMeasure& measure);

// The widths of the report's columns: the widest text of each (header,
// cells and ditto marks), the column before a total row's figures widened
// when a label needs more room.
std::vector<int> columnWidths(const reports::Report& report, const TextMeasure& measure);

// Portrait, unless the report's table is wider than the printable area of
// a portrait A4 page: then landscape, where its columns are not cut off.
QPageLayout::Orientation preferredOrientation(const reports::Report& report);

} // namespace korvan::gui
