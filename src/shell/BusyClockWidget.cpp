#include "shell/BusyClockWidget.h"

#include <QDateTime>
#include <QPainter>
#include <QThread>

namespace korvan::shell {

namespace {

constexpr int kFrameWidth = 2;
// The worker sleeps its second in slices so that it notices the flag soon.
constexpr int kSleepSliceMs = 50;
constexpr int kSlicesPerSecond = 1000 / kSleepSliceMs;

std::int64_t nowSeconds()
{
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace

BusyClockWidget::BusyClockWidget(QWidget* parent) : QFrame(parent), pictures_(ClockPictures::create())
{
    setObjectName("busyClock");
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(kFrameWidth);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(clientSize() + QSize(2 * kFrameWidth, 2 * kFrameWidth));
    hide();
}

BusyClockWidget::~BusyClockWidget()
{
    running_ = false;
    joinWorker();
}

QSize BusyClockWidget::clientSize() const
{
    return {pictures_.colonWidth() + 4 * pictures_.digitWidth() + 30, pictures_.height() + 30};
}

void BusyClockWidget::joinWorker()
{
    if (!worker_)
        return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

void BusyClockWidget::start()
{
    if (running_)
        return;
    // A worker told to stop may still be finishing its last slice.
    joinWorker();
    startTime_ = nowSeconds();
    ++runNumber_;
    shownDigits_ = {};
    colonShown_ = true;
    centreInParent();
    show();
    raise();
    repaint();
    running_ = true;
    const std::int64_t startTime = startTime_;
    const std::uint64_t run = runNumber_;
    worker_ = QThread::create([this, startTime, run] { runWorker(startTime, run); });
    worker_->start(QThread::LowestPriority);
}

void BusyClockWidget::idleHook()
{
    if (running_)
        running_ = false;
}

void BusyClockWidget::runWorker(std::int64_t startTime, std::uint64_t run)
{
    bool colon = true;
    for (;;) {
        if (!running_) {
            QMetaObject::invokeMethod(
                this, [this, run] { hideAfterRun(run); }, Qt::QueuedConnection);
            return;
        }
        const ClockDigits digits = clockDigits(secondsToDays(nowSeconds() - startTime));
        QMetaObject::invokeMethod(
            this, [this, run, digits, colon] { showTick(run, digits, colon); }, Qt::QueuedConnection);
        colon = !colon;
        for (int slice = 0; slice < kSlicesPerSecond && running_; ++slice)
            QThread::msleep(kSleepSliceMs);
    }
}

void BusyClockWidget::showTick(std::uint64_t run, ClockDigits digits, bool colon)
{
    if (run != runNumber_ || !running_)
        return;
    shownDigits_ = digits;
    colonShown_ = colon;
    repaint();
}

void BusyClockWidget::hideAfterRun(std::uint64_t run)
{
    if (run == runNumber_ && !running_)
        hide();
}

void BusyClockWidget::centreInParent()
{
    QWidget* area = parentWidget();
    if (!area)
        return;
    // Over a main window, centre in its client area (the central widget).
    QRect client = area->rect();
    if (QWidget* central = area->findChild<QWidget*>("clientArea", Qt::FindDirectChildrenOnly))
        client = central->geometry();
    move(client.x() + (client.width() - width()) / 2, client.y() + (client.height() - height()) / 2);
}

void BusyClockWidget::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.fillRect(client, Qt::black);
    const int x0 = client.x() + 10;
    const int y = client.y() + 10;
    const int dw = pictures_.digitWidth();
    const int cw = pictures_.colonWidth();
    const auto digit = [this](int index) -> const QPixmap& {
        return pictures_.digits[static_cast<std::size_t>(shownDigits_[static_cast<std::size_t>(index)])];
    };
    painter.drawPixmap(x0, y, digit(0));
    painter.drawPixmap(x0 + dw, y, digit(1));
    if (colonShown_)
        painter.drawPixmap(x0 + 2 * dw, y, pictures_.colon);
    painter.drawPixmap(x0 + 2 * dw + cw, y, digit(2));
    painter.drawPixmap(x0 + 3 * dw + cw, y, digit(3));
}

} // namespace korvan::shell
