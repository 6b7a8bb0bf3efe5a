#pragma once

// Dialogs 128 "Assegnazione Dati Contabili Giorno" and 130 "Assegnazione
// Dati Contabili Percorso": the accounting of the day or arc at the cursor
// of a split view, and how far it reaches (the other selected days or arcs,
// the other runs selected in the browser). OK checks the amount, then the
// paying authority of additional service, then whatever the view refuses
// (an amount that would be spread by a length of 0); the first refusal is
// told and the dialog stays open. Nothing is written: the view keeps the
// accepted change.

#include "runs/SplitChange.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace korvan {
class DbConnection;
class MessageSink;
} // namespace korvan

namespace korvan::ui {
class PickListCombo;
}

namespace korvan::ui::runs {

enum class SplitKind { Day, Arc };

// What the dialog opens with.
struct SplitDialogSetup {
    SplitKind kind = SplitKind::Day;
    bool minimumService = true;
    int payingAuthority = -1;
    double amount = 0.0;
    bool otherItemsSelected = false; // some other day or arc is selected
    bool otherRunsSelected = false;  // some other run is selected in the browser
};

class SplitAccountingDialog : public QDialog {
    Q_OBJECT
  public:
    // The view's last word on an accepted entry: a refusal message or none.
    using Refusal = std::function<std::optional<std::string>(const korvan::runs::SplitChange&)>;

    SplitAccountingDialog(const SplitDialogSetup& setup, DbConnection* connection, MessageSink& sink, Refusal refusal,
                          QWidget* parent = nullptr);

    static QString titleFor(SplitKind kind);

    // After OK.
    const korvan::runs::SplitChange& change() const { return change_; }

  public slots:
    void accept() override;

  private:
    void buildControls();
    // Every control from the state, as each handler leaves it.
    void refresh();

    SplitDialogSetup setup_;
    DbConnection* connection_;
    MessageSink& sink_;
    Refusal refusal_;
    bool minimumService_;
    bool totalMode_ = true;
    bool applyToSelected_;
    bool applyToSelectedRuns_;
    korvan::runs::SplitChange change_;

    QRadioButton* minimumRadio_ = nullptr;
    QRadioButton* additionalRadio_ = nullptr;
    QRadioButton* totalRadio_ = nullptr;
    QRadioButton* perKmRadio_ = nullptr;
    PickListCombo* payerCombo_ = nullptr;
    QLabel* amountLabel_ = nullptr;
    QLineEdit* amountEdit_ = nullptr;
    QCheckBox* selectedCheck_ = nullptr;
    QCheckBox* runsCheck_ = nullptr;
};

} // namespace korvan::ui::runs
