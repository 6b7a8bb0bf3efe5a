#pragma once

// The owner-drawn list window of the run browser and of its views: a header
// band and rows of texts in fixed columns, drawn whole into an off-screen
// image (at the screen's pixel ratio) and copied to the screen in one
// block; a cursor row; selection by Shift- or Ctrl-click; double click and
// the pop-up menu handed to the client; scrolling by wheel and scroll bars;
// the keyboard (cursor keys, Space, Shift with the arrows, Enter, Ctrl+F,
// Ctrl+C); and a balloon with the details of the row under the pointer,
// drawn over the list and erased by copying the list back from the image.
//
// What the rows hold and how their cells look is the client's
// (ListWindowClient): the window owns the geometry, the cursor, the
// scrolling and the balloon.

#include "ui/runs/ListGeometry.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <vector>

namespace korvan::ui::runs {

// Colours of the list windows.
inline constexpr QRgb kListWhite = 0xFFFFFFFF;
inline constexpr QRgb kListBlack = 0xFF000000;
inline constexpr QRgb kHeaderBlue = 0xFF0000C0;
inline constexpr QRgb kGridGrey = 0xFFC0C0C0;
inline constexpr QRgb kCursorYellow = 0xFFFFFF00;
inline constexpr QRgb kModifiedRed = 0xFFC00000;
inline constexpr QRgb kMarkerGreen = 0xFF00C000;
inline constexpr QRgb kBalloonIvory = 0xFFFFFFF0;
// "Servizio Minimo" on the yellow cursor row: the list's light grey does
// not read there.
inline constexpr QRgb kCursorGrey = 0xFF606060;

// Draws the texts of one row: every text has an opaque background in the
// current background colour, as the list's cells are boxes of colour.
class ListRowPainter {
  public:
    ListRowPainter(QPainter& painter, const ListGeometry& geometry, int x0, int top, QColor background);

    const ListGeometry& listGeometry() const { return geometry_; }
    // The list's left edge (-scrollX) and the row's top; texts go at top + 2.
    int x0() const { return x0_; }
    int top() const { return top_; }
    // The row's own background: yellow on the cursor row, else white.
    QColor rowBackground() const { return rowBackground_; }

    void setColours(QColor text, QColor background);
    QColor textColour() const { return text_; }
    QColor backgroundColour() const { return background_; }

    // The grey of "Servizio Minimo": the list's, or a darker one on the
    // cursor row.
    QColor minimumServiceColour() const;

    int textWidth(const QString& text) const;
    // The text with its left edge at x, cut at clipWidth pixels (-1: none);
    // a cut text ends in an ellipsis, so that it shows it goes on.
    void drawText(int x, const QString& text, int clipWidth = -1);
    // The text ending at `right`, cut likewise at `left` (-1: none).
    void drawTextRightAligned(int right, const QString& text, int left = -1);
    // The text of column `column`, at its left or ending at its right, cut
    // to the column.
    void drawCell(int column, const QString& text);
    void drawCellRightAligned(int column, const QString& text);

  private:
    QPainter& painter_;
    const ListGeometry& geometry_;
    int x0_;
    int top_;
    QColor rowBackground_;
    QColor text_;
    QColor background_;
};

class ListWindowClient {
  public:
    virtual ~ListWindowClient() = default;

    // The columns; measured once when the client is attached.
    virtual std::vector<ListColumn> columns() const = 0;
    // False when no rows are loaded at all: the window is plain white.
    virtual bool hasModel() const = 0;
    virtual int rowCount() const = 0;
    // The row's cells, in the painter's row; the window has filled the
    // cursor row and draws the grid afterwards.
    virtual void paintRow(ListRowPainter& painter, int position) = 0;
    // The selection of a row (Shift- or Ctrl-click, Space, Shift with the
    // arrows); a row that cannot be selected ignores it.
    virtual bool isSelected(int position) const = 0;
    virtual void setSelected(int position, bool selected) = 0;
    // Double click or Enter on a row (the cursor is on it and the list
    // redrawn).
    virtual void rowActivated(int position) = 0;
    // Ctrl+F and Ctrl+C on the list; nothing unless the client finds and
    // copies.
    virtual void findRequested() {}
    virtual void copyRequested() {}
    // Right click on a row at `globalPos` (the cursor is on it).
    virtual void popupRequested(int position, const QPoint& globalPos) = 0;
    // The balloon's texts: a title and up to four detail lines.
    virtual QStringList balloonLines(int position) const = 0;
    // A list without balloon (the split views) shows none.
    virtual bool showsBalloon() const { return true; }
    // Bands above the column headers, each h + 6 pixels tall, painted by the
    // client over the whole client width; they do not scroll.
    virtual int extraHeaderBands() const { return 0; }
    virtual void paintExtraBands(QPainter& painter, int clientWidth, int bandHeight)
    {
        (void)painter;
        (void)clientWidth;
        (void)bandHeight;
    }
};

class ListWindow : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit ListWindow(QWidget* parent = nullptr);

    // The bold 8-point "Arial" of the rows and the plain one of the balloon.
    static QFont listFont();
    static QFont balloonFont();

    // Attaches the client (nullptr: none) and measures its columns.
    void setClient(ListWindowClient* client);
    ListWindowClient* client() const { return client_; }
    const ListGeometry& listGeometry() const { return geometry_; }

    // After a new set of rows: first row, offset and cursor to 0, no balloon.
    void reset();
    // The rows or their texts changed: draw again.
    void refresh();

    int cursorRow() const { return scroll_.cursorRow; }
    int topRow() const { return scroll_.topRow; }
    int scrollX() const { return scroll_.scrollX; }
    int visibleRows() const;
    void setCursorRow(int position);
    void setTopRow(int position);
    // Scrolls the least that shows the cursor row.
    void scrollToCursor();

    // Draws the list into the off-screen image now and returns what the
    // client area shows (without a balloon).
    QImage renderList();
    // The balloon's row (-1: none) and rectangle in client coordinates.
    int balloonRow() const { return balloonRow_; }
    QRect balloonRect() const { return balloonRect_; }
    // The balloon of a row as the client area would show it over the list.
    QImage renderWithBalloon();
    // The pointer moved to `point` (client coordinates): shows, moves or
    // erases the balloon.
    void pointerMovedTo(const QPoint& point);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void renderBuffer();
    void paintHeader(QPainter& painter, int x0);
    void paintGridLines(QPainter& painter, int x0, int top, int bottom);
    void updateScrollBars(int rowCount, int visible);
    // The row a click at y moves the cursor to; -1 without rows.
    int moveCursorTo(int y);
    // The header band: a click there is no click on a row.
    bool onHeader(const QPoint& point) const;
    // The rows the client holds now (rowCount_ is those of the last paint).
    int clientRowCount() const;
    // The cursor to `position` by a key, Shift extending the selection from
    // where it began.
    void moveCursorByKey(int position, bool extend);
    void toggleSelection(int position);
    qreal pixelRatio() const;
    QRect balloonPlace(int position, int pointerX) const;
    // Draws the balloon of balloonRow_ over what the painter holds.
    void paintBalloon(QPainter& painter) const;
    void invalidate();

    ListWindowClient* client_ = nullptr;
    ListGeometry geometry_;
    ListScroll scroll_;
    QImage buffer_;
    bool dirty_ = true;
    bool syncingBars_ = false;
    int rowCount_ = 0;
    int balloonRow_ = -1;
    QRect balloonRect_;
    bool balloonBelowRow_ = true;
    // Where a selection by Shift and the arrows began (-1: none).
    int anchorRow_ = -1;
};

} // namespace korvan::ui::runs
