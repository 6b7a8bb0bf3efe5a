#include "ui/runs/ListWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPolygon>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace korvan::ui::runs {

namespace {

constexpr int kBalloonWidth = 320;
constexpr int kBalloonRightSideFrom = 381; // pointer x from which the balloon stands at the left
constexpr int kBalloonLines = 5;

// The balloon's texts laid out in its font: five lines 12 pixels apart at
// 8 points (more in a larger font), the first at 15 pixels from the left
// edge, the others indented to 33, 5 pixels of room at the right; as wide
// as its widest line needs, and at least 320 pixels.
struct BalloonLayout {
    explicit BalloonLayout(const QFontMetrics& metrics, const QStringList& lines)
        : lineStep(std::max(12, metrics.height()))
    {
        width = kBalloonWidth;
        for (int i = 0; i < lines.size() && i < kBalloonLines; ++i)
            width = std::max(width, textLeft(i) + metrics.horizontalAdvance(lines[i]) + 5);
        height = 10 + kBalloonLines * lineStep;
    }
    static int textLeft(int line) { return line == 0 ? 15 : 33; }
    int textTop(int line) const { return 5 + lineStep * line; }

    int lineStep;
    int width = kBalloonWidth;
    int height = 0;
};

} // namespace

// ListRowPainter ------------------------------------------------------------------

ListRowPainter::ListRowPainter(QPainter& painter, const ListGeometry& geometry, int x0, int top, QColor background)
    : painter_(painter), geometry_(geometry), x0_(x0), top_(top), rowBackground_(background), text_(Qt::black),
      background_(background)
{
}

void ListRowPainter::setColours(QColor text, QColor background)
{
    text_ = text;
    background_ = background;
}

int ListRowPainter::textWidth(const QString& text) const
{
    return painter_.fontMetrics().horizontalAdvance(text);
}

QColor ListRowPainter::minimumServiceColour() const
{
    return rowBackground_ == QColor(kCursorYellow) ? QColor(kCursorGrey) : QColor(kGridGrey);
}

namespace {

// The text as it fits in `room` pixels: whole, or cut with an ellipsis on
// the side `mode` names.
QString fitted(const QFontMetrics& metrics, const QString& text, int room, Qt::TextElideMode mode)
{
    if (room < 0 || metrics.horizontalAdvance(text) <= room)
        return text;
    return metrics.elidedText(text, mode, room);
}

} // namespace

void ListRowPainter::drawText(int x, const QString& whole, int clipWidth)
{
    const QFontMetrics metrics = painter_.fontMetrics();
    const QString text = fitted(metrics, whole, clipWidth, Qt::ElideRight);
    const int y = top_ + 2;
    int width = metrics.horizontalAdvance(text);
    if (clipWidth >= 0)
        width = std::min(width, clipWidth);
    if (width <= 0)
        return;
    const QRect box(x, y, width, metrics.height());
    painter_.save();
    painter_.setClipRect(box);
    painter_.fillRect(box, background_);
    painter_.setPen(text_);
    painter_.drawText(x, y + metrics.ascent(), text);
    painter_.restore();
}

void ListRowPainter::drawTextRightAligned(int right, const QString& whole, int left)
{
    const QString text = fitted(painter_.fontMetrics(), whole, left < 0 ? -1 : right - left, Qt::ElideLeft);
    const int width = textWidth(text);
    drawText(right - width, text, left < 0 ? -1 : std::min(width, right - left));
}

void ListRowPainter::drawCell(int column, const QString& text)
{
    drawText(x0_ + geometry_.textLeft(column), text, geometry_.widths[static_cast<size_t>(column)]);
}

void ListRowPainter::drawCellRightAligned(int column, const QString& text)
{
    drawTextRightAligned(x0_ + geometry_.textRight(column), text, x0_ + geometry_.textLeft(column));
}

// ListWindow ----------------------------------------------------------------------

ListWindow::ListWindow(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName("listWindow");
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(10);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setEnabled(false);
    verticalScrollBar()->setEnabled(false);
}

