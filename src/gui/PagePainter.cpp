#include "gui/PagePainter.h"

#include "db/Values.h"
#include "gui/PageCanvas.h"
#include "gui/TextMeasure.h"

#include <algorithm>

namespace korvan::gui {

QColor bandColor()
{
    return QColor(192, 192, 192);
}

namespace {

class PageDrawing {
  public:
    PageDrawing(const reports::Report& report, const PreparedReport& layout, const TextMeasure& measure,
                PageCanvas& canvas)
        : report_(report), layout_(layout), page_(layout.page), measure_(measure), canvas_(canvas)
    {
    }

    void commonBlock(int pageNumber)
    {
        canvas_.drawText(page_.left(), page_.top(), reports::kPageTitle);
        rightAligned(page_.top(), formatText("Pag. %d di %d", pageNumber, layout_.pageCount()));
        rightAligned(page_.top() + layout_.lineHeight + 10, report_.createdText);
    }

    void headerLines(const reports::PageGroup& group)
    {
        for (const reports::HeaderLine& line : group.headerLines) {
            const int y = layout_.offsetY(line.y);
            if (line.shaded)
                canvas_.fillRect(page_.left(), y - 10, page_.left() + page_.usableWidth(), y + layout_.lineHeight + 20,
                                 bandColor());
            canvas_.drawText(page_.left(), y, line.left);
            if (!line.right.empty())
                rightAligned(y, line.right);
        }
    }

    // Returns the band's top.
    int columnBand()
    {
        const int y = layout_.offsetY(report_.columnBand);
        canvas_.fillRect(layout_.tableLeft(), y, layout_.tableRight, y + layout_.lineHeight + 40, bandColor());
        canvas_.drawLine(layout_.tableLeft(), y, layout_.tableRight, y);
        for (size_t c = 0; c < report_.columns.size(); ++c)
            canvas_.drawText(layout_.columns[c].x, y + 20, report_.columns[c].header);
        return y;
    }

    // Returns the row's bottom. `separatorTop` is where the column
    // separators drawn next start: the band's top, then the bottom of the
    // last total row.
    int row(const reports::Row& row, int y, bool firstOnPage, int& separatorTop)
    {
        if (row.style == reports::RowStyle::Total)
            return totalRow(row, y, separatorTop);
        canvas_.drawLine(layout_.tableLeft(), y, layout_.tableRight, y);
        for (size_t c = 0; c < row.cells.size() && c < layout_.columns.size(); ++c) {
            const reports::Cell& cell = row.cells[c];
            cellText(c, y, !firstOnPage && !cell.ditto.empty() ? cell.ditto : cell.text);
        }
        return y + layout_.rowHeight();
    }

    // The bottom rule (ending 10 units after the last column) and the
    // column separators from the separator top down to the last row.
    void closingRules(int separatorTop, int y)
    {
        if (layout_.columns.empty())
            return;
        canvas_.drawLine(layout_.tableLeft(), y, layout_.columns.back().right() + 10, y);
        if (y <= separatorTop)
            return;
        for (const ColumnPlace& column : layout_.columns)
            canvas_.drawLine(column.x - 20, separatorTop, column.x - 20, y);
        canvas_.drawLine(layout_.tableRight, separatorTop, layout_.tableRight, y);
    }

  private:
    void cellText(size_t column, int y, const std::string& text)
    {
        if (text.empty())
            return;
        const ColumnPlace& place = layout_.columns[column];
        const bool right = report_.columns[column].align == reports::Align::Right;
        canvas_.drawText(right ? place.right() - measure_.width(text) : place.x, y + 10, text);
    }

    // The first and the figures columns' separators run through the row,
    // the ones under the label stop at its top; the label ends 40 units
    // before the first figures column.
    int totalRow(const reports::Row& row, int y, int& separatorTop)
    {
        const int bottom = y + layout_.rowHeight();
        const size_t figures = std::min(report_.totalFiguresColumn, layout_.columns.size());
        for (size_t c = 0; c < layout_.columns.size(); ++c) {
            const int x = layout_.columns[c].x - 20;
            const int end = c == 0 || c >= figures ? bottom : y;
            if (end > separatorTop)
                canvas_.drawLine(x, separatorTop, x, end);
        }
        canvas_.drawLine(layout_.tableRight, separatorTop, layout_.tableRight, bottom);
        canvas_.drawLine(layout_.tableLeft(), y, layout_.tableRight, y);
        if (!row.label.empty()) {
            const int x = figures > 0 && figures < layout_.columns.size()
                              ? layout_.columns[figures].x - measure_.width(row.label) - 40
                              : layout_.tableLeft() + 20;
            canvas_.drawInvertedText(x, y + 10, row.label);
        }
        for (size_t c = figures; c < row.cells.size() && c < layout_.columns.size(); ++c)
            cellText(c, y, row.cells[c].text);
        separatorTop = bottom;
        return bottom;
    }

    void rightAligned(int y, const std::string& text)
    {
        canvas_.drawText(page_.left() + page_.usableWidth() - measure_.width(text), y, text);
    }

    const reports::Report& report_;
    const PreparedReport& layout_;
    const PageGeometry& page_;
    const TextMeasure& measure_;
    PageCanvas& canvas_;
};

} // namespace

void paintPage(const reports::Report& report, const PreparedReport& layout, int pageNumber, const TextMeasure& measure,
               PageCanvas& canvas)
{
    if (pageNumber < 1 || pageNumber > layout.pageCount())
        return;
    const PreparedPage& page = layout.pages[static_cast<size_t>(pageNumber - 1)];
    PageDrawing drawing(report, layout, measure, canvas);
    drawing.commonBlock(pageNumber);
    if (page.group < report.groups.size())
        drawing.headerLines(report.groups[page.group]);
    int separatorTop = drawing.columnBand();
    int y = rowsTop(report, layout);
    for (size_t i = page.firstRow; i < page.endRow && i < report.rows.size(); ++i)
        y = drawing.row(report.rows[i], y, i == page.firstRow, separatorTop);
    drawing.closingRules(separatorTop, y);
}

} // namespace korvan::gui
