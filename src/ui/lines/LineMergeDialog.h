#pragma once

// "Fusione Linee Normalizzate": choose an authority and two of its lines;
// OK moves every run of the first line ("Trasferisco la Linea") to the
// second ("Nella Linea") and deletes the first. The dialog stays open until
// "Fine" (or Escape, or the close box); "Annulla" only clears the choice.

#include "ui/common/RoundDialog.h"

class QPushButton;

namespace korvan {
class DbConnection;
class MessageSink;
} // namespace korvan

namespace korvan::ui {
class PickListCombo;
}

namespace korvan::ui::lines {

class LineMergeDialog : public RoundDialog {
    Q_OBJECT
  public:
    LineMergeDialog(DbConnection* connection, MessageSink& sink, QWidget* parent = nullptr);

    PickListCombo* authorityList() const { return authorities_; }
    PickListCombo* sourceList() const { return source_; }
    PickListCombo* targetList() const { return target_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* doneButton() const { return done_; }

  private:
    void refillLines(int authority);
    void mergeChosenLines();
    void clearChoice();

    DbConnection* connection_;
    MessageSink& sink_;
    PickListCombo* authorities_;
    PickListCombo* source_;
    PickListCombo* target_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* done_;
};

// Menu command "Fusione Linee Normalizzate": the modal dialog, centred on
// `parent`.
void mergeNormalizedLines(DbConnection* connection, MessageSink& sink, QWidget* parent);

} // namespace korvan::ui::lines