QFont ListWindow::listFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    font.setWeight(QFont::Bold);
    return font;
}

QFont ListWindow::balloonFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    return font;
}

void ListWindow::setClient(ListWindowClient* client)
{
    client_ = client;
    geometry_ = client_ ? measureColumns(listFont(), client_->columns()) : ListGeometry{};
    if (client_)
        geometry_.headerBands = 1 + client_->extraHeaderBands();
    reset();
}

void ListWindow::reset()
{
    scroll_ = ListScroll{};
    balloonRow_ = -1;
    anchorRow_ = -1;
    invalidate();
}

void ListWindow::refresh()
{
    invalidate();
}

int ListWindow::visibleRows() const
{
    return geometry_.visibleRows(viewport()->height());
}

void ListWindow::setCursorRow(int position)
{
    scroll_.cursorRow = position;
    anchorRow_ = -1;
    invalidate();
}

void ListWindow::setTopRow(int position)
{
    scroll_.topRow = position;
    scroll_.clampRows(clientRowCount(), visibleRows());
    invalidate();
}

void ListWindow::scrollToCursor()
{
    scroll_.scrollToCursor(clientRowCount(), visibleRows());
    invalidate();
}

int ListWindow::clientRowCount() const
{
    return client_ && client_->hasModel() ? client_->rowCount() : 0;
}

void ListWindow::invalidate()
{
    dirty_ = true;
    viewport()->update();
}

qreal ListWindow::pixelRatio() const
{
    return viewport()->devicePixelRatioF();
}

QImage ListWindow::renderList()
{
    renderBuffer();
    const qreal ratio = buffer_.devicePixelRatio();
    return buffer_.copy(QRectF(QPointF(0, 0), QSizeF(viewport()->size()) * ratio).toRect());
}

QImage ListWindow::renderWithBalloon()
{
    if (dirty_)
        renderBuffer();
    const qreal ratio = buffer_.devicePixelRatio();
    QImage image = buffer_.copy(QRectF(QPointF(0, 0), QSizeF(viewport()->size()) * ratio).toRect());
    if (balloonRow_ >= 0) {
        QPainter painter(&image);
        paintBalloon(painter);
    }
    return image;
}

void ListWindow::updateScrollBars(int rowCount, int visible)
{
    syncingBars_ = true;
    QScrollBar* horizontal = horizontalScrollBar();
    const int clientWidth = viewport()->width();
    const int total = geometry_.totalWidth();
    if (clientWidth < total) {
        horizontal->setEnabled(true);
        horizontal->setRange(0, total - clientWidth);
        horizontal->setPageStep(clientWidth);
        horizontal->setValue(scroll_.scrollX);
    } else {
        horizontal->setRange(0, 0);
        horizontal->setEnabled(false);
    }
    QScrollBar* vertical = verticalScrollBar();
    if (visible < rowCount) {
        vertical->setEnabled(true);
        vertical->setRange(0, rowCount - visible);
        vertical->setPageStep(std::max(visible, 1));
        vertical->setValue(scroll_.topRow);
    } else {
        vertical->setRange(0, 0);
        vertical->setEnabled(false);
    }
    syncingBars_ = false;
}

