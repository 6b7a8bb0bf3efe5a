#include "shell/ClientAreaWidget.h"

#include "shell/ShellResources.h"

#include <QPainter>
#include <QResizeEvent>

namespace korvan::shell {

ClientAreaWidget::ClientAreaWidget(QWidget* parent) : QWidget(parent)
{
    initShellResources();
    picture_.load(QStringLiteral(":/korvan/background.png"));
    setObjectName("clientArea");
    // Every pixel is painted: no background erase before paintEvent.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor ClientAreaWidget::surroundColour() const
{
    return picture_.isNull() ? QColor(Qt::gray) : picture_.pixelColor(0, 0);
}

QPoint ClientAreaWidget::pictureOrigin(const QSize& client, const QSize& picture)
{
    return {(client.width() - picture.width()) / 2, (client.height() - picture.height()) / 2};
}

QRect ClientAreaWidget::bannerRect(const QSize& client, int textHeight)
{
    const int bottom = client.height() - 21;
    const int top = bottom - textHeight - 10;
    return QRect(QPoint(0, top), QPoint(client.width() - 1, bottom - 1));
}

void ClientAreaWidget::showStatusBanner(const QString& text)
{
    bannerText_ = text;
    bannerPending_ = true;
    repaint();
}

void ClientAreaWidget::setCoveringView(QWidget* view)
{
    coveringView_ = view;
    if (view) {
        view->setParent(this);
        view->setGeometry(rect());
        view->show();
        view->raise();
    }
    repaint();
}

void ClientAreaWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (coveringView_)
        coveringView_->setGeometry(rect());
    // The picture is re-centred: repaint everything (this also drops a banner).
    update();
}

void ClientAreaWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), surroundColour());
    if (!picture_.isNull())
        painter.drawImage(pictureOrigin(size(), picture_.size()), picture_);
    if (bannerPending_) {
        paintBanner(painter);
        bannerPending_ = false;
    }
}

void ClientAreaWidget::paintBanner(QPainter& painter)
{
    const QFontMetrics metrics(font());
    // The extent height of "Aq": the font's full line height.
    const int textHeight = metrics.size(Qt::TextSingleLine, QStringLiteral("Aq")).height();
    const QRect band = bannerRect(size(), textHeight);
    painter.fillRect(band, QColor::fromRgb(kBannerColour));
    const int textWidth = metrics.horizontalAdvance(bannerText_);
    const int x = textWidth < width() ? (width() - textWidth) / 2 : 0;
    painter.setPen(Qt::white);
    painter.setFont(font());
    painter.drawText(QRect(x, band.top() + 5, width() - x, textHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, bannerText_);
}

} // namespace korvan::shell
