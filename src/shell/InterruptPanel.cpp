#include "shell/InterruptPanel.h"

#include "shell/ClientAreaWidget.h"

#include <QApplication>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QPushButton>

namespace korvan::shell {

namespace {

constexpr int kGapAboveBanner = 8;

} // namespace

InterruptPanel::InterruptPanel(QWidget* owner, QWidget* clientArea)
    : QFrame(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      button_(new QPushButton(QStringLiteral("Interrompi")))
{
    setObjectName("interruptPanel");
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAttribute(Qt::WA_ShowWithoutActivating);
    button_->setObjectName("interruptButton");
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setToolTip(QStringLiteral("Interrompe l'operazione (Esc): nessuna modifica viene registrata"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(button_);
    adjustSize();
    placeOver(clientArea);
}

InterruptPanel::~InterruptPanel()
{
    restorePointer();
}

void InterruptPanel::placeOver(QWidget* clientArea)
{
    if (!clientArea)
        return;
    const QFontMetrics metrics(clientArea->font());
    const int textHeight = metrics.size(Qt::TextSingleLine, QStringLiteral("Aq")).height();
    const QRect banner = ClientAreaWidget::bannerRect(clientArea->size(), textHeight);
    const QPoint topLeft((clientArea->width() - width()) / 2, banner.top() - kGapAboveBanner - height());
    move(clientArea->mapToGlobal(topLeft));
}

void InterruptPanel::enterEvent(QEnterEvent* event)
{
    QFrame::enterEvent(event);
    if (!arrowShown_ && QApplication::overrideCursor()) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        arrowShown_ = true;
    }
}

void InterruptPanel::leaveEvent(QEvent* event)
{
    QFrame::leaveEvent(event);
    restorePointer();
}

void InterruptPanel::restorePointer()
{
    if (arrowShown_) {
        QApplication::restoreOverrideCursor();
        arrowShown_ = false;
    }
}

} // namespace korvan::shell
