#include "shell/OperationInterrupt.h"

#include "db/MessageSink.h"
#include "shell/InterruptPanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWindow>

namespace korvan::shell {

namespace {

// How often a busy operation lets the user's events through when it only
// asks whether to stop (progress lets them through at every step).
constexpr qint64 kPumpIntervalMs = 50;
// Reading the clock costs little, but an operation asks for every row.
constexpr unsigned kCallsPerClockReading = 64;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::NativeGesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

// The widget of a top-level window, whether the event went to the window
// system's window or to the widget itself.
QWidget* windowWidget(QObject* watched)
{
    if (auto* widget = qobject_cast<QWidget*>(watched))
        return widget->isWindow() ? widget : nullptr;
    if (auto* window = qobject_cast<QWindow*>(watched)) {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->windowHandle() == window)
                return widget;
    }
    return nullptr;
}

} // namespace

const char* OperationInterrupt::closeQuestion()
{
    return "E' in corso un'operazione sulla base dati.\n\n"
           "Si intende interromperla?";
}

OperationInterrupt::OperationInterrupt(QWidget* clientArea, MessageSink& sink)
    : QObject(clientArea), clientArea_(clientArea), sink_(sink)
{
    qApp->installEventFilter(this);
}

OperationInterrupt::~OperationInterrupt()
{
    delete panel_.data();
}

void OperationInterrupt::enterScope()
{
    if (depth_++ > 0)
        return;
    requested_ = false;
    closeAsked_ = nullptr;
    closePending_ = nullptr;
    calls_ = 0;
    sincePump_.start();
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = clientArea_->window();
    if (!owner->isVisible())
        return;
    panel_ = new InterruptPanel(owner, clientArea_);
    connect(panel_->button(), &QPushButton::clicked, this, &OperationInterrupt::request);
    panel_->show();
}

void OperationInterrupt::leaveScope()
{
    if (depth_ == 0 || --depth_ > 0)
        return;
    delete panel_.data();
    if (QWidget* target = closePending_.data()) {
        closePending_ = nullptr;
        // Back in the loop the operation was started from.
        QMetaObject::invokeMethod(
            target, [target] { target->close(); }, Qt::QueuedConnection);
    }
}

QPushButton* OperationInterrupt::button() const
{
    return panel_ ? panel_->button() : nullptr;
}

void OperationInterrupt::poll(bool now)
{
    if (depth_ == 0 || filtering_)
        return;
    if (!now) {
        if (++calls_ % kCallsPerClockReading != 0 || sincePump_.elapsed() < kPumpIntervalMs)
            return;
    }
    pump();
}

void OperationInterrupt::pump()
{
    filtering_ = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    filtering_ = false;
    sincePump_.start();
    // Asked outside the filter: the question box takes the user's answer.
    if (QPointer<QWidget> target = closeAsked_; target) {
        closeAsked_ = nullptr;
        if (requested_ || sink_.askConfirmation(closeQuestion())) {
            request();
            closePending_ = target;
        }
    }
}

void OperationInterrupt::request()
{
    requested_ = true;
    if (panel_)
        panel_->hide();
}

bool OperationInterrupt::onPanel(QObject* watched) const
{
    if (!panel_)
        return false;
    if (auto* widget = qobject_cast<QWidget*>(watched))
        return widget == panel_ || panel_->isAncestorOf(widget);
    return watched == panel_->windowHandle();
}

void OperationInterrupt::noteCloseRequest(QObject* watched)
{
    if (QWidget* window = windowWidget(watched))
        closeAsked_ = window;
}

bool OperationInterrupt::eventFilter(QObject* watched, QEvent* event)
{
    if (!filtering_)
        return false;
    const QEvent::Type type = event->type();
    switch (type) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            request();
        return true;
    case QEvent::ShortcutOverride:
        // Taken here, so that no shortcut or menu accelerator runs.
        event->accept();
        return true;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
        return true;
    case QEvent::Close:
        if (!event->spontaneous())
            return false;
        noteCloseRequest(watched);
        event->ignore();
        return true;
    default:
        break;
    }
    return isUserInput(type) && !onPanel(watched);
}

} // namespace korvan::shell
