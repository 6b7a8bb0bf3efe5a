#include "ui/runs/ListWindow.h"

#include <QGuiApplication>
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
constexpr int kBalloonHeight = 70;
constexpr int kBalloonRightSideFrom = 381; // pointer x from which the balloon stands at the left

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

void ListRowPainter::drawText(int x, const QString& text, int clipWidth)
{
    const QFontMetrics metrics = painter_.fontMetrics();
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

void ListRowPainter::drawTextRightAligned(int right, const QString& text)
{
    drawText(right - textWidth(text), text);
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

QImage ListWindow::renderList()
{
    renderBuffer();
    return buffer_.copy(viewport()->rect());
}

QImage ListWindow::renderWithBalloon()
{
    if (dirty_)
        renderBuffer();
    QImage image = buffer_.copy(viewport()->rect());
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
    // One image as large as the screen, kept while the window lives; a
    // client area larger than the screen makes it grow.
    QSize wanted = client;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        wanted = wanted.expandedTo(screen->size());
    if (buffer_.width() < wanted.width() || buffer_.height() < wanted.height())
        buffer_ = QImage(wanted.expandedTo(buffer_.size()), QImage::Format_RGB32);
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
    painter.drawImage(area.topLeft(), buffer_, area);
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

void ListWindow::mousePressEvent(QMouseEvent* event)
{
    if (!client_ || !client_->hasModel())
        return;
    setFocus(Qt::MouseFocusReason);
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
            client_->toggleSelection(position);
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
    if (!client_ || !client_->hasModel())
        return;
    scroll_.topRow += event->angleDelta().y() < 0 ? 1 : -1;
    scroll_.clampRows(clientRowCount(), visibleRows());
    invalidate();
    event->accept();
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
    viewport()->update(balloonRect_);
}

QRect ListWindow::balloonPlace(int position, int pointerX) const
{
    const int rowTop = geometry_.rowTop(position, scroll_.topRow);
    const int h = geometry_.lineHeight;
    int top = rowTop + 2;
    if (viewport()->height() < rowTop + 75)
        top = rowTop + h + 3 - kBalloonHeight;
    int left = 50;
    if (pointerX < kBalloonRightSideFrom) {
        // Right edge under the last column but one.
        int right = -scroll_.scrollX - 25;
        for (int i = 0; i + 1 < geometry_.columnCount(); ++i)
            right += geometry_.widths[static_cast<size_t>(i)];
        left = right - kBalloonWidth;
    }
    return QRect(left, top, kBalloonWidth + 1, kBalloonHeight + 1);
}

void ListWindow::paintBalloon(QPainter& painter) const
{
    if (!client_ || balloonRow_ < 0)
        return;
    const int l = balloonRect_.left();
    const int t = balloonRect_.top();
    const int r = l + kBalloonWidth;
    const int b = t + kBalloonHeight;
    const bool belowRow = t == geometry_.rowTop(balloonRow_, scroll_.topRow) + 2;
    QPolygon shape;
    shape << QPoint(l + 20, t) << QPoint(r - 1, t) << QPoint(r - 1, b - 1) << QPoint(l + 10, b - 1);
    if (belowRow)
        shape << QPoint(l + 10, t + 14) << QPoint(l, t + 9) << QPoint(l + 10, t + 4);
    else
        shape << QPoint(l + 10, b - 5) << QPoint(l, b - 10) << QPoint(l + 10, b - 15);
    shape << QPoint(l + 10, t);
    painter.save();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(kBalloonIvory));
    painter.drawPolygon(shape);
    painter.setFont(balloonFont());
    const QFontMetrics metrics = painter.fontMetrics();
    const QStringList lines = client_->balloonLines(balloonRow_);
    for (int i = 0; i < lines.size() && i < 5; ++i) {
        const int x = i == 0 ? l + 15 : l + 33;
        const int y = i == 0 ? t + 5 : t + 17 + 12 * (i - 1);
        const QRect box(x, y, std::max(0, std::min(metrics.horizontalAdvance(lines[i]), r - 5 - x)), metrics.height());
        painter.setClipRect(box);
        painter.fillRect(box, QColor(kBalloonIvory));
        painter.setPen(Qt::black);
        painter.drawText(x, y + metrics.ascent(), lines[i]);
    }
    painter.restore();
}

} // namespace korvan::ui::runs
