#pragma once

// "Assegnazione Dati Contabili Corsa": the accounting of the cursor run:
// minimum or additional service, the paying authority and the amount as a
// total or per kilometre, optionally for every selected run too. OK checks
// the entries; the browser then writes the change.

#include "runs/RunAccounting.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace korvan {
class DbConnection;
class MessageSink;
} // namespace korvan

namespace korvan::ui {
class PickListCombo;
}

namespace korvan::ui::runs {

class RunAccountingDialog : public QDialog {
    Q_OBJECT
  public:
    RunAccountingDialog(DbConnection* connection, MessageSink& sink, const korvan::runs::RunListModel& model,
                        const korvan::runs::RunRow& edited, QWidget* parent = nullptr);

    // The accepted change.
    const korvan::runs::RunAccountingChange& change() const { return change_; }

  private:
    void refresh();
    void checkAndAccept();

    MessageSink& sink_;
    const korvan::runs::RunRow& edited_;
    bool minimumService_;
    bool totalMode_ = true;
    bool applyToSelected_;
    QRadioButton* minimum_;
    QRadioButton* additional_;
    QRadioButton* total_;
    QRadioButton* perKm_;
    PickListCombo* payers_;
    QLabel* amountLabel_;
    QLineEdit* amount_;
    QCheckBox* applyToSelectedBox_;
    korvan::runs::RunAccountingChange change_;
};

} // namespace korvan::ui::runs
