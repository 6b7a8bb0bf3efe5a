#pragma once

// The arithmetic of the owner-drawn list windows: column widths measured
// from sample texts, row places, the scroll and cursor clamps and the row
// under the mouse. Kept apart from the widget so that it reads as the rules
// it is.

#include <QFont>
#include <QString>

#include <vector>

namespace korvan::ui::runs {

// A column: its header and the sample text its width is measured on.
struct ListColumn {
    QString header;
    QString sample;
};

struct ListGeometry {
    std::vector<int> widths; // W0..Wn-1: measured width + 2
    int lineHeight = 0;      // h: the tallest measured height + 2
    int headerBands = 1;     // bands of h + 6 pixels above the rows; the column headers in the last

    int columnCount() const { return static_cast<int>(widths.size()); }
    int bandHeight() const { return lineHeight + 6; }
    int headerHeight() const { return headerBands * bandHeight(); }
    int rowHeight() const { return lineHeight + 4; }
    // T: the widths plus 5 pixels per column.
    int totalWidth() const;
    // Offsets from the list's left edge x0 (= -scrollX): where column i's
    // text begins (x0 + W0 + ... + W(i-1) + 5 (i + 1)), where its boundary
    // stands (x0 + W0 + ... + Wi + 5 (i + 1)), and the right edge of its
    // right-aligned texts (5 pixels left of the boundary).
    int textLeft(int column) const;
    int boundary(int column) const;
    int textRight(int column) const { return boundary(column) - 5; }
    // The left end of a right-aligned text: it may use the gap after the
    // line before it, so that a text as wide as the column's sample, which
    // ends 5 pixels before the column's line, is shown whole.
    int rightAlignedLeft(int column) const { return textLeft(column) - 4; }

    // Whole rows that fit below the header.
    int visibleRows(int clientHeight) const;
    // Top of the row at `position` with `topRow` first.
    int rowTop(int position, int topRow) const;
    // The position under height y, not clamped: (y - h - 6) / (h + 4) +
    // topRow, the division truncating toward zero.
    int positionAt(int y, int topRow) const;
};

// Measures the columns with `font` (the list's bold font).
ListGeometry measureColumns(const QFont& font, const std::vector<ListColumn>& columns);

// Where the list stands: first visible row, cursor row, horizontal offset.
// The cursor stays on its row when the rows scroll: scrolling it out of
// view does not put it on another row (the commands act on the cursor row).
struct ListScroll {
    int topRow = 0;
    int cursorRow = 0;
    int scrollX = 0;

    // Before each paint: the last rows fill the window when they can, the
    // first row is never negative, the cursor is on a row.
    void clampForPaint(int rowCount, int visibleRows);
    // After a wheel turn or a scroll bar move of the rows.
    void clampRows(int rowCount, int visibleRows);
    // The first row that shows the cursor row with the least scrolling.
    void scrollToCursor(int rowCount, int visibleRows);
    // After a move of the horizontal scroll bar.
    void clampScrollX(int totalWidth, int clientWidth);
    // The cursor under a click at `position` (positionAt): at least the
    // first visible row, at most the last row and the last visible row.
    int clickedRow(int position, int rowCount, int visibleRows) const;

  private:
    void clampCursor(int rowCount);
};

} // namespace korvan::ui::runs
