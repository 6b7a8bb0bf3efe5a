#pragma once

// The entries of the per-day and per-arc accounting dialogs read without a
// widget: the amount and the paying authority, checked in the dialogs'
// order with their messages, and the change they make once accepted.

#include "refdata/PickLists.h"
#include "runs/SplitChange.h"

#include <optional>
#include <string>

namespace korvan {
class DbConnection;
}

namespace korvan::runs {

// The characters the amount edit holds.
inline constexpr size_t kSplitAmountMaxLength = 8;

// The dialog's state at OK time.
struct SplitEntryInput {
    std::string amountText;
    bool minimumService = true;
    bool totalMode = true;
    std::string authorityText; // the paying authority field, "0012 - Name"
    bool applyToSelected = false;
    bool applyToSelectedRuns = false;
};

struct SplitEntryResult {
    std::optional<SplitChange> change; // nothing when refused
    std::string message;               // the refusal, shown with the stop icon
};

// The amount: digits, '+', '.' and ',' only (',' read as '.'), at most the
// edit's 8 characters, a positive value ("+5" and "12,5" pass; "-5", "abc",
// "0" and "" do not).
std::optional<double> readSplitAmount(const std::string& text);
std::string invalidSplitAmountMessage();

// Checks the amount, then (additional service only) the paying authority
// against the authorities of the list. The name of an accepted authority is
// looked up in `regent` ("Sconosciuto: Ente=%d" when it is gone).
SplitEntryResult readSplitEntry(DbConnection* connection, const SplitEntryInput& input,
                                const refdata::PickList& authorities);

} // namespace korvan::runs
