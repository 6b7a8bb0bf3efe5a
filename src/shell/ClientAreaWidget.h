#pragma once

// The main window's client area: the background picture centred on the
// colour of its top-left pixel, the one-shot status banner, and the place
// where a report view is shown (covering the picture).

#include <QImage>
#include <QWidget>

namespace korvan::shell {

class ClientAreaWidget : public QWidget {
    Q_OBJECT
  public:
    explicit ClientAreaWidget(QWidget* parent = nullptr);

    // Repaints the whole area at once with `text` in a dark blue band near
    // the bottom. The banner is not remembered: the next repaint erases it.
    void showStatusBanner(const QString& text);
    // The text of the last banner shown.
    const QString& bannerText() const { return bannerText_; }

    // Puts `view` over the whole area (nullptr: none). The caller owns it.
    void setCoveringView(QWidget* view);

    const QImage& picture() const { return picture_; }
    // The colour around the picture: its top-left pixel.
    QColor surroundColour() const;

    // Where the picture goes in a client area of `client` size (integer
    // halves of the differences; negative when the area is smaller).
    static QPoint pictureOrigin(const QSize& client, const QSize& picture);
    // The band: full width, bottom edge 21 pixels above the client bottom,
    // `textHeight` + 10 high.
    static QRect bannerRect(const QSize& client, int textHeight);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void paintBanner(QPainter& painter);

    QImage picture_;
    QWidget* coveringView_ = nullptr;
    QString bannerText_;
    bool bannerPending_ = false;
};

// Dark blue of the banner, RGB(0, 0, 192).
inline constexpr QRgb kBannerColour = 0xFF0000C0;

} // namespace korvan::shell
