#pragma once

// The interactive MessageSink: every message is a modal QMessageBox with the
// icon asked for; confirmations have OK and Cancel. Over a box the pointer is
// the arrow, even in the middle of an operation.

#include "db/MessageSink.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace korvan::ui {

class MessageBoxSink : public MessageSink {
  public:
    // Boxes are owned by the active modal window, else by `parent` (the main
    // window once it exists).
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    void showMessage(const std::string& text, MessageIcon icon) override;
    bool askConfirmation(const std::string& text) override;
    bool askConfirmation(const std::string& text, const QString& caption);

  private:
    QWidget* owner() const;

    QPointer<QWidget> parent_;
};

// A confirmation with its own caption where the sink can show one (the
// message boxes); other sinks get the text alone.
bool askConfirmation(MessageSink& sink, const std::string& text, const QString& caption);

} // namespace korvan::ui
