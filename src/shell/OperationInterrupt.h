#pragma once

// How the user stops an operation that holds the interface thread. The
// operations run on that thread (their message boxes, their cursors and the
// connection all live there), so nothing reaches the program while they
// work but what they let through: each time an operation reports progress
// or asks whether to stop (OperationFeedback), this class processes the
// pending events once, with a filter that lets through only what the
// interrupt needs and what draws the windows. Every other mouse, keyboard
// and shortcut event is dropped, so that no command or dialog runs in the
// middle of an operation.
//
// - The "Interrompi" button (InterruptPanel) and Escape ask the operation
//   to stop: it stops at its next step, undoes its work and says so.
// - A close request of a window (the title bar's close button) asks
//   whether to interrupt; yes stops the operation, and the window's close
//   request is carried out once the operation has ended (the main window
//   then asks its exit question as always); no drops the request.
//
// Waiting work (for another writer's lock, say) reuses it: inside an
// InterruptScope, wait in short slices and ask stopRequested between them.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QPushButton;
class QWidget;

namespace korvan {
class MessageSink;
}

namespace korvan::shell {

class InterruptPanel;

class OperationInterrupt : public QObject {
    Q_OBJECT
  public:
    // `clientArea`: where the button stands; questions go to `sink`.
    OperationInterrupt(QWidget* clientArea, MessageSink& sink);
    ~OperationInterrupt() override;

    // The outermost scope clears an earlier request and shows the button
    // (over the window on top); its end removes the button and carries out
    // a close request the user confirmed.
    void enterScope();
    void leaveScope();
    bool inScope() const { return depth_ > 0; }

    // Lets the pending events through the filter: at once when `now`, else
    // when the last time was long enough ago. Nothing outside a scope.
    void poll(bool now);
    // The user asked the operation in the open scope to stop.
    bool requested() const { return depth_ > 0 && requested_; }

    // The button while a scope is open, else nullptr.
    QPushButton* button() const;

    // Asked on a close request in the middle of an operation.
    static const char* closeQuestion();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void pump();
    void request();
    bool onPanel(QObject* watched) const;
    void noteCloseRequest(QObject* watched);

    QWidget* clientArea_;
    MessageSink& sink_;
    QPointer<InterruptPanel> panel_;
    int depth_ = 0;
    bool filtering_ = false;
    bool requested_ = false;
    unsigned calls_ = 0;
    QElapsedTimer sincePump_;
    // The window whose close request waits for the question, then for the
    // operation's end.
    QPointer<QWidget> closeAsked_;
    QPointer<QWidget> closePending_;
};

} // namespace korvan::shell
