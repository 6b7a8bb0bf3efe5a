#include "gui/PagePainter.h"

#include "db/Values.h"
#include "gui/PageCanvas.h"
#include "gui/TextMeasure.h"

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

    // Returns the row's bottom.
    int row(const reports::Row& row, int y)
    {
        canvas_.drawLine(layout_.tableLeft(), y, layout_.tableRight, y);
        for (size_t c = 0; c < row.cells.size() && c < layout_.columns.size(); ++c) {
            const std::string& text = row.cells[c].text;
            if (text.empty())
                continue;
            const ColumnPlace& column = layout_.columns[c];
            const bool right = report_.columns[c].align == reports::Align::Right;
            canvas_.drawText(right ? column.right() - measure_.width(text) : column.x, y + 10, text);
        }
        return y + layout_.rowHeight();
    }

    // The bottom rule (ending 10 units after the last column) and the
    // column separators from the band's top down to the last row.
    void closingRules(int bandTop, int y)
    {
        if (layout_.columns.empty())
            return;
        canvas_.drawLine(layout_.tableLeft(), y, layout_.columns.back().right() + 10, y);
        for (const ColumnPlace& column : layout_.columns)
            canvas_.drawLine(column.x - 20, bandTop, column.x - 20, y);
        canvas_.drawLine(layout_.tableRight, bandTop, layout_.tableRight, y);
    }

  private:
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
    const int bandTop = drawing.columnBand();
    int y = rowsTop(report, layout);
    for (size_t i = page.firstRow; i < page.endRow && i < report.rows.size(); ++i)
        y = drawing.row(report.rows[i], y);
    drawing.closingRules(bandTop, y);
}

} // namespace korvan::gui
