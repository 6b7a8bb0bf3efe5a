#pragma once

// A dialog that stays open for another round until "Fine" (the assignments,
// line editing, line merge). Its "Annulla" button only clears the round;
// the window's own cancel requests, Escape and the title bar's close
// button, end it as "Fine" does, the way a desktop closes a window.

#include <QDialog>

namespace korvan::ui {

class RoundDialog : public QDialog {
    Q_OBJECT
  public:
    using QDialog::QDialog;

    // "Fine".
    void finish() { done(QDialog::Accepted); }

  public slots:
    // Escape and the close button.
    void reject() override { finish(); }
};

} // namespace korvan::ui
