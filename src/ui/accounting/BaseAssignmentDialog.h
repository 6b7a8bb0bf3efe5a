#pragma once

// Dialogs 120, 121, 133 and 134: the four base accounting assignments. One
// class, its controls chosen by the assignment kind. OK validates the
// entries in a fixed order (the first refusal is told and the form stays as
// it is), updates the current contract and runs the assignment; the dialog
// then stays open for another one. "Annulla" only clears the form; "Fine",
// Escape and the close box close it.

#include "accounting/BaseAssignment.h"

#include "ui/common/RoundDialog.h"

#include <array>
#include <optional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
namespace ui {
class PickListCombo;
}
} // namespace korvan

namespace korvan::ui::accounting {

class BaseAssignmentDialog : public RoundDialog {
    Q_OBJECT
  public:
    // `currentAuthority` and `currentCompany` preselect the contract and are
    // updated by each accepted OK.
    BaseAssignmentDialog(korvan::accounting::AssignmentKind kind, DbConnection* connection, MessageSink& sink,
                         OperationFeedback& feedback, int& currentAuthority, int& currentCompany,
                         QWidget* parent = nullptr);

    // The menu command: the warning (OK and Cancel), then the dialog until
    // "Fine".
    static void runCommand(korvan::accounting::AssignmentKind kind, QWidget* parent, DbConnection* connection,
                           MessageSink& sink, OperationFeedback& feedback, int& currentAuthority, int& currentCompany);

    static QString titleFor(korvan::accounting::AssignmentKind kind);

    // Validates the entries as OK does; the request when all are accepted
    // (the refusal has been told otherwise).
    std::optional<korvan::accounting::AssignmentRequest> validatedRequest();

  public slots:
    void accept() override;

  private:
    void buildControls();
    void clearForm();
    void setMinimumService(bool minimum);
    void refillLines();

    korvan::accounting::AssignmentKind kind_;
    DbConnection* connection_;
    MessageSink& sink_;
    OperationFeedback& feedback_;
    int& currentAuthority_;
    int& currentCompany_;

    PickListCombo* authorityCombo_ = nullptr;
    PickListCombo* companyCombo_ = nullptr;
    PickListCombo* lineCombo_ = nullptr;
    QLineEdit* bandFromEdit_ = nullptr;
    QLineEdit* bandToEdit_ = nullptr;
    QLineEdit* periodStartEdit_ = nullptr;
    QLineEdit* periodEndEdit_ = nullptr;
    std::array<QCheckBox*, 7> weekdayChecks_{};
    QRadioButton* minimumRadio_ = nullptr;
    QRadioButton* additionalRadio_ = nullptr;
    PickListCombo* payerCombo_ = nullptr;
    QLineEdit* euroPerKmEdit_ = nullptr;
    QCheckBox* updateExistingCheck_ = nullptr;
};

} // namespace korvan::ui::accounting
