#pragma once

// The combo box every dialog uses for a pick list: editable (the user may
// type), unsorted (entries stay in query order), and telling when its
// drop-down list closes, which is when dependent lists are refilled. The
// free functions put the rules of refdata/PickLists.h onto such a combo.
//
// A click on an entry closes the list before the entry becomes current (Qt
// hides the pop-up, then selects); the close is therefore told once the
// choice has been made: at once when the list closes on a chosen entry, when
// control is back in the event loop when it closes without one.

#include "refdata/ContractEntries.h"
#include "refdata/PickLists.h"

#include <QComboBox>

#include <optional>
#include <string>

namespace korvan {
class DbConnection;
}

namespace korvan::ui {

class PickListCombo : public QComboBox {
    Q_OBJECT
  public:
    explicit PickListCombo(QWidget* parent = nullptr);

    void showPopup() override;
    void hidePopup() override;

  signals:
    // The drop-down list has closed (chosen or not); the entry it closed on,
    // if any, is current.
    void dropDownClosed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void listClosed();
    void settleClose();

    bool listOpen_ = false;
    bool closePending_ = false;
};

// Removes every entry and empties the edit text, then inserts `entries` in
// order. Nothing is selected afterwards.
void fillCombo(QComboBox* combo, const refdata::PickList& entries);
// Removes every entry and empties the edit text.
void clearCombo(QComboBox* combo);
// The entry texts of the combo, in order.
refdata::PickList comboEntries(const QComboBox* combo);
std::string comboEditText(const QComboBox* combo);

// Selects the first entry beginning with the code written "%04d"; nothing
// happens for -1 or when no entry matches.
void selectByCode(QComboBox* combo, int code);
// The first four characters of the selected entry as an integer; 0 when
// nothing is selected.
int selectedCode(const QComboBox* combo);
// The OK-time readings of the typed text against the combo's entries.
std::optional<int> readCodeEntry(const QComboBox* combo);
std::optional<std::string> readLineCodeEntry(const QComboBox* combo);
// The contract entries of a dialog's authority and company lists: their
// texts, and the company entries as the list holds them.
refdata::ContractEntries contractEntries(const QComboBox* authorities, const QComboBox* companies);

// Opening a contract dialog: fills the authority list (authorities with
// lines) and preselects `currentAuthority`, then fills the company list for
// that authority (empty for -1) and preselects `currentCompany`.
void fillContractLists(DbConnection* connection, QComboBox* authorities, QComboBox* companies, int currentAuthority,
                       int currentCompany);
// The two forms of the contract line list: "%-10s - %s" by code (dialog
// 121) or "%04d - %s" by number (run filter).
enum class LineListForm { ByCode, ById };
// Opening a contract dialog with a line list: filled for the current
// contract when both codes are set, emptied otherwise.
void fillContractLineList(DbConnection* connection, QComboBox* lines, LineListForm form, int currentAuthority,
                          int currentCompany);
// The company -> line cascade: closing the company drop-down refills the
// lines for the selected authority and company.
void connectLineCascade(DbConnection* connection, QComboBox* authorities, PickListCombo* companies, QComboBox* lines,
                        LineListForm form);

// The authority -> company cascade: closing the authority drop-down refills
// the companies for the selected authority (code 0, an empty list, when none
// is selected).
void connectCompanyCascade(DbConnection* connection, PickListCombo* authorities, QComboBox* companies);

} // namespace korvan::ui
