#pragma once

// "Fusione Linee Normalizzate": choose an authority and two of its lines;
// OK moves every run of the first line ("Trasferisco la Linea") to the
// second ("Nella Linea") and deletes the first. The dialog stays open until
// "Fine"; "Annulla", Escape and the close box only clear the choice.

#include <QDialog>

class QPushButton;

namespace korvan {
class DbConnection;
class MessageSink;
} // namespace korvan

namespace korvan::ui {
class PickListCombo;
}

namespace korvan::ui::lines {

class LineMergeDialog : public QDialog {
    Q_OBJECT
  public:
    LineMergeDialog(DbConnection* connection, MessageSink& sink, QWidget* parent = nullptr);

    PickListCombo* authorityList() const { return authorities_; }
    PickListCombo* sourceList() const { return source_; }
    PickListCombo* targetList() const { return target_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* doneButton() const { return done_; }

  public slots:
    // Every cancel request of the window lands here: the dialog stays open.
    void reject() override;

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
