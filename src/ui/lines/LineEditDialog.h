#pragma once

// "Editing Linee Normalizzate": choose an authority, then one of its lines,
// and give the line a code and a name. The dialog stays open for any number
// of edits until "Fine" (or Escape, or the close box); "Annulla" only drops
// the line being edited.

#include "ui/common/RoundDialog.h"

class QLineEdit;
class QPushButton;

namespace korvan {
class DbConnection;
}

namespace korvan::ui {
class PickListCombo;
}

namespace korvan::ui::lines {

class LineEditDialog : public RoundDialog {
    Q_OBJECT
  public:
    LineEditDialog(DbConnection* connection, QWidget* parent = nullptr);

    PickListCombo* authorityList() const { return authorities_; }
    PickListCombo* lineList() const { return lines_; }
    QLineEdit* idEdit() const { return id_; }
    QLineEdit* codeEdit() const { return code_; }
    QLineEdit* nameEdit() const { return name_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* doneButton() const { return done_; }

  private:
    void refillLines();
    void loadChosenLine();
    void storeLine();
    void dropLine();
    void setEditing(bool editing);

    DbConnection* connection_;
    PickListCombo* authorities_;
    PickListCombo* lines_;
    QLineEdit* id_;
    QLineEdit* code_;
    QLineEdit* name_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* done_;
};

// Menu command "Editing Linee Normalizzate": the modal dialog, centred on
// `parent`.
void editNormalizedLines(DbConnection* connection, QWidget* parent);

} // namespace korvan::ui::lines
