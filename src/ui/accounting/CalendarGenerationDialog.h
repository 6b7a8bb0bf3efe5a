#pragma once

// Dialog 136: the contract and the contractual period whose service-day
// calendar is regenerated. OK validates authority, company, start and end
// date in that order; on success it updates the current contract and period
// and closes. The command then runs the generation.

#include "accounting/CalendarGeneration.h"

#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
namespace ui {
class PickListCombo;
}
} // namespace korvan

namespace korvan::ui::accounting {

class CalendarGenerationDialog : public QDialog {
    Q_OBJECT
  public:
    // The edits show the period texts as given; accepted dates are written
    // back as "DD/MM/YYYY".
    CalendarGenerationDialog(DbConnection* connection, MessageSink& sink, int& currentAuthority, int& currentCompany,
                             std::string& periodStartText, std::string& periodEndText, QWidget* parent = nullptr);

    // The menu command 5141: warning, dialog, generation.
    static void runCommand(QWidget* parent, DbConnection* connection, MessageSink& sink, OperationFeedback& feedback,
                           int& currentAuthority, int& currentCompany, std::string& periodStartText,
                           std::string& periodEndText);

    // The request of the last accepted OK.
    const std::optional<korvan::accounting::CalendarRequest>& request() const;

  public slots:
    void accept() override;

  private:
    MessageSink& sink_;
    int& currentAuthority_;
    int& currentCompany_;
    std::string& periodStartText_;
    std::string& periodEndText_;
    PickListCombo* authorityCombo_ = nullptr;
    PickListCombo* companyCombo_ = nullptr;
    QLineEdit* periodStartEdit_ = nullptr;
    QLineEdit* periodEndEdit_ = nullptr;
    std::optional<korvan::accounting::CalendarRequest> request_;
};

} // namespace korvan::ui::accounting
