#pragma once

// "Filtro Selezione Corse": the contract (authority, company) and the line
// whose runs the browser lists. The company list follows the authority and
// the line list the company; OK checks the three entries in that order.

#include "runs/RunListLoader.h"

#include <QDialog>

class QPushButton;

namespace korvan {
class DbConnection;
class MessageSink;
} // namespace korvan

namespace korvan::ui {
class PickListCombo;
}

namespace korvan::ui::runs {

class RunFilterDialog : public QDialog {
    Q_OBJECT
  public:
    // Opens on the current contract (-1: none) and line (-1: none).
    RunFilterDialog(DbConnection* connection, MessageSink& sink, int authority, int company, int line,
                    QWidget* parent = nullptr);

    // The accepted choice.
    const korvan::runs::RunListKey& choice() const { return choice_; }

    PickListCombo* authorityList() const { return authorities_; }
    PickListCombo* companyList() const { return companies_; }
    PickListCombo* lineList() const { return lines_; }

  private:
    void checkAndAccept();

    DbConnection* connection_;
    MessageSink& sink_;
    PickListCombo* authorities_;
    PickListCombo* companies_;
    PickListCombo* lines_;
    korvan::runs::RunListKey choice_;
};

} // namespace korvan::ui::runs
