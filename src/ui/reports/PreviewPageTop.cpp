#include "ui/reports/PreviewPageTop.h"

#include <QEvent>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPrintPreviewWidget>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace korvan::ui::reports {

namespace {

// The room left above the page, as Qt leaves between pages.
constexpr int kMarginAbove = 10;

} // namespace

PreviewPageTop::PreviewPageTop(QPrintPreviewWidget* pages) : QObject(pages), pages_(pages)
{
    pages->installEventFilter(this);
}

void PreviewPageTop::showPageTop(QPrintPreviewWidget* pages)
{
    auto* view = pages->findChild<QGraphicsView*>();
    if (!view || !view->scene())
        return;
    // The pages are the scene's top items, one under the other.
    std::vector<qreal> tops;
    for (const QGraphicsItem* item : view->scene()->items())
        if (!item->parentItem())
            tops.push_back(item->sceneBoundingRect().top());
    std::sort(tops.begin(), tops.end());
    const int page = pages->currentPage();
    if (page < 1 || page > static_cast<int>(tops.size()))
        return;
    QScrollBar* scroll = view->verticalScrollBar();
    const int pageTop = view->mapFromScene(QPointF(0, tops[static_cast<size_t>(page - 1)])).y();
    scroll->setValue(scroll->value() + pageTop - kMarginAbove);
}

bool PreviewPageTop::eventFilter(QObject* watched, QEvent* event)
{
    // After the preview's own handling of the resize, which fits the page.
    if (watched == pages_ && event->type() == QEvent::Resize)
        QMetaObject::invokeMethod(
            pages_, [pages = pages_] { showPageTop(pages); }, Qt::QueuedConnection);
    return false;
}

} // namespace korvan::ui::reports
