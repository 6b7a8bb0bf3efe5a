#pragma once

// The "Interrompi" button shown while an operation the user may stop holds
// the interface thread: a small frameless window of its own, centred over
// the main window's client area just above the status banner. It belongs to
// the window on top when the operation starts (the main window, or the
// modal dialog the operation runs from), so that it takes the mouse
// whatever that window blocks. It takes no keyboard focus; over it the
// pointer is the arrow instead of the hourglass.

#include <QFrame>

class QPushButton;

namespace korvan::shell {

class InterruptPanel : public QFrame {
    Q_OBJECT
  public:
    // `owner`: the window on top; `clientArea`: where to stand.
    InterruptPanel(QWidget* owner, QWidget* clientArea);
    ~InterruptPanel() override;

    QPushButton* button() const { return button_; }
    // Centres the panel over the client area, its bottom above the banner.
    void placeOver(QWidget* clientArea);

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void restorePointer();

    QPushButton* button_;
    bool arrowShown_ = false;
};

} // namespace korvan::shell
