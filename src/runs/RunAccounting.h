#pragma once

// The per-run accounting change of the browser: minimum or additional
// service, the paying authority and the amount (a total for the run or a
// price per kilometre), for the cursor run and optionally spread over the
// selected runs. Written at once to the run's `concors` row and to every
// one of its `conkal` days, inside the browser's transaction.

#include "refdata/PickLists.h"
#include "runs/RunListModel.h"

#include <optional>
#include <string>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
} // namespace korvan

namespace korvan::runs {

// The amount field holds at most this many characters.
inline constexpr int kAmountMaxLength = 8;

// The entries of the dialog at OK, as typed.
struct RunAccountingEntry {
    bool minimumService = false;
    bool totalMode = true; // the amount is the run's total, else euro per km
    bool applyToSelected = false;
    std::string amountText;
    std::string payerText; // the chosen entry of the authority list
};

// A change that passed the checks.
struct RunAccountingChange {
    bool minimumService = false;
    int payingAuthority = -1; // -1 for minimum service
    double value = 0;
    bool totalMode = true;
    bool applyToSelected = false;
};

// The refusal of an amount entry (read by accounting::readAmountEntry).
std::string invalidAmountMessage();
// A total cannot be spread over the selected runs from a run of length 0.
std::string zeroLengthSpreadMessage();

// Checks the entries in the dialog's order (amount, paying authority among
// `payers`, then the spread of a total) and shows the first refusal through
// `sink`.
std::optional<RunAccountingChange> readRunAccountingEntry(const RunAccountingEntry& entry,
                                                          const refdata::PickList& payers, const RunRow& edited,
                                                          MessageSink& sink);

// Applies the change to `edited` (a row of `model`) and, when asked, to
// every selected row, and writes their `concors` rows and `conkal` days.
// False when a write failed (the layer has shown it): inside a transaction
// the change is undone whole and what the transaction held before stays; the
// rows in `model` must then be read again.
bool applyRunAccounting(DbConnection* connection, RunListModel& model, RunRow& edited,
                        const RunAccountingChange& change, OperationFeedback& feedback);

// "%1.2f" / "%1.4f" of an amount with a decimal comma, as written to
// `concors` and `conkal`.
std::string runAmountText(double amount);
std::string dayAmountText(double amount);

} // namespace korvan::runs
