#include "shell/BusyClockWidget.h"

#include "shell/NativeClockSurface.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPainter>
#include <QThread>

#include <chrono>

namespace korvan::shell {

namespace {

constexpr int kFrameWidth = 2;
constexpr std::chrono::milliseconds kTick(1000);

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
    windowSize_ = clientSize() + QSize(2 * kFrameWidth, 2 * kFrameWidth);
    setFixedSize(windowSize_);
    style_ = ClockFrameStyle{kFrameWidth, palette().color(QPalette::Light), palette().color(QPalette::Dark)};
    if (NativeClockSurface::platformSupportsIt()) {
        // Its own window for the worker to paint; the main window's other
        // children stay windowless.
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        setAttribute(Qt::WA_NativeWindow);
    }
    frame_ = paintClockFace(pictures_, style_, windowSize_, shownDigits_, colonShown_);
    hide();
}

BusyClockWidget::~BusyClockWidget()
{
    stopWorker();
}

QSize BusyClockWidget::clientSize() const
{
    return {pictures_.colonWidth() + 4 * pictures_.digitWidth() + 30, pictures_.height() + 30};
}

QImage BusyClockWidget::shownFrame() const
{
    const std::lock_guard lock(frameMutex_);
    return frame_;
}

ClockDigits BusyClockWidget::shownDigits() const
{
    const std::lock_guard lock(frameMutex_);
    return shownDigits_;
}

bool BusyClockWidget::colonShown() const
{
    const std::lock_guard lock(frameMutex_);
    return colonShown_;
}

void BusyClockWidget::start()
{
    if (running_)
        return;
    stopWorker();
    startTime_ = nowSeconds();
    ++runNumber_;
    centreInParent();
    show();
    raise();
    {
        const std::lock_guard lock(frameMutex_);
        shownDigits_ = {};
        colonShown_ = true;
        frame_ = paintClockFace(pictures_, style_, windowSize_, shownDigits_, colonShown_);
    }
    repaint();
    surface_ = NativeClockSurface::create(this);
    running_ = true;
    const std::int64_t startTime = startTime_;
    worker_ = QThread::create([this, startTime] { runWorker(startTime); });
    worker_->start(QThread::LowestPriority);
}

void BusyClockWidget::idleHook()
{
    if (!running_)
        return;
    stopWorker();
    hide();
}

void BusyClockWidget::stopWorker()
{
    {
        const std::lock_guard lock(stopMutex_);
        running_ = false;
    }
    stopSignal_.notify_all();
    if (worker_) {
        worker_->wait();
        delete worker_;
        worker_ = nullptr;
    }
    surface_.reset();
}

void BusyClockWidget::runWorker(std::int64_t startTime)
{
    bool colon = true;
    std::unique_lock lock(stopMutex_);
    while (running_) {
        lock.unlock();
        paintFrame(clockDigits(secondsToDays(nowSeconds() - startTime)), colon);
        colon = !colon;
        lock.lock();
        stopSignal_.wait_for(lock, kTick, [this] { return !running_; });
    }
}

void BusyClockWidget::paintFrame(const ClockDigits& digits, bool colon)
{
    const QImage face = paintClockFace(pictures_, style_, windowSize_, digits, colon);
    const std::lock_guard lock(frameMutex_);
    frame_ = face;
    shownDigits_ = digits;
    colonShown_ = colon;
    if (surface_ && surface_->put(face))
        return;
    // No way to the screen but the interface thread: shown when it next
    // processes events (the progress bar and the banner let it).
    QMetaObject::invokeMethod(
        this, [this] { repaint(); }, Qt::QueuedConnection);
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

void BusyClockWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const std::lock_guard lock(frameMutex_);
    painter.drawImage(0, 0, frame_);
}

} // namespace korvan::shell
