#pragma once

// A report onto real devices: every page onto a paged device (a PDF file, a
// printer, the print preview), one page into an image. Each lays the report
// out for the device's page in page units and scales that to the device's
// resolution, so that every device gets the same pages. Needs a
// QGuiApplication (the offscreen platform will do).

#include "gui/ReportLayout.h"

#include <QImage>

#include <string>

class QPagedPaintDevice;
class QPainter;

namespace korvan::gui {

// Page units onto the painter's device: the origin at the top left corner
// of the paper, `resolution` device pixels per inch.
void setPageTransform(QPainter& painter, const QPageLayout& layout, int resolution);

// Lays the report out for the device's page and draws every page, starting
// a new device page between them. `painter` is active on `device`.
PreparedReport paintAllPages(const reports::Report& report, QPagedPaintDevice& device, QPainter& painter);

// Writes the report as a PDF file on A4, turned to landscape when its table
// is too wide for a portrait page. False with a message in `error` when the
// report has no rows or the file cannot be written.
bool writePdf(const reports::Report& report, const std::string& path, std::string& error);

// One page at `dotsPerInch` on a white image of the whole paper.
QImage renderPage(const reports::Report& report, const PreparedReport& layout, int pageNumber, double dotsPerInch);

} // namespace korvan::gui
