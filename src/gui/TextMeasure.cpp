#include "gui/TextMeasure.h"

#include "gui/PageGeometry.h"

#include <QImage>

#include <cmath>

namespace korvan::gui {

namespace {

QFont reportFont(double points)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(unitsFromPoints(points))));
    font.setWeight(QFont::Normal);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The surface every text is measured on.
const QPaintDevice* measuringSurface()
{
    static const QImage surface = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = static_cast<int>(std::lround(kUnitsPerInch / 0.0254));
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        return image;
    }();
    return &surface;
}

} // namespace

TextMeasure::TextMeasure(double points)
    : font_(reportFont(points)), metrics_(font_, measuringSurface()),
      height_(static_cast<int>(std::ceil(metrics_.height()))), ascent_(metrics_.ascent())
{
}

int TextMeasure::width(const std::string& text) const
{
    return static_cast<int>(std::ceil(metrics_.horizontalAdvance(QString::fromStdString(text))));
}

} // namespace korvan::gui
