#include "gui/PageGeometry.h"

#include <QPageSize>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace korvan::gui {

double unitsFromPoints(double points)
{
    return points * kUnitsPerInch / 72.0;
}

namespace {

// Margins come in millimetres: Qt keeps them in the units they were given in
// and rounds them when converting to points.
double unitsFromMillimetres(double millimetres)
{
    return millimetres * kUnitsPerInch / 25.4;
}

int marginUnits(double millimetres)
{
    return std::max(kMinimumMargin, static_cast<int>(std::ceil(unitsFromMillimetres(millimetres) - 1e-6)));
}

} // namespace

PageGeometry pageGeometry(const QPageLayout& layout)
{
    PageGeometry page;
    // The paper as the device has it (Qt's page sizes are whole points: A4
    // is 595 x 842), in whole units inside it.
    const QRectF full = layout.fullRect(QPageLayout::Point);
    page.pageWidth = static_cast<int>(std::floor(unitsFromPoints(full.width()) + 1e-6));
    page.pageHeight = static_cast<int>(std::floor(unitsFromPoints(full.height()) + 1e-6));
    QPageLayout inMillimetres = layout;
    inMillimetres.setUnits(QPageLayout::Millimeter);
    const QMarginsF unprintable = inMillimetres.minimumMargins();
    page.marginLeft = marginUnits(unprintable.left());
    page.marginTop = marginUnits(unprintable.top());
    page.marginRight = marginUnits(unprintable.right());
    page.marginBottom = marginUnits(unprintable.bottom());
    return page;
}

QPageLayout pdfPageLayout(QPageLayout::Orientation orientation)
{
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

} // namespace korvan::gui
