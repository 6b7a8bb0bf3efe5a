#pragma once

// Draws one page of a prepared report: the common header block (the
// program's title, "Pag. n di m", the creation time), the page group's
// header lines, the grey column-header band, the rows with their rules
// (ditto marks except on a page's first row; total rows with their label
// white on black) and the closing rules of the table.

#include "gui/ReportLayout.h"

namespace korvan::gui {

class PageCanvas;

// `pageNumber` counts from 1; a number outside the report draws nothing.
void paintPage(const reports::Report& report, const PreparedReport& layout, int pageNumber, const TextMeasure& measure,
               PageCanvas& canvas);

// The grey of the bands, RGB(192, 192, 192).
QColor bandColor();

} // namespace korvan::gui