void ListWindow::renderBuffer()
{
    const QSize client = viewport()->size();
    // One image as large as the screen, in the screen's own pixels (a
    // scaled screen would otherwise show it enlarged and blurred), kept
    // while the window lives; a client area larger than the screen makes
    // it grow, a move to a screen of another pixel ratio makes it anew.
    const qreal ratio = pixelRatio();
    QSize wanted = client;
    if (const QScreen* screen = this->screen())
        wanted = wanted.expandedTo(screen->size());
    const QSize pixels = (QSizeF(wanted) * ratio).toSize();
    if (buffer_.devicePixelRatio() != ratio)
        buffer_ = QImage();
    if (buffer_.width() < pixels.width() || buffer_.height() < pixels.height()) {
        buffer_ = QImage(pixels.expandedTo(buffer_.size()), QImage::Format_RGB32);
        buffer_.setDevicePixelRatio(ratio);
    }
    dirty_ = false;
    balloonRow_ = -1;

    QPainter painter(&buffer_);
    painter.fillRect(QRect(QPoint(0, 0), client), QColor(kListWhite));
    if (!client_ || !client_->hasModel()) {
        rowCount_ = 0;
        updateScrollBars(0, visibleRows());
        return;
    }
    rowCount_ = client_->rowCount();
    const int visible = visibleRows();
    scroll_.clampForPaint(rowCount_, visible);
    updateScrollBars(rowCount_, visible);

    painter.setFont(listFont());
    const int x0 = -scroll_.scrollX;
    paintHeader(painter, x0);
    const int h = geometry_.lineHeight;
    const int total = geometry_.totalWidth();
    for (int position = scroll_.topRow; position < scroll_.topRow + visible && position < rowCount_; ++position) {
        const int top = geometry_.rowTop(position, scroll_.topRow);
        QColor background(kListWhite);
        if (position == scroll_.cursorRow) {
            background = QColor(kCursorYellow);
            painter.fillRect(QRect(QPoint(x0, top + 1), QPoint(x0 + total - 1, top + h + 4)), background);
        }
        ListRowPainter row(painter, geometry_, x0, top, background);
        client_->paintRow(row, position);
        paintGridLines(painter, x0, top, top + h + 4);
    }
}

void ListWindow::paintHeader(QPainter& painter, int x0)
{
    // The column headers stand in the last band, under the client's own.
    const int top = geometry_.headerHeight() - geometry_.bandHeight();
    if (top > 0) {
        painter.save();
        client_->paintExtraBands(painter, viewport()->width(), geometry_.bandHeight());
        painter.restore();
    }
    const int bottom = geometry_.headerHeight();
    const int total = geometry_.totalWidth();
    painter.fillRect(QRect(QPoint(x0, top), QPoint(x0 + total - 1, bottom - 1)), QColor(kHeaderBlue));
    painter.setPen(QColor(kGridGrey));
    painter.drawLine(x0, top, x0, bottom);
    painter.drawLine(x0, top, x0 + total, top);
    ListRowPainter header(painter, geometry_, x0, top + 2, QColor(kHeaderBlue));
    header.setColours(Qt::white, QColor(kHeaderBlue));
    const std::vector<ListColumn> columns = client_->columns();
    for (int i = 0; i < geometry_.columnCount() && i < static_cast<int>(columns.size()); ++i)
        header.drawText(x0 + geometry_.textLeft(i), columns[static_cast<size_t>(i)].header,
                        geometry_.widths[static_cast<size_t>(i)]);
    paintGridLines(painter, x0, top, bottom);
}

void ListWindow::paintGridLines(QPainter& painter, int x0, int top, int bottom)
{
    painter.setPen(QColor(kGridGrey));
    for (int i = 0; i < geometry_.columnCount(); ++i)
        painter.drawLine(x0 + geometry_.boundary(i), top, x0 + geometry_.boundary(i), bottom);
    painter.drawLine(x0, bottom, x0 + geometry_.totalWidth(), bottom);
}

void ListWindow::paintEvent(QPaintEvent* event)
{
    if (dirty_)
        renderBuffer();
    QPainter painter(viewport());
    const QRect area = event->rect();
    const qreal ratio = buffer_.devicePixelRatio();
    painter.drawImage(QRectF(area), buffer_, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
    if (balloonRow_ >= 0)
        paintBalloon(painter);
}

void ListWindow::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    invalidate();
}

void ListWindow::scrollContentsBy(int, int)
{
    if (syncingBars_)
        return;
    scroll_.topRow = verticalScrollBar()->value();
    scroll_.clampRows(clientRowCount(), visibleRows());
    scroll_.scrollX = horizontalScrollBar()->value();
    scroll_.clampScrollX(geometry_.totalWidth(), viewport()->width());
    invalidate();
}

// Mouse ---------------------------------------------------------------------------

int ListWindow::moveCursorTo(int y)
{
    scroll_.cursorRow = scroll_.clickedRow(geometry_.positionAt(y, scroll_.topRow), clientRowCount(), visibleRows());
    return scroll_.cursorRow;
}

