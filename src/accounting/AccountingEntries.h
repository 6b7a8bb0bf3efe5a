#pragma once

// The entries of the accounting commands, checked without any widget in the
// order their dialogs check them, for the dialogs and korvan-batch alike:
// texts and the pick lists offered in, the request out, or the first
// refusal shown (stop icon) and nothing.

#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "db/Values.h"
#include "refdata/ContractEntries.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace korvan::accounting {

struct PeriodEntries {
    std::string startText; // "Data Inizio"
    std::string endText;   // "Data Fine"
};

struct Period {
    CivilDate start, end;
};

// Start, then end date.
std::optional<Period> validatePeriod(const PeriodEntries& entries, MessageSink& sink);

struct AssignmentEntries {
    refdata::ContractEntries contract;
    // The line by code (per-line assignment only) among the lines offered
    // for the contract read.
    std::optional<std::string> lineText;
    std::function<refdata::PickList(int authority, int company)> lineEntries;
    std::string euroPerKmText;
    // Additional service: the paying authority among those offered;
    // nothing for minimum service.
    std::optional<std::string> payerText;
    refdata::PickList payerEntries;
    // The time band "Dalle", "Alle" (per-time-band assignment only).
    std::optional<std::pair<std::string, std::string>> bandTexts;
    // The period and weekdays (per-day-type assignment only).
    std::optional<PeriodEntries> period;
    std::array<bool, 7> weekdays{true, true, true, true, true, true, true};
    bool updateExisting = true;
};

// Contract, line, price per km, paying authority, time band, period.
std::optional<AssignmentRequest> validateAssignment(const AssignmentEntries& entries, MessageSink& sink);

// Contract, then period.
std::optional<CalendarRequest> validateCalendarEntries(const refdata::ContractEntries& contract,
                                                       const PeriodEntries& period, MessageSink& sink);

} // namespace korvan::accounting
