#include "gui/ReportOutput.h"

#include "gui/PagePainter.h"
#include "gui/PainterCanvas.h"
#include "gui/TextMeasure.h"
#include "reports/ReportCollection.h"

#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace korvan::gui {

void setPageTransform(QPainter& painter, const QPageLayout& layout, int resolution)
{
    // The painter's origin is the corner of the device's paint rectangle,
    // which a layout with margins moves away from the paper's corner.
    const QRect paintRect = layout.paintRectPixels(resolution);
    painter.resetTransform();
    painter.translate(-paintRect.left(), -paintRect.top());
    const double scale = static_cast<double>(resolution) / kUnitsPerInch;
    painter.scale(scale, scale);
}

PreparedReport paintAllPages(const reports::Report& report, QPagedPaintDevice& device, QPainter& painter)
{
    const TextMeasure measure(report.fontPoints);
    const QPageLayout layout = device.pageLayout();
    const PreparedReport prepared = prepareReport(report, pageGeometry(layout), measure);
    for (int page = 1; page <= prepared.pageCount(); ++page) {
        if (page > 1)
            device.newPage();
        painter.save();
        setPageTransform(painter, layout, device.logicalDpiX());
        PainterCanvas canvas(painter, measure);
        paintPage(report, prepared, page, measure, canvas);
        painter.restore();
    }
    return prepared;
}

bool writePdf(const reports::Report& report, const std::string& path, std::string& error)
{
    if (report.empty()) {
        error = reports::kNoDataMessage;
        return false;
    }
    const QString fileName = QString::fromStdString(path);
    {
        QPdfWriter writer(fileName);
        writer.setResolution(kUnitsPerInch);
        writer.setPageLayout(pdfPageLayout(preferredOrientation(report)));
        writer.setCreator(QStringLiteral("KORVAN"));
        writer.setTitle(QString::fromStdString(report.title));
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = "Impossibile scrivere il file PDF " + path;
            return false;
        }
        paintAllPages(report, writer, painter);
        if (!painter.end()) {
            error = "Impossibile scrivere il file PDF " + path;
            return false;
        }
    }
    if (QFileInfo(fileName).size() <= 0) {
        error = "Impossibile scrivere il file PDF " + path;
        return false;
    }
    return true;
}

QImage renderPage(const reports::Report& report, const PreparedReport& layout, int pageNumber, double dotsPerInch)
{
    const double scale = dotsPerInch / kUnitsPerInch;
    QImage image(static_cast<int>(std::lround(layout.page.pageWidth * scale)),
                 static_cast<int>(std::lround(layout.page.pageHeight * scale)), QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    const TextMeasure measure(report.fontPoints);
    PainterCanvas canvas(painter, measure);
    paintPage(report, layout, pageNumber, measure, canvas);
    return image;
}

} // namespace korvan::gui