bool ListWindow::onHeader(const QPoint& point) const
{
    return point.y() < geometry_.headerHeight();
}

void ListWindow::toggleSelection(int position)
{
    client_->setSelected(position, !client_->isSelected(position));
}

void ListWindow::mousePressEvent(QMouseEvent* event)
{
    if (!client_ || !client_->hasModel())
        return;
    setFocus(Qt::MouseFocusReason);
    // The middle and side buttons have no meaning here: the cursor stays.
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        event->ignore();
        return;
    }
    anchorRow_ = -1;
    // The header names the columns: a click there leaves the cursor and the
    // selection on their rows; the right button still offers the pop-up.
    if (onHeader(event->position().toPoint())) {
        if (event->button() == Qt::RightButton)
            client_->popupRequested(scroll_.cursorRow, event->globalPosition().toPoint());
        return;
    }
    const int position = moveCursorTo(event->position().toPoint().y());
    if (event->button() == Qt::LeftButton) {
        if ((event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) && position >= 0 &&
            position < clientRowCount())
            toggleSelection(position);
        invalidate();
    } else if (event->button() == Qt::RightButton) {
        invalidate();
        viewport()->repaint();
        client_->popupRequested(position, event->globalPosition().toPoint());
    }
}

void ListWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!client_ || !client_->hasModel() || event->button() != Qt::LeftButton || onHeader(event->position().toPoint()))
        return;
    const int position = moveCursorTo(event->position().toPoint().y());
    invalidate();
    viewport()->repaint();
    client_->rowActivated(position);
}

