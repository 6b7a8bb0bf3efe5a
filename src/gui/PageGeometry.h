#pragma once

// The page of a report in page units of 1/600 inch, the fixed device-
// independent space every report is laid out in: preview, printer and PDF
// scale the same layout to their own resolution, so they give the same
// pages. The printable area is the page less its margins: 50 units on every
// side, or the device's own unprintable margin where that is wider.

#include <QPageLayout>

namespace korvan::gui {

inline constexpr int kUnitsPerInch = 600;
inline constexpr int kMinimumMargin = 50;

struct PageGeometry {
    int pageWidth = 0;
    int pageHeight = 0;
    int marginLeft = kMinimumMargin;
    int marginTop = kMinimumMargin;
    int marginRight = kMinimumMargin;
    int marginBottom = kMinimumMargin;

    int left() const { return marginLeft; }
    int top() const { return marginTop; }
    int usableWidth() const { return pageWidth - marginRight - marginLeft; }
    int usableHeight() const { return pageHeight - marginBottom - marginTop; }
    // No row may reach below it.
    int bottomLimit() const { return top() + usableHeight(); }
};

// The physical page of a layout (its orientation applied) with margins kept
// inside the device's printable area.
PageGeometry pageGeometry(const QPageLayout& layout);

// The layout PDF files are written with: A4, portrait unless asked
// otherwise, no margins of its own.
QPageLayout pdfPageLayout(QPageLayout::Orientation orientation = QPageLayout::Portrait);

// Page units for a length in points.
double unitsFromPoints(double points);

} // namespace korvan::gui
