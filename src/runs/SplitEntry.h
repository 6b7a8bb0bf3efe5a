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

// Checks the amount (accounting::readAmountEntry, with the message of the
// per-run dialog, runs/RunAccounting.h), then (additional service only) the paying
// authority against the authorities of the list. The name of an accepted authority is
// looked up in `regent` ("Sconosciuto: Ente=%d" when it is gone).
SplitEntryResult readSplitEntry(DbConnection* connection, const SplitEntryInput& input,
                                const refdata::PickList& authorities);

} // namespace korvan::runs