void ListWindow::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void ListWindow::wheelEvent(QWheelEvent* event)
{
    // A sideways swipe moves no row.
    if (!client_ || !client_->hasModel() || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    scroll_.topRow += event->angleDelta().y() < 0 ? 1 : -1;
    scroll_.clampRows(clientRowCount(), visibleRows());
    invalidate();
    event->accept();
}

// Keyboard -------------------------------------------------------------------------

void ListWindow::keyPressEvent(QKeyEvent* event)
{
    const int count = clientRowCount();
    if (!client_ || !client_->hasModel()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Find)) {
        client_->findRequested();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        client_->copyRequested();
        return;
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const int cursor = std::clamp(scroll_.cursorRow, 0, std::max(count - 1, 0));
    const int page = std::max(visibleRows(), 1);
    switch (event->key()) {
    case Qt::Key_Up:
        moveCursorByKey(cursor - 1, extend);
        return;
    case Qt::Key_Down:
        moveCursorByKey(cursor + 1, extend);
        return;
    case Qt::Key_PageUp:
        moveCursorByKey(cursor - page, extend);
        return;
    case Qt::Key_PageDown:
        moveCursorByKey(cursor + page, extend);
        return;
    case Qt::Key_Home:
        moveCursorByKey(0, extend);
        return;
    case Qt::Key_End:
        moveCursorByKey(count - 1, extend);
        return;
    case Qt::Key_Space:
        if (count > 0) {
            anchorRow_ = -1;
            toggleSelection(cursor);
            invalidate();
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (count > 0) {
            scroll_.cursorRow = cursor;
            scroll_.scrollToCursor(count, visibleRows());
            invalidate();
            viewport()->repaint();
            client_->rowActivated(cursor);
        }
        return;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ListWindow::moveCursorByKey(int position, bool extend)
{
    const int count = clientRowCount();
    if (count == 0)
        return;
    const int from = std::clamp(scroll_.cursorRow, 0, count - 1);
    const int to = std::clamp(position, 0, count - 1);
    if (extend) {
        // The rows from where the selection began to the cursor are
        // selected; those the cursor leaves on its way back are not.
        if (anchorRow_ < 0 || anchorRow_ >= count)
            anchorRow_ = from;
        const auto between = [](int row, int a, int b) { return row >= std::min(a, b) && row <= std::max(a, b); };
        for (int row = std::min(from, to); row <= std::max(from, to); ++row) {
            if (between(row, anchorRow_, to))
                client_->setSelected(row, true);
            else if (between(row, anchorRow_, from))
                client_->setSelected(row, false);
        }
    } else {
        anchorRow_ = -1;
    }
    scroll_.cursorRow = to;
    scroll_.scrollToCursor(count, visibleRows());
    invalidate();
}

void ListWindow::mouseMoveEvent(QMouseEvent* event)
{
    pointerMovedTo(event->position().toPoint());
}

void ListWindow::pointerMovedTo(const QPoint& point)
{
    if (!client_ || !client_->hasModel() || !client_->showsBalloon() || dirty_)
        return;
    const int position = geometry_.positionAt(point.y(), scroll_.topRow);
    const bool onRow = point.y() > geometry_.headerHeight() && position >= scroll_.topRow && position < rowCount_ &&
                       position < scroll_.topRow + visibleRows();
    if (!onRow) {
        if (balloonRow_ >= 0) {
            balloonRow_ = -1;
            viewport()->update(balloonRect_);
        }
        return;
    }
    if (position == balloonRow_)
        return;
    if (balloonRow_ >= 0)
        viewport()->update(balloonRect_);
    balloonRow_ = position;
    balloonRect_ = balloonPlace(position, point.x());
    balloonBelowRow_ = balloonRect_.top() == geometry_.rowTop(position, scroll_.topRow) + 2;
    viewport()->update(balloonRect_);
}

QRect ListWindow::balloonPlace(int position, int pointerX) const
{
    const BalloonLayout layout(QFontMetrics(balloonFont()), client_->balloonLines(position));
    const int rowTop = geometry_.rowTop(position, scroll_.topRow);
    const int h = geometry_.lineHeight;
    int top = rowTop + 2;
    if (viewport()->height() < rowTop + layout.height + 5)
        top = rowTop + h + 3 - layout.height;
    int left = 50;
    if (pointerX < kBalloonRightSideFrom) {
        // Right edge under the last column but one.
        int right = -scroll_.scrollX - 25;
        for (int i = 0; i + 1 < geometry_.columnCount(); ++i)
            right += geometry_.widths[static_cast<size_t>(i)];
        left = right - layout.width;
    }
    // A balloon widened by a long text stays on the window where it can.
    left = std::max(0, std::min(left, viewport()->width() - layout.width - 1));
    return QRect(left, top, layout.width + 1, layout.height + 1);
}

void ListWindow::paintBalloon(QPainter& painter) const
{
    if (!client_ || balloonRow_ < 0)
        return;
    const QStringList lines = client_->balloonLines(balloonRow_);
    const QFont font = balloonFont();
    const QFontMetrics metrics(font);
    const BalloonLayout layout(metrics, lines);
    const int l = balloonRect_.left();
    const int t = balloonRect_.top();
    const int r = l + balloonRect_.width() - 1;
    const int b = t + balloonRect_.height() - 1;
    QPolygon shape;
    shape << QPoint(l + 20, t) << QPoint(r - 1, t) << QPoint(r - 1, b - 1) << QPoint(l + 10, b - 1);
    if (balloonBelowRow_)
        shape << QPoint(l + 10, t + 14) << QPoint(l, t + 9) << QPoint(l + 10, t + 4);
    else
        shape << QPoint(l + 10, b - 5) << QPoint(l, b - 10) << QPoint(l + 10, b - 15);
    shape << QPoint(l + 10, t);
    painter.save();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(kBalloonIvory));
    painter.drawPolygon(shape);
    painter.setFont(font);
    for (int i = 0; i < lines.size() && i < kBalloonLines; ++i) {
        const int x = l + BalloonLayout::textLeft(i);
        const int y = t + layout.textTop(i);
        const QRect box(x, y, std::max(0, std::min(metrics.horizontalAdvance(lines[i]), r - 5 - x)), metrics.height());
        painter.setClipRect(box);
        painter.fillRect(box, QColor(kBalloonIvory));
        painter.setPen(Qt::black);
        painter.drawText(x, y + metrics.ascent(), lines[i]);
    }
    painter.restore();
}

} // namespace korvan::ui::runs
