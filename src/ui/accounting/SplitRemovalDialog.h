#pragma once

// Dialog 135: the contract whose accounting splits are removed, with the
// warning of the removal mode. OK validates authority then company, updates
// the current contract and closes; "Annulla" ends the command unchanged.

#include "accounting/SplitRemoval.h"

#include <QDialog>

#include <optional>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
namespace ui {
class PickListCombo;
}
} // namespace korvan

namespace korvan::ui::accounting {

class SplitRemovalDialog : public QDialog {
    Q_OBJECT
  public:
    SplitRemovalDialog(korvan::accounting::RemovalMode mode, DbConnection* connection, MessageSink& sink,
                       int& currentAuthority, int& currentCompany, QWidget* parent = nullptr);

    // Commands 5127 ('A'), 5125 ('K') and 5126 ('I'): dialog, then removal.
    static void runCommand(korvan::accounting::RemovalMode mode, QWidget* parent, DbConnection* connection,
                           MessageSink& sink, OperationFeedback& feedback, int& currentAuthority, int& currentCompany);

  public slots:
    void accept() override;

  private:
    MessageSink& sink_;
    int& currentAuthority_;
    int& currentCompany_;
    PickListCombo* authorityCombo_ = nullptr;
    PickListCombo* companyCombo_ = nullptr;
};

} // namespace korvan::ui::accounting
