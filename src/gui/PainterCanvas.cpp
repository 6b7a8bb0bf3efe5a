#include "gui/PainterCanvas.h"

#include "gui/TextMeasure.h"

#include <QPainter>

namespace korvan::gui {

PainterCanvas::PainterCanvas(QPainter& painter, const TextMeasure& measure) : painter_(painter), measure_(measure)
{
    painter_.setFont(measure_.font());
    painter_.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter_.setBrush(Qt::NoBrush);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

void PainterCanvas::drawText(int x, int y, const std::string& text)
{
    painter_.drawText(QPointF(x, y + measure_.ascent()), QString::fromStdString(text));
}

void PainterCanvas::drawInvertedText(int x, int y, const std::string& text)
{
    painter_.fillRect(QRectF(x, y, measure_.width(text), measure_.height()), Qt::black);
    const QPen rules = painter_.pen();
    painter_.setPen(Qt::white);
    painter_.drawText(QPointF(x, y + measure_.ascent()), QString::fromStdString(text));
    painter_.setPen(rules);
}

void PainterCanvas::fillRect(int left, int top, int right, int bottom, const QColor& color)
{
    painter_.fillRect(QRectF(left, top, right - left, bottom - top), color);
}

void PainterCanvas::drawLine(int x1, int y1, int x2, int y2)
{
    painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

} // namespace korvan::gui
